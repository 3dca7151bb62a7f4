#pragma once

#include "lzhuff.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Builds the maker's compressed container (.mf3/.mf4/.mf5): a header with
// chosen fields, then the LzHuff block of the MIDI data. filler() puts a
// recognisable pattern into the bytes no field uses.
class ContainerBuilder
{
public:
    enum Field { Title = 122, Author = 186, Artist = 218, Genre = 250, LongName = 42 };

    explicit ContainerBuilder(const QByteArray &magic = "_MF3")
        : magic(magic)
        , head(magic == "_MF5" ? 1024 : 512, '\0')
    {
        head.replace(0, 4, magic);
    }

    ContainerBuilder &text(Field field, const QString &value)
    {
        const int size = field == LongName ? 13 : 32;
        const QByteArray bytes = value.toLatin1().left(size);
        head.replace(field, size, QByteArray(bytes).append(size - bytes.size(), '\0'));
        return *this;
    }
    ContainerBuilder &fields(
        const char *title, const char *artist, const char *author, const char *genre)
    {
        text(Title, QLatin1String(title)).text(Artist, QLatin1String(artist));
        return text(Author, QLatin1String(author)).text(Genre, QLatin1String(genre));
    }
    ContainerBuilder &title(const QString &v) { return text(Title, v); }
    ContainerBuilder &artist(const QString &v) { return text(Artist, v); }
    ContainerBuilder &tempo(int bpm)
    {
        return bytesAt(38, QByteArray(1, char(bpm)) + char(bpm >> 8));
    }
    ContainerBuilder &flags(quint8 value) { return bytesAt(185, QByteArray(1, char(value))); }
    ContainerBuilder &filler()
    {
        const int gaps[][2] = { { 8, 12 }, { 16, 38 }, { 40, 42 }, { 55, 90 }, { 110, 122 },
            { 282, int(head.size()) } };
        for (const auto &gap : gaps)
            for (int i = gap[0]; i < gap[1]; ++i)
                head[i] = char(i | 0x80);
        return *this;
    }
    ContainerBuilder &bytesAt(int offset, const QByteArray &bytes)
    {
        head.replace(offset, bytes.size(), bytes);
        return *this;
    }
    ContainerBuilder &headerSize(int size)
    {
        head.resize(size, '\0');
        return *this;
    }
    ContainerBuilder &midi(const QByteArray &smf)
    {
        data = smf;
        return *this;
    }
    // The three bytes "_MF4" containers carry at the head of the first track.
    ContainerBuilder &mf4Extra(const QByteArray &three)
    {
        extra = three;
        return *this;
    }

    QByteArray header() const { return head; }
    QByteArray build() const
    {
        QByteArray stored = data;
        const qsizetype mtrk = stored.indexOf("MTrk");
        if (magic == "_MF4" && mtrk >= 0 && stored.size() >= mtrk + 8) {
            stored.insert(mtrk + 8, extra);
            qToBigEndian<quint32>(qFromBigEndian<quint32>(stored.constData() + mtrk + 4) + 3,
                stored.data() + mtrk + 4);
        }
        QByteArray block;
        LzHuff().compress(stored, block);
        QByteArray h = head;
        qToLittleEndian<quint32>(quint32(h.size() + block.size()), h.data() + 4);
        qToLittleEndian<quint32>(quint32(stored.size()), h.data() + 12);
        return h + block;
    }

private:
    QByteArray magic;
    QByteArray head;
    QByteArray data;
    QByteArray extra = QByteArray::fromHex("FF00FF");
};
