// The device index's own reading of a song's first bytes, for every kind of
// song file the scan picks up. The first input byte chooses the file name.

#include "fuzzsupport.h"

#include "indexrecords.h"
#include "songhead.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const names[] = { "SONG.MID", "song.kar", "song.mf3", "song.mp3" };
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    // An ID3 text frame's body on its own.
    Fuzz::require(SongHead::id3Text(bytes).size() <= 26, "an ID3 text longer than 26 characters");

    SongInfoIndex entry;
    entry.longPath = Fuzz::writeScratch(QLatin1String(names[data[0] & 3]), bytes);
    const bool read = SongHead::read(entry);
    Fuzz::require(read == (bytes.size() >= 5), "a head of five bytes or more not read");
    if (!read)
        return 0;
    Fuzz::require(entry.type <= SongInfoIndex::TypeMf5, "a file type the index has no code for");

    // The song record keeps what the device shows.
    SongInfoIndex back;
    IndexRecords::decodeSongRecord(IndexRecords::encodeSongRecord(entry).constData(), back);
    Fuzz::require(back.type == entry.type && back.bpm == entry.bpm && back.markers == entry.markers,
        "type, tempo or marker flag lost in the song record");
    return 0;
}
