// A song file of any format from outside: imported, its information read,
// new information applied (careful fill-in or full overwrite), saved and
// imported again.
//
// The first input byte chooses the file name (bits 0-1), the mode (bit 2) and
// the texts written (bits 3-7); the rest is the file.

#include "fuzzsupport.h"

#include "lzhuff.h"
#include "metasong.h"

#include <QtEndian>

namespace
{

// Texts within every format's limits (containers keep 32 Latin-1 characters).
const char *const Texts[] = { "Blue Night", "Volare", "CAFE DEL MAR", "x", "Ça plane pour moi",
    "A Song Title Of 32 Characters Ok", "Rossi & Bianchi", "Liscio" };

int containerHeaderSize(SongInfo::fileTypeEnum type)
{
    return type == SongInfo::FileTypeMf5 ? 1024 : 512;
}

bool isContainer(SongInfo::fileTypeEnum type)
{
    return type == SongInfo::FileTypeMf3 || type == SongInfo::FileTypeMf4
        || type == SongInfo::FileTypeMf5;
}

// The MIDI data of a MIDI file or container as the device stores it.
QByteArray midiData(const QByteArray &file, SongInfo::fileTypeEnum type)
{
    if (!isContainer(type))
        return file;
    QByteArray data;
    LzHuff().expand(file.mid(containerHeaderSize(type)), data);
    return data;
}

// The first track chunk: where it starts and its length field.
struct Track {
    qsizetype start = -1;
    quint32 length = 0;
};

Track firstTrack(const QByteArray &midi)
{
    Track track;
    track.start = midi.indexOf("MTrk");
    if (track.start >= 0 && track.start + 8 <= midi.size())
        track.length = qFromBigEndian<quint32>(midi.constData() + track.start + 4);
    else
        track.start = -1;
    return track;
}

// Edits touch the first track only: its length field follows its size,
// whatever is before and after it stays.
void checkFirstTrack(const QByteArray &before, const QByteArray &after)
{
    const Track old = firstTrack(before);
    const Track now = firstTrack(after);
    Fuzz::require(old.start >= 0 && now.start == old.start, "first track moved or lost");
    Fuzz::require(
        before.left(old.start) == after.left(now.start), "bytes before the track changed");
    Fuzz::require(qint64(now.length) - qint64(old.length) == after.size() - before.size(),
        "first track length field does not follow the track");
    const qint64 oldEnd = old.start + 8 + qint64(old.length);
    const qint64 newEnd = now.start + 8 + qint64(now.length);
    if (oldEnd <= before.size())
        Fuzz::require(
            before.mid(oldEnd) == after.mid(newEnd), "bytes after the first track changed");
}

// The audio starts where the loader puts it: behind a tag whose synchsafe
// size is valid, else at 10 for a tag and 0 without one.
qint64 audioStart(const QByteArray &file)
{
    if (!file.startsWith("ID3") || file.size() < 10)
        return 0;
    quint32 size = 0;
    bool valid = true;
    for (int i = 6; i < 10; ++i) {
        valid = valid && quint8(file.at(i)) < 0x80;
        size = size << 7 | quint8(file.at(i));
    }
    return 10 + (valid ? size : 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const quint8 choice = data[0];
    const QByteArray original(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    static const char *const names[] = { "song.mid", "song.kar", "song.mf3", "Song.MP3" };
    Fuzz::clearScratch();
    const QString path = Fuzz::writeScratch(QLatin1String(names[choice & 3]), original);

    MetaSong song;
    if (!song.importFile(path))
        return 0;
    const SongInfo::fileTypeEnum type = song.fileType();
    SongInfo read;
    song.getSongInfo(read);
    Fuzz::require(read.format == MetaSong::getFormatString(type), "format text differs from type");

    const bool manual = choice & 4;
    SongInfo info;
    info.title = QString::fromUtf8(Texts[(choice >> 3) & 7]);
    info.artist = QString::fromUtf8(Texts[(choice >> 4) & 7]);
    info.author = QString::fromUtf8(Texts[(choice >> 5) & 7]);
    info.genre = QString::fromUtf8(Texts[(choice >> 2) & 7]);
    const QStringList keys = MetaSong::getKeysList();
    info.key = keys.isEmpty() ? QString() : keys.at(choice % keys.size());
    info.length = choice * 3;
    info.userBpm = 40 + choice;
    info.isZevio = choice & 8;
    if (choice & 16)
        info.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Coda"), 64) };
    song.setSongInfo(info, manual);

    if (!song.saveToFile(path)) {
        Fuzz::require(Fuzz::readFile(path) == original, "a failed save changed the file");
        return 0;
    }
    const QByteArray saved = Fuzz::readFile(path);

    MetaSong again;
    Fuzz::require(again.importFile(path), "a saved song cannot be imported again");
    Fuzz::require(again.fileType() == type, "a saved song changed its type");
    SongInfo back;
    again.getSongInfo(back);

    if (type == SongInfo::FileTypeMp3) {
        Fuzz::require(saved.startsWith("ID3"), "a saved MP3 has no tag");
        Fuzz::require(saved.mid(audioStart(saved)) == original.mid(audioStart(original)),
            "tag size does not match the tag, or the audio changed");
    } else {
        checkFirstTrack(midiData(original, type), midiData(saved, type));
    }

    if (manual) {
        Fuzz::require(back.title == info.title, "title written differs from title read");
        Fuzz::require(back.artist == info.artist, "artist written differs from artist read");
        Fuzz::require(back.author == info.author, "author written differs from author read");
        Fuzz::require(back.genre == info.genre, "genre written differs from genre read");
        Fuzz::require(back.key == info.key, "key written differs from key read");
    } else {
        // A careful fill-in never empties a field the song had.
        Fuzz::require(read.title.isEmpty() || !back.title.isEmpty(), "fill-in emptied the title");
        Fuzz::require(read.genre.isEmpty() || !back.genre.isEmpty(), "fill-in emptied the genre");
    }
    return 0;
}
