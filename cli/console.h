#pragma once

#include <QString>
#include <QTextStream>

// The terminal: standard output for results, standard error for messages,
// questions and the progress line.
namespace Console
{

QTextStream &out();
QTextStream &err();
// Reads one line of standard input; a null string at its end.
QString readLine();
bool isTerminal(int fd);

// "quenor-cli COMMAND: message" on standard error.
void error(const QString &command, const QString &message);

// Exit statuses of every command.
enum ExitEnum { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

} // namespace Console
