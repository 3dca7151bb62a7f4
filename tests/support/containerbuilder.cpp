#include "containerbuilder.h"

#include "lzhuff.h"

#include <QtEndian>

ContainerBuilder::ContainerBuilder(const QByteArray &magic)
    : m_magic(magic)
{
    m_header = QByteArray(magic == "_MF5" ? 1024 : 512, '\0');
    m_header.replace(0, qMin<qsizetype>(4, magic.size()), magic.left(4));
}

void ContainerBuilder::putText(int offset, int size, const QString &text)
{
    QByteArray field = text.toLatin1().left(size);
    field.append(size - field.size(), '\0');
    m_header.replace(offset, size, field);
}

ContainerBuilder &ContainerBuilder::title(const QString &text)
{
    putText(122, 32, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::author(const QString &text)
{
    putText(186, 32, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::artist(const QString &text)
{
    putText(218, 32, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::genre(const QString &text)
{
    putText(250, 32, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::longName(const QString &text)
{
    putText(42, 13, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::copyright(const QString &text)
{
    putText(90, 20, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::editor(const QString &text)
{
    putText(154, 31, text);
    return *this;
}

ContainerBuilder &ContainerBuilder::tempo(int bpm)
{
    m_header[38] = char(bpm & 0xFF);
    m_header[39] = char((bpm >> 8) & 0xFF);
    return *this;
}

ContainerBuilder &ContainerBuilder::flags(quint8 value)
{
    m_header[185] = char(value);
    return *this;
}

ContainerBuilder &ContainerBuilder::filler()
{
    // Offsets that hold no field the program reads or writes.
    const int gaps[][2] = { { 8, 12 }, { 16, 38 }, { 40, 42 }, { 55, 90 }, { 110, 122 } };
    for (const auto &gap : gaps)
        for (int i = gap[0]; i < gap[1]; ++i)
            m_header[i] = char((i & 0xFF) | 0x80);
    for (int i = 282; i < m_header.size(); ++i)
        m_header[i] = char((i & 0xFF) | 0x80);
    return *this;
}

ContainerBuilder &ContainerBuilder::bytesAt(int offset, const QByteArray &bytes)
{
    m_header.replace(offset, bytes.size(), bytes);
    return *this;
}

ContainerBuilder &ContainerBuilder::headerSize(int size)
{
    m_header.resize(size, '\0');
    return *this;
}

ContainerBuilder &ContainerBuilder::midi(const QByteArray &smf)
{
    m_midi = smf;
    return *this;
}

ContainerBuilder &ContainerBuilder::mf4Extra(const QByteArray &threeBytes)
{
    m_extra = threeBytes;
    return *this;
}

QByteArray ContainerBuilder::header() const
{
    return m_header;
}

QByteArray ContainerBuilder::withMf4Extra(const QByteArray &smf, const QByteArray &threeBytes)
{
    QByteArray out = smf;
    const qsizetype mtrk = out.indexOf("MTrk");
    if (mtrk < 0 || out.size() < mtrk + 8)
        return out;
    out.insert(mtrk + 8, threeBytes);
    const quint32 length = qFromBigEndian<quint32>(out.constData() + mtrk + 4);
    qToBigEndian<quint32>(length + quint32(threeBytes.size()), out.data() + mtrk + 4);
    return out;
}

QByteArray ContainerBuilder::storedMidi() const
{
    return m_magic == "_MF4" ? withMf4Extra(m_midi, m_extra) : m_midi;
}

QByteArray ContainerBuilder::build() const
{
    const QByteArray stored = storedMidi();
    QByteArray block;
    LzHuff().compress(stored, block);
    QByteArray header = m_header;
    if (header.size() >= 16) {
        qToLittleEndian<quint32>(quint32(header.size() + block.size()), header.data() + 4);
        qToLittleEndian<quint32>(quint32(stored.size()), header.data() + 12);
    }
    return header + block;
}
