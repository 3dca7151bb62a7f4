// The device's playlists carried over a rebuild of the index (through the
// songs' paths) and kept through an update (ids stay, songs that are gone
// are let go of), with damaged playlist files.
//
// The first input byte: bit 0 set, the first song is deleted and the index
// updated; clear, the index is rebuilt. The rest, in parts between
// separators: playlist/playlist.dat, then for each number it lists the
// playlist's .dat and .pts files.

#include "fuzzsupport.h"

#include "index.h"
#include "indexrecords.h"
#include "memorybuilder.h"

#include <QtEndian>

namespace
{

constexpr int Record = IndexRecords::PlaylistRecordSize;

QList<quint16> listedNumbers(const QByteArray &list)
{
    QList<quint16> numbers;
    for (qsizetype i = 0; i + Record <= list.size(); i += Record) {
        const quint16 number = IndexRecords::playlistNumber(list.constData() + i);
        if (!numbers.contains(number))
            numbers.append(number);
    }
    return numbers;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::quiet();
    Fuzz::baseMemory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool update = data[0] & 1;
    const QList<QByteArray> parts = Fuzz::split(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    const Fuzz::Memory &base = Fuzz::baseMemory();

    QMap<QString, QByteArray> files = base.files;
    files.insert(QStringLiteral("playlist/playlist.dat"), parts.at(0));
    const QList<quint16> numbers = listedNumbers(parts.at(0));
    QMap<quint16, QByteArray> before;
    for (int i = 0; i < numbers.size() && 1 + 2 * i < parts.size(); ++i) {
        const quint16 number = numbers.at(i);
        before.insert(number, parts.at(1 + 2 * i));
        files.insert(MemoryBuilder::playlistName(number, "dat"), parts.at(1 + 2 * i));
        if (2 + 2 * i < parts.size())
            files.insert(MemoryBuilder::playlistName(number, "pts"), parts.at(2 + 2 * i));
    }
    // The first song in path order goes in an update.
    const quint32 gone = base.pathById.firstKey();
    if (update)
        files.remove(base.pathById.value(gone).mid(1));
    const QString root = Fuzz::layOut(files);
    MemoryBuilder memory(root);

    Index index;
    const bool done = update ? index.updateIndex(root) : index.createIndex(root);
    if (!done)
        return 0;
    // The engine keeps only the MP3s in memory after writing: read it back.
    Index reader;
    reader.setRootPath(root);
    Fuzz::require(reader.loadAllIndexFile() == 0, "a written index cannot be read back");
    QMap<QString, quint32> idByPath;
    for (const SongInfoIndex &entry : reader.songs())
        idByPath.insert(entry.path, entry.id);

    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QByteArray old = it.value();
        const QByteArray now = memory.read(MemoryBuilder::playlistName(it.key(), "dat"));
        Fuzz::require(now.size() == old.size(), "a playlist changed its size");
        for (qsizetype at = 0; at < old.size(); at += Record) {
            if (at + Record > old.size()) {
                Fuzz::require(now.mid(at) == old.mid(at), "a playlist's incomplete tail changed");
                break;
            }
            Fuzz::require(now.mid(at + 4, Record - 4) == old.mid(at + 4, Record - 4),
                "a playlist record's bytes after the id changed");
            const quint32 oldId = qFromBigEndian<quint32>(old.constData() + at);
            const quint32 newId = qFromBigEndian<quint32>(now.constData() + at);
            // The song the record named, if it is still on the memory.
            const QString path = base.pathById.value(oldId);
            const bool kept = !path.isEmpty() && !(update && oldId == gone);
            if (update) {
                Fuzz::require(
                    newId == (kept || !base.pathById.contains(oldId) ? oldId : SongInfoIndex::NoId),
                    "an update changed a playlist record it should keep");
            } else {
                Fuzz::require(newId == (kept ? idByPath.value(path) : SongInfoIndex::NoId),
                    "a rebuild made a playlist record name another song");
            }
        }
    }
    return 0;
}
