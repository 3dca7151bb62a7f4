#include "commandparser.h"

#include "console.h"

#include <QCoreApplication>

CommandParser::CommandParser(
    const QString &command, const QString &description, const QString &synopsis)
    : m_command(command)
    , m_synopsis(synopsis)
{
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
}

QString CommandParser::helpText() const
{
    // The framework's usage line names the program only; the command's
    // words belong in it too.
    QString text = m_parser.helpText();
    const qsizetype endOfUsage = text.indexOf(QLatin1Char('\n'));
    const QString usage = QCoreApplication::translate("QCommandLineParser", "Usage: %1")
                              .arg(QStringLiteral("quenor-cli ") + m_command
                                  + QStringLiteral(" [options] ") + m_synopsis);
    return usage + text.mid(endOfUsage);
}

int CommandParser::parse(const QStringList &arguments)
{
    if (!m_parser.parse(QStringList { QStringLiteral("quenor-cli") } + arguments))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        Console::out() << helpText() << Qt::flush;
        return Console::ExitOk;
    }
    return -1;
}

int CommandParser::usageError(const QString &message) const
{
    Console::error(m_command, message);
    Console::err() << QCoreApplication::translate(
        "CommandParser", "Try \"%1\" for more information.")
                          .arg(
                              QStringLiteral("quenor-cli ") + m_command + QStringLiteral(" --help"))
                   << Qt::endl;
    return Console::ExitUsage;
}

int CommandParser::parseFiles(const QStringList &arguments, QStringList &files)
{
    m_parser.addPositionalArgument(
        QStringLiteral("FILE"), QCoreApplication::translate("SongCommands", "Song files."));
    const int parsed = parse(arguments);
    if (parsed >= 0)
        return parsed;
    files = positionals();
    return files.isEmpty()
        ? usageError(QCoreApplication::translate("SongCommands", "no file given"))
        : -1;
}
