#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Where the program's diagnostics go: the text file "log.txt" in the working
// directory, or nowhere. The choice is made once per run, before the
// application object exists.
namespace MessageLog
{

// The log file, by its relative name.
QString fileName();

// One log line: "[dd-MM-yyyy hh:mm:ss]", the severity prefix ("D| ", "W| ",
// "C| ", "F| "), the text and a line feed. Empty for a message type outside
// the framework's four.
QByteArray formatLine(QtMsgType type, const QByteArray &text, const QDateTime &when);

// Appends each message to "log.txt" as soon as it arrives (the file is opened
// and closed per message). A fatal message is written, then the process
// aborts; it aborts even when the file cannot be opened.
void fileMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// Writes nothing; a fatal message still aborts the process.
void discardMessageHandler(
    QtMsgType type, const QMessageLogContext &context, const QString &message);

// The six banner lines that open each run's log.
void writeBanner();

// Start-up choice: with logging off installs the discard handler and leaves
// "log.txt" alone; with logging on deletes "log.txt" first when clear is set,
// installs the file handler and writes the banner.
void install(bool enabled, bool clear);

} // namespace MessageLog
