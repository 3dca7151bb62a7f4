#include "memorybuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

MemoryBuilder::MemoryBuilder(const QString &root)
    : m_root(root)
{
    if (m_root.endsWith(QLatin1Char('/')))
        m_root.chop(1);
}

QString MemoryBuilder::absolute(const QString &relPath) const
{
    if (relPath.startsWith(QLatin1Char('/')))
        return m_root + relPath;
    return m_root + QLatin1Char('/') + relPath;
}

QString MemoryBuilder::write(const QString &relPath, const QByteArray &bytes, const QDateTime &modified)
{
    const QString path = absolute(relPath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    file.close();
    if (modified.isValid() && !setModified(relPath, modified))
        return QString();
    return path;
}

bool MemoryBuilder::setModified(const QString &relPath, const QDateTime &modified) const
{
    QFile file(absolute(relPath));
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray MemoryBuilder::read(const QString &relPath) const
{
    QFile file(absolute(relPath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool MemoryBuilder::exists(const QString &relPath) const
{
    return QFileInfo::exists(absolute(relPath));
}

bool MemoryBuilder::mkdir(const QString &relPath) const
{
    return QDir().mkpath(absolute(relPath));
}

QByteArray MemoryBuilder::bigEndian32(quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray MemoryBuilder::midiFile(const QList<QByteArray> &events)
{
    QByteArray track;
    for (const QByteArray &event : events)
        track += event;
    track += QByteArray::fromHex("00ff2f00");
    // Header chunk: length 6, format 0, one track, 96 ticks per quarter note.
    QByteArray file = QByteArray("MThd") + QByteArray::fromHex("00000006000000010060");
    file += QByteArray("MTrk") + bigEndian32(quint32(track.size())) + track;
    return file;
}

QByteArray MemoryBuilder::metaEvent(quint8 type, const QByteArray &payload)
{
    QByteArray event = QByteArray::fromHex("00ff");
    event.append(char(type));
    event.append(char(quint8(payload.size())));
    return event + payload;
}

QByteArray MemoryBuilder::tagEvent(quint8 subType, const QByteArray &payload)
{
    QByteArray event = QByteArray::fromHex("00ff4b");
    event.append(char(quint8(payload.size() + 1)));
    event.append(char(subType));
    return event + payload;
}

QByteArray MemoryBuilder::tempoEvent(quint32 microsPerQuarter)
{
    QByteArray event = QByteArray::fromHex("00ff5103");
    event.append(char((microsPerQuarter >> 16) & 0xFF));
    event.append(char((microsPerQuarter >> 8) & 0xFF));
    event.append(char(microsPerQuarter & 0xFF));
    return event;
}

QByteArray MemoryBuilder::secondLineEvent(const QByteArray &text)
{
    const QByteArray body = QByteArray::fromHex("0020240005") + text + QByteArray::fromHex("0000f7");
    QByteArray event = QByteArray::fromHex("00f0");
    event.append(char(quint8(body.size())));
    return event + body;
}

QByteArray MemoryBuilder::container(const QByteArray &magic, const QList<QPair<int, QByteArray>> &fields)
{
    QByteArray header(magic == "_MF5" ? 1024 : 512, '\0');
    header.replace(0, 4, magic.left(4));
    for (const auto &field : fields)
        header.replace(field.first, field.second.size(), field.second);
    // Stands for the compressed MIDI stream; the index never reads it.
    return header + QByteArray::fromHex("a55a0102030405060708090a0b0c0d0e0f");
}

QByteArray MemoryBuilder::indexedContainer(const QByteArray &magic, const QByteArray &title, const QByteArray &artist,
                                           const QByteArray &genre, quint8 bpm, quint8 markers)
{
    return container(magic, {{38, QByteArray(1, char(bpm))},
                             {138, title.left(26)},
                             {201, QByteArray(1, char(markers))},
                             {234, artist.left(26)},
                             {266, genre.left(26)}});
}

QByteArray MemoryBuilder::id3Frame(const QByteArray &id, const QByteArray &text)
{
    return id.left(4) + bigEndian32(quint32(text.size() + 1)) + QByteArray(3, '\0') + text;
}

QByteArray MemoryBuilder::fillerFrame(int size)
{
    return QByteArray("PRIV") + bigEndian32(quint32(size)) + QByteArray(2, '\0') + QByteArray(size, '\x11');
}

QByteArray MemoryBuilder::mp3File(const QList<QByteArray> &frames, int padding, bool tagged)
{
    // MPEG-1 layer III frame header bytes, standing for the audio.
    const QByteArray audio = QByteArray::fromHex("fffb9064") + QByteArray(60, '\x55');
    if (!tagged)
        return audio;
    QByteArray body;
    for (const QByteArray &frame : frames)
        body += frame;
    body += QByteArray(padding, '\0');
    const quint32 size = quint32(body.size());
    QByteArray tag = QByteArray("ID3") + QByteArray::fromHex("030000");
    tag.append(char((size >> 21) & 0x7F));
    tag.append(char((size >> 14) & 0x7F));
    tag.append(char((size >> 7) & 0x7F));
    tag.append(char(size & 0x7F));
    return tag + body + audio;
}

QString MemoryBuilder::playlistName(quint16 number, const char *suffix)
{
    return QStringLiteral("playlist/play%1.%2").arg(number, 4, 10, QLatin1Char('0')).arg(QLatin1String(suffix));
}

bool MemoryBuilder::writePlaylistList(const QList<quint16> &numbers)
{
    QByteArray bytes;
    for (quint16 number : numbers) {
        QByteArray record(32, '\0');
        qToLittleEndian(number, record.data());
        record.replace(2, 6, "PLNAME");
        bytes += record;
    }
    return !write(QStringLiteral("playlist/playlist.dat"), bytes).isEmpty();
}

bool MemoryBuilder::writePlaylist(quint16 number, const QList<quint32> &ids)
{
    QByteArray bytes;
    for (int i = 0; i < ids.size(); ++i) {
        QByteArray record = bigEndian32(ids.at(i)) + QByteArray(28, char(0x40 + i));
        bytes += record;
    }
    return !write(playlistName(number, "dat"), bytes).isEmpty();
}

QList<quint32> MemoryBuilder::playlistIds(quint16 number) const
{
    const QByteArray bytes = read(playlistName(number, "dat"));
    QList<quint32> ids;
    for (qsizetype i = 0; i + 32 <= bytes.size(); i += 32)
        ids << qFromBigEndian<quint32>(bytes.constData() + i);
    return ids;
}
