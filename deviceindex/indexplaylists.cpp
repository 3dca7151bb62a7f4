// The device's playlists name songs by id. A rebuild gives new ids, so the
// playlists are carried over through the songs' paths (the .pts files); an
// update keeps the ids and only lets go of songs that are gone.

#include "index.h"

#include "indexrecords.h"

#include <QDebug>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <vector>

using namespace IndexRecords;

namespace
{

const char PlaylistFolder[] = "playlist";
const char PlaylistListFile[] = "playlist/playlist.dat";
constexpr qint64 MaxPlaylistBytes = 16 * 1024 * 1024;

// The .pts files: written alone, before the index changes.
bool saveWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && Index::writeGoesThrough() && file.commit())
        return true;
    qWarning() << "[Index::playlists] WARNING: cannot write" << path;
    file.cancelWriting();
    return false;
}

} // namespace

QString Index::playlistFile(quint16 number, const char *suffix) const
{
    return filePath(QStringLiteral("%1/play%2.%3")
                        .arg(QLatin1String(PlaylistFolder))
                        .arg(number, 4, 10, QLatin1Char('0'))
                        .arg(QLatin1String(suffix)));
}

bool Index::readPlaylistNumbers()
{
    m_playlistNumbers.clear();
    QByteArray list;
    if (!readWholeFile(filePath(QLatin1String(PlaylistListFile)), MaxPlaylistBytes, list))
        return false;
    // Each number once, in the order of the list.
    std::vector<bool> seen(0x10000, false);
    for (qsizetype i = 0; i + PlaylistRecordSize <= list.size(); i += PlaylistRecordSize) {
        const quint16 number = playlistNumber(list.constData() + i);
        if (!seen[number]) {
            seen[number] = true;
            m_playlistNumbers.append(number);
        }
    }
    return true;
}

bool Index::createPlaylistFilePath(bool deferWriting)
{
    qDebug() << "[Index::createPlaylistFilePath] create playlist file path";
    m_restorablePlaylists.clear();
    m_lostPlaylists.clear();
    m_pendingPlaylistPaths.clear();
    if (!readPlaylistNumbers() || m_playlistNumbers.isEmpty())
        return false;

    if (loadAllIndexFile() != 0 || m_songs.isEmpty()) {
        // The old index cannot say which song an id named. An earlier
        // rebuild left each playlist's paths in its .pts file; use those
        // that still match their playlist record for record. The others
        // would name other songs after the rebuild.
        for (quint16 number : std::as_const(m_playlistNumbers)) {
            const QFileInfo pts(playlistFile(number, "pts"));
            const QFileInfo dat(playlistFile(number, "dat"));
            if (pts.isFile() && dat.isFile()
                && pts.size() / PlaylistPathRecordSize == dat.size() / PlaylistRecordSize)
                m_restorablePlaylists.append(number);
            else
                m_lostPlaylists.append(number);
        }
        m_songs.clear();
        return !m_restorablePlaylists.isEmpty();
    }

    for (quint16 number : std::as_const(m_playlistNumbers)) {
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat))
            continue;
        const qsizetype records = dat.size() / PlaylistRecordSize;
        QByteArray pts;
        pts.reserve(records * PlaylistPathRecordSize);
        for (qsizetype i = 0; i < records; ++i) {
            const SongInfoIndex *entry
                = findById(getBigEndian32(dat.constData() + i * PlaylistRecordSize));
            pts += encodePlaylistPath(entry ? entry->path : QString());
        }
        m_pendingPlaylistPaths.append({ number, pts });
    }
    if (deferWriting)
        return false;
    return writePlaylistPaths() && !m_restorablePlaylists.isEmpty();
}

bool Index::writePlaylistPaths()
{
    for (const auto &[number, pts] : std::as_const(m_pendingPlaylistPaths)) {
        if (!saveWhole(playlistFile(number, "pts"), pts)) {
            m_playlistWriteFailed = true;
            return false;
        }
        m_restorablePlaylists.append(number);
    }
    m_pendingPlaylistPaths.clear();
    return true;
}

bool Index::restorePlaylistFilePath()
{
    qDebug() << "[Index::restorePlaylistFilePath] restore playlist file path";
    // Looked up in path order.
    sortSongs(m_songs, SongOrderEnum::Path);
    bool allDone = true;
    for (quint16 number : std::as_const(m_restorablePlaylists)) {
        QByteArray pts;
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "pts"), MaxPlaylistBytes, pts)
            || !readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat)) {
            qWarning() << "[Index::restorePlaylistFilePath] WARNING: playlist" << number
                       << "cannot be read";
            allDone = false;
            continue;
        }
        const qsizetype records
            = qMin(pts.size() / PlaylistPathRecordSize, dat.size() / PlaylistRecordSize);
        for (qsizetype i = 0; i < records; ++i) {
            SongInfoIndex key;
            key.path = decodePlaylistPath(pts.constData() + i * PlaylistPathRecordSize);
            const auto it = std::lower_bound(m_songs.begin(), m_songs.end(), key, compareByPath);
            const bool found = !key.path.isEmpty() && it != m_songs.end()
                && comparePaths(it->path, key.path) == 0;
            // A song that is gone gets no id: its old one may now name
            // another song.
            qToBigEndian(found ? it->id : SongInfoIndex::NoId, dat.data() + i * PlaylistRecordSize);
        }
        m_staged.stage(playlistFile(number, "dat"), dat);
    }
    return allDone;
}

void Index::clearPlaylists(const QList<quint16> &numbers)
{
    for (quint16 number : numbers) {
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat))
            continue;
        bool changed = false;
        for (qsizetype at = 0; at + PlaylistRecordSize <= dat.size(); at += PlaylistRecordSize) {
            if (getBigEndian32(dat.constData() + at) != SongInfoIndex::NoId) {
                qToBigEndian(SongInfoIndex::NoId, dat.data() + at);
                changed = true;
            }
        }
        if (!changed)
            continue;
        qWarning() << "[Index::createPathIndex] WARNING: playlist" << number
                   << "cannot be carried over the rebuild";
        m_staged.stage(playlistFile(number, "dat"), dat);
        m_clearedPlaylists.append(number);
    }
}

void Index::clearRemovedSongsFromPlaylists()
{
    // A later update gives the highest id again once its song is gone, so a
    // playlist record still naming a removed song would come to play another
    // one: such records name no song from now on.
    if (m_removedIds.isEmpty() || !readPlaylistNumbers())
        return;
    std::sort(m_removedIds.begin(), m_removedIds.end());
    for (quint16 number : std::as_const(m_playlistNumbers)) {
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat))
            continue;
        bool changed = false;
        for (qsizetype at = 0; at + PlaylistRecordSize <= dat.size(); at += PlaylistRecordSize) {
            const quint32 id = getBigEndian32(dat.constData() + at);
            if (id != SongInfoIndex::NoId
                && std::binary_search(m_removedIds.cbegin(), m_removedIds.cend(), id)) {
                qToBigEndian(SongInfoIndex::NoId, dat.data() + at);
                changed = true;
            }
        }
        if (changed)
            m_staged.stage(playlistFile(number, "dat"), dat);
    }
}
