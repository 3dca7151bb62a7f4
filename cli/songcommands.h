#pragma once

#include <QStringList>

// The commands on song files: each takes the arguments after its name and
// returns the exit status.
namespace SongCommands
{

// info FILE... [--json]: the song information as the library table shows it.
int info(const QStringList &arguments);
// set FILE... [--title T] ...: the given fields written in manual mode.
int set(const QStringList &arguments);
// sync FILE... [--backup DIR] [--not-published ask|yes|no] [--catalogue FILE]
int sync(const QStringList &arguments);

} // namespace SongCommands
