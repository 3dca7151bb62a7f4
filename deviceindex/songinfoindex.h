#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One song of a device memory as the index files describe it.
struct SongInfoIndex {
    // Marks an entry whose file has gone from the memory, and a playlist
    // record that names no song.
    static constexpr quint32 NoId = 0xFFFFFFFFu;

    // File type codes kept in the low three bits of a song record.
    enum TypeEnum : quint8 {
        TypeMidi = 0,
        TypeMp3 = 1,
        TypeMf3 = 2,
        TypeMf4 = 3,
        TypeMf5 = 4,
    };

    QString title;
    QString artist;
    QString genre;
    quint32 id = 0;
    quint8 type = 0;
    quint8 bpm = 0;
    quint8 reserved = 0;
    quint8 markers = 0;
    QString longPath;
    QString path;
    quint16 posidx = 0;
    qint32 date = 0;
    qint32 time = 0;
};
Q_DECLARE_TYPEINFO(SongInfoIndex, Q_RELOCATABLE_TYPE);

// The upper-case form used by every sort and comparison of the index.
QString stringToUpper(const QString &text);

// The path sort key: the IBM 850 bytes of the upper-cased path, the form the
// device compares paths in.
QByteArray pathSortKey(const QString &path);

// Sort orders of the index files; each is true when a sorts before b.
bool compareByPosidx(const SongInfoIndex &a, const SongInfoIndex &b);
bool compareById(const SongInfoIndex &a, const SongInfoIndex &b);
bool compareByPath(const SongInfoIndex &a, const SongInfoIndex &b);
bool compareTitle(const SongInfoIndex &a, const SongInfoIndex &b);
bool compareArtist(const SongInfoIndex &a, const SongInfoIndex &b);
bool compareGenre(const SongInfoIndex &a, const SongInfoIndex &b);

// Byte-wise comparison of two path keys as unsigned values, a prefix first:
// negative, zero or positive.
int comparePathKeys(const QByteArray &a, const QByteArray &b);

// Path order on the texts themselves (same result as compareByPath).
int comparePaths(const QString &a, const QString &b);

// Sorts songs in one of the orders above, stable, with each song's key made
// once rather than at every comparison.
enum class SongOrderEnum { Path, Title, Artist, Genre };
void sortSongs(QList<SongInfoIndex> &songs, SongOrderEnum order);
