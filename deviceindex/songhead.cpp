#include "songhead.h"

#include "indexrecords.h"

#include <QDebug>
#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using IndexRecords::latin1Until0;

namespace
{

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
const uchar SecondLineId[] = { 0x00, 0x20, 0x24, 0x00, 0x05 };

// ID3 text encodings: 0 Latin-1, 1 UTF-16 with byte order mark, 2 UTF-16
// big-endian, 3 UTF-8.
constexpr uchar Id3Latin1 = 0;
constexpr uchar Id3Utf16 = 1;
constexpr uchar Id3Utf16BE = 2;
constexpr uchar Id3Utf8 = 3;

const QString UnknownText = QStringLiteral("<unknown>");

// The first bytes of a regular file: the number read, -1 when it cannot be
// read. Opened without waiting, so that a pipe in the place of a song cannot
// block the scan, and read with plain system calls: this runs for every new
// song of a memory.
qint64 readHead(const QString &path, char *buffer)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status {
    };
    qint64 n = -1;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        n = 0;
        while (n < SongHead::ScanBytes) {
            const ssize_t got = ::read(fd, buffer + n, size_t(SongHead::ScanBytes - n));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            n += got;
        }
    }
    ::close(fd);
    return n;
}

QString utf16Until0(const char *data, qsizetype size, bool bigEndian)
{
    QString text;
    text.reserve(size / 2);
    for (qsizetype i = 0; i + 1 < size; i += 2) {
        const char16_t unit
            = bigEndian ? qFromBigEndian<quint16>(data + i) : qFromLittleEndian<quint16>(data + i);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

// The song information read from a file's first bytes.
class SongBytes
{
public:
    SongBytes(const QByteArray &buffer, qint64 read)
        : d(reinterpret_cast<const uchar *>(buffer.constData()))
        , size(buffer.size())
        , n(read)
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
        const qint64 size
            = IndexRecords::getBigEndian32(reinterpret_cast<const char *>(b.d) + q + 4);
        if (q + 10 + size >= b.n)
            break;
        // After the 10-byte frame header comes the text-encoding byte.
        if (b.at(q + 10) == Id3Latin1 || size <= 1)
            *field = b.text(q + 11, size <= MaxText + 1 ? size - 1 : MaxText);
        else
            *field = SongHead::id3Text(b.bytes(q + 10, size));
        *found = true;
        p = q + 10 + size;
    }
}

void readContainer(const SongBytes &b, SongInfoIndex &entry, const QString &name)
{
    const uchar variant = b.at(3);
    entry.type = variant == '3'
        ? SongInfoIndex::TypeMf3
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
            const quint32 tempo
                = (quint32(b.at(q + 3)) << 16) | (quint32(b.at(q + 4)) << 8) | b.at(q + 5);
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

} // namespace

QString SongHead::id3Text(const QByteArray &frameText)
{
    if (frameText.isEmpty())
        return QString();
    const char *data = frameText.constData() + 1;
    qsizetype size = frameText.size() - 1;
    QString text;
    switch (uchar(frameText.at(0))) {
    case Id3Utf16: {
        // The byte order mark says the order; without one, big-endian.
        bool bigEndian = true;
        if (size >= 2 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xFE) {
            bigEndian = false;
            data += 2;
            size -= 2;
        } else if (size >= 2 && uchar(data[0]) == 0xFE && uchar(data[1]) == 0xFF) {
            data += 2;
            size -= 2;
        }
        text = utf16Until0(data, size, bigEndian);
        break;
    }
    case Id3Utf16BE:
        text = utf16Until0(data, size, true);
        break;
    case Id3Utf8: {
        const void *zero = std::memchr(data, 0, size_t(size));
        text = QString::fromUtf8(data, zero ? static_cast<const char *>(zero) - data : size);
        break;
    }
    default:
        return latin1Until0(data, qMin<qsizetype>(size, MaxText));
    }
    return QString::fromLatin1(IndexRecords::latin1Bytes(text, MaxText));
}

bool SongHead::read(SongInfoIndex &entry)
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
    const qint64 n = readHead(entry.longPath, buffer.data());
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
