#include "memorybuilder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

MemoryBuilder::MemoryBuilder(const QString &root)
    : m_root(root.endsWith(QLatin1Char('/')) ? root.chopped(1) : root)
{
}

QString MemoryBuilder::absolute(const QString &relPath) const
{
    return m_root + (relPath.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
        + relPath;
}

QString MemoryBuilder::write(
    const QString &relPath, const QByteArray &bytes, const QDateTime &modified)
{
    QFile file(absolute(relPath));
    if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(bytes) != bytes.size())
        return QString();
    // Flushed first, so that closing does not touch the time again.
    if (modified.isValid()
        && !(file.flush() && file.setFileTime(modified, QFileDevice::FileModificationTime)))
        return QString();
    return file.fileName();
}

bool MemoryBuilder::songs(const char *relPaths)
{
    const QStringList paths = words(relPaths);
    return std::all_of(paths.cbegin(), paths.cend(), [this](const QString &path) {
        return !write(path, midiFile({ metaEvent(0x03, path.toLatin1()) })).isEmpty();
    });
}

QByteArray MemoryBuilder::read(const QString &relPath) const
{
    QFile file(absolute(relPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool MemoryBuilder::exists(const QString &relPath) const
{
    return QFileInfo::exists(absolute(relPath));
}
bool MemoryBuilder::mkdir(const QString &relPath) const
{
    return QDir().mkpath(absolute(relPath));
}
bool MemoryBuilder::remove(const QString &relPath) const
{
    return QFile::remove(absolute(relPath));
}

QMap<QString, QPair<QByteArray, QDateTime>> MemoryBuilder::snapshot() const
{
    QMap<QString, QPair<QByteArray, QDateTime>> files;
    QDirIterator it(m_root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next().mid(m_root.size());
        files.insert(path, { read(path), it.fileInfo().lastModified() });
    }
    return files;
}

QStringList MemoryBuilder::indexRecords() const
{
    const QByteArray bytes = read(QStringLiteral("index.idx"));
    QStringList records;
    for (qsizetype i = 0; i + 64 <= bytes.size(); i += 64)
        records << QString::number(qFromBigEndian<quint32>(bytes.constData() + i))
                + QLatin1Char(':') + QString::fromLatin1(bytes.constData() + i + 4);
    return records;
}

QByteArray MemoryBuilder::bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray MemoryBuilder::midiFile(const QList<QByteArray> &events)
{
    // Header: length 6, format 0, one track, 96 ticks per quarter note.
    const QByteArray track = events.join() + QByteArray::fromHex("00ff2f00");
    return "MThd" + QByteArray::fromHex("00000006000000010060") + "MTrk"
        + bigEndian32(quint32(track.size())) + track;
}

QByteArray MemoryBuilder::metaEvent(quint8 type, const QByteArray &payload)
{
    return QByteArray::fromHex("00ff") + char(type) + char(quint8(payload.size())) + payload;
}

QByteArray MemoryBuilder::tagEvent(quint8 subType, const QByteArray &payload)
{
    return QByteArray::fromHex("00ff4b") + char(quint8(payload.size() + 1)) + char(subType)
        + payload;
}

QByteArray MemoryBuilder::tempoEvent(quint32 microsPerQuarter)
{
    return QByteArray::fromHex("00ff5103") + bigEndian32(microsPerQuarter).mid(1);
}

QByteArray MemoryBuilder::secondLineEvent(const QByteArray &text)
{
    const QByteArray body
        = QByteArray::fromHex("0020240005") + text + QByteArray::fromHex("0000f7");
    return QByteArray::fromHex("00f0") + char(quint8(body.size())) + body;
}

QByteArray MemoryBuilder::indexedContainer(const QByteArray &magic, const QByteArray &title,
    const QByteArray &artist, const QByteArray &genre, quint8 bpm, quint8 markers)
{
    QByteArray header = magic.left(4).leftJustified(magic == "_MF5" ? 1024 : 512, '\0');
    header[38] = char(bpm);
    header[201] = char(markers);
    header.replace(138, title.left(26).size(), title.left(26))
        .replace(234, artist.left(26).size(), artist.left(26));
    header.replace(266, genre.left(26).size(), genre.left(26));
    return header + QByteArray::fromHex("a55a0102030405060708090a0b0c0d0e0f");
}

QByteArray MemoryBuilder::id3Frame(const QByteArray &id, const QByteArray &text, quint8 encoding)
{
    return id.left(4) + bigEndian32(quint32(text.size() + 1)) + QByteArray(2, '\0') + char(encoding)
        + text;
}

QByteArray MemoryBuilder::mp3File(const QList<QByteArray> &frames, int padding)
{
    // An MPEG-1 layer III frame header and bytes standing for the audio.
    const QByteArray audio = QByteArray::fromHex("fffb9064") + QByteArray(60, '\x55');
    const QByteArray body = frames.join() + QByteArray(padding, '\0');
    const quint32 size = quint32(body.size());
    QByteArray tag = "ID3" + QByteArray::fromHex("030000");
    for (int shift : { 21, 14, 7, 0 })
        tag += char((size >> shift) & 0x7F);
    return tag + body + audio;
}

QString MemoryBuilder::playlistName(quint16 number, const char *suffix)
{
    return QStringLiteral("playlist/play%1.%2")
        .arg(number, 4, 10, QLatin1Char('0'))
        .arg(QLatin1String(suffix));
}

bool MemoryBuilder::writePlaylistList(const QList<quint16> &numbers)
{
    QByteArray bytes;
    for (quint16 number : numbers)
        bytes += char(number & 0xFF) + QByteArray(1, char(number >> 8))
            + QByteArray("PLNAME").leftJustified(30, '\0');
    return !write(QStringLiteral("playlist/playlist.dat"), bytes).isEmpty();
}

bool MemoryBuilder::writePlaylist(quint16 number, const QList<quint32> &ids)
{
    QByteArray bytes;
    for (int i = 0; i < ids.size(); ++i)
        bytes += bigEndian32(ids.at(i)) + QByteArray(28, char(0x40 + i));
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
