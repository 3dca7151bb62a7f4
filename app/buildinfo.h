#pragma once

#include <QByteArray>
#include <QString>

// The program's version and the moment it was compiled, as the log banner and
// the about box show them.
namespace BuildInfo
{

// "1.76"
QString version();

// The compiler's date text, e.g. "Oct  1 2012" (day padded with a space).
QByteArray compilerDate();

// The compiler's time text, e.g. "09:46:11".
QByteArray compilerTime();

} // namespace BuildInfo
