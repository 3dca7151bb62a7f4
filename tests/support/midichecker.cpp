#include "midichecker.h"

#include <QtEndian>

namespace
{
bool readVlq(const QByteArray &b, qint64 &pos, qint64 end, quint32 &value)
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
} // namespace

bool MidiChecker::strictParse(const QByteArray &file, QList<Event> *events, QString *error)
{
    events->clear();
    qint64 pos = 14;
    int track = 0;
    auto fail = [&](const char *why) {
        *error = QStringLiteral("track %1 at %2: %3").arg(track).arg(pos).arg(QLatin1String(why));
        return false;
    };
    if (file.size() < 14 || !file.startsWith("MThd")
        || qFromBigEndian<quint32>(file.constData() + 4) != 6)
        return fail("no valid header chunk");
    const int trackCount = qFromBigEndian<quint16>(file.constData() + 10);
    for (; track < trackCount; ++track) {
        if (pos + 8 > file.size() || file.mid(pos, 4) != "MTrk")
            return fail("no MTrk chunk");
        const qint64 end = pos + 8 + qFromBigEndian<quint32>(file.constData() + pos + 4);
        pos += 8;
        if (end > file.size())
            return fail("length runs past the file");
        quint8 running = 0;
        bool ended = false;
        while (pos < end) {
            if (ended)
                return fail("bytes after End of Track");
            Event ev;
            ev.track = track;
            ev.offset = pos;
            if (!readVlq(file, pos, end, ev.delta) || pos >= end)
                return fail("broken delta time");
            const quint8 status = quint8(file.at(pos));
            quint32 len = 0;
            if (status == 0xFF || status == 0xF0 || status == 0xF7) {
                ev.status = status;
                if (status == 0xFF && pos + 2 > end)
                    return fail("truncated meta event");
                ev.metaType = status == 0xFF ? quint8(file.at(pos + 1)) : 0;
                pos += status == 0xFF ? 2 : 1;
                if (!readVlq(file, pos, end, len) || pos + len > end)
                    return fail("meta or SysEx event runs past the track");
            } else if (status > 0xF0) {
                return fail("system byte");
            } else {
                if (status & 0x80)
                    running = quint8(file.at(pos++));
                else if (!running)
                    return fail("data byte without status");
                ev.status = running;
                len = ((running & 0xE0) == 0xC0) ? 1 : 2;
                if (pos + len > end)
                    return fail("truncated channel event");
                for (qint64 i = pos; i < pos + len; ++i)
                    if (quint8(file.at(i)) & 0x80)
                        return fail("status byte inside an event");
            }
            ev.payload = file.mid(pos, len);
            pos += len;
            if (ev.status == 0xFF && ev.metaType == 0x2F) {
                if (len != 0)
                    return fail("End of Track with a length");
                ended = true;
            }
            events->append(ev);
        }
        if (!ended)
            return fail("no End of Track");
    }
    if (pos != file.size())
        return fail("bytes after the last track");
    return true;
}

QList<MidiChecker::Event> MidiChecker::events(const QByteArray &file)
{
    QList<Event> result;
    QString error;
    if (!strictParse(file, &result, &error)) {
        qWarning("strict MIDI reader: %s", qPrintable(error));
        result.clear();
    }
    return result;
}

QList<MidiChecker::Event> MidiChecker::metaEvents(const QByteArray &file, quint8 type, int subType)
{
    QList<Event> result;
    for (const Event &ev : events(file))
        if (ev.track == 0 && ev.status == 0xFF && ev.metaType == type
            && (subType < 0 || (!ev.payload.isEmpty() && quint8(ev.payload.at(0)) == subType)))
            result.append(ev);
    return result;
}
