#include "console.h"

#include <cstdio>
#include <unistd.h>

namespace Console
{

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString readLine()
{
    static QTextStream stream(stdin);
    return stream.readLine();
}

bool isTerminal(int fd)
{
    return ::isatty(fd) == 1;
}

void error(const QString &command, const QString &message)
{
    out().flush();
    err() << QStringLiteral("quenor-cli")
          << (command.isEmpty() ? QString() : QLatin1Char(' ') + command) << QStringLiteral(": ")
          << message << Qt::endl;
}

} // namespace Console
