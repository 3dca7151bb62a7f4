#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The options of one command, its --help and its usage errors.
class CommandParser
{
public:
    // command: the words after "quenor-cli" ("info", "index build");
    // synopsis: what follows the options in the usage line ("FILE...").
    CommandParser(const QString &command, const QString &description, const QString &synopsis);

    QCommandLineParser &parser() { return m_parser; }
    void addOption(const QCommandLineOption &option) { m_parser.addOption(option); }

    // Parses arguments (without the program and command words). Returns -1
    // when the command is to run; otherwise the exit status to end with
    // (help printed, or a usage error reported).
    int parse(const QStringList &arguments);
    QStringList positionals() const { return m_parser.positionalArguments(); }
    // For the commands that take song files: parse() that also refuses an
    // empty list; files receives them.
    int parseFiles(const QStringList &arguments, QStringList &files);

    // Reports a usage error with the hint to --help; returns the exit status.
    int usageError(const QString &message) const;

    QString command() const { return m_command; }

private:
    QString helpText() const;

    QString m_command;
    QString m_synopsis;
    QCommandLineParser m_parser;
};
