#include "metasong.h"

#include "fileflags.h"
#include "lzhuff.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

// The chunk header of a MIDI track; "_MF4" containers keep three extra bytes
// right after the first one.
const QByteArray TrackChunkId = QByteArrayLiteral("MTrk");
constexpr int ChunkHeaderSize = 8;
constexpr int Mf4ExtraSize = 3;
// What "_MF4" containers carry in those three bytes when the program writes them.
const QByteArray Mf4Extra = QByteArrayLiteral("\xFF\x00\xFF");

// The most of an MP3 file read on import: the tag must lie within it.
constexpr qint64 Mp3ReadLimit = 1000000;
// Larger MIDI files are refused before they are read whole: real songs are a
// few hundred kilobytes.
constexpr qint64 MidiFileLimit = 16 * 1024 * 1024;
// A container holds at most LzHuff::MaxExpandedSize bytes of MIDI data; even
// coded byte by byte with the longest codes its block stays far below this.
constexpr qint64 ContainerBlockLimit = 4 * 1024 * 1024;
// Block size when copying the audio data of an MP3 behind the new tag.
constexpr qint64 Mp3CopyBlock = 100000;
// How long chflags may take before the save goes ahead anyway.
constexpr int ReadOnlyFlagTimeoutMs = 60000;

qint64 writeLimitForTesting = -1;

// Writes all of bytes into a new file, honouring the test seam.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 size = bytes.size();
    bool cut = false;
    if (writeLimitForTesting >= 0) {
        const qint64 room = qMax<qint64>(0, writeLimitForTesting - file.pos());
        if (room < size) {
            size = room;
            cut = true;
        }
    }
    if (size > 0 && file.write(bytes.constData(), size) != size)
        return false;
    return !cut;
}

// A container header field holding one of these counts as empty: the maker
// uses them as placeholders.
bool isPlaceholder(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("--");
}

// Which artist automatic mode writes, or a null string to keep the file's.
// hasArtist: whether the file carries an artist at all; current: its text.
QString artistToWrite(const SongInfo &info, bool hasArtist, const QString &current)
{
    if (!hasArtist)
        return info.altArtist.isEmpty() ? info.artist : info.altArtist;
    if (current == info.altArtist)
        return QString();
    if (info.altArtist.isEmpty())
        return info.artist;
    if (current == info.artist)
        return info.altArtist;
    return info.artist;
}

// Copies everything from offset 'from' of 'source' to the end of what 'target'
// holds, inside the kernel (no trip through this process's memory): an MP3's
// audio data is most of the file. Returns the bytes copied, or -1 on a write
// error; returns -2, having copied nothing, when the system cannot do it
// (then the caller copies by hand).
qint64 kernelCopy(QFile &source, qint64 from, QSaveFile &target)
{
#ifdef Q_OS_LINUX
    if (writeLimitForTesting >= 0 || !target.flush())
        return -2;
    loff_t in = from;
    qint64 total = 0;
    for (;;) {
        const ssize_t n
            = ::copy_file_range(source.handle(), &in, target.handle(), nullptr, size_t(1) << 30, 0);
        if (n == 0)
            return total;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const bool unsupported = errno == ENOSYS || errno == EXDEV || errno == EINVAL
                || errno == EOPNOTSUPP || errno == EBADF;
            return total == 0 && unsupported ? -2 : -1;
        }
        total += n;
    }
#else
    Q_UNUSED(source);
    Q_UNUSED(from);
    Q_UNUSED(target);
    return -2;
#endif
}

void logAbort(const char *text)
{
    qWarning().noquote() << QLatin1String(text);
}

void logSkipped(const QString &path, const char *why)
{
    qWarning().noquote() << QStringLiteral(
        "[MetaSong::importFile] WARNING: \"%1\" %2, skipping file")
                                .arg(path, QLatin1String(why));
}

// Opens path for reading only when it is a regular file: opening a named pipe
// would wait for a writer forever, and a device is no song.
bool openRegularFile(QFile &file, const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_UNIX
    // Checked again on the open file, without blocking, in case the name
    // changed hands in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    return file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

void MetaSong::setWriteLimitForTesting(qint64 bytes)
{
    writeLimitForTesting = bytes;
}

QString MetaSong::getFormatString(SongInfo::fileTypeEnum type)
{
    switch (type) {
    case SongInfo::FileTypeMidi0:
    case SongInfo::FileTypeMidi1:
        return QStringLiteral("MIDI");
    case SongInfo::FileTypeMf3:
        return QStringLiteral("MF3");
    case SongInfo::FileTypeMf4:
        return QStringLiteral("MF4");
    case SongInfo::FileTypeMf5:
        return QStringLiteral("MF5");
    case SongInfo::FileTypeMp3:
        return QStringLiteral("MP3");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

QStringList MetaSong::getKeysList()
{
    return RawMidiFile::getKeysList();
}

// ---------------------------------------------------------------------------
// Import

bool MetaSong::importFile(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path)) {
        if (QFileInfo::exists(path))
            logSkipped(path, "is not a regular file");
        return false;
    }
    const QByteArray magic = file.peek(4);

    const SongInfo::fileTypeEnum containerType = MfxHeader::typeFromMagic(magic);
    if (magic.size() == 4 && containerType != SongInfo::FileTypeUnknown) {
        const int headerSize = MfxHeader::headerSizeFor(containerType);
        if (file.size() > headerSize + ContainerBlockLimit) {
            logSkipped(path, "is too large for a song container");
            return false;
        }
        MfxHeader header;
        if (!header.loadHeader(file.read(headerSize)))
            return false;
        const QByteArray block = file.readAll();
        file.close();

        QByteArray midiData;
        if (!LzHuff().expand(block, midiData)) {
            qWarning().noquote() << QStringLiteral(
                "[MetaSong::importFile] LzHuff Expand filed, skipping file");
            return false;
        }
        if (containerType == SongInfo::FileTypeMf4) {
            // The three bytes at the head of the first track stay counted in
            // its length field; they are put back on save.
            const qsizetype track = midiData.indexOf(TrackChunkId);
            if (track >= 0 && midiData.size() >= track + ChunkHeaderSize + Mf4ExtraSize)
                midiData.remove(track + ChunkHeaderSize, Mf4ExtraSize);
        }
        RawMidiFile midi;
        if (!midi.loadData(midiData)) {
            qWarning().noquote() << QStringLiteral(
                "[MetaSong::importFile] MidiStream corrupted, skipping file");
            return false;
        }
        m_mfx = header;
        m_midi = midi;
        m_fileType = header.fileType();
        m_sourcePath = QFileInfo(path).absoluteFilePath();
        return true;
    }

    if (magic == "MThd") {
        if (file.size() > MidiFileLimit) {
            logSkipped(path, "is too large for a MIDI file");
            return false;
        }
        RawMidiFile midi;
        const bool ok = midi.loadData(file.readAll());
        file.close();
        if (!ok)
            return false;
        m_midi = midi;
        m_fileType = midi.fileType();
        m_sourcePath = QFileInfo(path).absoluteFilePath();
        return true;
    }

    // MP3 files need the right name as well as a plausible start: a tag, an
    // MPEG frame sync, or two zero bytes.
    const QByteArray head = file.peek(3);
    const bool mp3Start = head.startsWith("ID3")
        || (head.size() >= 2 && uchar(head.at(0)) == 0xFF && uchar(head.at(1)) >= 0xF3)
        || (head.size() >= 2 && head.at(0) == '\0' && head.at(1) == '\0');
    if (path.toUpper().endsWith(QLatin1String("MP3")) && mp3Start) {
        Mp3Header mp3;
        const bool ok = mp3.loadHeader(file.read(Mp3ReadLimit));
        file.close();
        if (!ok)
            return false;
        m_mp3 = mp3;
        m_fileType = SongInfo::FileTypeMp3;
        m_sourcePath = QFileInfo(path).absoluteFilePath();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Reading

void MetaSong::getSongInfo(SongInfo &info) const
{
    info.clear();
    info.format = getFormatString(m_fileType);
    switch (m_fileType) {
    case SongInfo::FileTypeMidi0:
    case SongInfo::FileTypeMidi1:
        info.title = m_midi.title();
        info.artist = m_midi.artist();
        info.author = m_midi.author();
        info.genre = m_midi.genre();
        info.key = m_midi.key();
        info.markers = m_midi.markersList();
        info.isZevio = m_midi.isZevio();
        info.length = m_midi.length();
        info.userBpm = m_midi.userBpm();
        break;
    case SongInfo::FileTypeMf3:
    case SongInfo::FileTypeMf4:
    case SongInfo::FileTypeMf5:
        info.title = m_mfx.title();
        info.artist = m_mfx.artist();
        info.author = m_mfx.author();
        info.genre = m_mfx.genre();
        info.key = m_midi.key();
        info.markers = m_midi.markersList();
        info.isZevio = true;
        info.length = m_midi.length();
        info.userBpm = m_mfx.tempo();
        info.mfxLongName = m_mfx.longName();
        info.mfxFlags = qint8(m_mfx.flags());
        break;
    case SongInfo::FileTypeMp3:
        info.title = m_mp3.title();
        info.artist = m_mp3.artist();
        info.author = m_mp3.author();
        info.genre = m_mp3.genre();
        info.key = m_mp3.key();
        info.isZevio = m_mp3.isZevio();
        info.length = m_mp3.length();
        info.userBpm = m_mp3.userBpm();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Applying
//
// In automatic mode each condition is looked at just before its writer runs,
// in the writers' order, so a field reads the file as the earlier writers
// left it.

void MetaSong::setSongInfo(const SongInfo &info, bool manual)
{
    qDebug().noquote() << QStringLiteral("[MetaSong] setSongInfo,") << QStringLiteral("manual:")
                       << (manual ? QStringLiteral("true") : QStringLiteral("false"));
    switch (m_fileType) {
    case SongInfo::FileTypeMidi0:
    case SongInfo::FileTypeMidi1:
        applyToMidi(info, manual);
        break;
    case SongInfo::FileTypeMf3:
    case SongInfo::FileTypeMf4:
    case SongInfo::FileTypeMf5:
        applyToContainer(info, manual);
        break;
    case SongInfo::FileTypeMp3:
        applyToMp3(info, manual);
        break;
    default:
        break;
    }
    qDebug().noquote() << QString();
}

void MetaSong::applyToMidi(const SongInfo &info, bool manual)
{
    // Markers are only ever filled in from the catalogue, never by hand.
    if (!manual && !m_midi.hasMarkers())
        m_midi.setMarkersList(info.markers);
    if (manual || (!m_midi.hasKey() && info.isZevio))
        m_midi.setKey(info.key);
    if (manual || (!m_midi.hasLength() && info.length >= 0 && info.isZevio))
        m_midi.setLength(info.length);
    if (manual || !m_midi.hasTitle() || info.title.toUpper().startsWith(m_midi.title().toUpper()))
        m_midi.setTitle(info.title);
    if (manual || !m_midi.hasAuthor())
        m_midi.setAuthor(info.author);
    if (manual || (!m_midi.hasUserBpm() && info.userBpm >= 0 && info.isZevio))
        m_midi.setUserBpm(info.userBpm);
    if (manual) {
        m_midi.setArtist(info.artist);
    } else {
        const QString artist = artistToWrite(info, m_midi.hasArtist(), m_midi.artist());
        if (!artist.isNull())
            m_midi.setArtist(artist);
    }
    if (manual || !m_midi.hasGenre())
        m_midi.setGenre(info.genre);
}

void MetaSong::applyToContainer(const SongInfo &info, bool manual)
{
    // Markers, key and length live in the MIDI data.
    if (!manual && !m_midi.hasMarkers())
        m_midi.setMarkersList(info.markers);
    if (manual || (!m_midi.hasKey() && info.isZevio))
        m_midi.setKey(info.key);
    if (manual || (!m_midi.hasLength() && info.length >= 0 && info.isZevio))
        m_midi.setLength(info.length);

    // The rest in the header.
    if (manual || isPlaceholder(m_mfx.title()))
        m_mfx.setTitle(info.title);
    if (manual || isPlaceholder(m_mfx.author()))
        m_mfx.setAuthor(info.author);
    if (manual || (!m_mfx.hasValidTempo() && info.userBpm >= 0))
        m_mfx.setTempo(info.userBpm);
    if (manual) {
        m_mfx.setArtist(info.artist);
    } else {
        // "-" and "--" are the maker's placeholders for no artist.
        const QString current = m_mfx.artist();
        const QString artist = artistToWrite(info, !isPlaceholder(current), current);
        if (!artist.isNull())
            m_mfx.setArtist(artist);
    }
    if (manual || isPlaceholder(m_mfx.genre()))
        m_mfx.setGenre(info.genre);
    if (!info.markers.isEmpty())
        m_mfx.setFlag(MfxHeader::FlagHasMarkers);
}

void MetaSong::applyToMp3(const SongInfo &info, bool manual)
{
    if (manual || !m_mp3.hasTitle())
        m_mp3.setTitle(info.title);
    if (manual || !m_mp3.hasAuthor())
        m_mp3.setAuthor(info.author);
    if (manual || (!m_mp3.hasUserBpm() && info.userBpm >= 0 && info.isZevio))
        m_mp3.setUserBpm(info.userBpm);
    if (manual || (!m_mp3.hasKey() && info.isZevio))
        m_mp3.setKey(info.key);
    if (manual || (!m_mp3.hasLength() && info.length >= 0 && info.isZevio))
        m_mp3.setLength(info.length);
    if (manual) {
        m_mp3.setArtist(info.artist);
    } else {
        const QString artist = artistToWrite(info, m_mp3.hasArtist(), m_mp3.artist());
        if (!artist.isNull())
            m_mp3.setArtist(artist);
    }
    if (manual || !m_mp3.hasGenre())
        m_mp3.setGenre(info.genre);
    if (!m_mp3.hasQuenorEditParam())
        m_mp3.setQuenorEditParam();
}

// ---------------------------------------------------------------------------
// Saving

void MetaSong::removeReadOnlyFlag(const QString &path)
{
    if (FileFlags::clearUserImmutable(path, ReadOnlyFlagTimeoutMs))
        qDebug().noquote() << QStringLiteral("remove read only flag: OK");
    else
        qWarning().noquote() << QStringLiteral("remove read only flag: ERROR");
}

bool MetaSong::addOwnerWrite(const QString &path) const
{
    QFile file(path);
    if (!file.exists())
        return false;
    // Only when missing: file systems without permissions (FAT memories)
    // refuse changes, and the save can go ahead without one.
    const QFileDevice::Permissions permissions = file.permissions();
    if (!(permissions & QFileDevice::WriteOwner))
        file.setPermissions(permissions | QFileDevice::WriteOwner);
    return true;
}

bool MetaSong::isSourcePath(const QString &path) const
{
    const QFileInfo target(path);
    if (target.absoluteFilePath() == m_sourcePath)
        return true;
    const QString canonical = target.canonicalFilePath(); // another name of the same file
    return !canonical.isEmpty() && canonical == QFileInfo(m_sourcePath).canonicalFilePath();
}

bool MetaSong::unlockTarget(const QString &path)
{
    const bool exists = QFileInfo::exists(path);
    if (exists || isSourcePath(path))
        removeReadOnlyFlag(path);
    if (exists)
        addOwnerWrite(path);
    // The imported file, once gone, is not written anew: the song must be
    // where it was imported from. Another path gets a new file.
    return exists || !isSourcePath(path);
}

bool MetaSong::saveToFile(const QString &path)
{
    const bool mp3 = m_fileType == SongInfo::FileTypeMp3;
    if (mp3 ? m_mp3.hasFailedWrite() : m_midi.hasFailedWrite()) {
        logAbort("[MetaSong::saveToFile] WARNING: song information could not be written in "
                 "memory, aborting !!!");
        return false;
    }
    return mp3 ? saveMp3(path) : saveMidiOrContainer(path);
}

bool MetaSong::saveMp3(const QString &path)
{
    const bool toSource = isSourcePath(path);
    unlockTarget(path);
    // The audio comes from the imported file, wherever the song is saved.
    QFile old;
    if (!openRegularFile(old, m_sourcePath)) {
        logAbort("[MetaSong::saveToFile] Impossible to read from file.");
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file. Maybe it's write protected? "
                 "Aborting!");
        return false;
    }
    if (!writeAll(out, m_mp3.stream())) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file.");
        out.cancelWriting();
        return false;
    }
    const qint64 audioStart = m_mp3.getAudioDataStartPos();
    if (audioStart > old.size() || !old.seek(audioStart)) {
        logAbort("[MetaSong::saveToFile] Impossible to seek file.");
        out.cancelWriting();
        return false;
    }
    const qint64 copied = kernelCopy(old, audioStart, out);
    if (copied == -1) {
        logAbort("[MetaSong::saveToFile] Impossible to copy part of file.");
        out.cancelWriting();
        return false;
    }
    QByteArray block(copied == -2 ? Mp3CopyBlock : 0, Qt::Uninitialized);
    while (copied == -2) {
        const qint64 got = old.read(block.data(), Mp3CopyBlock);
        if (got == 0)
            break;
        if (got < 0 || !writeAll(out, QByteArray::fromRawData(block.constData(), got))) {
            logAbort("[MetaSong::saveToFile] Impossible to copy part of file.");
            out.cancelWriting();
            return false;
        }
    }
    old.close();
    if (!out.commit()) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file.");
        return false;
    }
    if (toSource)
        m_mp3.setAudioDataStartPos(int(m_mp3.stream().size()));
    return true;
}

bool MetaSong::saveMidiOrContainer(const QString &path)
{
    const bool isContainer = m_fileType == SongInfo::FileTypeMf3
        || m_fileType == SongInfo::FileTypeMf4 || m_fileType == SongInfo::FileTypeMf5;
    const bool isMidi
        = m_fileType == SongInfo::FileTypeMidi0 || m_fileType == SongInfo::FileTypeMidi1;
    if (m_midi.stream().isEmpty() || !(isMidi || isContainer)
        || (isContainer && m_mfx.header().size() != MfxHeader::headerSizeFor(m_fileType))) {
        logAbort("[MetaSong::saveToFile] UNKNOWN format (or data corrupted) in memory, aborting");
        return false;
    }

    QByteArray content;
    if (isMidi) {
        qDebug().noquote() << QStringLiteral("[MetaSong::saveToFile] MIDI");
        content = m_midi.stream();
    } else {
        qDebug().noquote() << QStringLiteral("[MetaSong::saveToFile] MFx");
        QByteArray midiData = m_midi.stream();
        if (m_fileType == SongInfo::FileTypeMf4) {
            const qsizetype track = midiData.indexOf(TrackChunkId);
            if (track >= 0)
                midiData.insert(track + ChunkHeaderSize, Mf4Extra);
        }
        // The device and the importer refuse containers holding more than
        // this; writing one would make the song unreadable.
        if (midiData.size() > qsizetype(LzHuff::MaxExpandedSize)) {
            logAbort("[MetaSong::saveToFile] WARNING: MIDI data too large for the container, "
                     "aborting !!!");
            return false;
        }
        QByteArray block;
        LzHuff().compress(midiData, block);
        m_mfx.setSize(quint32(m_mfx.header().size() + block.size()));
        m_mfx.setOrigSize(quint32(midiData.size()));
        content = m_mfx.header() + block;
    }

    QSaveFile out(path);
    if (!unlockTarget(path) || !out.open(QIODevice::WriteOnly)) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file. Maybe it's write protected? "
                 "Aborting!");
        return false;
    }
    if (!writeAll(out, content)) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file.");
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        logAbort("[MetaSong::saveToFile] Impossible to write to file.");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Diagnostics

int MetaSong::dbgAddMarker(const QString &text, quint16 bar)
{
    qDebug().noquote() << QStringLiteral("[MetaSong] addMarker");
    const int added = m_midi.dbgInsertMarker(text, bar);
    qDebug().noquote() << QStringLiteral("Marker added, len= %1").arg(added);
    qDebug().noquote() << QStringLiteral("-----------------------------------");
    qDebug().noquote() << QString();
    return added;
}
