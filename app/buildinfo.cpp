#include "buildinfo.h"

namespace BuildInfo
{

QString version()
{
    return QStringLiteral("1.76");
}

QByteArray compilerDate()
{
    return QByteArrayLiteral(__DATE__);
}

QByteArray compilerTime()
{
    return QByteArrayLiteral(__TIME__);
}

} // namespace BuildInfo
