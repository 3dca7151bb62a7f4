#include "index.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextCodec>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// Fixed names on the memory: the device looks for exactly these.
const char *const IndexFileNames[] = {
    "index.idx",   "ordfile.idx", "title.idx",    "artist.idx",   "genre.idx",
    "atitle.idx",  "aartist.idx", "agenre.idx",   "title3.idx",   "artist3.idx",
    "genre3.idx",  "atitle3.idx", "aartist3.idx", "agenre3.idx",  "fsinfos.idx",
};
const char *const TempFileNames[] = {"temp1.idx", "temp2.idx"};
const char SfxFolder[] = "sfx";
const char BridgeFolder[] = "bridge";
const char PlaylistFolder[] = "playlist";
const char PlaylistListFile[] = "playlist/playlist.dat";

// index.idx: id, path in IBM 850 (46 bytes, zero-terminated), yyyymmdd, hhmmss.
constexpr int PathRecordSize = 64;
constexpr int PathFieldOffset = 4;
constexpr int PathFieldSize = 46;
constexpr int DateOffset = 50;
constexpr int DateDigits = 8;
constexpr int TimeOffset = 58;
constexpr int TimeDigits = 6;

// title.idx and the group files: 32-byte records, texts of 26 bytes.
constexpr int SongRecordSize = 32;
constexpr int TextFieldOffset = 4;
constexpr int TextFieldSize = 26;
constexpr int BpmOffset = 30;
constexpr int FlagsOffset = 31;
// A group header has 0 at byte 30 and 0xFF at byte 31; a song record's byte
// 31 never goes above 0x0C.
constexpr uchar GroupHeaderMark = 0xFF;
constexpr quint8 TypeMask = 0x07;
constexpr int MarkersShift = 3;

// First-letter tables: 64 big-endian offsets for the characters 0x20 to 0x5F.
constexpr int AlphaTableSize = 256;
constexpr char16_t AlphaFirst = 0x20;
constexpr char16_t AlphaLast = 0x5F;

constexpr int NumFileSize = 12;

// Playlists: 32-byte .dat records starting with the song id, 64-byte .pts
// records holding the song's path.
constexpr int PlaylistRecordSize = 32;
constexpr int PlaylistPathRecordSize = 64;

// Song files are identified from their first bytes only.
constexpr int ScanBytes = 3072;
constexpr int MinSongBytes = 5;
constexpr int Mp3FrameWindow = 512;
constexpr int MaxText = 26;
// First track data of a MIDI file: 14-byte header chunk plus 8-byte track header.
constexpr int MidiTrackData = 22;
constexpr quint8 DefaultBpm = 120;

// Container header fields as the device index reads them: each lies 16 bytes
// after the field the container's own header reader uses.
constexpr int ContainerBpm = 38;
constexpr int ContainerTitle = 138;
constexpr int ContainerMarkers = 201;
constexpr int ContainerArtist = 234;
constexpr int ContainerGenre = 266;

// MIDI meta events the scan looks at.
constexpr uchar MetaEvent = 0xFF;
constexpr uchar MetaText = 0x01;
constexpr uchar MetaCopyright = 0x02;
constexpr uchar MetaTrackName = 0x03;
constexpr uchar MetaMarker = 0x06;
constexpr uchar MetaTempo = 0x51;
constexpr uchar MetaTag = 0x4B;
constexpr uchar TagGenre = 1;
constexpr uchar TagArtist = 2;
constexpr uchar SysEx = 0xF0;
// The system exclusive message that carries the display's second text line.
const uchar SecondLineId[] = {0x00, 0x20, 0x24, 0x00, 0x05};

// Any real index holds at most 65535 songs; larger files are not an index.
constexpr qint64 MaxPathIndexBytes = qint64(Index::MaxSongs) * PathRecordSize;
constexpr qint64 MaxSongIndexBytes = 2 * qint64(Index::MaxSongs) * SongRecordSize;
constexpr qint64 MaxPlaylistBytes = 16 * 1024 * 1024;

const QString UnknownText = QStringLiteral("<unknown>");

QTextCodec *ibm850()
{
    static QTextCodec *codec = QTextCodec::codecForName("IBM 850");
    return codec;
}

QByteArray toIbm850(const QString &text)
{
    QTextCodec *codec = ibm850();
    return codec ? codec->fromUnicode(text) : text.toLatin1();
}

QString fromIbm850(const QByteArray &bytes)
{
    QTextCodec *codec = ibm850();
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

void putBigEndian32(char *at, quint32 value)
{
    qToBigEndian(value, at);
}

quint32 getBigEndian32(const char *at)
{
    return qFromBigEndian<quint32>(at);
}

void putBigEndian16(char *at, quint16 value)
{
    qToBigEndian(value, at);
}

void appendLittleEndian16(QByteArray &bytes, quint16 value)
{
    char le[2];
    qToLittleEndian(value, le);
    bytes.append(le, 2);
}

// Bytes up to the first zero, read as Latin-1.
QString latin1Until0(const char *data, qsizetype size)
{
    const void *zero = std::memchr(data, 0, size_t(size));
    const qsizetype length = zero ? static_cast<const char *>(zero) - data : size;
    return QString::fromLatin1(data, length);
}

// A text field: at most width bytes, Latin-1 ('?' for what it lacks),
// zero-padded, no terminator when the text fills it.
void putLatin1Field(char *at, const QString &text, int width)
{
    const QByteArray bytes = text.toLatin1();
    std::memcpy(at, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), width)));
}

// Byte sizes of a file as record counts, and whole reads with a size cap.
bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    // Only regular files: opening a pipe would wait for a writer forever.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > maxBytes)
        return false;
    bytes = file.read(maxBytes + 1);
    return bytes.size() <= maxBytes;
}

void splitDateTime(const QDateTime &modified, qint32 &date, qint32 &time)
{
    const QDate d = modified.date();
    const QTime t = modified.time();
    date = d.year() * 10000 + d.month() * 100 + d.day();
    time = t.hour() * 10000 + t.minute() * 100 + t.second();
}

int digitsValue(const char *at, int count)
{
    bool ok = false;
    const int value = QByteArray(at, count).toInt(&ok);
    return ok ? value : 0;
}

// The song information read from a file's first bytes.
class SongBytes
{
public:
    SongBytes(const QByteArray &buffer, qint64 read)
        : d(reinterpret_cast<const uchar *>(buffer.constData())), size(buffer.size()), n(read)
    {
    }

    uchar at(qint64 i) const { return (i >= 0 && i < size) ? d[i] : 0; }

    // Copies count bytes from 'from' (nothing for a count below 1, never
    // beyond the zero-filled buffer), then ends the text at its first zero.
    QString text(qint64 from, qint64 count) const
    {
        if (count <= 0 || from < 0 || from >= size)
            return QString();
        count = qMin(count, size - from);
        return latin1Until0(reinterpret_cast<const char *>(d) + from, count);
    }

    QByteArray bytes(qint64 from, qint64 count) const
    {
        if (count <= 0 || from < 0 || from >= size)
            return QByteArray();
        count = qMin(count, size - from);
        return QByteArray(reinterpret_cast<const char *>(d) + from, count);
    }

    // Next position of byte b at or after from, below limit (and below n).
    qint64 find(uchar b, qint64 from, qint64 limit) const
    {
        limit = qMin(limit, n);
        if (from < 0 || from >= limit)
            return -1;
        const void *hit = std::memchr(d + from, b, size_t(limit - from));
        return hit ? static_cast<const uchar *>(hit) - d : -1;
    }

    const uchar *d;
    qint64 size;
    qint64 n;
};

void readMp3(const SongBytes &b, SongInfoIndex &entry)
{
    entry.type = SongInfoIndex::TypeMp3;
    entry.bpm = 0;
    entry.markers = 0;
    if (!(b.at(0) == 'I' && b.at(1) == 'D' && b.at(2) == '3'))
        return;

    bool hasTitle = false;
    bool hasArtist = false;
    bool hasGenre = false;
    qint64 p = 0;
    while (!(hasTitle && hasArtist && hasGenre)) {
        if (p >= b.n)
            break;
        const qint64 q = b.find('T', p, Mp3FrameWindow);
        if (q < 0 || q + 10 >= b.n)
            break;
        const QByteArray id = b.bytes(q, 4);
        QString *field = nullptr;
        bool *found = nullptr;
        if (id == "TIT2" && !hasTitle) {
            field = &entry.title;
            found = &hasTitle;
        } else if (id == "TPE1" && !hasArtist) {
            field = &entry.artist;
            found = &hasArtist;
        } else if (id == "TCON" && !hasGenre) {
            field = &entry.genre;
            found = &hasGenre;
        }
        if (!field) {
            p = q + 1;
            continue;
        }
        const qint64 size = getBigEndian32(reinterpret_cast<const char *>(b.d) + q + 4);
        if (q + 10 + size >= b.n)
            break;
        // After the 10-byte frame header comes the text-encoding byte.
        *field = b.text(q + 11, size <= MaxText + 1 ? size - 1 : MaxText);
        *found = true;
        p = q + 10 + size;
    }
}

void readContainer(const SongBytes &b, SongInfoIndex &entry, const QString &name)
{
    const uchar variant = b.at(3);
    entry.type = variant == '3' ? SongInfoIndex::TypeMf3
                                : (variant == '4' ? SongInfoIndex::TypeMf4 : SongInfoIndex::TypeMf5);
    entry.title = b.text(ContainerTitle, MaxText).trimmed();
    entry.artist = b.text(ContainerArtist, MaxText).trimmed();
    entry.genre = b.text(ContainerGenre, MaxText).trimmed();
    entry.bpm = b.at(ContainerBpm);
    entry.markers = b.at(ContainerMarkers) == 1 ? 1 : 0;
    if (entry.title.isEmpty())
        entry.title = name;
    if (entry.artist.isEmpty())
        entry.artist = UnknownText;
    if (entry.genre.isEmpty())
        entry.genre = UnknownText;
}

void readMidi(const SongBytes &b, SongInfoIndex &entry, const QString &name)
{
    entry.type = SongInfoIndex::TypeMidi;
    QString title;
    QString artist;
    QString genre;
    bool hasTitle = false;
    bool hasArtist = false;
    bool hasGenre = false;
    bool hasMarker = false;
    const qint64 n = b.n;

    qint64 p = MidiTrackData;
    while (!(hasTitle && hasArtist && hasGenre && hasMarker)) {
        const qint64 q = b.find(MetaEvent, p, n);
        if (q < 0 || q + 1 >= n)
            break;
        // A status byte in front of 0xFF means this is no meta event of the
        // track's head: the information block is over.
        if (b.at(q - 1) > 0x80)
            break;
        const uchar kind = b.at(q + 1);
        const qint64 length = b.at(q + 2);

        if (kind == MetaTempo && entry.bpm == 0) {
            if (q + 5 >= n)
                break;
            const quint32 tempo = (quint32(b.at(q + 3)) << 16) | (quint32(b.at(q + 4)) << 8) | b.at(q + 5);
            if (tempo != 0)
                entry.bpm = quint8(60000000u / tempo);
            p = q + 3 + length;
            continue;
        }
        if (kind == MetaMarker && !hasMarker) {
            if (q + 2 >= n)
                break;
            entry.markers = 1;
            hasMarker = true;
            p = q + 3 + length;
            continue;
        }
        if (kind == MetaTag) {
            if (q + 3 >= n || q + 3 + (length - 1) >= n)
                break;
            p = q + 3 + length;
            const uchar subType = b.at(q + 3);
            if (subType == TagArtist && !hasArtist) {
                artist = b.text(q + 4, qMin<qint64>(length - 1, MaxText));
                hasArtist = true;
            } else if (subType == TagGenre && !hasGenre) {
                genre = b.text(q + 4, qMin<qint64>(length - 1, MaxText));
                hasGenre = true;
            }
            continue;
        }
        if (!hasTitle) {
            if (kind == MetaTrackName || kind == MetaCopyright) {
                if (q + 2 >= n || q + 2 + length >= n)
                    break;
                if (kind == MetaTrackName) {
                    title = b.text(q + 3, qMin<qint64>(length, MaxText));
                    hasTitle = true;
                }
                p = q + 3 + length;
                continue;
            }
            if (kind == MetaText) {
                if (q + 4 >= n || q + 2 + length >= n)
                    break;
                p = q + 3 + length;
                if (b.at(q + 3) == '@' && b.at(q + 4) == 'T') {
                    title = b.text(q + 5, length <= MaxText ? length - 2 : MaxText - 2);
                    hasTitle = true;
                }
                continue;
            }
        }
        p = q + 1;
    }

    if (!hasArtist) {
        // The artist may stand in brackets on the display's second text line.
        qint64 s = MidiTrackData;
        for (;;) {
            s = b.find(SysEx, s, n);
            if (s < 0 || s + 6 >= n)
                break;
            if (std::memcmp(b.d + s + 2, SecondLineId, sizeof SecondLineId) != 0) {
                ++s;
                continue;
            }
            const qint64 ls = b.at(s + 1);
            if (s + 1 + ls < n) {
                const qint64 count = ls < 7 ? MaxText : qMin<qint64>(ls - 7, MaxText);
                QByteArray copy = b.bytes(s + 7, count);
                if (!copy.isEmpty())
                    copy.chop(1);
                const QString line = latin1Until0(copy.constData(), copy.size());
                if (line.startsWith(QLatin1Char('('))) {
                    artist = line.mid(1, MaxText).trimmed();
                    if (artist.endsWith(QLatin1Char(')')))
                        artist.chop(1);
                }
            }
            break;
        }
    }

    entry.title = title.trimmed();
    entry.artist = artist.trimmed();
    entry.genre = genre.trimmed();
    if (entry.title.isEmpty())
        entry.title = name;
    if (entry.artist.isEmpty())
        entry.artist = UnknownText;
    if (entry.genre.isEmpty())
        entry.genre = UnknownText;
}

// Bytes of one title.idx style record.
void putSongRecord(char *record, const SongInfoIndex &entry)
{
    putBigEndian32(record, entry.id);
    putLatin1Field(record + TextFieldOffset, entry.title, TextFieldSize);
    record[BpmOffset] = char(entry.bpm);
    record[FlagsOffset] = char((entry.type & TypeMask) | ((entry.markers & 1) << MarkersShift));
}

} // namespace

Index::Index(QObject *parent)
    : QObject(parent)
    , m_alphaBuffer(AlphaTableSize, char(0xFF))
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
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    if (!path.isEmpty() && QFileInfo(path).isRelative())
        path = QFileInfo(path).absoluteFilePath();
    m_rootPath = path;
}

QString Index::filePath(const QString &name) const
{
    return m_rootPath + QLatin1Char('/') + name;
}

QString Index::playlistFile(quint16 number, const char *suffix) const
{
    return filePath(QStringLiteral("%1/play%2.%3")
                        .arg(QLatin1String(PlaylistFolder))
                        .arg(number, 4, 10, QLatin1Char('0'))
                        .arg(QLatin1String(suffix)));
}

// ---------------------------------------------------------------------------
// Whole operations

bool Index::createIndex(const QString &root)
{
    setRootPath(root);
    qDebug() << "[Index::createIndex]" << m_rootPath;
    m_filesFound = 0;
    m_titleCount = m_artistCount = m_genreCount = 0;
    m_mp3TitleCount = m_mp3ArtistCount = m_mp3GenreCount = 0;
    m_indexChanged = false;
    m_written = false;
    m_refusedTooMany = false;
    m_removedIds.clear();

    m_playlistsConverted = createPlaylistFilePath();

    m_lastId = SongInfoIndex::NoId;
    m_nextId = 0;
    m_nextPosidx = 0;
    m_songs.clear();

    // The old index stays on the memory until the new one is about to be
    // written, so that a refused build leaves it as it was.
    m_rebuilding = true;
    createPathIndex();
    m_rebuilding = false;
    if (!m_written && !m_refusedTooMany)
        deleteIndex();
    createQuenorDir();
    return !m_refusedTooMany && checkIndexFile();
}

bool Index::updateIndex(const QString &root)
{
    setRootPath(root);
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
    m_rebuilding = false;
    m_removedIds.clear();

    // An update keeps every id, so the playlists stay valid as they are
    // except where they name a song that is gone.
    m_playlistsConverted = false;
    m_playlistNumbers.clear();
    m_restorablePlaylists.clear();
    if (loadAllIndexFile() != 0) {
        qWarning() << "[Index::updateIndex] WARNING: the index cannot be read" << m_rootPath << "!!!";
        return false;
    }
    if (m_lastId >= SongInfoIndex::NoId - 1) {
        qWarning() << "[Index::updateIndex] WARNING: no song id left after" << m_lastId << "!!!";
        return false;
    }
    m_nextId = m_lastId + 1;

    createPathIndex();
    if (m_written)
        clearRemovedSongsFromPlaylists();
    createQuenorDir();
    return !m_refusedTooMany && checkIndexFile();
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
    for (const char *name : {SfxFolder, BridgeFolder}) {
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
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPath);

    scan_files(m_rootPath);
    if (m_filesFound == 0)
        return;

    emit progressMaxSetup(m_filesFound);
    createTitleIndex();
    if (!m_indexChanged)
        return;

    emit progressMaxSetup(100);
    emit progressValueChanged(0);
    removeDeletedItems();
    if (m_songs.size() > MaxSongs) {
        m_refusedTooMany = true;
        qWarning() << "[Index::createPathIndex] WARNING:" << m_songs.size()
                   << "songs, more than an index can describe: index not written !!!";
        emit errorFromIndex(tr("Indice non scritto: la memoria contiene %1 song, più delle %2 che Quenor può gestire. "
                               "L'indice esistente non è stato modificato.")
                                .arg(m_songs.size())
                                .arg(MaxSongs));
        return;
    }
    emit progressValueChanged(10);

    if (m_rebuilding)
        deleteIndex();

    auto failed = [this](const char *step) {
        qWarning() << "[Index::createPathIndex] WARNING: writing" << step << "failed, index removed !!!";
        deleteIndex();
    };

    if (writeOrdIndex() < 0)
        return failed("ordfile.idx");
    if (m_playlistsConverted)
        restorePlaylistFilePath();
    if (writePathIndex() < 0)
        return failed("index.idx");
    emit progressValueChanged(20);

    const char *failedFile = nullptr;
    if (!writeTextIndexes(QString(), 30, {&m_titleCount, &m_artistCount, &m_genreCount}, failedFile))
        return failed(failedFile);
    createMp3TitleIndex();
    emit progressValueChanged(60);
    if (!writeTextIndexes(QStringLiteral("3"), 70,
            {&m_mp3TitleCount, &m_mp3ArtistCount, &m_mp3GenreCount}, failedFile))
        return failed(failedFile);
    if (writeNumFile() < 0)
        return failed("fsinfos.idx");
    emit progressValueChanged(100);
    m_written = true;
}

bool Index::writeTextIndexes(const QString &suffix, int firstProgress,
    const std::array<int *, 3> &counts, const char *&failedFile)
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
            static const char *const failedNames[2][3] = {
                { "title.idx", "artist.idx", "genre.idx" },
                { "title3.idx", "artist3.idx", "genre3.idx" },
            };
            failedFile = failedNames[suffix.isEmpty() ? 0 : 1][i];
            return false;
        }
        emit progressValueChanged(firstProgress + 10 * i);
    }
    return true;
}

void Index::createTitleIndex()
{
    qDebug() << "[Index::createTitleIndex] create title index";
    int i = 0;
    for (SongInfoIndex &entry : m_songs) {
        ++i;
        emit currentPathChanged(entry.longPath);
        const QFileInfo info(entry.longPath);
        // A folder or a pipe in the place of a song is no song any more.
        if (!info.isFile()) {
            if (entry.id != SongInfoIndex::NoId)
                m_removedIds.append(entry.id);
            entry.id = SongInfoIndex::NoId;
            m_indexChanged = true;
        } else if (m_lastId == SongInfoIndex::NoId || entry.id > m_lastId) {
            setSongInfo(entry);
            m_indexChanged = true;
        } else {
            qint32 date = 0;
            qint32 time = 0;
            splitDateTime(info.lastModified(), date, time);
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
    m_songs.removeIf([](const SongInfoIndex &entry) { return entry.type != SongInfoIndex::TypeMp3; });
}

// ---------------------------------------------------------------------------
// Scanning

bool Index::checkFileExt(const QString &suffix)
{
    static const char *const accepted[] = {"MID", "KAR", "MF3", "MF4", "MF5", "MP3"};
    for (const char *ext : accepted) {
        if (suffix.compare(QLatin1String(ext), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString Index::getLongFileNamePath(const QString &path)
{
    return path;
}

QString Index::getShortFileNamePath(const QString &path)
{
    return path;
}

void Index::scan_files(const QString &dirPath)
{
    const QString folder = renameLongFileName(dirPath);
    if (folder.isEmpty())
        return;

    // Files and folders together, by name ignoring case, hidden ones left out.
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo &info : entries) {
        const QString name = info.fileName();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || info.isHidden())
            continue;
        if (info.isDir()) {
            if (name.compare(QLatin1String(SfxFolder), Qt::CaseInsensitive) == 0
                || name.compare(QLatin1String(BridgeFolder), Qt::CaseInsensitive) == 0)
                continue;
            // A memory card has no links; one that points back up the tree
            // would never end.
            if (info.isSymLink())
                continue;
            scan_files(info.absoluteFilePath());
            continue;
        }
        emit currentPathChanged(info.filePath());
        if (!checkFileExt(info.suffix()))
            continue;
        const QString path = renameLongFileName(info.absoluteFilePath());
        if (path.isEmpty())
            continue;
        addFileToIndex(path == info.absoluteFilePath() ? info : QFileInfo(path));
        ++m_filesFound;
        emit fileFoundChanged(m_filesFound);
    }
}

QString Index::renameLongFileName(const QString &path)
{
    if (path.compare(m_rootPath, Qt::CaseInsensitive) == 0)
        return path;
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    // The device shows names of up to eight characters.
    if (base.size() <= 8)
        return path;

    const bool isFolder = info.isDir();
    QString kept;
    for (QChar c : base) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('\'') && c != QLatin1Char('-'))
            kept.append(c);
    }
    QString folder = info.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder.append(QLatin1Char('/'));
    const QString suffix = isFolder ? QString() : QLatin1Char('.') + info.suffix();

    QString newPath;
    for (int n = 1;; ++n) {
        if (n > 999) {
            qWarning() << "[Index::renameLongFileName] WARNING: no free short name for" << path;
            return QString();
        }
        const int keep = n < 10 ? 6 : (n < 100 ? 5 : 4);
        const QString candidate = folder + kept.left(keep) + QLatin1Char('-') + QString::number(n) + suffix;
        if (!QFileInfo::exists(candidate)) {
            newPath = candidate;
            break;
        }
    }

    if (m_askRename) {
        const QString message = tr("verrà rinominato: ") + newPath + QLatin1String("\n\n")
            + tr("Se il file non viene rinominato, è possibile che non venga rilevato da Quenor.");
        // Nobody to ask: a file is never renamed without consent.
        const int answer = m_renameQuestion ? m_renameQuestion(path, message) : RenameNoAll;
        switch (answer) {
        case RenameYes:
            m_doRename = true;
            break;
        case RenameYesAll:
            m_doRename = true;
            m_askRename = false;
            break;
        case RenameNoAll:
            m_doRename = false;
            m_askRename = false;
            break;
        case RenameNo:
        default:
            m_doRename = false;
            break;
        }
    }
    if (!m_doRename)
        return path;

    const bool renamed = isFolder ? QDir().rename(path, newPath) : QFile::rename(path, newPath);
    if (!renamed) {
        qWarning() << "[Index::renameLongFileName] WARNING: cannot rename" << path << "to" << newPath;
        return QString();
    }
    qDebug() << "[Index::renameLongFileName]" << path << "renamed to" << newPath;
    return newPath;
}

bool Index::addFileToIndex(const QFileInfo &file)
{
    const QString longPath = file.absoluteFilePath();
    const QString shortPath = getShortFileNamePath(longPath);
    const QString rootShort = getShortFileNamePath(m_rootPath);
    if (shortPath.isEmpty() || rootShort.isEmpty()) {
        qWarning() << "[Index::addFileToIndex] WARNING: path error, file not indexed:" << longPath;
        emit errorFromIndex(tr("File non importato, errore nel path:") + longPath);
        return false;
    }
    const QString path = shortPath.right(qMax<qsizetype>(0, shortPath.size() - rootShort.size()));
    // Paths are stored in 46 bytes with their terminating zero.
    if (path.size() >= PathFieldSize) {
        qWarning() << "[Index::addFileToIndex] WARNING: path too long, file not indexed:" << longPath;
        emit errorFromIndex(tr("File non importato, path troppo lungo: ") + longPath);
        return false;
    }

    SongInfoIndex entry;
    entry.longPath = longPath;
    entry.path = path;
    entry.id = m_nextId;
    entry.posidx = m_nextPosidx;
    splitDateTime(file.lastModified(), entry.date, entry.time);

    const auto at = std::upper_bound(m_songs.begin(), m_songs.end(), entry, compareByPath);
    if (!m_songs.isEmpty()) {
        const SongInfoIndex &before = at == m_songs.begin() ? *at : *(at - 1);
        if (QString::compare(before.path, path, Qt::CaseInsensitive) == 0)
            return true;
    }
    m_songs.insert(at, entry);
    ++m_nextPosidx;
    ++m_nextId;
    m_indexChanged = true;
    return true;
}

bool Index::setSongInfo(SongInfoIndex &entry) const
{
    qDebug() << "[Index::setSongInfo]" << entry.longPath;
    const QString name = entry.longPath.mid(entry.longPath.lastIndexOf(QLatin1Char('/')) + 1);
    const QString ext = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);

    entry.title = name;
    entry.artist = UnknownText;
    entry.genre = UnknownText;
    entry.type = 0;
    entry.bpm = 0;
    entry.reserved = 0;
    entry.markers = 0;

    QByteArray buffer(ScanBytes, '\0');
    qint64 n = 0;
    QFile file(entry.longPath);
    if (QFileInfo(entry.longPath).isFile() && file.open(QIODevice::ReadOnly))
        n = qMax<qint64>(0, file.read(buffer.data(), ScanBytes));
    if (n < MinSongBytes)
        return false;

    const SongBytes bytes(buffer, n);
    const QByteArray magic = buffer.left(4);
    if (ext.compare(QLatin1String("MP3"), Qt::CaseInsensitive) == 0) {
        readMp3(bytes, entry);
    } else if (magic == "_MF3" || magic == "_MF4" || magic == "_MF5") {
        readContainer(bytes, entry, name);
    } else if (magic == "MThd") {
        readMidi(bytes, entry, name);
    } else {
        entry.bpm = DefaultBpm;
        entry.type = SongInfoIndex::TypeMidi;
    }

    entry.title = stringToUpper(entry.title).trimmed();
    entry.artist = stringToUpper(entry.artist).trimmed();
    entry.genre = stringToUpper(entry.genre).trimmed();
    return true;
}

// ---------------------------------------------------------------------------
// Writers

bool Index::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning() << "[Index::writeFile] WARNING: cannot create" << path;
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qWarning() << "[Index::writeFile] WARNING: cannot write" << path;
        file.cancelWriting();
        return false;
    }
    return true;
}

int Index::writePathIndex()
{
    qDebug() << "[Index::writePathIndex] write path index";
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPosidx);
    QByteArray bytes(m_songs.size() * PathRecordSize, '\0');
    char *record = bytes.data();
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        putBigEndian32(record, entry.id);
        const QByteArray path = toIbm850(entry.path);
        // At most 45 bytes, so the zero that ends the path always fits.
        std::memcpy(record + PathFieldOffset, path.constData(), size_t(qMin<qsizetype>(path.size(), PathFieldSize - 1)));
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08u", unsigned(entry.date));
        std::memcpy(record + DateOffset, digits, DateDigits);
        std::snprintf(digits, sizeof digits, "%06u", unsigned(entry.time));
        std::memcpy(record + TimeOffset, digits, TimeDigits);
        record += PathRecordSize;
    }
    return writeFile(QStringLiteral("index.idx"), bytes) ? 0 : -1;
}

int Index::writeOrdIndex()
{
    qDebug() << "[Index::writeOrdIndex] write ord index";
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPath);
    QByteArray bytes;
    bytes.reserve(m_songs.size() * 2);
    for (const SongInfoIndex &entry : std::as_const(m_songs))
        appendLittleEndian16(bytes, entry.posidx);
    return writeFile(QStringLiteral("ordfile.idx"), bytes) ? 0 : -1;
}

int Index::writeTitleIndex(const QString &name)
{
    qDebug() << "[Index::writeTitleIndex] write title index" << name;
    std::stable_sort(m_songs.begin(), m_songs.end(), compareTitle);
    clearAlphaBuffer();
    QByteArray bytes(m_songs.size() * SongRecordSize, '\0');
    unsigned long offset = 0;
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        putSongRecord(bytes.data() + offset, entry);
        addToAlphaBuffer(entry.title, offset);
        offset += SongRecordSize;
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
    std::stable_sort(m_songs.begin(), m_songs.end(), field == GroupArtist ? compareArtist : compareGenre);
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
    char record[SongRecordSize];
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        const QString &key = keyOf(entry);
        if (!previousKey || QString::compare(*previousKey, key, Qt::CaseInsensitive) != 0) {
            // Close the open group with its own count, open the next one
            // with the count of the group just closed.
            if (headerPos >= 0)
                putBigEndian16(bytes.data() + headerPos + 2, own);
            std::memset(record, 0, sizeof record);
            putBigEndian16(record, headerPos >= 0 ? own : 0);
            putLatin1Field(record + TextFieldOffset, key, TextFieldSize);
            record[FlagsOffset] = char(GroupHeaderMark);
            headerPos = bytes.size();
            addToAlphaBuffer(key, static_cast<unsigned long>(headerPos));
            bytes.append(record, SongRecordSize);
            ++groups;
            own = 0;
        }
        std::memset(record, 0, sizeof record);
        putSongRecord(record, entry);
        bytes.append(record, SongRecordSize);
        ++own;
        previousKey = &key;
    }
    if (headerPos >= 0)
        putBigEndian16(bytes.data() + headerPos + 2, own);
    if (!writeFile(name, bytes))
        return -1;
    return groups;
}

void Index::clearAlphaBuffer()
{
    m_alphaBuffer.fill(char(0xFF), AlphaTableSize);
}

void Index::addToAlphaBuffer(const QString &text, unsigned long offset)
{
    if (text.isEmpty())
        return;
    const char16_t c = text.at(0).toUpper().unicode();
    if (c < AlphaFirst || c > AlphaLast)
        return;
    char *slot = m_alphaBuffer.data() + 4 * (c - AlphaFirst);
    if (getBigEndian32(slot) == 0xFFFFFFFFu)
        putBigEndian32(slot, quint32(offset));
}

int Index::writeAlphaBuffer(const QString &name)
{
    qDebug() << "[Index::writeAlphaBuffer] write alpha index" << name;
    return writeFile(name, m_alphaBuffer) ? 0 : -1;
}

int Index::writeNumFile()
{
    qDebug() << "[Index::writeNumFile] write numfile index";
    QByteArray bytes;
    for (int count : {m_titleCount, m_artistCount, m_genreCount, m_mp3TitleCount, m_mp3ArtistCount, m_mp3GenreCount})
        appendLittleEndian16(bytes, quint16(count));
    Q_ASSERT(bytes.size() == NumFileSize);
    return writeFile(QStringLiteral("fsinfos.idx"), bytes) ? 0 : -1;
}

// ---------------------------------------------------------------------------
// Reading the index back

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
        const char *record = bytes.constData() + i * PathRecordSize;
        SongInfoIndex entry;
        entry.id = getBigEndian32(record);
        const char *pathField = record + PathFieldOffset;
        const void *zero = std::memchr(pathField, 0, PathFieldSize);
        const qsizetype pathLength = zero ? static_cast<const char *>(zero) - pathField : PathFieldSize;
        entry.path = fromIbm850(QByteArray(pathField, pathLength));
        entry.longPath = m_rootPath + entry.path;
        const char *digits = record + DateOffset;
        entry.date = digitsValue(digits, 4) * 10000 + digitsValue(digits + 4, 2) * 100 + digitsValue(digits + 6, 2);
        entry.time = digitsValue(digits + 8, 2) * 10000 + digitsValue(digits + 10, 2) * 100 + digitsValue(digits + 12, 2);
        entry.posidx = m_nextPosidx++;
        m_songs.append(entry);
    }

    // Ids are written in ascending order; the largest one is the last id
    // given out, whatever order a damaged file has them in.
    std::stable_sort(m_songs.begin(), m_songs.end(), compareById);
    for (qsizetype i = 0; i < m_songs.size(); ++i) {
        if (m_songs.at(i).id == SongInfoIndex::NoId || (i > 0 && m_songs.at(i - 1).id == m_songs.at(i).id)) {
            qWarning() << "[Index::loadAllIndexFile] WARNING: index.idx holds an invalid or repeated id"
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
            qWarning() << "[Index::loadAllIndexFile] WARNING: title.idx names an unknown id" << getBigEndian32(record);
            m_songs.clear();
            return -1;
        }
        entry->title = stringToUpper(latin1Until0(record + TextFieldOffset, TextFieldSize)).trimmed();
        entry->bpm = quint8(record[BpmOffset]);
        const quint8 flags = quint8(record[FlagsOffset]);
        entry->type = flags & TypeMask;
        entry->markers = (flags >> MarkersShift) & 1;
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
    if (!readWholeFile(filePath(name), MaxSongIndexBytes, bytes) || bytes.size() % SongRecordSize != 0) {
        qWarning() << "[Index::loadAllIndexFile] WARNING:" << name << "cannot be read";
        return -1;
    }
    QString current;
    for (qsizetype i = 0; i < bytes.size(); i += SongRecordSize) {
        const char *record = bytes.constData() + i;
        if (record[BpmOffset] == 0 && uchar(record[FlagsOffset]) == GroupHeaderMark) {
            current = latin1Until0(record + TextFieldOffset, TextFieldSize);
            continue;
        }
        SongInfoIndex *entry = findById(getBigEndian32(record));
        if (!entry) {
            qWarning() << "[Index::loadAllIndexFile] WARNING:" << name << "names an unknown id" << getBigEndian32(record);
            return -1;
        }
        (field == GroupArtist ? entry->artist : entry->genre) = stringToUpper(current).trimmed();
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Playlists

bool Index::createPlaylistFilePath()
{
    qDebug() << "[Index::createPlaylistFilePath] create playlist file path";
    m_restorablePlaylists.clear();
    if (!readPlaylistNumbers())
        return false;
    if (m_playlistNumbers.isEmpty())
        return false;

    if (loadAllIndexFile() != 0 || m_songs.isEmpty()) {
        // The old index cannot say which song an id named. An earlier
        // rebuild left each playlist's paths in its .pts file; use those
        // that still match their playlist record for record.
        for (quint16 number : std::as_const(m_playlistNumbers)) {
            const QFileInfo pts(playlistFile(number, "pts"));
            const QFileInfo dat(playlistFile(number, "dat"));
            if (pts.isFile() && dat.isFile()
                && pts.size() / PlaylistPathRecordSize == dat.size() / PlaylistRecordSize)
                m_restorablePlaylists.append(number);
            else
                qWarning() << "[Index::createPlaylistFilePath] WARNING: playlist" << number
                           << "cannot be carried over the rebuild";
        }
        m_songs.clear();
        return !m_restorablePlaylists.isEmpty();
    }

    for (quint16 number : std::as_const(m_playlistNumbers)) {
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat)) {
            qWarning() << "[Index::createPlaylistFilePath] WARNING: cannot read" << playlistFile(number, "dat");
            continue;
        }
        const qsizetype records = dat.size() / PlaylistRecordSize;
        QByteArray pts(records * PlaylistPathRecordSize, '\0');
        for (qsizetype i = 0; i < records; ++i) {
            const SongInfoIndex *entry = findById(getBigEndian32(dat.constData() + i * PlaylistRecordSize));
            if (entry)
                putLatin1Field(pts.data() + i * PlaylistPathRecordSize, entry->path, PlaylistPathRecordSize - 1);
        }
        QSaveFile file(playlistFile(number, "pts"));
        if (!file.open(QIODevice::WriteOnly) || file.write(pts) != pts.size() || !file.commit()) {
            qWarning() << "[Index::createPlaylistFilePath] WARNING: cannot write" << playlistFile(number, "pts");
            file.cancelWriting();
            continue;
        }
        m_restorablePlaylists.append(number);
    }
    return !m_restorablePlaylists.isEmpty();
}

bool Index::readPlaylistNumbers()
{
    m_playlistNumbers.clear();
    QByteArray list;
    if (!readWholeFile(filePath(QLatin1String(PlaylistListFile)), MaxPlaylistBytes, list))
        return false;
    for (qsizetype i = 0; i + PlaylistRecordSize <= list.size(); i += PlaylistRecordSize) {
        const quint16 number = qFromLittleEndian<quint16>(list.constData() + i);
        if (!m_playlistNumbers.contains(number))
            m_playlistNumbers.append(number);
    }
    return true;
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
            if (id != SongInfoIndex::NoId && std::binary_search(m_removedIds.cbegin(), m_removedIds.cend(), id)) {
                putBigEndian32(dat.data() + at, SongInfoIndex::NoId);
                changed = true;
            }
        }
        if (!changed)
            continue;
        QSaveFile file(playlistFile(number, "dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(dat) != dat.size() || !file.commit()) {
            qWarning() << "[Index::updateIndex] WARNING: cannot write" << playlistFile(number, "dat");
            file.cancelWriting();
        }
    }
}

bool Index::restorePlaylistFilePath()
{
    qDebug() << "[Index::restorePlaylistFilePath] restore playlist file path";
    // Looked up in path order.
    std::stable_sort(m_songs.begin(), m_songs.end(), compareByPath);
    bool allDone = true;
    for (quint16 number : std::as_const(m_restorablePlaylists)) {
        QByteArray pts;
        QByteArray dat;
        if (!readWholeFile(playlistFile(number, "pts"), MaxPlaylistBytes, pts)
            || !readWholeFile(playlistFile(number, "dat"), MaxPlaylistBytes, dat)) {
            qWarning() << "[Index::restorePlaylistFilePath] WARNING: playlist" << number << "cannot be read";
            allDone = false;
            continue;
        }
        const qsizetype records = qMin(pts.size() / PlaylistPathRecordSize, dat.size() / PlaylistRecordSize);
        for (qsizetype i = 0; i < records; ++i) {
            const QString path = latin1Until0(pts.constData() + i * PlaylistPathRecordSize, PlaylistPathRecordSize);
            SongInfoIndex key;
            key.path = path;
            const auto it = std::lower_bound(m_songs.begin(), m_songs.end(), key, compareByPath);
            const bool found = !path.isEmpty() && it != m_songs.end() && comparePaths(it->path, path) == 0;
            // A song that is gone gets no id: its old one may now name
            // another song.
            putBigEndian32(dat.data() + i * PlaylistRecordSize, found ? it->id : SongInfoIndex::NoId);
        }
        QSaveFile file(playlistFile(number, "dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(dat) != dat.size() || !file.commit()) {
            qWarning() << "[Index::restorePlaylistFilePath] WARNING: cannot write" << playlistFile(number, "dat");
            file.cancelWriting();
            allDone = false;
        }
    }
    return allDone;
}
