#ifndef MIDICHECKER_H
#define MIDICHECKER_H

#include <QByteArray>
#include <QList>
#include <QString>

// A strict reader of Standard MIDI Files, written for the tests and independent
// of the code under test: exact chunk lengths, the declared number of tracks,
// every event complete, End of Track as the last event of every track, nothing
// after the last chunk.
namespace MidiChecker
{

struct Event {
    int track = 0;
    qint64 offset = 0; // of the first delta-time byte
    quint32 delta = 0;
    quint8 status = 0; // 0xFF for meta events, the (running) status otherwise
    quint8 metaType = 0;
    QByteArray payload;
};

// False, with the reason in error, when the file breaks any rule above.
bool strictParse(const QByteArray &file, QList<Event> *events, QString *error);

} // namespace MidiChecker

#endif // MIDICHECKER_H
