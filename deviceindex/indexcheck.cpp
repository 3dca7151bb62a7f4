#include "indexcheck.h"

#include "index.h"
#include "songinfoindex.h"
#include "stagedfiles.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtEndian>

#include <algorithm>

namespace
{

// Record sizes of the files read here (the index engine writes them).
constexpr int PathRecordSize = 64;
constexpr int SongRecordSize = 32;
constexpr int PlaylistRecordSize = 32;
constexpr int NumFileSize = 12;
// A group header record of artist.idx and genre.idx: byte 30 is 0, byte 31 0xFF.
constexpr int GroupMarkOffset = 30;
constexpr uchar GroupHeaderMark = 0xFF;
// No index file of a memory of 65535 songs comes near this.
constexpr qint64 MaxReadBytes = 64 * 1024 * 1024;

const char PlaylistList[] = "/playlist/playlist.dat";

bool readFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxReadBytes)
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

quint32 id32(const QByteArray &bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

IndexCheck::IndexCheck(const QString &root)
{
    Index index;
    index.setRootPath(root);
    m_root = index.rootPath();
}

void IndexCheck::add(ProblemEnum kind, const QString &text)
{
    qDebug().noquote() << QStringLiteral("[IndexCheck]") << text;
    m_problems.append({ kind, text });
}

bool IndexCheck::run()
{
    m_problems.clear();
    m_indexed = 0;
    m_files = 0;

    checkCutOff();
    Index index;
    index.setRootPath(m_root);
    if (!index.checkIndexFile()) {
        QStringList missing;
        for (const QString &name : Index::indexFileNames()) {
            if (!QFileInfo::exists(m_root + QLatin1Char('/') + name))
                missing.append(name);
        }
        add(NotPrepared,
            tr("The memory is not prepared for Quenor: missing %1")
                .arg(missing.join(QLatin1String(", "))));
        return false;
    }
    if (index.loadAllIndexFile() < 0) {
        add(Unreadable,
            tr("The index cannot be read back: a file is short or names a song that index.idx "
               "lacks"));
        checkRepeatedIds();
        return false;
    }

    const QList<SongInfoIndex> indexed = index.songs();
    m_indexed = int(indexed.size());
    QHash<QByteArray, QString> indexedPaths;
    QList<quint32> ids;
    int mp3Songs = 0;
    for (const SongInfoIndex &song : indexed) {
        ids.append(song.id);
        if (song.type == SongInfoIndex::TypeMp3)
            ++mp3Songs;
        const QByteArray key = pathSortKey(song.path);
        if (indexedPaths.contains(key))
            add(IndexedTwice, tr("%1 is indexed more than once").arg(quoted(song.path)));
        indexedPaths.insert(key, song.path);
        if (!QFileInfo(song.longPath).isFile())
            add(MissingFile,
                tr("%1 (id %2) is in the index but not on the memory")
                    .arg(quoted(song.path))
                    .arg(song.id));
    }

    // The song files as the device's index would take them.
    Index scan;
    scan.setRootPath(m_root);
    // A check only looks: no long name is shortened.
    scan.setRenameQuestion(
        [](const QString &, const QString &) { return int(Index::RenameNoAll); });
    QObject::connect(
        &scan, &Index::errorFromIndex, [this](const QString &message) { add(Refused, message); });
    scan.scan_files(scan.rootPath());
    m_files = int(scan.songs().size());
    for (const SongInfoIndex &file : scan.songs()) {
        if (!indexedPaths.contains(pathSortKey(file.path)))
            add(NotIndexed, tr("%1 is on the memory but not in the index").arg(quoted(file.path)));
    }

    checkCounts(m_indexed, mp3Songs);
    std::sort(ids.begin(), ids.end());
    checkPlaylists(ids);
    return m_problems.isEmpty();
}

void IndexCheck::checkCutOff()
{
    // The files a build or update writes beside the index and playlists
    // before it puts them in place; the next one makes the index whole.
    QStringList left;
    for (const QString &name : Index::indexFileNames()) {
        for (const QString &kept : { StagedFiles::newName(name), StagedFiles::oldName(name) }) {
            if (QFileInfo(m_root + QLatin1Char('/') + kept).isFile())
                left << kept;
        }
    }
    const QDir playlists(m_root + QLatin1String("/playlist"));
    for (const QString &kept : playlists.entryList(
             { QStringLiteral("*.dat.new"), QStringLiteral("*.dat.old") }, QDir::Files))
        left << QStringLiteral("playlist/") + kept;
    if (!left.isEmpty())
        add(CutOff,
            tr("An index update was cut off while writing (%1 left): update the index to make it "
               "whole again")
                .arg(left.join(QLatin1String(", "))));
}

void IndexCheck::checkRepeatedIds()
{
    QByteArray bytes;
    if (!readFile(m_root + QLatin1String("/index.idx"), bytes))
        return;
    QSet<quint32> seen;
    for (qsizetype at = 0; at + PathRecordSize <= bytes.size(); at += PathRecordSize) {
        const quint32 id = id32(bytes, at);
        if (id == SongInfoIndex::NoId)
            add(RepeatedId,
                tr("Record %1 of index.idx holds the \"no song\" id").arg(at / PathRecordSize));
        else if (seen.contains(id))
            add(RepeatedId, tr("The id %1 is given to more than one song").arg(id));
        seen.insert(id);
    }
    if (bytes.size() % PathRecordSize != 0)
        add(Unreadable, tr("index.idx does not hold whole records"));
}

void IndexCheck::checkCounts(int songs, int mp3Songs)
{
    QByteArray counts;
    if (!readFile(m_root + QLatin1String("/fsinfos.idx"), counts) || counts.size() != NumFileSize) {
        add(WrongCount, tr("fsinfos.idx does not hold its %1 bytes").arg(NumFileSize));
        return;
    }
    // Song records of a plain file, or group header records of a group file;
    // -1 when the file cannot be read.
    auto recordsIn = [this](const char *name, bool groups) {
        QByteArray bytes;
        if (!readFile(m_root + QLatin1Char('/') + QLatin1String(name), bytes)
            || bytes.size() % SongRecordSize != 0)
            return -1;
        if (!groups)
            return int(bytes.size() / SongRecordSize);
        int headers = 0;
        for (qsizetype at = 0; at < bytes.size(); at += SongRecordSize) {
            if (bytes.at(at + GroupMarkOffset) == 0
                && uchar(bytes.at(at + SongRecordSize - 1)) == GroupHeaderMark)
                ++headers;
        }
        return headers;
    };
    struct Count {
        const char *file;
        bool groups;
        int expected; // from the songs, or -1 when only the file tells
    };
    const Count table[] = {
        { "title.idx", false, songs },
        { "artist.idx", true, -1 },
        { "genre.idx", true, -1 },
        { "title3.idx", false, mp3Songs },
        { "artist3.idx", true, -1 },
        { "genre3.idx", true, -1 },
    };
    for (int i = 0; i < 6; ++i) {
        const int stored = qFromLittleEndian<quint16>(counts.constData() + 2 * i);
        const int inFile = recordsIn(table[i].file, table[i].groups);
        const QString name = QLatin1String(table[i].file);
        if (inFile < 0)
            add(WrongCount, tr("%1 does not hold whole records").arg(name));
        else if (inFile != stored)
            add(WrongCount,
                tr("fsinfos.idx counts %1 in %2, the file holds %3")
                    .arg(stored)
                    .arg(name)
                    .arg(inFile));
        if (table[i].expected >= 0 && stored != table[i].expected)
            add(WrongCount,
                tr("fsinfos.idx counts %1 in %2, the index has %3 such songs")
                    .arg(stored)
                    .arg(name)
                    .arg(table[i].expected));
    }
}

void IndexCheck::checkPlaylists(const QList<quint32> &ids)
{
    QByteArray list;
    if (!QFileInfo::exists(m_root + QLatin1String(PlaylistList)))
        return; // the device has made no playlist yet
    if (!readFile(m_root + QLatin1String(PlaylistList), list)
        || list.size() % PlaylistRecordSize != 0) {
        add(BadPlaylist, tr("playlist/playlist.dat does not hold whole records"));
        return;
    }
    for (qsizetype at = 0; at < list.size(); at += PlaylistRecordSize) {
        const quint16 number = qFromLittleEndian<quint16>(list.constData() + at);
        const QString name
            = QStringLiteral("playlist/play%1.dat").arg(number, 4, 10, QLatin1Char('0'));
        QByteArray records;
        if (!readFile(m_root + QLatin1Char('/') + name, records)) {
            add(BadPlaylist,
                tr("%1 is listed in playlist/playlist.dat but cannot be read").arg(name));
            continue;
        }
        if (records.size() % PlaylistRecordSize != 0)
            add(BadPlaylist, tr("%1 does not hold whole records").arg(name));
        for (qsizetype r = 0; r + PlaylistRecordSize <= records.size(); r += PlaylistRecordSize) {
            const quint32 id = id32(records, r);
            if (id != SongInfoIndex::NoId && !std::binary_search(ids.begin(), ids.end(), id))
                add(UnknownPlaylistSong,
                    tr("Record %1 of %2 names the id %3, which is not in the index")
                        .arg(r / PlaylistRecordSize)
                        .arg(name)
                        .arg(id));
        }
    }
}
