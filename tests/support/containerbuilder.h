#pragma once

#include <QByteArray>
#include <QString>

// Builds the maker's compressed song container (.mf3/.mf4/.mf5) around MIDI
// bytes: a header with chosen fields, then the LzHuff block. Fields not set
// stay 0x00 unless filler() asks for a recognisable byte pattern, so tests
// can check that untouched bytes survive.
class ContainerBuilder
{
public:
    explicit ContainerBuilder(const QByteArray &magic = QByteArrayLiteral("_MF3"));

    ContainerBuilder &title(const QString &text);
    ContainerBuilder &author(const QString &text);
    ContainerBuilder &artist(const QString &text);
    ContainerBuilder &genre(const QString &text);
    ContainerBuilder &longName(const QString &text);
    ContainerBuilder &copyright(const QString &text);
    ContainerBuilder &editor(const QString &text);
    ContainerBuilder &tempo(int bpm);
    ContainerBuilder &flags(quint8 value);
    // Fill the bytes that carry no field with a pattern (offset & 0xFF | 0x80).
    ContainerBuilder &filler();
    // Raw bytes at an offset of the header.
    ContainerBuilder &bytesAt(int offset, const QByteArray &bytes);
    // Cut the header to this many bytes (to build damaged files).
    ContainerBuilder &headerSize(int size);
    // The MIDI data: a plain Standard MIDI File. For "_MF4" the three bytes
    // such containers carry at the head of the first track are added (see
    // mf4Extra), and counted in that track's length.
    ContainerBuilder &midi(const QByteArray &smf);
    ContainerBuilder &mf4Extra(const QByteArray &threeBytes);

    QByteArray header() const;
    // The MIDI data as it goes into the compressor.
    QByteArray storedMidi() const;
    // Header (with its size fields set) followed by the LzHuff block.
    QByteArray build() const;

    // The plain MIDI data with three bytes put after the first "MTrk" chunk
    // header and the chunk length raised by 3, as "_MF4" containers hold it.
    static QByteArray withMf4Extra(const QByteArray &smf, const QByteArray &threeBytes);

private:
    void putText(int offset, int size, const QString &text);

    QByteArray m_header;
    QByteArray m_magic;
    QByteArray m_midi;
    QByteArray m_extra = QByteArray::fromHex("FF00FF");
};
