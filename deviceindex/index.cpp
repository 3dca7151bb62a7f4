#include "index.h"

#include "indexrecords.h"
#include "songhead.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <ctime>

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

// Fixed names on the memory: the device looks for exactly these.
const char *const IndexFileNames[] = {
    "index.idx",
    "ordfile.idx",
    "title.idx",
    "artist.idx",
    "genre.idx",
    "atitle.idx",
    "aartist.idx",
    "agenre.idx",
    "title3.idx",
    "artist3.idx",
    "genre3.idx",
    "atitle3.idx",
    "aartist3.idx",
    "agenre3.idx",
    "fsinfos.idx",
};
const char *const TempFileNames[] = { "temp1.idx", "temp2.idx" };
const char SfxFolder[] = "sfx";
const char BridgeFolder[] = "bridge";

} // namespace

Index::Index(QObject *parent)
    : QObject(parent)
    , m_alphaBuffer(IndexRecords::emptyAlphaTable())
{
}

void Index::setRenameQuestion(RenameQuestion question)
{
    m_renameQuestion = std::move(question);
}

QStringList Index::indexFileNames()
{
    QStringList names;
    for (const char *name : IndexFileNames)
        names << QString::fromLatin1(name);
    return names;
}

void Index::setRootPath(const QString &root)
{
    QString path = root;
    if (path.size() > 1 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    // "/media/x/CARD/./", "/media/x//CARD" and "/media/x/CARD//" all name the
    // same folder; every path of the memory is cut from this text.
    if (!path.isEmpty())
        path = QDir::cleanPath(QFileInfo(QDir::cleanPath(path)).absoluteFilePath());
    m_rootPath = path;
}

QString Index::filePath(const QString &name) const
{
    return m_rootPath + QLatin1Char('/') + name;
}

bool Index::fileStatus(const QString &path, qint32 &date, qint32 &time)
{
    // One system call and the C library's local time: this runs for every
    // song of the memory on every update.
    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        // The same numbers on every build and update, so that an update never
        // sees a change that did not happen.
        date = 0;
        time = 0;
        return false;
    }
    // A file dated at the epoch (time 0) is 1 January 1970 like any other.
    const time_t seconds = status.st_mtime;
    struct tm local {
    };
    if (!localtime_r(&seconds, &local)) {
        date = 0;
        time = 0;
        return true;
    }
    date = (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
    time = local.tm_hour * 10000 + local.tm_min * 100 + local.tm_sec;
    return true;
}

// ---------------------------------------------------------------------------
// Whole operations

void Index::recoverCutOffCommit() const
{
    QStringList targets;
    for (const char *name : IndexFileNames)
        targets << filePath(QString::fromLatin1(name));
    // The playlists the cut-off commit rewrote are those with a file beside.
    const QDir playlists(filePath(QStringLiteral("playlist")));
    const QStringList waiting = playlists.entryList(
        { QStringLiteral("*.dat.new"), QStringLiteral("*.dat.old") }, QDir::Files);
    for (const QString &name : waiting) {
        const QString target = playlists.filePath(name.chopped(4));
        if (!targets.contains(target))
            targets << target;
    }
    StagedFiles::recover(targets);
}

bool Index::createIndex(const QString &root)
{
    setRootPath(root);
    recoverCutOffCommit();
    qDebug() << "[Index::createIndex]" << m_rootPath;
    m_filesFound = 0;
    m_titleCount = m_artistCount = m_genreCount = 0;
    m_mp3TitleCount = m_mp3ArtistCount = m_mp3GenreCount = 0;
    m_indexChanged = false;
    m_written = false;
    m_refusedTooMany = false;
    m_playlistWriteFailed = false;
    m_removedIds.clear();
    m_writeFailed = false;
    m_staged.clear();
    m_clearedPlaylists.clear();

    m_playlistsConverted = createPlaylistFilePath();
    // A playlist without its .pts file would be lost: leave everything as it is.
    if (m_playlistWriteFailed) {
        qWarning() << "[Index::createIndex] WARNING: a playlist cannot be carried over, index left "
                      "as it was !!!";
        return false;
    }

    m_lastId = SongInfoIndex::NoId;
    m_nextId = 0;
    m_nextPosidx = 0;
    m_songs.clear();

    // The old index stays on the memory until the new one replaces it whole,
    // so that a refused or failed build leaves it as it was.
    m_rebuilding = true;
    createPathIndex();
    m_rebuilding = false;
    if (m_stopRequested) {
        qWarning() << "[Index::createIndex] WARNING: stopped, index left as it was !!!";
        return false;
    }
    // A memory without songs keeps no index: it would name songs that are
    // gone.
    if (!m_written && !m_refusedTooMany && !m_writeFailed)
        deleteIndex();
    createQuenorDir();
    return !m_refusedTooMany && !m_writeFailed && checkIndexFile();
}

bool Index::updateIndex(const QString &root)
{
    setRootPath(root);
    recoverCutOffCommit();
    if (!checkIndexFile())
        return createIndex(root);
    qDebug() << "[Index::updateIndex]" << m_rootPath;

    m_filesFound = 0;
    m_lastId = 0;
    m_nextId = 0;
    m_nextPosidx = 0;
    m_titleCount = m_artistCount = m_genreCount = 0;
    m_mp3TitleCount = m_mp3ArtistCount = m_mp3GenreCount = 0;
    m_indexChanged = false;
    m_written = false;
    m_refusedTooMany = false;
    m_playlistWriteFailed = false;
    m_rebuilding = false;
    m_removedIds.clear();
    m_writeFailed = false;
    m_staged.clear();
    m_clearedPlaylists.clear();

    // An update keeps every id, so the playlists stay valid as they are
    // except where they name a song that is gone. Their .pts files are still
    // written, once the update is about to change the index: should it fail
    // halfway and leave no index, the rebuild that follows carries the
    // playlists over through them. An update that changes nothing, or is
    // stopped, writes nothing at all.
    createPlaylistFilePath(true);
    m_playlistsConverted = false;
    m_playlistNumbers.clear();
    m_restorablePlaylists.clear();
    m_lostPlaylists.clear();
    if (loadAllIndexFile() != 0) {
        qWarning() << "[Index::updateIndex] WARNING: the index cannot be read" << m_rootPath
                   << "!!!";
        return false;
    }
    if (m_lastId >= SongInfoIndex::NoId - 1) {
        qWarning() << "[Index::updateIndex] WARNING: no song id left after" << m_lastId << "!!!";
        return false;
    }
    m_nextId = m_lastId + 1;

    createPathIndex();
    if (m_stopRequested) {
        qWarning() << "[Index::updateIndex] WARNING: stopped, index left as it was !!!";
        return false;
    }
    createQuenorDir();
    return !m_refusedTooMany && !m_playlistWriteFailed && !m_writeFailed && checkIndexFile();
}

bool Index::checkIndexFile() const
{
    for (const char *name : IndexFileNames) {
        if (!QFileInfo(filePath(QString::fromLatin1(name))).isFile())
            return false;
    }
    return true;
}

void Index::deleteIndex()
{
    qDebug() << "[Index::deleteIndex] delete index";
    for (const char *name : IndexFileNames)
        QFile::remove(filePath(QString::fromLatin1(name)));
    for (const char *name : TempFileNames)
        QFile::remove(filePath(QString::fromLatin1(name)));
}

void Index::createQuenorDir()
{
    QDir root(m_rootPath);
    for (const char *name : { SfxFolder, BridgeFolder }) {
        const QString folder = QString::fromLatin1(name);
        if (!root.exists(folder) && !root.mkdir(folder))
            qWarning() << "[Index::createQuenorDir] WARNING: cannot create" << filePath(folder);
    }
}

// ---------------------------------------------------------------------------
// Build pipeline

void Index::createPathIndex()
{
    qDebug() << "[Index::createPathIndex] create path index";
    emit progressValueChanged(0);
    m_filesFound = 0;
    sortSongs(m_songs, SongOrderEnum::Path);

    scan_files(m_rootPath);
    if (m_filesFound == 0 || m_stopRequested)
        return;

    emit progressMaxSetup(m_filesFound);
    createTitleIndex();
    if (!m_indexChanged || m_stopRequested)
        return;

    emit progressMaxSetup(100);
    emit progressValueChanged(0);
    removeDeletedItems();
    if (m_songs.size() > MaxSongs) {
        m_refusedTooMany = true;
        qWarning() << "[Index::createPathIndex] WARNING:" << m_songs.size()
                   << "songs, more than an index can describe: index not written !!!";
        emit errorFromIndex(tr("Indice non scritto: la memoria contiene %1 song, più delle %2 che "
                               "Quenor può gestire. L'indice esistente non è stato modificato.")
                                .arg(m_songs.size())
                                .arg(MaxSongs));
        return;
    }
    emit progressValueChanged(10);

    // Nothing below touches the memory until every file is made: they are
    // then put in place together, so that a failure leaves the old index and
    // playlists whole.
    if (!m_rebuilding) {
        // The .pts files go first: should the update be cut off later, the
        // rebuild that follows carries the playlists over through them.
        if (!writePlaylistPaths()) {
            m_playlistWriteFailed = true;
            qWarning() << "[Index::createPathIndex] WARNING: a playlist cannot be written, index "
                          "left as it was !!!";
            return;
        }
        clearRemovedSongsFromPlaylists();
    }

    auto failed = [this](const QString &file) {
        qWarning() << "[Index::createPathIndex] WARNING: making" << file
                   << "failed, index left as it was !!!";
        m_staged.clear();
        m_writeFailed = true;
    };

    if (writeOrdIndex() < 0)
        return failed(QStringLiteral("ordfile.idx"));
    // A playlist left with the old ids would name other songs under the new
    // index: stop as for any file that cannot be written. Its .pts file
    // stays, so the next rebuild carries it over.
    if (m_playlistsConverted && !restorePlaylistFilePath())
        return failed(QStringLiteral("playlist"));
    clearPlaylists(m_lostPlaylists);
    if (writePathIndex() < 0)
        return failed(QStringLiteral("index.idx"));
    emit progressValueChanged(20);

    QString failedFile;
    int *counts[3] = { &m_titleCount, &m_artistCount, &m_genreCount };
    if (!writeTextIndexes(QString(), 30, counts, failedFile))
        return failed(failedFile);
    createMp3TitleIndex();
    emit progressValueChanged(60);
    int *mp3Counts[3] = { &m_mp3TitleCount, &m_mp3ArtistCount, &m_mp3GenreCount };
    if (!writeTextIndexes(QStringLiteral("3"), 70, mp3Counts, failedFile))
        return failed(failedFile);
    if (writeNumFile() < 0)
        return failed(QStringLiteral("fsinfos.idx"));
    if (!commitStagedFiles()) {
        m_writeFailed = true;
        return;
    }
    if (m_rebuilding) {
        for (const char *name : TempFileNames)
            QFile::remove(filePath(QString::fromLatin1(name)));
    }
    for (quint16 number : std::as_const(m_clearedPlaylists))
        emit errorFromIndex(tr("Impossibile mantenere la playlist %1").arg(number));
    emit progressValueChanged(100);
    m_written = true;
}

void Index::createTitleIndex()
{
    qDebug() << "[Index::createTitleIndex] create title index";
    int i = 0;
    for (SongInfoIndex &entry : m_songs) {
        if (m_stopRequested)
            break;
        ++i;
        emit currentPathChanged(entry.longPath);
        qint32 date = 0;
        qint32 time = 0;
        // A folder or a pipe in the place of a song is no song any more.
        if (!fileStatus(entry.longPath, date, time)) {
            if (entry.id != SongInfoIndex::NoId)
                m_removedIds.append(entry.id);
            entry.id = SongInfoIndex::NoId;
            m_indexChanged = true;
        } else if (m_lastId == SongInfoIndex::NoId || entry.id > m_lastId) {
            setSongInfo(entry);
            m_indexChanged = true;
        } else {
            if (date != entry.date || time != entry.time) {
                setSongInfo(entry);
                entry.date = date;
                entry.time = time;
                m_indexChanged = true;
            }
        }
        emit progressValueChanged(i);
    }
    emit currentPathChanged(QString());
}

void Index::removeDeletedItems()
{
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPosidx);
    m_songs.removeIf([](const SongInfoIndex &entry) { return entry.id == SongInfoIndex::NoId; });
    // Dense record numbers in the old order; the same as lowering each by
    // the entries removed before it, and still right if the 16-bit numbers
    // of a huge scan ran over.
    quint16 posidx = 0;
    for (SongInfoIndex &entry : m_songs)
        entry.posidx = posidx++;
}

void Index::createMp3TitleIndex()
{
    qDebug() << "[Index::createMp3TitleIndex] create mp3 index";
    m_songs.removeIf(
        [](const SongInfoIndex &entry) { return entry.type != SongInfoIndex::TypeMp3; });
}

bool Index::setSongInfo(SongInfoIndex &entry) const
{
    return SongHead::read(entry);
}
