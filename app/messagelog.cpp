#include "messagelog.h"

#include "buildinfo.h"

#include <QDebug>
#include <QFile>

#include <cstdlib>

namespace MessageLog
{

namespace
{

const char *severityPrefix(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "D| ";
    case QtWarningMsg:
        return "W| ";
    case QtCriticalMsg:
        return "C| ";
    case QtFatalMsg:
        return "F| ";
    case QtInfoMsg:
        break;
    }
    return nullptr;
}

} // namespace

QString fileName()
{
    return QStringLiteral("log.txt");
}

QByteArray formatLine(QtMsgType type, const QByteArray &text, const QDateTime &when)
{
    const char *prefix = severityPrefix(type);
    if (!prefix)
        return QByteArray();
    QByteArray line = when.toString(QStringLiteral("[dd-MM-yyyy hh:mm:ss]")).toLocal8Bit();
    line += prefix;
    line += text;
    line += '\n';
    return line;
}

void fileMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const QByteArray line = formatLine(type, message.toLocal8Bit(), QDateTime::currentDateTime());
    if (!line.isEmpty()) {
        QFile log(fileName());
        if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            log.write(line);
            log.close();
        }
    }
    if (type == QtFatalMsg)
        std::abort();
}

void discardMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg)
        std::abort();
}

void writeBanner()
{
    const QByteArray build = BuildInfo::compilerDate() + " - " + BuildInfo::compilerTime();
    const QString lines[] = {
        QStringLiteral(
            "|==============================================================================|"),
        QStringLiteral(
            "V ========================  Log start  ======================================= V"),
        QString(),
        QStringLiteral("Version:  ") + BuildInfo::version(),
        QStringLiteral("Build:    ") + QString::fromLatin1(build),
        QString(),
    };
    for (const QString &line : lines)
        qDebug().noquote() << line;
}

void install(bool enabled, bool clear)
{
    if (!enabled) {
        qInstallMessageHandler(discardMessageHandler);
        return;
    }
    if (clear && QFile::exists(fileName()))
        QFile::remove(fileName());
    qInstallMessageHandler(fileMessageHandler);
    writeBanner();
}

} // namespace MessageLog
