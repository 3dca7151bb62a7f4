#include "indexrecords.h"

#include <QTextCodec>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace IndexRecords
{

namespace
{

constexpr int PathFieldOffset = 4;
constexpr int DateOffset = 50;
constexpr int DateDigits = 8;
constexpr int TimeOffset = 58;
constexpr int TimeDigits = 6;

constexpr int TextFieldOffset = 4;
constexpr int BpmOffset = 30;
constexpr int FlagsOffset = 31;
// A group header has 0 at byte 30 and 0xFF at byte 31; a song record's byte
// 31 never goes above 0x0C.
constexpr uchar GroupHeaderMark = 0xFF;
constexpr quint8 TypeMask = 0x07;
constexpr int MarkersShift = 3;

constexpr char16_t AlphaFirst = 0x20;
constexpr char16_t AlphaLast = 0x5F;

QTextCodec *ibm850()
{
    static QTextCodec *codec = QTextCodec::codecForName("IBM 850");
    return codec;
}

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

void putBigEndian32(char *at, quint32 value)
{
    qToBigEndian(value, at);
}

void putBigEndian16(char *at, quint16 value)
{
    qToBigEndian(value, at);
}

int digitsValue(const char *at, int count)
{
    bool ok = false;
    const int value = QByteArray(at, count).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

QByteArray toIbm850(const QString &text)
{
    if (isAscii(text))
        return text.toLatin1();
    QTextCodec *codec = ibm850();
    return codec ? codec->fromUnicode(text) : text.toLatin1();
}

QString fromIbm850(const QByteArray &bytes)
{
    // IBM 850 agrees with ASCII below 0x80.
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QTextCodec *codec = ibm850();
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

bool isIbm850(const QString &text)
{
    if (isAscii(text))
        return true;
    QTextCodec *codec = ibm850();
    return codec && codec->canEncode(text);
}

QByteArray latin1Bytes(const QString &text, int width)
{
    QByteArray bytes;
    bytes.reserve(qMin<qsizetype>(text.size(), width));
    for (qsizetype i = 0; i < text.size() && bytes.size() < width; ++i) {
        const QChar c = text.at(i);
        // A character outside the 16-bit range is one character in two units.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(c.unicode() < 0x100 ? char(c.unicode()) : '?');
    }
    return bytes;
}

QString latin1Until0(const char *data, qsizetype size)
{
    const void *zero = std::memchr(data, 0, size_t(size));
    const qsizetype length = zero ? static_cast<const char *>(zero) - data : size;
    return QString::fromLatin1(data, length);
}

quint32 getBigEndian32(const char *at)
{
    return qFromBigEndian<quint32>(at);
}

QByteArray encodePathRecord(const SongInfoIndex &entry)
{
    QByteArray record(PathRecordSize, '\0');
    putBigEndian32(record.data(), entry.id);
    const QByteArray path = toIbm850(entry.path);
    // At most 45 bytes, so the zero that ends the path always fits.
    std::memcpy(record.data() + PathFieldOffset, path.constData(),
        size_t(qMin<qsizetype>(path.size(), PathFieldSize - 1)));
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08u", unsigned(entry.date));
    std::memcpy(record.data() + DateOffset, digits, DateDigits);
    std::snprintf(digits, sizeof digits, "%06u", unsigned(entry.time));
    std::memcpy(record.data() + TimeOffset, digits, TimeDigits);
    return record;
}

SongInfoIndex decodePathRecord(const char *record)
{
    SongInfoIndex entry;
    entry.id = getBigEndian32(record);
    const char *pathField = record + PathFieldOffset;
    const void *zero = std::memchr(pathField, 0, PathFieldSize);
    const qsizetype pathLength = zero ? static_cast<const char *>(zero) - pathField : PathFieldSize;
    entry.path = fromIbm850(QByteArray(pathField, pathLength));
    // The 14 digits yyyymmddhhmmss.
    const char *digits = record + DateOffset;
    entry.date = digitsValue(digits, 4) * 10000 + digitsValue(digits + 4, 2) * 100
        + digitsValue(digits + 6, 2);
    entry.time = digitsValue(digits + 8, 2) * 10000 + digitsValue(digits + 10, 2) * 100
        + digitsValue(digits + 12, 2);
    return entry;
}

QByteArray encodeSongRecord(const SongInfoIndex &entry)
{
    QByteArray record(SongRecordSize, '\0');
    putBigEndian32(record.data(), entry.id);
    const QByteArray title = latin1Bytes(entry.title, TextFieldSize);
    std::memcpy(record.data() + TextFieldOffset, title.constData(), size_t(title.size()));
    record[BpmOffset] = char(entry.bpm);
    record[FlagsOffset] = char((entry.type & TypeMask) | ((entry.markers & 1) << MarkersShift));
    return record;
}

void decodeSongRecord(const char *record, SongInfoIndex &entry)
{
    entry.title = stringToUpper(latin1Until0(record + TextFieldOffset, TextFieldSize)).trimmed();
    entry.bpm = quint8(record[BpmOffset]);
    const quint8 flags = quint8(record[FlagsOffset]);
    entry.type = flags & TypeMask;
    entry.markers = (flags >> MarkersShift) & 1;
}

QByteArray encodeGroupHeader(quint16 previous, quint16 own, const QString &key)
{
    QByteArray record(SongRecordSize, '\0');
    putBigEndian16(record.data(), previous);
    putBigEndian16(record.data() + 2, own);
    const QByteArray text = latin1Bytes(key, TextFieldSize);
    std::memcpy(record.data() + TextFieldOffset, text.constData(), size_t(text.size()));
    record[FlagsOffset] = char(GroupHeaderMark);
    return record;
}

void setGroupOwnCount(char *header, quint16 own)
{
    putBigEndian16(header + 2, own);
}

bool isGroupHeader(const char *record)
{
    return record[BpmOffset] == 0 && uchar(record[FlagsOffset]) == GroupHeaderMark;
}

QString groupHeaderKey(const char *record)
{
    return latin1Until0(record + TextFieldOffset, TextFieldSize);
}

QByteArray emptyAlphaTable()
{
    return QByteArray(AlphaTableSize, char(0xFF));
}

void addToAlphaTable(QByteArray &table, const QString &text, quint32 offset)
{
    if (text.isEmpty() || table.size() != AlphaTableSize)
        return;
    const char16_t c = text.at(0).toUpper().unicode();
    if (c < AlphaFirst || c > AlphaLast)
        return;
    char *slot = table.data() + 4 * (c - AlphaFirst);
    if (getBigEndian32(slot) == 0xFFFFFFFFu)
        putBigEndian32(slot, offset);
}

QByteArray encodeNumFile(const std::array<int, 6> &counts)
{
    QByteArray bytes(NumFileSize, '\0');
    for (int i = 0; i < 6; ++i)
        qToLittleEndian(quint16(counts[size_t(i)]), bytes.data() + 2 * i);
    return bytes;
}

quint16 playlistNumber(const char *record)
{
    return qFromLittleEndian<quint16>(record);
}

QByteArray encodePlaylistPath(const QString &path)
{
    return latin1Bytes(path, PlaylistPathRecordSize - 1)
        .leftJustified(PlaylistPathRecordSize, '\0');
}

QString decodePlaylistPath(const char *record)
{
    return latin1Until0(record, PlaylistPathRecordSize);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace IndexRecords
