#include "midichecker.h"

#include <QtEndian>

namespace
{

bool readStrictVlq(const QByteArray &b, qint64 &pos, qint64 end, quint32 &value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= end)
            return false;
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
    auto fail = [error](const QString &why) {
        *error = why;
        return false;
    };
    events->clear();
    if (file.size() < 14 || !file.startsWith("MThd"))
        return fail(QStringLiteral("no header chunk"));
    if (qFromBigEndian<quint32>(file.constData() + 4) != 6)
        return fail(QStringLiteral("header length is not 6"));
    const int trackCount = qFromBigEndian<quint16>(file.constData() + 10);
    qint64 pos = 14;
    for (int track = 0; track < trackCount; ++track) {
        if (pos + 8 > file.size() || file.mid(pos, 4) != "MTrk")
            return fail(QStringLiteral("track %1: no MTrk chunk").arg(track));
        const qint64 length = qFromBigEndian<quint32>(file.constData() + pos + 4);
        pos += 8;
        const qint64 end = pos + length;
        if (end > file.size())
            return fail(QStringLiteral("track %1: length runs past the file").arg(track));
        quint8 running = 0;
        bool ended = false;
        while (pos < end) {
            if (ended)
                return fail(QStringLiteral("track %1: bytes after End of Track").arg(track));
            Event ev;
            ev.track = track;
            ev.offset = pos;
            if (!readStrictVlq(file, pos, end, ev.delta) || pos >= end)
                return fail(
                    QStringLiteral("track %1: broken delta time at %2").arg(track).arg(ev.offset));
            const quint8 status = quint8(file.at(pos));
            if (status == 0xFF) {
                if (pos + 2 > end)
                    return fail(QStringLiteral("track %1: truncated meta event").arg(track));
                ev.status = status;
                ev.metaType = quint8(file.at(pos + 1));
                pos += 2;
                quint32 len = 0;
                if (!readStrictVlq(file, pos, end, len) || pos + len > end)
                    return fail(QStringLiteral("track %1: meta event length at %2")
                                    .arg(track)
                                    .arg(ev.offset));
                ev.payload = file.mid(pos, len);
                pos += len;
                if (ev.metaType == 0x2F) {
                    if (len != 0)
                        return fail(QStringLiteral("End of Track with a length"));
                    ended = true;
                }
            } else if (status == 0xF0 || status == 0xF7) {
                ev.status = status;
                ++pos;
                quint32 len = 0;
                if (!readStrictVlq(file, pos, end, len) || pos + len > end)
                    return fail(QStringLiteral("track %1: broken SysEx").arg(track));
                ev.payload = file.mid(pos, len);
                pos += len;
            } else if (status >= 0xF0) {
                return fail(
                    QStringLiteral("track %1: system byte %2").arg(track).arg(status, 0, 16));
            } else {
                if (status & 0x80) {
                    running = status;
                    ++pos;
                } else if (!running) {
                    return fail(QStringLiteral("track %1: data byte without status").arg(track));
                }
                ev.status = running;
                const int count = ((running & 0xF0) == 0xC0 || (running & 0xF0) == 0xD0) ? 1 : 2;
                if (pos + count > end)
                    return fail(QStringLiteral("track %1: truncated channel event").arg(track));
                ev.payload = file.mid(pos, count);
                for (char c : ev.payload) {
                    if (quint8(c) & 0x80)
                        return fail(
                            QStringLiteral("track %1: status byte inside an event").arg(track));
                }
                pos += count;
            }
            events->append(ev);
        }
        if (!ended)
            return fail(QStringLiteral("track %1: no End of Track").arg(track));
    }
    if (pos != file.size())
        return fail(QStringLiteral("%1 bytes after the last track").arg(file.size() - pos));
    return true;
}
