#ifndef MP3BUILDER_H
#define MP3BUILDER_H

#include <QByteArray>
#include <QList>

// Builds an ID3v2 tag frame by frame (and a few bytes of MPEG audio to put
// after it), so that a test shows the bytes that matter.
//
//   QByteArray file = Mp3Builder(3).text("TIT2", "Song").padding(20).tag()
//                     + Mp3Builder::audio();
class Mp3Builder
{
public:
    explicit Mp3Builder(int majorVersion = 3, quint8 flags = 0);

    // A frame with this exact body (encoding byte included).
    Mp3Builder &frame(const QByteArray &identifier, const QByteArray &body, quint16 flags = 0);
    // A text frame: encoding 00 (ISO-8859-1) and the Latin-1 text.
    Mp3Builder &text(const QByteArray &identifier, const QByteArray &latin1Text);
    Mp3Builder &padding(int bytes);
    // Writes the frame sizes of an ID3v2.4 tag as plain numbers, as some
    // writers wrongly do.
    Mp3Builder &plainFrameSizes();

    QByteArray tag() const;

    // A few MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz) of silence.
    static QByteArray audio(int frames = 3);
    static QByteArray synchsafe(quint32 value);

private:
    struct Frame {
        QByteArray identifier;
        QByteArray body;
        quint16 flags;
    };
    int major;
    quint8 headerFlags;
    bool plainSizes = false;
    int paddingBytes = 0;
    QList<Frame> frames;
};

#endif // MP3BUILDER_H
