#include "midibuilder.h"

#include <QtEndian>

MidiBuilder::MidiBuilder(int format, int division)
    : format(format)
    , division(division)
{
}

MidiBuilder &MidiBuilder::track()
{
    tracks.append(Track());
    return *this;
}

MidiBuilder &MidiBuilder::raw(const QByteArray &bytes)
{
    if (tracks.isEmpty())
        track();
    tracks.last().events.append(bytes);
    return *this;
}

MidiBuilder &MidiBuilder::meta(quint32 delta, quint8 type, const QByteArray &payload)
{
    QByteArray event = vlq(delta);
    event.append(char(0xFF))
        .append(char(type))
        .append(vlq(quint32(payload.size())))
        .append(payload);
    return raw(event);
}

MidiBuilder &MidiBuilder::tag(quint32 delta, quint8 subType, const QByteArray &payload)
{
    QByteArray event = vlq(delta);
    event.append(char(0xFF))
        .append(char(0x4B))
        .append(char(payload.size() + 1))
        .append(char(subType));
    event.append(payload);
    return raw(event);
}

MidiBuilder &MidiBuilder::marker(quint32 delta, quint16 bar, const QByteArray &text)
{
    QByteArray payload;
    payload.append(char(bar >> 8)).append(char(bar & 0xFF)).append(text);
    return tag(delta, 6, payload);
}

MidiBuilder &MidiBuilder::note(quint32 delta, quint8 key, quint32 length, quint8 channel)
{
    QByteArray event = vlq(delta);
    event.append(char(0x90 | (channel & 0x0F))).append(char(key & 0x7F)).append(char(100));
    event.append(vlq(length)).append(char(key & 0x7F)).append('\0'); // running status, velocity 0
    return raw(event);
}

MidiBuilder &MidiBuilder::sysex(quint32 delta, const QByteArray &body)
{
    QByteArray event = vlq(delta);
    event.append(char(0xF0)).append(vlq(quint32(body.size()))).append(body);
    return raw(event);
}

MidiBuilder &MidiBuilder::withoutEndOfTrack()
{
    if (tracks.isEmpty())
        track();
    tracks.last().endOfTrack = false;
    return *this;
}

QByteArray MidiBuilder::vlq(quint32 value)
{
    QByteArray bytes(1, char(value & 0x7F));
    value >>= 7;
    while (value) {
        bytes.prepend(char(0x80 | (value & 0x7F)));
        value >>= 7;
    }
    return bytes;
}

QByteArray MidiBuilder::bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray MidiBuilder::build() const
{
    QByteArray file("MThd");
    file.append(bigEndian32(6));
    file.append(char(format >> 8)).append(char(format & 0xFF));
    file.append(char(tracks.size() >> 8)).append(char(tracks.size() & 0xFF));
    file.append(char(division >> 8)).append(char(division & 0xFF));
    for (const Track &t : tracks) {
        QByteArray events = t.events;
        if (t.endOfTrack)
            events.append(QByteArray::fromHex("00ff2f00"));
        file.append("MTrk").append(bigEndian32(quint32(events.size()))).append(events);
    }
    return file;
}
