// Reading a memory's index back, for an update and for the song list.

#include "index.h"

#include "indexrecords.h"

#include <QDebug>
#include <QFile>

#include <algorithm>

using namespace IndexRecords;

namespace
{

// Any real index holds at most 65535 songs; larger files are not an index.
constexpr qint64 MaxPathIndexBytes = qint64(Index::MaxSongs) * PathRecordSize;
constexpr qint64 MaxSongIndexBytes = 2 * qint64(Index::MaxSongs) * SongRecordSize;

} // namespace

bool Index::readWholeFile(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    // Only regular files: opening a pipe would wait for a writer forever.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > maxBytes)
        return false;
    // Only what is there: a buffer of maxBytes would be set up for nothing.
    bytes = file.read(file.size() + 1);
    return bytes.size() <= maxBytes;
}

SongInfoIndex *Index::findById(quint32 id)
{
    SongInfoIndex key;
    key.id = id;
    const auto it = std::lower_bound(m_songs.begin(), m_songs.end(), key, compareById);
    return (it != m_songs.end() && it->id == id) ? &*it : nullptr;
}

int Index::loadAllIndexFile()
{
    m_songs.clear();
    m_nextPosidx = 0;
    m_lastId = 0;

    QByteArray bytes;
    if (!readWholeFile(filePath(QStringLiteral("index.idx")), MaxPathIndexBytes, bytes)
        || bytes.size() % PathRecordSize != 0) {
        qWarning() << "[Index::loadAllIndexFile] WARNING: index.idx cannot be read";
        return -1;
    }
    const qsizetype count = bytes.size() / PathRecordSize;
    m_songs.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        SongInfoIndex entry = decodePathRecord(bytes.constData() + i * PathRecordSize);
        entry.longPath = m_rootPath + entry.path;
        entry.posidx = m_nextPosidx++;
        m_songs.append(entry);
    }

    // Ids are written in ascending order; the largest one is the last id
    // given out, whatever order a damaged file has them in.
    std::stable_sort(m_songs.begin(), m_songs.end(), compareById);
    for (qsizetype i = 0; i < m_songs.size(); ++i) {
        if (m_songs.at(i).id == SongInfoIndex::NoId
            || (i > 0 && m_songs.at(i - 1).id == m_songs.at(i).id)) {
            qWarning() << "[Index::loadAllIndexFile] WARNING: index.idx holds an invalid or "
                          "repeated id"
                       << m_songs.at(i).id;
            m_songs.clear();
            return -1;
        }
    }
    if (!m_songs.isEmpty())
        m_lastId = m_songs.constLast().id;

    if (!readWholeFile(filePath(QStringLiteral("title.idx")), MaxSongIndexBytes, bytes)
        || bytes.size() % SongRecordSize != 0) {
        qWarning() << "[Index::loadAllIndexFile] WARNING: title.idx cannot be read";
        m_songs.clear();
        return -1;
    }
    for (qsizetype i = 0; i < bytes.size(); i += SongRecordSize) {
        const char *record = bytes.constData() + i;
        SongInfoIndex *entry = findById(getBigEndian32(record));
        if (!entry) {
            qWarning() << "[Index::loadAllIndexFile] WARNING: title.idx names an unknown id"
                       << getBigEndian32(record);
            m_songs.clear();
            return -1;
        }
        decodeSongRecord(record, *entry);
    }

    if (loadGroupFile(QStringLiteral("artist.idx"), GroupArtist) != 0
        || loadGroupFile(QStringLiteral("genre.idx"), GroupGenre) != 0) {
        m_songs.clear();
        return -1;
    }
    return 0;
}

int Index::loadGroupFile(const QString &name, GroupFieldEnum field)
{
    QByteArray bytes;
    if (!readWholeFile(filePath(name), MaxSongIndexBytes, bytes)
        || bytes.size() % SongRecordSize != 0) {
        qWarning() << "[Index::loadAllIndexFile] WARNING:" << name << "cannot be read";
        return -1;
    }
    QString current;
    for (qsizetype i = 0; i < bytes.size(); i += SongRecordSize) {
        const char *record = bytes.constData() + i;
        if (isGroupHeader(record)) {
            current = stringToUpper(groupHeaderKey(record)).trimmed();
            continue;
        }
        SongInfoIndex *entry = findById(getBigEndian32(record));
        if (!entry) {
            qWarning() << "[Index::loadAllIndexFile] WARNING:" << name << "names an unknown id"
                       << getBigEndian32(record);
            return -1;
        }
        (field == GroupArtist ? entry->artist : entry->genre) = current;
    }
    return 0;
}
