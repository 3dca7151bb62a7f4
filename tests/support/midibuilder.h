#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Builds a Standard MIDI File event by event; every track gets its End of
// Track event and a correct length.
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
        return raw(vlq(delta) + char(0xFF) + char(type) + vlq(quint32(payload.size())) + payload);
    }
    // The maker's tag event: FF 4B, length (payload + 1), sub-type, payload.
    MidiBuilder &tag(quint32 delta, quint8 subType, const QByteArray &payload)
    {
        return raw(vlq(delta) + char(0xFF) + char(0x4B) + char(payload.size() + 1) + char(subType)
            + payload);
    }
    MidiBuilder &marker(quint32 delta, quint16 bar, const QByteArray &text)
    {
        return tag(delta, 6, QByteArray(1, char(bar >> 8)) + char(bar & 0xFF) + text);
    }
    // Note on, then its note off through running status.
    MidiBuilder &note(quint32 delta, quint8 key, quint32 length = 240)
    {
        return raw(
            vlq(delta) + char(0x90) + char(key) + char(100) + vlq(length) + char(key) + '\0');
    }
    MidiBuilder &sysex(quint32 delta, const QByteArray &body)
    {
        return raw(vlq(delta) + char(0xF0) + vlq(quint32(body.size())) + body);
    }
    QByteArray build() const
    {
        QByteArray file = QByteArray("MThd") + be32(6) + be16(format) + be16(int(tracks.size()))
            + be16(division);
        for (const QByteArray &events : tracks)
            file += QByteArray("MTrk") + be32(quint32(events.size() + 4)) + events
                + QByteArray::fromHex("00ff2f00");
        return file;
    }

    static QByteArray vlq(quint32 value)
    {
        QByteArray bytes(1, char(value & 0x7F));
        for (value >>= 7; value; value >>= 7)
            bytes.prepend(char(0x80 | (value & 0x7F)));
        return bytes;
    }
    static QByteArray be32(quint32 v)
    {
        QByteArray b(4, '\0');
        qToBigEndian<quint32>(v, b.data());
        return b;
    }
    static QByteArray be16(int v) { return QByteArray(1, char(v >> 8)) + char(v & 0xFF); }

private:
    int format;
    int division;
    QList<QByteArray> tracks;
};
