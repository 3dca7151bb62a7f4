#pragma once

#include "songinfoindex.h"

#include <QByteArray>
#include <QString>

// The song information the device lists (title, artist, genre, tempo, file
// type, marker flag), read straight from the first bytes of a song file with
// the device's own rules, not through the song-file readers.
namespace SongHead
{

// How many bytes of a song file are looked at.
constexpr int ScanBytes = 3072;

// Fills title, artist, genre, type, bpm, reserved and markers of the entry
// from the file at entry.longPath. False when fewer than 5 bytes could be
// read; the entry then names the file and has no artist or genre.
bool read(SongInfoIndex &entry);

// The text of an ID3 text frame (encoding byte first) as the device shows
// it: up to the first zero character, Latin-1 ('?' for what it lacks), at
// most 26 characters.
QString id3Text(const QByteArray &frameText);

} // namespace SongHead
