#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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

// False, with the reason in error, when the file breaks any rule above.
bool strictParse(const QByteArray &file, QList<Event> *events, QString *error);
// The events, or none (with a warning) when the file is not strictly valid.
QList<Event> events(const QByteArray &file);
// Meta events of the first track of one type (and tag sub-type when >= 0).
QList<Event> metaEvents(const QByteArray &file, quint8 type, int subType = -1);
} // namespace MidiChecker
