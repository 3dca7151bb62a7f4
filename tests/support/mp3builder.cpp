#include "mp3builder.h"

#include <QtEndian>

Mp3Builder::Mp3Builder(int majorVersion, quint8 flags)
    : major(majorVersion)
    , headerFlags(flags)
{
}

Mp3Builder &Mp3Builder::frame(const QByteArray &identifier, const QByteArray &body, quint16 flags)
{
    frames.append({ identifier, body, flags });
    return *this;
}

Mp3Builder &Mp3Builder::text(const QByteArray &identifier, const QByteArray &latin1Text)
{
    return frame(identifier, QByteArray(1, '\0') + latin1Text);
}

Mp3Builder &Mp3Builder::padding(int bytes)
{
    paddingBytes += bytes;
    return *this;
}

Mp3Builder &Mp3Builder::plainFrameSizes()
{
    plainSizes = true;
    return *this;
}

QByteArray Mp3Builder::synchsafe(quint32 value)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char((value >> 21) & 0x7F);
    bytes[1] = char((value >> 14) & 0x7F);
    bytes[2] = char((value >> 7) & 0x7F);
    bytes[3] = char(value & 0x7F);
    return bytes;
}

QByteArray Mp3Builder::tag() const
{
    QByteArray body;
    for (const Frame &f : frames) {
        body.append(f.identifier);
        if (major == 4 && !plainSizes) {
            body.append(synchsafe(quint32(f.body.size())));
        } else {
            QByteArray size(4, '\0');
            qToBigEndian<quint32>(quint32(f.body.size()), size.data());
            body.append(size);
        }
        body.append(char(f.flags >> 8)).append(char(f.flags & 0xFF));
        body.append(f.body);
    }
    body.append(QByteArray(paddingBytes, '\0'));
    QByteArray header("ID3");
    header.append(char(major)).append('\0').append(char(headerFlags));
    header.append(synchsafe(quint32(body.size())));
    return header + body;
}

QByteArray Mp3Builder::audio(int frames)
{
    // 128 kbit/s at 44.1 kHz: 417 bytes per frame without padding.
    QByteArray frame = QByteArray::fromHex("fffb9064");
    frame.append(QByteArray(417 - 4, '\0'));
    return frame.repeated(frames);
}
