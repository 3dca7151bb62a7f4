// The index files of the memory root. They are staged and put in place
// together once all are made (see commitStagedFiles()).

#include "index.h"

#include "indexrecords.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>

using namespace IndexRecords;

namespace
{
int failingWrite = 0;
int writesCounted = 0;
} // namespace

void Index::setFailingWriteForTesting(int number)
{
    failingWrite = number;
    writesCounted = 0;
}

int Index::writesCountedForTesting()
{
    return writesCounted;
}

bool Index::writeGoesThrough()
{
    return failingWrite <= 0 || ++writesCounted != failingWrite;
}

bool Index::writeFile(const QString &name, const QByteArray &bytes)
{
    // Put in place with the other files of the operation, all at once.
    m_staged.stage(filePath(name), bytes);
    return true;
}

bool Index::commitStagedFiles()
{
    const int count = m_staged.count();
    if (m_staged.commit(&Index::writeGoesThrough))
        return true;
    qWarning() << "[Index::commitStagedFiles] WARNING:" << count
               << "files cannot be written, the old ones are kept !!!";
    return false;
}

int Index::writePathIndex()
{
    qDebug() << "[Index::writePathIndex] write path index";
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPosidx);
    QByteArray bytes;
    bytes.reserve(m_songs.size() * PathRecordSize);
    for (const SongInfoIndex &entry : std::as_const(m_songs))
        bytes += encodePathRecord(entry);
    return writeFile(QStringLiteral("index.idx"), bytes) ? 0 : -1;
}

int Index::writeOrdIndex()
{
    qDebug() << "[Index::writeOrdIndex] write ord index";
    sortSongs(m_songs, SongOrderEnum::Path);
    QByteArray bytes(m_songs.size() * 2, '\0');
    char *at = bytes.data();
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        qToLittleEndian(entry.posidx, at);
        at += 2;
    }
    return writeFile(QStringLiteral("ordfile.idx"), bytes) ? 0 : -1;
}

int Index::writeTitleIndex(const QString &name)
{
    qDebug() << "[Index::writeTitleIndex] write title index" << name;
    sortSongs(m_songs, SongOrderEnum::Title);
    clearAlphaBuffer();
    QByteArray bytes;
    bytes.reserve(m_songs.size() * SongRecordSize);
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        addToAlphaBuffer(entry.title, static_cast<unsigned long>(bytes.size()));
        bytes += encodeSongRecord(entry);
    }
    if (!writeFile(name, bytes))
        return -1;
    return int(m_songs.size());
}

int Index::writeArtistIndex(const QString &name)
{
    qDebug() << "[Index::writeArtistIndex] write artist index" << name;
    return writeGroupIndex(name, GroupArtist);
}

int Index::writeGenreIndex(const QString &name)
{
    qDebug() << "[Index::writeGenreIndex] write genre index" << name;
    return writeGroupIndex(name, GroupGenre);
}

int Index::writeGroupIndex(const QString &name, GroupFieldEnum field)
{
    sortSongs(m_songs, field == GroupArtist ? SongOrderEnum::Artist : SongOrderEnum::Genre);
    clearAlphaBuffer();
    auto keyOf = [field](const SongInfoIndex &entry) -> const QString & {
        return field == GroupArtist ? entry.artist : entry.genre;
    };

    QByteArray bytes;
    bytes.reserve(m_songs.size() * 2 * SongRecordSize);
    int groups = 0;
    quint16 own = 0;
    qsizetype headerPos = -1;
    const QString *previousKey = nullptr;
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        const QString &key = keyOf(entry);
        if (!previousKey || QString::compare(*previousKey, key, Qt::CaseInsensitive) != 0) {
            // Close the open group with its own count, open the next one
            // with the count of the group just closed.
            if (headerPos >= 0)
                setGroupOwnCount(bytes.data() + headerPos, own);
            const quint16 previous = headerPos >= 0 ? own : 0;
            headerPos = bytes.size();
            addToAlphaBuffer(key, static_cast<unsigned long>(headerPos));
            bytes += encodeGroupHeader(previous, 0, key);
            ++groups;
            own = 0;
        }
        bytes += encodeSongRecord(entry);
        ++own;
        previousKey = &key;
    }
    if (headerPos >= 0)
        setGroupOwnCount(bytes.data() + headerPos, own);
    if (!writeFile(name, bytes))
        return -1;
    return groups;
}

bool Index::writeTextIndexes(
    const QString &suffix, int firstProgress, int *counts[3], QString &failedFile)
{
    // Title, artist and genre, each followed by its first-letter table
    // ("title.idx" and "atitle.idx", or "title3.idx" and "atitle3.idx").
    static const char *const names[] = { "title", "artist", "genre" };
    for (int i = 0; i < 3; ++i) {
        const QString name = QLatin1String(names[i]) + suffix + QLatin1String(".idx");
        int count = -1;
        switch (i) {
        case 0:
            count = writeTitleIndex(name);
            break;
        case 1:
            count = writeArtistIndex(name);
            break;
        default:
            count = writeGenreIndex(name);
            break;
        }
        *counts[i] = count;
        if (count < 0 || writeAlphaBuffer(QLatin1Char('a') + name) < 0) {
            failedFile = name;
            return false;
        }
        emit progressValueChanged(firstProgress + 10 * i);
    }
    return true;
}

void Index::clearAlphaBuffer()
{
    m_alphaBuffer = emptyAlphaTable();
}

void Index::addToAlphaBuffer(const QString &text, unsigned long offset)
{
    addToAlphaTable(m_alphaBuffer, text, quint32(offset));
}

int Index::writeAlphaBuffer(const QString &name)
{
    qDebug() << "[Index::writeAlphaBuffer] write alpha index" << name;
    return writeFile(name, m_alphaBuffer) ? 0 : -1;
}

int Index::writeNumFile()
{
    qDebug() << "[Index::writeNumFile] write numfile index";
    const QByteArray bytes = encodeNumFile({ m_titleCount, m_artistCount, m_genreCount,
        m_mp3TitleCount, m_mp3ArtistCount, m_mp3GenreCount });
    return writeFile(QStringLiteral("fsinfos.idx"), bytes) ? 0 : -1;
}
