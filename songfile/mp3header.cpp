#include "mp3header.h"

#include "songtext.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace
{

constexpr int HeaderSize = 10; // "ID3", version, revision, flags, synchsafe size
constexpr int FrameStart = 10; // frames follow the header; there is no extended header
constexpr int FrameHeaderSize = 10; // identifier, size, two flag bytes
constexpr quint32 MaxSynchsafe = 0x0FFFFFFF; // 28 bits

// Header flags that change how the tag body is laid out.
constexpr quint8 FlagUnsynchronisation = 0x80;
constexpr quint8 FlagExtendedHeader = 0x40;
constexpr quint8 FlagFooter = 0x10; // ID3v2.4 only

// The private frame that marks a file edited by this program: body 00 00 00
// after the encoding byte.
const char EditMarkId[] = "QEDT";

quint32 readSynchsafe(const char *bytes)
{
    // Like common readers, the top bit of each byte is ignored.
    return quint32(quint8(bytes[0]) & 0x7F) << 21 | quint32(quint8(bytes[1]) & 0x7F) << 14
        | quint32(quint8(bytes[2]) & 0x7F) << 7 | quint32(quint8(bytes[3]) & 0x7F);
}

void putSynchsafe(char *bytes, quint32 value)
{
    bytes[0] = char((value >> 21) & 0x7F);
    bytes[1] = char((value >> 14) & 0x7F);
    bytes[2] = char((value >> 7) & 0x7F);
    bytes[3] = char(value & 0x7F);
}

bool isFrameIdentifier(const char *id)
{
    for (int i = 0; i < 4; ++i) {
        const char c = id[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool isZeroIdentifier(const char *id)
{
    return id[0] == 0 && id[1] == 0 && id[2] == 0 && id[3] == 0;
}

} // namespace

Mp3Header::Mp3Header() = default;

bool Mp3Header::loadHeader(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize)
        return false;
    if (!bytes.startsWith("ID3")) {
        // No tag: start an empty ID3v2.3 one; the audio starts at 0.
        tag = QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", HeaderSize);
        tagSize = 0;
        audioStart = 0;
        synchsafeFrameSizes = false;
        writeFailed = false;
        return true;
    }

    const quint8 major = quint8(bytes.at(3));
    const quint8 flags = quint8(bytes.at(5));
    if (major != 3 && major != 4) {
        qWarning().noquote() << QStringLiteral(
            "[Mp3Header::loadHeader] WARNING: ID3v2.%1 tag not supported !!!")
                                    .arg(major);
        return false;
    }
    if (flags & (FlagUnsynchronisation | FlagExtendedHeader)
        || (major == 4 && (flags & FlagFooter))) {
        qWarning().noquote() << QStringLiteral(
            "[Mp3Header::loadHeader] WARNING: ID3v2.%1 tag with unsynchronisation, extended header "
            "or footer not supported !!!")
                                    .arg(major);
        return false;
    }

    quint32 size = 0;
    const bool validSize
        = (quint8(bytes.at(6)) | quint8(bytes.at(7)) | quint8(bytes.at(8)) | quint8(bytes.at(9)))
        < 0x80;
    if (validSize)
        size = readSynchsafe(bytes.constData() + 6);
    if (quint64(bytes.size()) < size)
        return false;

    tag = bytes.left(qsizetype(size) + HeaderSize);
    if (tag.size() < qsizetype(size) + HeaderSize)
        tag.append(QByteArray(qsizetype(size) + HeaderSize - tag.size(), '\0'));
    tagSize = size;
    audioStart = int(size) + HeaderSize;
    writeFailed = false;
    // Plain sizes only when they fit and the synchsafe ones do not: a text
    // may hold bytes that look like frame headers.
    synchsafeFrameSizes = major == 4 && (sizesLandOnFrames(true) || !sizesLandOnFrames(false));
    return true;
}

quint32 Mp3Header::frameSizeAt(int offset, bool synchsafe) const
{
    const char *field = tag.constData() + offset + 4;
    return synchsafe ? readSynchsafe(field) : qFromBigEndian<quint32>(field);
}

// Some writers put plain numbers into the frame sizes of ID3v2.4 tags. A
// reading fits when every frame it finds starts with an identifier and the
// last one ends exactly at the padding (zeros up to the tag's end) or at the
// tag's end.
bool Mp3Header::sizesLandOnFrames(bool synchsafe) const
{
    const qint64 end = qMin<qint64>(qint64(tagSize) + HeaderSize, tag.size());
    qint64 pos = FrameStart;
    while (pos < end) {
        if (tag.at(pos) == '\0')
            return std::all_of(
                tag.constData() + pos, tag.constData() + end, [](char c) { return c == '\0'; });
        if (pos + FrameHeaderSize > end || !isFrameIdentifier(tag.constData() + pos))
            return false;
        pos += FrameHeaderSize + qint64(frameSizeAt(int(pos), synchsafe));
    }
    return pos == end;
}

Mp3Header::Frame Mp3Header::findFrame(const QByteArray &identifier) const
{
    Frame found;
    if (identifier.size() != 4)
        return found;
    // Walk the frame headers: a frame identifier inside a text is never taken
    // for a frame.
    const qint64 end = qMin<qint64>(qint64(tagSize) + HeaderSize, tag.size());
    qint64 pos = FrameStart;
    while (pos + FrameHeaderSize <= end) {
        const char *id = tag.constData() + pos;
        if (isZeroIdentifier(id))
            break; // padding
        const quint32 size = frameSizeAt(int(pos), synchsafeFrameSizes);
        const qint64 next = pos + FrameHeaderSize + qint64(size);
        if (next > end)
            break; // a frame running past the tag: nothing after it can be trusted
        if (memcmp(id, identifier.constData(), 4) == 0) {
            found.offset = int(pos);
            found.bodySize = size;
            return found;
        }
        pos = next;
    }
    return found;
}

int Mp3Header::extractId3Frame(QString &text, const QByteArray &identifier) const
{
    text.clear();
    const Frame frame = findFrame(identifier);
    if (frame.offset < 0)
        return -1;
    text
        = SongText::fromId3Text(tag.mid(frame.offset + FrameHeaderSize, qsizetype(frame.bodySize)));
    return frame.offset;
}

void Mp3Header::setTagSize(quint32 size)
{
    tagSize = size;
    putSynchsafe(tag.data() + 6, size);
}

int Mp3Header::insertId3Frame(const QByteArray &body, const QByteArray &identifier, int position)
{
    if (tag.size() < HeaderSize || position < FrameStart || position > tag.size() || body.isEmpty()
        || identifier.size() != 4)
        return 0;
    const quint64 frameSize = FrameHeaderSize + 1 + quint64(body.size());
    if (quint64(tagSize) + frameSize > MaxSynchsafe) {
        qWarning() << "[Mp3Header::insertId3Frame] WARNING: tag too large, frame not added !!!";
        return 0;
    }
    QByteArray frame(FrameHeaderSize + 1, '\0'); // flags 00 00, encoding 00 (ISO-8859-1)
    memcpy(frame.data(), identifier.constData(), 4);
    const quint32 bodySize = quint32(body.size()) + 1;
    if (synchsafeFrameSizes)
        putSynchsafe(frame.data() + 4, bodySize);
    else
        qToBigEndian<quint32>(bodySize, frame.data() + 4);
    frame.append(body);
    tag.insert(position, frame);
    setTagSize(tagSize + quint32(frame.size()));
    return int(frame.size());
}

int Mp3Header::removeId3Frame(const QByteArray &identifier)
{
    const Frame frame = findFrame(identifier);
    if (frame.offset < 0)
        return 0;
    const int removed = FrameHeaderSize + int(frame.bodySize);
    tag.remove(frame.offset, removed);
    setTagSize(tagSize - quint32(removed));
    return removed;
}

// A frame in UTF-16 or UTF-8 that already says the text stays as it is:
// rewriting it in Latin-1 would lose what Latin-1 cannot hold.
bool Mp3Header::keepsUnicodeFrame(const QByteArray &identifier, const QString &text) const
{
    const Frame frame = findFrame(identifier);
    if (frame.offset < 0 || frame.bodySize < 1)
        return false;
    const quint8 encoding = quint8(tag.at(frame.offset + FrameHeaderSize));
    QString current;
    extractId3Frame(current, identifier);
    return encoding >= 1 && encoding <= 3 && current == text;
}

void Mp3Header::insertForWriter(const QByteArray &body, const QByteArray &identifier)
{
    if (insertId3Frame(body, identifier, FrameStart) == 0)
        writeFailed = true;
}

void Mp3Header::setTextFrame(const QByteArray &identifier, const QString &text)
{
    if (keepsUnicodeFrame(identifier, text))
        return;
    removeId3Frame(identifier);
    if (!text.isEmpty())
        insertForWriter(SongText::toLatin1(text), identifier);
}

QString Mp3Header::title() const
{
    QString text;
    extractId3Frame(text, "TIT2");
    return text;
}

QString Mp3Header::artist() const
{
    QString text;
    extractId3Frame(text, "TPE1");
    return text;
}

QString Mp3Header::genre() const
{
    QString text;
    extractId3Frame(text, "TCON");
    return text;
}

QString Mp3Header::author() const
{
    QString text;
    extractId3Frame(text, "TCOM");
    return text;
}

QString Mp3Header::key() const
{
    QString text;
    extractId3Frame(text, "TKEY");
    return text;
}

qint32 Mp3Header::userBpm() const
{
    QString text;
    qint32 value = 0;
    if (extractId3Frame(text, "TBPM") < 0 || !SongText::parseInteger(text, &value) || value < 0)
        return 0;
    return value;
}

qint32 Mp3Header::length() const
{
    QString text;
    qint32 milliseconds = 0;
    if (extractId3Frame(text, "TLEN") < 0 || !SongText::parseInteger(text, &milliseconds)
        || milliseconds < 0)
        return 0;
    return milliseconds / 1000;
}

bool Mp3Header::hasTitle() const
{
    return findFrame("TIT2").offset >= 0;
}

bool Mp3Header::hasArtist() const
{
    return findFrame("TPE1").offset >= 0;
}

bool Mp3Header::hasGenre() const
{
    return findFrame("TCON").offset >= 0;
}

bool Mp3Header::hasAuthor() const
{
    return findFrame("TCOM").offset >= 0;
}

bool Mp3Header::hasKey() const
{
    return findFrame("TKEY").offset >= 0;
}

bool Mp3Header::hasUserBpm() const
{
    return findFrame("TBPM").offset >= 0;
}

bool Mp3Header::hasLength() const
{
    return findFrame("TLEN").offset >= 0;
}

bool Mp3Header::hasQuenorEditParam() const
{
    return findFrame(EditMarkId).offset >= 0;
}

bool Mp3Header::isZevio() const
{
    QString text;
    if (extractId3Frame(text, "TCOP") < 0)
        return false;
    return text.toUpper().contains(QLatin1String("ZEVIO"));
}

void Mp3Header::setTitle(const QString &text)
{
    setTextFrame("TIT2", text);
}

void Mp3Header::setArtist(const QString &text)
{
    setTextFrame("TPE1", text);
}

void Mp3Header::setGenre(const QString &text)
{
    setTextFrame("TCON", text);
}

void Mp3Header::setAuthor(const QString &text)
{
    setTextFrame("TCOM", text);
}

void Mp3Header::setKey(const QString &text)
{
    setTextFrame("TKEY", text);
}

void Mp3Header::setUserBpm(qint32 bpm)
{
    if (bpm >= 1)
        setTextFrame("TBPM", QString::number(bpm));
    else
        removeId3Frame("TBPM");
}

void Mp3Header::setLength(qint32 seconds)
{
    if (seconds >= 1)
        setTextFrame("TLEN", QString::number(qint64(seconds) * 1000));
    else
        removeId3Frame("TLEN");
}

void Mp3Header::setQuenorEditParam()
{
    insertForWriter(QByteArray(3, '\0'), EditMarkId);
}
