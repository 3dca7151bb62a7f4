// Reading a memory's index back. The first input byte chooses what the rest
// is: bit 0 clear, damaged index files (index.idx, title.idx, artist.idx and
// genre.idx, in parts between separators) put into a memory that is then
// read and updated; bit 0 set, songs (one part each, "title|artist|genre")
// that are indexed and read back.

#include "fuzzsupport.h"

#include "index.h"
#include "indexrecords.h"
#include "memorybuilder.h"
#include "songhead.h"

#include <QFileInfo>

namespace
{

// What a text becomes in a 26-byte Latin-1 field read back.
QString stored(const QString &text)
{
    return stringToUpper(QString::fromLatin1(IndexRecords::latin1Bytes(text, 26))).trimmed();
}

// A second reader of the root finds every song file of the memory once, each
// as the scan read it. With a damaged old index only the first holds.
void checkReadBack(const QString &root, int songFiles)
{
    Index reader;
    reader.setRootPath(root);
    Fuzz::require(reader.loadAllIndexFile() == 0, "a written index cannot be read back");
    for (const SongInfoIndex &entry : reader.songs()) {
        Fuzz::require(QFileInfo(root + entry.path).isFile(), "the index names a missing file");
        if (songFiles < 0)
            continue;
        SongInfoIndex scanned;
        scanned.longPath = root + entry.path;
        SongHead::read(scanned);
        Fuzz::require(stored(scanned.title) == entry.title, "a title changed through the index");
        Fuzz::require(
            stored(scanned.artist) == entry.artist, "an artist changed through the index");
        Fuzz::require(stored(scanned.genre) == entry.genre, "a genre changed through the index");
        Fuzz::require(scanned.type == entry.type && scanned.bpm == entry.bpm,
            "type or tempo changed through the index");
    }
    if (songFiles >= 0)
        Fuzz::require(reader.songs().size() == songFiles, "the index lost or doubled songs");
}

void damagedIndex(const QList<QByteArray> &parts)
{
    static const char *const names[] = { "index.idx", "title.idx", "artist.idx", "genre.idx" };
    QMap<QString, QByteArray> files = Fuzz::baseMemory().files;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        files.insert(QLatin1String(names[i]), parts.at(i));
    const QString root = Fuzz::layOut(files);

    Index reader;
    reader.setRootPath(root);
    if (reader.loadAllIndexFile() == 0) {
        Fuzz::require(reader.songs().size() == parts.value(0).size() / 64,
            "songs read differ from the records of index.idx");
    } else {
        Fuzz::require(reader.songs().isEmpty(), "a refused index left songs behind");
    }

    Index updater;
    if (updater.updateIndex(root))
        checkReadBack(root, -1);
}

void songsIndexed(const QList<QByteArray> &parts)
{
    QMap<QString, QByteArray> files;
    for (int i = 0; i < parts.size() && i < 12; ++i) {
        const QList<QByteArray> fields = parts.at(i).split('|');
        QList<QByteArray> events { MemoryBuilder::metaEvent(0x03, fields.value(0).left(120)) };
        if (fields.size() > 1)
            events << MemoryBuilder::tagEvent(2, fields.at(1).left(120));
        if (fields.size() > 2)
            events << MemoryBuilder::tagEvent(1, fields.at(2).left(120));
        const QString name = QStringLiteral("%1S%2.MID")
                                 .arg(i % 3 == 2 ? QStringLiteral("DIR/") : QString())
                                 .arg(i, 2, 10, QLatin1Char('0'));
        files.insert(name, MemoryBuilder::midiFile(events));
    }
    const QString root = Fuzz::layOut(files);
    Fuzz::require(Index().createIndex(root), "a memory of plain songs could not be indexed");
    checkReadBack(root, int(files.size()));
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
    const QList<QByteArray> parts = Fuzz::split(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    if (data[0] & 1)
        songsIndexed(parts);
    else
        damagedIndex(parts);
    return 0;
}
