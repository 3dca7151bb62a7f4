#include "rawmidifile.h"

#include "songtext.h"

#include <QDebug>
#include <QtEndian>

namespace
{

// Meta event types of the Standard MIDI File.
constexpr quint8 MetaStatus = 0xFF;
constexpr quint8 MetaCopyright = 0x02;
constexpr quint8 MetaTrackName = 0x03;
constexpr quint8 MetaEndOfTrack = 0x2F;
constexpr quint8 MetaKeySignature = 0x59;
// The maker's own meta event, carrying one tag (genre, artist, ...) each.
constexpr quint8 MetaZevioTag = 0x4B;

// Texts are cut so that every length byte written stays below 0x80: a length
// byte of 0x80 or more is the start of a multi-byte length for a MIDI reader.
constexpr int MaxTextChars = 125;
constexpr int MaxMarkerChars = 124;
constexpr int MaxLengthByte = 0x7F;

// Offsets inside the header chunk.
constexpr int FormatOffset = 8;
constexpr int MinHeaderBytes = 10;

struct KeyEntry {
    const char *name;
    quint16 code; // sf * 256 + mi
};

// Key signature codes: sf = sharps (positive) or flats (negative), mi = 1 for minor.
const KeyEntry keyTable[] = {
    { "C#", 0x0700 },
    { "A#-", 0x0701 },
    { "F#", 0x0600 },
    { "D#-", 0x0601 },
    { "B", 0x0500 },
    { "G#-", 0x0501 },
    { "E", 0x0400 },
    { "C#-", 0x0401 },
    { "A", 0x0300 },
    { "F#-", 0x0301 },
    { "D", 0x0200 },
    { "B-", 0x0201 },
    { "G", 0x0100 },
    { "E-", 0x0101 },
    { "C", 0x0000 },
    { "A-", 0x0001 },
    { "F", 0xFF00 },
    { "D-", 0xFF01 },
    { "Bb", 0xFE00 },
    { "G-", 0xFE01 },
    { "Eb", 0xFD00 },
    { "C-", 0xFD01 },
    { "Ab", 0xFC00 },
    { "F-", 0xFC01 },
    { "Db", 0xFB00 },
    { "Bb-", 0xFB01 },
    { "Gb", 0xFA00 },
    { "Eb-", 0xFA01 },
    { "Cb", 0xF900 },
    { "Ab-", 0xF901 },
};

// Enharmonic spellings accepted when writing; they read back as the table's name.
const KeyEntry keyAliases[] = {
    { "G#", 0xFC00 },
    { "Db-", 0x0401 },
    { "D#", 0xFD00 },
};

quint8 byteAt(const QByteArray &bytes, qint64 offset)
{
    return offset >= 0 && offset < bytes.size() ? quint8(bytes.at(offset)) : 0;
}

// Reads a variable-length quantity (at most 4 bytes) that must end before limit.
bool readVlq(const QByteArray &bytes, qint64 pos, qint64 limit, quint32 *value, qint64 *next)
{
    quint32 result = 0;
    for (int count = 0; count < 4; ++count) {
        if (pos >= limit || pos >= bytes.size())
            return false;
        const quint8 b = quint8(bytes.at(pos++));
        result = (result << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            *value = result;
            *next = pos;
            return true;
        }
    }
    return false;
}

int channelDataBytes(quint8 status)
{
    const quint8 kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

QByteArray metaPattern(quint8 type)
{
    QByteArray pattern(2, '\0');
    pattern[0] = char(MetaStatus);
    pattern[1] = char(type);
    return pattern;
}

// The text bytes of the first standard meta event of this type at or after
// start; its length may be a multi-byte quantity. Returns the offset of the
// 0xFF byte or -1.
qint64 findStandardEvent(
    const QByteArray &data, qint64 start, quint8 type, qint64 *payloadStart, quint32 *payloadLength)
{
    const qint64 i = data.indexOf(metaPattern(type), start);
    if (i < 0)
        return -1;
    quint32 length = 0;
    qint64 next = 0;
    if (readVlq(data, i + 2, data.size(), &length, &next)) {
        *payloadStart = next;
        *payloadLength = quint32(qMin<qint64>(length, data.size() - next));
    } else {
        *payloadStart = qMin<qint64>(i + 2, data.size());
        *payloadLength = 0;
    }
    return i;
}

QByteArray boundedMid(const QByteArray &data, qint64 start, qint64 count)
{
    if (count <= 0 || start < 0 || start >= data.size())
        return QByteArray();
    return data.mid(start, qMin<qint64>(count, data.size() - start));
}

} // namespace

RawMidiFile::RawMidiFile()
{
    populateKeyMaps();
}

void RawMidiFile::populateKeyMaps()
{
    keyCodes.clear();
    keyNames.clear();
    for (const KeyEntry &entry : keyTable) {
        keyCodes.insert(QString::fromLatin1(entry.name), entry.code);
        keyNames.insert(entry.code, QString::fromLatin1(entry.name));
    }
    for (const KeyEntry &entry : keyAliases)
        keyCodes.insert(QString::fromLatin1(entry.name), entry.code);
}

QStringList RawMidiFile::getKeysList()
{
    QMap<quint16, QString> byCode;
    for (const KeyEntry &entry : keyTable)
        byCode.insert(entry.code, QString::fromLatin1(entry.name));
    return byCode.values();
}

bool RawMidiFile::isLoaded() const
{
    return trackStart > 0 && !data.isEmpty();
}

bool RawMidiFile::loadData(const QByteArray &bytes)
{
    if (bytes.size() < MinHeaderBytes || !bytes.startsWith("MThd"))
        return false;
    const qint64 trackChunk = bytes.indexOf("MTrk", 4);
    if (trackChunk < 0 || trackChunk + 8 > bytes.size())
        return false;
    const quint16 format = qFromBigEndian<quint16>(bytes.constData() + FormatOffset);
    if (format > 1)
        return false;

    data = bytes;
    trackSizePos = qint32(trackChunk + 4);
    trackStart = qint32(trackChunk + 8);
    trackSize = qFromBigEndian<quint32>(data.constData() + trackSizePos);
    type = format == 0 ? SongInfo::FileTypeMidi0 : SongInfo::FileTypeMidi1;
    writeFailed = false;
    return true;
}

// ---------------------------------------------------------------- readers

int RawMidiFile::extractMetaevent(QString &text, quint8 metaType) const
{
    text.clear();
    if (!isLoaded())
        return -1;
    qint64 payloadStart = 0;
    quint32 payloadLength = 0;
    const qint64 i = findStandardEvent(data, trackStart, metaType, &payloadStart, &payloadLength);
    if (i < 0)
        return -1;
    text = SongText::fromLatin1(boundedMid(data, payloadStart, payloadLength));
    return int(i);
}

int RawMidiFile::indexOfZevioMetaevent(
    const QByteArray &bytes, int start, zevioMetaTypeEnum subType) const
{
    const QByteArray pattern = metaPattern(MetaZevioTag);
    qint64 from = qMax(start, 0);
    while (from < bytes.size()) {
        const qint64 i = bytes.indexOf(pattern, from);
        if (i < 0)
            return -1;
        if (i + 3 < bytes.size() && quint8(bytes.at(i + 3)) == quint8(subType))
            return int(i);
        from = i + 1;
    }
    return -1;
}

int RawMidiFile::extractMetaevent(QString &text, zevioMetaTypeEnum subType) const
{
    text.clear();
    if (!isLoaded())
        return -1;
    const int i = indexOfZevioMetaevent(data, trackStart, subType);
    if (i < 0)
        return -1;
    // Tag lengths are one unsigned byte and count the sub-type byte too.
    const int length = byteAt(data, qint64(i) + 2);
    text = SongText::fromLatin1(boundedMid(data, qint64(i) + 4, length - 1));
    return i;
}

int RawMidiFile::extractMarkersList(QList<Marker> &markers) const
{
    markers.clear();
    if (!isLoaded())
        return -1;
    int first = -1;
    qint64 from = trackStart;
    while (from < data.size()) {
        const int i = indexOfZevioMetaevent(data, int(from), MetaMarker);
        if (i < 0)
            break;
        if (first < 0)
            first = i;
        const int length = byteAt(data, qint64(i) + 2);
        Marker marker;
        marker.bar = byteAt(data, qint64(i) + 4) * 256 + byteAt(data, qint64(i) + 5);
        marker.text = SongText::fromLatin1(boundedMid(data, qint64(i) + 6, length - 3));
        markers.append(marker);
        from = qint64(i) + 3 + length; // the byte after the event
    }
    return first;
}

int RawMidiFile::extractKey(QString &key) const
{
    key.clear();
    if (!isLoaded())
        return -1;
    const qint64 i = data.indexOf(metaPattern(MetaKeySignature), trackStart);
    if (i < 0)
        return -1;
    quint32 length = 0;
    qint64 sfPos = 0;
    if (!readVlq(data, i + 2, data.size(), &length, &sfPos) || sfPos + 2 > data.size()) {
        qWarning() << "[RawMidiFile::extractKey] WARNING: truncated key metaevent in MIDI file.";
        return int(i);
    }
    const quint8 sf = quint8(data.at(sfPos));
    const quint8 mi = quint8(data.at(sfPos + 1));
    const quint16 code = quint16(sf << 8 | mi);
    if (keyNames.contains(code)) {
        key = keyNames.value(code);
    } else {
        const QString diagnostic
            = QStringLiteral("[sf=%1|mi=%2]")
                  .arg(sf, 2, 16, QLatin1Char('0'))
                  .arg(QString::number(mi, 16).toUpper().rightJustified(2, QLatin1Char('0')));
        qWarning() << "[RawMidiFile::extractKey] WARNING: unknown key metaevent" << diagnostic
                   << "in MIDI file.";
    }
    return int(i);
}

QString RawMidiFile::title() const
{
    QString text;
    extractMetaevent(text, MetaTrackName);
    return text;
}

bool RawMidiFile::hasTitle() const
{
    QString text;
    return extractMetaevent(text, MetaTrackName) >= 0;
}

bool RawMidiFile::isZevio() const
{
    QString text;
    if (extractMetaevent(text, MetaCopyright) < 0)
        return false;
    const QString upper = text.toUpper();
    return upper.contains(QLatin1String("ZEVIO")) || upper.contains(QLatin1String("MELVORAN"));
}

QString RawMidiFile::genre() const
{
    QString text;
    extractMetaevent(text, MetaGenre);
    return text;
}

QString RawMidiFile::artist() const
{
    QString text;
    extractMetaevent(text, MetaArtist);
    return text;
}

QString RawMidiFile::author() const
{
    QString text;
    extractMetaevent(text, MetaAuthor);
    return text;
}

bool RawMidiFile::hasGenre() const
{
    QString text;
    return extractMetaevent(text, MetaGenre) >= 0;
}

bool RawMidiFile::hasArtist() const
{
    QString text;
    return extractMetaevent(text, MetaArtist) >= 0;
}

bool RawMidiFile::hasAuthor() const
{
    QString text;
    return extractMetaevent(text, MetaAuthor) >= 0;
}

qint32 RawMidiFile::length() const
{
    QString text;
    qint32 value = 0;
    if (extractMetaevent(text, MetaLength) < 0 || !SongText::parseInteger(text, &value))
        return 0;
    return value < 0 ? 0 : value;
}

qint32 RawMidiFile::userBpm() const
{
    QString text;
    qint32 value = 0;
    if (extractMetaevent(text, MetaUserBpm) < 0 || !SongText::parseInteger(text, &value))
        return 0;
    return value < 0 ? 0 : value;
}

bool RawMidiFile::hasLength() const
{
    QString text;
    return extractMetaevent(text, MetaLength) >= 0;
}

bool RawMidiFile::hasUserBpm() const
{
    QString text;
    return extractMetaevent(text, MetaUserBpm) >= 0;
}

QList<Marker> RawMidiFile::markersList() const
{
    QList<Marker> markers;
    extractMarkersList(markers);
    return markers;
}

bool RawMidiFile::hasMarkers() const
{
    QString text;
    return extractMetaevent(text, MetaMarker) >= 0;
}

QString RawMidiFile::key() const
{
    QString name;
    extractKey(name);
    return name;
}

bool RawMidiFile::hasKey() const
{
    if (!isLoaded())
        return false;
    return data.indexOf(metaPattern(MetaKeySignature), trackStart) >= 0;
}

// ---------------------------------------------------------------- writers

// A writer's insertion that added nothing (a first-track length field with no
// room left) is remembered, so the song is not saved without that field.
int RawMidiFile::checkedInsert(int inserted)
{
    if (inserted == 0)
        writeFailed = true;
    return inserted;
}

void RawMidiFile::setTitle(const QString &text)
{
    removeHeadMetaevent(MetaTrackName, false);
    checkedInsert(
        insertMetaevent(SongText::toLatin1(text, MaxTextChars), MetaTrackName, trackStart));
}

void RawMidiFile::setTagText(zevioMetaTypeEnum subType, const QString &text)
{
    removeHeadMetaevent(subType, false);
    checkedInsert(insertMetaevent(SongText::toLatin1(text, MaxTextChars), subType, trackStart));
}

void RawMidiFile::setGenre(const QString &text)
{
    setTagText(MetaGenre, text);
}

void RawMidiFile::setArtist(const QString &text)
{
    setTagText(MetaArtist, text);
}

void RawMidiFile::setAuthor(const QString &text)
{
    setTagText(MetaAuthor, text);
}

void RawMidiFile::setLength(qint32 seconds)
{
    setTagText(MetaLength, QString::number(seconds));
}

void RawMidiFile::setUserBpm(qint32 bpm)
{
    setTagText(MetaUserBpm, QString::number(bpm));
}

void RawMidiFile::setMarkersList(const QList<Marker> &markers)
{
    removeHeadMetaevent(MetaMarker, false);
    // Each insertion goes in front of the previous one: last marker first.
    for (auto it = markers.crbegin(); it != markers.crend(); ++it)
        insertMarker(it->text, quint16(it->bar & 0xFFFF));
}

int RawMidiFile::insertMarker(const QString &text, quint16 bar)
{
    QByteArray payload(2, '\0');
    qToBigEndian<quint16>(bar, payload.data());
    payload.append(SongText::toLatin1(text, MaxMarkerChars));
    return checkedInsert(insertMetaevent(payload, MetaMarker, trackStart));
}

int RawMidiFile::dbgInsertMarker(const QString &text, quint16 bar)
{
    return insertMarker(text, bar);
}

void RawMidiFile::setKey(const QString &name)
{
    removeHeadMetaevent(MetaKeySignature, false);
    if (name.isEmpty())
        return;
    QString spaceless = name;
    spaceless.remove(QLatin1Char(' '));
    const auto found = keyCodes.constFind(spaceless);
    if (found == keyCodes.constEnd()) {
        qWarning() << "[RawMidiFile::setKey] WARNING: unknown key:" << spaceless
                   << ". Metaevent not added !!!";
        return;
    }
    QByteArray payload(2, '\0');
    payload[0] = char(found.value() >> 8); // sf
    payload[1] = char(found.value() & 0xFF); // mi
    checkedInsert(insertMetaevent(payload, MetaKeySignature, trackStart));
}

// ---------------------------------------------------------------- primitives

void RawMidiFile::updateTrackSize()
{
    if (trackSizePos < 0 || qint64(trackSizePos) + 4 > data.size())
        return;
    qToBigEndian<quint32>(trackSize, data.data() + trackSizePos);
}

int RawMidiFile::insertEvent(const QByteArray &event, int position)
{
    // Events go into the first track only, or its length field would lie.
    const qint64 trackEnd = qMin<qint64>(qint64(trackStart) + trackSize, data.size());
    if (!isLoaded() || position < trackStart || position > trackEnd)
        return 0;
    if (quint64(trackSize) + quint64(event.size()) > 0xFFFFFFFFULL)
        return 0;
    data.insert(position, event);
    trackSize += quint32(event.size());
    updateTrackSize();
    return int(event.size());
}

int RawMidiFile::insertMetaevent(const QByteArray &payload, quint8 metaType, int position)
{
    if (payload.size() > MaxLengthByte) {
        qWarning() << "[RawMidiFile::insertMetaevent] WARNING: metaevent too long, not added !!!";
        return 0;
    }
    QByteArray event;
    event.reserve(4 + payload.size());
    event.append('\0').append(char(MetaStatus)).append(char(metaType)).append(char(payload.size()));
    event.append(payload);
    return insertEvent(event, position);
}

int RawMidiFile::insertMetaevent(const QByteArray &payload, zevioMetaTypeEnum subType, int position)
{
    if (payload.size() + 1 > MaxLengthByte) {
        qWarning()
            << "[RawMidiFile::insertMetaevent] WARNING: tag metaevent too long, not added !!!";
        return 0;
    }
    QByteArray event;
    event.reserve(5 + payload.size());
    event.append('\0').append(char(MetaStatus)).append(char(MetaZevioTag));
    event.append(char(payload.size() + 1)).append(char(subType));
    event.append(payload);
    return insertEvent(event, position);
}

int RawMidiFile::removeHeadMetaevent(quint8 metaType, bool onlyFirst)
{
    return removeEvents(metaType, -1, onlyFirst);
}

int RawMidiFile::removeHeadMetaevent(zevioMetaTypeEnum subType, bool onlyFirst)
{
    return removeEvents(MetaZevioTag, int(subType), onlyFirst);
}

namespace
{

struct Span {
    qint64 start;
    qint64 length;
};

// Walks the events of the first track from start up to its End of Track event
// (or exactly to limit) and collects the delta-0 meta events of the wanted type
// (and tag sub-type when subType >= 0). False when the track cannot be walked.
// Old files may carry tag events whose length byte is 0x80 or more as a single
// byte; singleByteTagLengths reads them that way.
bool walkTrack(const QByteArray &data, qint64 start, qint64 limit, quint8 metaType, int subType,
    bool singleByteTagLengths, QList<Span> *found)
{
    found->clear();
    quint8 runningStatus = 0;
    qint64 pos = start;
    while (pos < limit) {
        const qint64 eventStart = pos;
        quint32 delta = 0;
        if (!readVlq(data, pos, limit, &delta, &pos) || pos >= limit)
            return false;
        const quint8 status = quint8(data.at(pos));
        if (status == MetaStatus) {
            if (pos + 1 >= limit)
                return false;
            const quint8 type = quint8(data.at(pos + 1));
            quint32 length = 0;
            qint64 payload = 0;
            if (singleByteTagLengths && type == MetaZevioTag) {
                if (pos + 2 >= limit)
                    return false;
                length = quint8(data.at(pos + 2));
                payload = pos + 3;
            } else if (!readVlq(data, pos + 2, limit, &length, &payload)) {
                return false;
            }
            const qint64 end = payload + qint64(length);
            if (end > limit)
                return false;
            if (type == MetaEndOfTrack)
                return true;
            if (delta == 0 && type == metaType
                && (subType < 0 || (length >= 1 && quint8(data.at(payload)) == quint8(subType))))
                found->append({ eventStart, end - eventStart });
            pos = end; // running status carries across meta events
        } else if (status == 0xF0 || status == 0xF7) {
            quint32 length = 0;
            qint64 payload = 0;
            if (!readVlq(data, pos + 1, limit, &length, &payload))
                return false;
            pos = payload + qint64(length);
            if (pos > limit)
                return false;
        } else if (status > 0xF0) {
            return false; // system common or real-time bytes do not belong in a file
        } else {
            if (status & 0x80) {
                runningStatus = status;
                ++pos;
            } else if (runningStatus == 0) {
                return false;
            }
            const int count = channelDataBytes(runningStatus);
            if (pos + count > limit)
                return false;
            for (int k = 0; k < count; ++k) {
                if (quint8(data.at(pos + k)) & 0x80)
                    return false;
            }
            pos += count;
        }
    }
    return pos == limit;
}

} // namespace

int RawMidiFile::removeEvents(quint8 metaType, int subType, bool onlyFirst)
{
    if (!isLoaded())
        return 0;
    const qint64 limit = qMin<qint64>(qint64(trackStart) + trackSize, data.size());
    QList<Span> spans;
    if (!walkTrack(data, trackStart, limit, metaType, subType, false, &spans)
        && !walkTrack(data, trackStart, limit, metaType, subType, true, &spans)) {
        qWarning() << "[RawMidiFile::removeHeadMetaevent] WARNING: first track cannot be read,"
                   << "no metaevent removed";
        return 0;
    }
    if (onlyFirst && spans.size() > 1)
        spans.erase(spans.begin() + 1, spans.end());
    qint64 total = 0;
    for (auto it = spans.crbegin(); it != spans.crend(); ++it) {
        data.remove(it->start, it->length);
        total += it->length;
    }
    if (total > 0) {
        trackSize -= quint32(total);
        updateTrackSize();
    }
    return int(total);
}
