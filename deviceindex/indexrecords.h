#pragma once

#include "songinfoindex.h"

#include <QByteArray>
#include <QString>

#include <array>

// The byte layouts of the files the device reads from a memory's root and its
// playlist folder. Pure functions: no file is touched here.
namespace IndexRecords
{

// index.idx: id, path in IBM 850 (46 bytes, zero-terminated), yyyymmdd, hhmmss.
constexpr int PathRecordSize = 64;
constexpr int PathFieldSize = 46;
// title.idx and the group files: 32-byte records holding 26-byte texts.
constexpr int SongRecordSize = 32;
constexpr int TextFieldSize = 26;
// First-letter tables: 64 big-endian offsets for the characters 0x20 to 0x5F.
constexpr int AlphaTableSize = 256;
// fsinfos.idx: six little-endian 16-bit counts.
constexpr int NumFileSize = 12;
// Playlists: 32-byte .dat records starting with the song id, 64-byte .pts
// records holding the song's path.
constexpr int PlaylistRecordSize = 32;
constexpr int PlaylistPathRecordSize = 64;

// Paths on the memory are written in IBM 850; '?' for what it lacks.
QByteArray toIbm850(const QString &text);
QString fromIbm850(const QByteArray &bytes);
// True when every character of the text has an IBM 850 byte.
bool isIbm850(const QString &text);

// Latin-1 bytes of a text, one byte per character ('?' for what Latin-1
// lacks, a character outside the 16-bit range included), at most width bytes.
QByteArray latin1Bytes(const QString &text, int width);
// Bytes up to the first zero (or all of them), read as Latin-1.
QString latin1Until0(const char *data, qsizetype size);

quint32 getBigEndian32(const char *at);

// The 64-byte index.idx record of a song.
QByteArray encodePathRecord(const SongInfoIndex &entry);
// id, path, date and time of an index.idx record (a date or time part that is
// not a number counts 0).
SongInfoIndex decodePathRecord(const char *record);

// The 32-byte song record of title.idx and of the group files.
QByteArray encodeSongRecord(const SongInfoIndex &entry);
// Sets title (upper case, trimmed), bpm, type and markers from a song record.
void decodeSongRecord(const char *record, SongInfoIndex &entry);

// Group header of artist.idx and genre.idx: the previous group's and its own
// song count, the key.
QByteArray encodeGroupHeader(quint16 previous, quint16 own, const QString &key);
void setGroupOwnCount(char *header, quint16 own);
bool isGroupHeader(const char *record);
QString groupHeaderKey(const char *record);

// A first-letter table with every slot empty (0xFFFFFFFF).
QByteArray emptyAlphaTable();
// Records offset in the slot of the text's first upper-cased character when
// that slot is still empty; texts outside space to underscore are left out.
void addToAlphaTable(QByteArray &table, const QString &text, quint32 offset);

// fsinfos.idx from the six counts, each kept as its low 16 bits.
QByteArray encodeNumFile(const std::array<int, 6> &counts);

// The playlist number of a playlist.dat record.
quint16 playlistNumber(const char *record);
// A .pts record: the song's path in Latin-1, zero-padded (all zero for none).
QByteArray encodePlaylistPath(const QString &path);
QString decodePlaylistPath(const char *record);

// A song list line's field: quoted, with doubled quotes, when it holds the
// separator, a quote or a line break, as spreadsheets read it.
QString csvField(const QString &text);

} // namespace IndexRecords
