#ifndef MIDIBUILDER_H
#define MIDIBUILDER_H

#include <QByteArray>
#include <QList>

// Builds a Standard MIDI File event by event, so that a test shows the bytes
// that matter. Every track gets its End of Track event and a correct length.
//
//   MidiBuilder midi(1);
//   midi.track().meta(0, 0x03, "Song").tag(0, 2, "Artist").note(0, 60);
//   midi.track().meta(0, 0x03, "Piano");
//   QByteArray bytes = midi.build();
class MidiBuilder
{
public:
    explicit MidiBuilder(int format = 1, int division = 480);

    // Starts a new track; the event methods add to the last track started.
    MidiBuilder &track();
    // delta, FF, type, length as a variable-length quantity, payload.
    MidiBuilder &meta(quint32 delta, quint8 type, const QByteArray &payload);
    // The maker's tag event: delta, FF 4B, length (payload + 1), sub-type, payload.
    MidiBuilder &tag(quint32 delta, quint8 subType, const QByteArray &payload);
    // A marker tag: bar high byte, bar low byte, text.
    MidiBuilder &marker(quint32 delta, quint16 bar, const QByteArray &text);
    // Note on and its note off (with running status) after length ticks.
    MidiBuilder &note(quint32 delta, quint8 key, quint32 length = 240, quint8 channel = 0);
    MidiBuilder &sysex(quint32 delta, const QByteArray &body);
    // Bytes appended unchanged to the current track.
    MidiBuilder &raw(const QByteArray &bytes);
    // Leaves out the End of Track event of the current track.
    MidiBuilder &withoutEndOfTrack();

    QByteArray build() const;

    static QByteArray vlq(quint32 value);
    static QByteArray bigEndian32(quint32 value);

private:
    struct Track {
        QByteArray events;
        bool endOfTrack = true;
    };
    int format;
    int division;
    QList<Track> tracks;
};

#endif // MIDIBUILDER_H
