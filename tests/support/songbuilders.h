#pragma once

#include "lzhuff.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

// Song files for tests, built from the bytes that matter: a Standard MIDI File
// event by event, the maker's container around one, an ID3v2 tag frame by
// frame. Lengths and sizes are worked out here, not by the code under test
// (except the LzHuff block, which has golden tests of its own).
namespace Bytes
{
inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(v, b.data());
    return b;
}
inline QByteArray vlq(quint32 value)
{
    QByteArray bytes(1, char(value & 0x7F));
    for (value >>= 7; value; value >>= 7)
        bytes.prepend(char(0x80 | (value & 0x7F)));
    return bytes;
}
inline QByteArray synchsafe(quint32 v)
{
    return QByteArray(1, char((v >> 21) & 0x7F)) + char((v >> 14) & 0x7F) + char((v >> 7) & 0x7F)
        + char(v & 0x7F);
}
inline quint32 readSynchsafe(const QByteArray &b, int at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 7) | (quint8(b.at(at + i)) & 0x7F);
    return v;
}
} // namespace Bytes

// Every track gets its End of Track event and a correct length.
class MidiBuilder
{
public:
    explicit MidiBuilder(int format = 1, int division = 480)
        : format(format)
        , division(division)
    {
    }
    MidiBuilder &track()
    {
        tracks.append(QByteArray());
        return *this;
    }
    MidiBuilder &raw(const QByteArray &bytes)
    {
        if (tracks.isEmpty())
            track();
        tracks.last().append(bytes);
        return *this;
    }
    MidiBuilder &rawHex(const char *hex) { return raw(QByteArray::fromHex(hex)); }
    MidiBuilder &meta(quint32 delta, quint8 type, const QByteArray &payload)
    {
        return raw(Bytes::vlq(delta) + char(0xFF) + char(type) + Bytes::vlq(quint32(payload.size()))
            + payload);
    }
    // The maker's tag event: FF 4B, length (payload + 1), sub-type, payload.
    MidiBuilder &tag(quint32 delta, quint8 subType, const QByteArray &payload)
    {
        return raw(Bytes::vlq(delta) + char(0xFF) + char(0x4B) + char(payload.size() + 1)
            + char(subType) + payload);
    }
    MidiBuilder &marker(quint32 delta, quint16 bar, const QByteArray &text)
    {
        return tag(delta, 6, QByteArray(1, char(bar >> 8)) + char(bar & 0xFF) + text);
    }
    // Note on, then its note off through running status.
    MidiBuilder &note(quint32 delta, quint8 key, quint32 length = 240)
    {
        return raw(Bytes::vlq(delta) + char(0x90) + char(key) + char(100) + Bytes::vlq(length)
            + char(key) + '\0');
    }
    MidiBuilder &sysex(quint32 delta, const QByteArray &body)
    {
        return raw(Bytes::vlq(delta) + char(0xF0) + Bytes::vlq(quint32(body.size())) + body);
    }
    QByteArray build() const
    {
        QByteArray file = QByteArray("MThd") + Bytes::be32(6) + be16(format)
            + be16(int(tracks.size())) + be16(division);
        for (const QByteArray &events : tracks)
            file += QByteArray("MTrk") + Bytes::be32(quint32(events.size() + 4)) + events
                + QByteArray::fromHex("00ff2f00");
        return file;
    }

private:
    static QByteArray be16(int v) { return QByteArray(1, char(v >> 8)) + char(v & 0xFF); }
    int format;
    int division;
    QList<QByteArray> tracks;
};

// The maker's container (.mf3/.mf4/.mf5): a header with chosen fields, then
// the LzHuff block of the MIDI data. filler() marks the bytes no field uses.
class ContainerBuilder
{
public:
    enum Field { Title = 122, Author = 186, Artist = 218, Genre = 250, LongName = 42 };

    explicit ContainerBuilder(const QByteArray &magic = "_MF3")
        : magic(magic)
        , head(magic == "_MF5" ? 1024 : 512, '\0')
    {
        head.replace(0, 4, magic);
    }
    ContainerBuilder &text(Field field, const QString &value)
    {
        const int size = field == LongName ? 13 : 32;
        const QByteArray bytes = value.toLatin1().left(size);
        return bytesAt(field, QByteArray(bytes).append(size - bytes.size(), '\0'));
    }
    ContainerBuilder &fields(
        const char *title, const char *artist, const char *author, const char *genre)
    {
        text(Title, QLatin1String(title)).text(Artist, QLatin1String(artist));
        return text(Author, QLatin1String(author)).text(Genre, QLatin1String(genre));
    }
    ContainerBuilder &tempo(int bpm)
    {
        return bytesAt(38, QByteArray(1, char(bpm)) + char(bpm >> 8));
    }
    ContainerBuilder &flags(quint8 value) { return bytesAt(185, QByteArray(1, char(value))); }
    ContainerBuilder &filler()
    {
        const int gaps[][2] = { { 8, 12 }, { 16, 38 }, { 40, 42 }, { 55, 90 }, { 110, 122 },
            { 282, int(head.size()) } };
        for (const auto &gap : gaps)
            for (int i = gap[0]; i < gap[1]; ++i)
                head[i] = char(i | 0x80);
        return *this;
    }
    ContainerBuilder &bytesAt(int offset, const QByteArray &bytes)
    {
        head.replace(offset, bytes.size(), bytes);
        return *this;
    }
    ContainerBuilder &midi(const QByteArray &smf)
    {
        data = smf;
        return *this;
    }
    // The three bytes "_MF4" containers carry at the head of the first track.
    ContainerBuilder &mf4Extra(const QByteArray &three)
    {
        extra = three;
        return *this;
    }
    QByteArray header() const { return head; }
    // The MIDI data as stored, with the "_MF4" bytes counted in the track length.
    QByteArray stored() const
    {
        QByteArray bytes = data;
        const qsizetype mtrk = bytes.indexOf("MTrk");
        if (magic == "_MF4" && mtrk >= 0 && bytes.size() >= mtrk + 8) {
            bytes.insert(mtrk + 8, extra);
            qToBigEndian<quint32>(
                qFromBigEndian<quint32>(bytes.constData() + mtrk + 4) + 3, bytes.data() + mtrk + 4);
        }
        return bytes;
    }
    QByteArray build() const
    {
        QByteArray block;
        LzHuff().compress(stored(), block);
        QByteArray h = head;
        qToLittleEndian<quint32>(quint32(h.size() + block.size()), h.data() + 4);
        qToLittleEndian<quint32>(quint32(stored().size()), h.data() + 12);
        return h + block;
    }

private:
    QByteArray magic;
    QByteArray head;
    QByteArray data;
    QByteArray extra = QByteArray::fromHex("FF00FF");
};

// An ID3v2 tag frame by frame, plus MPEG audio frames to follow it.
class Mp3Builder
{
public:
    explicit Mp3Builder(int major = 3, quint8 flags = 0)
        : major(major)
        , flags(flags)
    {
    }
    Mp3Builder &frame(const QByteArray &id, const QByteArray &body)
    {
        const quint32 n = quint32(body.size());
        frames += id + (major == 4 && !plainSizes ? Bytes::synchsafe(n) : Bytes::be32(n))
            + QByteArray(2, '\0') + body;
        return *this;
    }
    // Encoding 00 (ISO-8859-1) and the text.
    Mp3Builder &text(const QByteArray &id, const QByteArray &latin1)
    {
        return frame(id, '\0' + latin1);
    }
    // Text frames from "ID=text;ID=text".
    Mp3Builder &texts(const char *list)
    {
        for (const QByteArray &item : QByteArray(list).split(';'))
            text(item.left(4), item.mid(5));
        return *this;
    }
    Mp3Builder &padding(int bytes)
    {
        frames += QByteArray(bytes, '\0');
        return *this;
    }
    // Frame sizes of a v2.4 tag written as plain numbers, as some writers do.
    Mp3Builder &plainFrameSizes()
    {
        plainSizes = true;
        return *this;
    }
    QByteArray tag() const
    {
        return QByteArray("ID3") + char(major) + '\0' + char(flags)
            + Bytes::synchsafe(quint32(frames.size())) + frames;
    }
    // MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz: 417 bytes each) of silence.
    static QByteArray audio(int count = 3)
    {
        return QByteArray::fromHex("fffb9064").append(413, '\0').repeated(count);
    }

private:
    int major;
    quint8 flags;
    bool plainSizes = false;
    QByteArray frames;
};
