#include "transfercommand.h"

#include "console.h"

namespace TransferCommand
{

int run(const QStringList &)
{
    Console::error(QStringLiteral("transfer"), QStringLiteral("not available yet"));
    return Console::ExitFailed;
}

} // namespace TransferCommand
