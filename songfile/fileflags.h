#pragma once

#include <QString>

// Clearing a file's user-immutable flag, which would otherwise stop a song
// file from being rewritten. Systems with chflags run "chflags nouchg PATH";
// on Linux the ext2-style immutable attribute is cleared when the process may
// do so; elsewhere nothing is needed.
namespace FileFlags {

// Returns true when the flag is known to be clear afterwards (or the system
// has no such flag), false when the command failed or did not finish within
// timeoutMs.
bool clearUserImmutable(const QString &path, int timeoutMs = 60000);

} // namespace FileFlags
