#include "memorycontents.h"

#include "index.h"
#include "indexrecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace IndexRecords;

namespace
{

// The files of a sound index are a few megabytes at most; anything larger is
// not read.
constexpr qint64 MaxFileBytes = 4 * qint64(Index::MaxSongs) * SongRecordSize;

QByteArray readFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return QByteArray();
    return file.readAll();
}

} // namespace

QString MemoryContents::typeName(quint8 type)
{
    switch (type) {
    case SongInfoIndex::TypeMidi:
        return QStringLiteral("MIDI");
    case SongInfoIndex::TypeMp3:
        return QStringLiteral("MP3");
    case SongInfoIndex::TypeMf3:
        return QStringLiteral("MF3");
    case SongInfoIndex::TypeMf4:
        return QStringLiteral("MF4");
    case SongInfoIndex::TypeMf5:
        return QStringLiteral("MF5");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

MemoryContents::StateEnum MemoryContents::load(const QString &root)
{
    *this = MemoryContents();
    Index index;
    index.setRootPath(root);
    m_root = index.rootPath();
    if (!index.checkIndexFile()) {
        m_state = NotPrepared;
        return m_state;
    }
    if (index.loadAllIndexFile() != 0) {
        m_state = Unreadable;
        return m_state;
    }

    const QList<SongInfoIndex> &entries = index.songs();
    m_songs.reserve(entries.size());
    m_byId.reserve(entries.size());
    for (const SongInfoIndex &entry : entries) {
        Song song;
        song.id = entry.id;
        // The reader keeps titles upper-cased for its comparisons; the
        // title file's own text replaces it below.
        song.title = entry.title;
        song.path = entry.path;
        song.bpm = entry.bpm;
        song.type = entry.type;
        song.markers = entry.markers != 0;
        m_byId.insert(entry.id, int(m_songs.size()));
        m_songs.append(song);
    }

    readSet(AllSongs, QString());
    readSet(Mp3Songs, QStringLiteral("3"));
    readPlaylists();
    m_state = Prepared;
    return m_state;
}

void MemoryContents::readSet(SetEnum set, const QString &suffix)
{
    m_sets[set].byTitle = readTitles(QStringLiteral("title%1.idx").arg(suffix));
    m_sets[set].byArtist = readGroups(QStringLiteral("artist%1.idx").arg(suffix));
    m_sets[set].byGenre = readGroups(QStringLiteral("genre%1.idx").arg(suffix));
}

QList<int> MemoryContents::readTitles(const QString &name)
{
    const QByteArray bytes = readFile(m_root + QLatin1Char('/') + name);
    QList<int> order;
    const qsizetype count = bytes.size() / SongRecordSize;
    order.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const char *record = bytes.constData() + i * SongRecordSize;
        const int song = songOf(getBigEndian32(record));
        if (song < 0) {
            ++m_unknown;
            continue;
        }
        // The text as the device shows it, letter case and all.
        m_songs[song].title = latin1Until0(record + 4, TextFieldSize);
        order.append(song);
    }
    return order;
}

QList<MemoryContents::Group> MemoryContents::readGroups(const QString &name)
{
    const QByteArray bytes = readFile(m_root + QLatin1Char('/') + name);
    QList<Group> groups;
    const qsizetype count = bytes.size() / SongRecordSize;
    for (qsizetype i = 0; i < count; ++i) {
        const char *record = bytes.constData() + i * SongRecordSize;
        if (isGroupHeader(record)) {
            Group group;
            group.name = groupHeaderKey(record);
            groups.append(group);
            continue;
        }
        const int song = songOf(getBigEndian32(record));
        // A song record before any header belongs to no group the device
        // could show.
        if (song < 0 || groups.isEmpty()) {
            ++m_unknown;
            continue;
        }
        groups.last().songs.append(song);
    }
    return groups;
}

void MemoryContents::readPlaylists()
{
    const QString folder = m_root + QStringLiteral("/playlist/");
    const QByteArray list = readFile(folder + QStringLiteral("playlist.dat"));
    for (qsizetype i = 0; i + PlaylistRecordSize <= list.size(); i += PlaylistRecordSize) {
        Playlist playlist;
        playlist.number = playlistNumber(list.constData() + i);
        const QString name
            = QStringLiteral("play%1.dat").arg(playlist.number, 4, 10, QLatin1Char('0'));
        const QString path = folder + name;
        playlist.readable = QFileInfo(path).isFile();
        const QByteArray records = readFile(path);
        for (qsizetype r = 0; r + PlaylistRecordSize <= records.size(); r += PlaylistRecordSize)
            playlist.songs.append(songOf(getBigEndian32(records.constData() + r)));
        m_playlists.append(playlist);
    }
}
