#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// A strict reader of Standard MIDI Files, independent of the code under test:
// exact chunk lengths, the declared number of tracks, every event complete,
// End of Track last in every track, nothing after the last chunk.
namespace MidiChecker
{
struct Event {
    int track = 0;
    qint64 offset = 0; // of the first delta-time byte
    quint32 delta = 0;
    quint8 status = 0; // 0xFF for meta events, else the (running) status
    quint8 metaType = 0;
    QByteArray payload;
};

inline bool readVlq(const QByteArray &b, qint64 &pos, qint64 end, quint32 &value)
{
    value = 0;
    for (int i = 0; i < 4 && pos < end; ++i) {
        const quint8 c = quint8(b.at(pos++));
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80))
            return true;
    }
    return false;
}

// The events, or none (with a warning naming the fault) when the file breaks
// any rule above.
inline QList<Event> events(const QByteArray &file)
{
    QList<Event> events;
    qint64 pos = 14;
    int track = 0;
    const auto fail = [&](const char *why) {
        qWarning("strict MIDI reader: track %d at %lld: %s", track, pos, why);
        return QList<Event>();
    };
    if (file.size() < 14 || !file.startsWith("MThd")
        || qFromBigEndian<quint32>(file.constData() + 4) != 6)
        return fail("no valid header chunk");
    for (; track < qFromBigEndian<quint16>(file.constData() + 10); ++track) {
        if (pos + 8 > file.size() || file.mid(pos, 4) != "MTrk")
            return fail("no MTrk chunk");
        const qint64 end = pos + 8 + qFromBigEndian<quint32>(file.constData() + pos + 4);
        pos += 8;
        if (end > file.size())
            return fail("length runs past the file");
        quint8 running = 0;
        bool ended = false;
        while (pos < end) {
            Event ev { track, pos, 0, 0, 0, {} };
            if (ended || !readVlq(file, pos, end, ev.delta) || pos >= end)
                return fail("bytes after End of Track, or a broken delta time");
            const quint8 status = quint8(file.at(pos));
            quint32 len = 0;
            if (status == 0xFF || status == 0xF0 || status == 0xF7) {
                ev.status = status;
                ev.metaType = status == 0xFF && pos + 1 < end ? quint8(file.at(pos + 1)) : 0;
                pos += status == 0xFF ? 2 : 1;
                if (!readVlq(file, pos, end, len) || pos + len > end)
                    return fail("meta or SysEx event runs past the track");
            } else if (status > 0xF0 || (!(status & 0x80) && !running)) {
                return fail("system byte, or data byte without status");
            } else {
                if (status & 0x80)
                    running = quint8(file.at(pos++));
                ev.status = running;
                len = ((running & 0xE0) == 0xC0) ? 1 : 2;
                for (qint64 i = pos; i < pos + len; ++i)
                    if (i >= end || (quint8(file.at(i)) & 0x80))
                        return fail("truncated channel event");
            }
            ev.payload = file.mid(pos, len);
            pos += len;
            ended = ev.status == 0xFF && ev.metaType == 0x2F;
            if (ended && len != 0)
                return fail("End of Track with a length");
            events.append(ev);
        }
        if (!ended)
            return fail("no End of Track");
    }
    return pos == file.size() ? events : fail("bytes after the last track");
}

// Meta events of the first track of one type (and tag sub-type when >= 0).
inline QList<Event> metaEvents(const QByteArray &file, quint8 type, int subType = -1)
{
    QList<Event> result;
    for (const Event &ev : events(file))
        if (ev.track == 0 && ev.status == 0xFF && ev.metaType == type
            && (subType < 0 || (!ev.payload.isEmpty() && quint8(ev.payload.at(0)) == subType)))
            result.append(ev);
    return result;
}
} // namespace MidiChecker
