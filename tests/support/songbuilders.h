#pragma once

#include "lzhuff.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

// Song files for tests, built from the bytes that matter: a Standard MIDI File
// event by event, the maker's container around one, an ID3v2 tag frame by
// frame. Lengths and sizes are worked out here, not by the code under test
// (the LzHuff block aside, which has golden tests of its own).
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
    return QByteArray(1, char(v >> 21 & 0x7F)) + char(v >> 14 & 0x7F) + char(v >> 7 & 0x7F)
        + char(v & 0x7F);
}
// Bytes laid out by hand: a hex prefix (delta, status, lengths ...) and a text.
inline QByteArray hex(const char *prefix, const char *text = "")
{
    return QByteArray::fromHex(prefix) + text;
}
} // namespace Bytes

// Every track gets its End of Track event and a correct length.
class MidiBuilder
{
public:
    explicit MidiBuilder(int format = 1)
        : format(format)
    {
    }
    MidiBuilder &track() { return tracks.append(QByteArray()), *this; }
    MidiBuilder &raw(const QByteArray &bytes)
    {
        if (tracks.isEmpty())
            track();
        return tracks.last().append(bytes), *this;
    }
    MidiBuilder &meta(quint32 delta, quint8 type, const QByteArray &payload)
    {
        return raw(Bytes::vlq(delta) + char(0xFF) + char(type) + Bytes::vlq(quint32(payload.size()))
            + payload);
    }
    // The maker's tag event: FF 4B, length (payload + 1), sub-type, payload.
    MidiBuilder &tag(quint32 delta, quint8 subType, const QByteArray &payload)
    {
        return raw(
            Bytes::vlq(delta) + "\xFF\x4B" + char(payload.size() + 1) + char(subType) + payload);
    }
    MidiBuilder &marker(quint32 delta, quint16 bar, const QByteArray &text)
    {
        return tag(delta, 6, QByteArray(1, char(bar >> 8)) + char(bar & 0xFF) + text);
    }
    // Note on, then its note off (240 ticks later) through running status.
    MidiBuilder &note(quint32 delta, quint8 key)
    {
        return raw(Bytes::vlq(delta) + char(0x90) + char(key) + "\x64\x81\x70" + char(key) + '\0');
    }
    QByteArray build() const
    {
        // Division 480 ticks per quarter note.
        QByteArray file = QByteArray("MThd") + Bytes::be32(6) + char(0) + char(format) + char(0)
            + char(tracks.size()) + "\x01\xE0";
        for (const QByteArray &events : tracks)
            file += "MTrk" + Bytes::be32(quint32(events.size() + 4)) + events
                + Bytes::hex("00ff2f00");
        return file;
    }

private:
    int format;
    QList<QByteArray> tracks;
};

// The maker's container (.mf3/.mf4/.mf5): a header with chosen fields, then
// the LzHuff block of the MIDI data.
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
    ContainerBuilder &text(Field field, const char *value)
    {
        const int size = field == LongName ? 13 : 32;
        return bytesAt(field, QByteArray(value).leftJustified(size, '\0', true));
    }
    // Title, artist, author, genre.
    ContainerBuilder &fields(const char *t, const char *ar, const char *au, const char *g)
    {
        return text(Title, t).text(Artist, ar).text(Author, au).text(Genre, g);
    }
    ContainerBuilder &tempo(int bpm)
    {
        return bytesAt(38, QByteArray(1, char(bpm)) + char(bpm >> 8));
    }
    ContainerBuilder &flags(quint8 value) { return bytesAt(185, QByteArray(1, char(value))); }
    // A recognisable pattern in the bytes no field uses.
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
        return head.replace(offset, bytes.size(), bytes), *this;
    }
    ContainerBuilder &midi(const QByteArray &smf) { return data = smf, *this; }
    // The three bytes "_MF4" containers carry at the head of the first track.
    ContainerBuilder &mf4Extra(const QByteArray &three) { return extra = three, *this; }
    QByteArray header() const { return head; }
    QByteArray build() const
    {
        QByteArray stored = data;
        const qsizetype mtrk = stored.indexOf("MTrk");
        if (magic == "_MF4" && mtrk >= 0 && stored.size() >= mtrk + 8) {
            stored.insert(mtrk + 8, extra); // counted in the track's length
            qToBigEndian<quint32>(qFromBigEndian<quint32>(stored.constData() + mtrk + 4) + 3,
                stored.data() + mtrk + 4);
        }
        QByteArray block;
        LzHuff().compress(stored, block);
        QByteArray h = head;
        qToLittleEndian<quint32>(quint32(h.size() + block.size()), h.data() + 4);
        qToLittleEndian<quint32>(quint32(stored.size()), h.data() + 12);
        return h + block;
    }

private:
    QByteArray magic;
    QByteArray head;
    QByteArray data;
    QByteArray extra = Bytes::hex("FF00FF");
};

// An ID3v2 tag frame by frame.
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
        frames += id + (major == 4 && !plain ? Bytes::synchsafe(n) : Bytes::be32(n))
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
    Mp3Builder &padding(int bytes) { return frames += QByteArray(bytes, '\0'), *this; }
    // Frame sizes of a v2.4 tag written as plain numbers, as some writers do.
    Mp3Builder &plainFrameSizes() { return plain = true, *this; }
    QByteArray tag() const
    {
        return "ID3" + QByteArray(1, char(major)) + '\0' + char(flags)
            + Bytes::synchsafe(quint32(frames.size())) + frames;
    }
    // MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz: 417 bytes each) of silence.
    static QByteArray audio(int count = 3)
    {
        return Bytes::hex("fffb9064").append(413, '\0').repeated(count);
    }

private:
    int major;
    quint8 flags;
    bool plain = false;
    QByteArray frames;
};
