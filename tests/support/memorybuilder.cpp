#include "memorybuilder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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
        return add(path, midiFile({ metaEvent(3, path.toLatin1()) }));
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

QByteArray MemoryBuilder::indexedContainer(const QByteArray &magic, const QByteArray &title,
    const QByteArray &artist, const QByteArray &genre, quint8 bpm, quint8 markers)
{
    QByteArray header = magic.left(4).leftJustified(magic == "_MF5" ? 1024 : 512, '\0');
    header[38] = char(bpm);
    header[201] = char(markers);
    const QList<std::pair<int, QByteArray>> texts
        = { { 138, title }, { 234, artist }, { 266, genre } };
    for (const auto &[at, text] : texts)
        header.replace(at, text.left(26).size(), text.left(26));
    return header + Bytes::hex("a55a0102030405060708090a0b0c0d0e0f");
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
    return add(QStringLiteral("playlist/playlist.dat"), bytes);
}

bool MemoryBuilder::writePlaylist(quint16 number, const QList<quint32> &ids)
{
    QByteArray bytes;
    for (int i = 0; i < ids.size(); ++i)
        bytes += Bytes::be32(ids.at(i)) + QByteArray(28, char(0x40 + i));
    return add(playlistName(number, "dat"), bytes);
}

QList<quint32> MemoryBuilder::playlistIds(quint16 number) const
{
    const QByteArray bytes = read(playlistName(number, "dat"));
    QList<quint32> ids;
    for (qsizetype i = 0; i + 32 <= bytes.size(); i += 32)
        ids << qFromBigEndian<quint32>(bytes.constData() + i);
    return ids;
}
