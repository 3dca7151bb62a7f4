#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Builds an ID3v2 tag frame by frame, plus a few MPEG audio frames to follow it.
class Mp3Builder
{
public:
    explicit Mp3Builder(int major = 3, quint8 flags = 0)
        : major(major)
        , flags(flags)
    {
    }

    Mp3Builder &frame(const QByteArray &id, const QByteArray &body)
    {
        const quint32 n = quint32(body.size());
        const QByteArray size = major == 4 && !plainSizes
            ? synchsafe(n)
            : QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n);
        frames += id + size + QByteArray(2, '\0') + body;
        return *this;
    }
    // Encoding 00 (ISO-8859-1) and the text.
    Mp3Builder &text(const QByteArray &id, const QByteArray &latin1)
    {
        return frame(id, '\0' + latin1);
    }
    // Text frames from "ID=text;ID=text".
    Mp3Builder &texts(const char *list)
    {
        for (const QByteArray &item : QByteArray(list).split(';'))
            text(item.left(4), item.mid(5));
        return *this;
    }
    Mp3Builder &padding(int bytes)
    {
        frames += QByteArray(bytes, '\0');
        return *this;
    }
    // Frame sizes of a v2.4 tag written as plain numbers, as some writers do.
    Mp3Builder &plainFrameSizes()
    {
        plainSizes = true;
        return *this;
    }

    QByteArray tag() const
    {
        return QByteArray("ID3") + char(major) + '\0' + char(flags)
            + synchsafe(quint32(frames.size())) + frames;
    }

    // MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz: 417 bytes each) of silence.
    static QByteArray audio(int count = 3)
    {
        return QByteArray::fromHex("fffb9064").append(413, '\0').repeated(count);
    }
    static QByteArray synchsafe(quint32 v)
    {
        return QByteArray(1, char((v >> 21) & 0x7F)) + char((v >> 14) & 0x7F)
            + char((v >> 7) & 0x7F) + char(v & 0x7F);
    }
    static quint32 readSynchsafe(const QByteArray &b, int at)
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 7) | (quint8(b.at(at + i)) & 0x7F);
        return v;
    }

private:
    int major;
    quint8 flags;
    bool plainSizes = false;
    QByteArray frames;
};
