// Seed inputs of every fuzz target, made by the project's own builders.

#include "fuzzsupport.h"

#include "indexrecords.h"
#include "lzhuff.h"
#include "memorybuilder.h"
#include "songbuilders.h"

namespace Fuzz
{

namespace
{

QByteArray midiSong(int format)
{
    MidiBuilder midi(format);
    midi.meta(0, 0x03, "Volare")
        .tag(0, 2, "Modugno")
        .tag(0, 1, "Pop")
        .meta(0, 0x02, "(c) 1958")
        .meta(0, 0x51, Bytes::hex("07a120"))
        .meta(0, 0x59, Bytes::hex("0000"))
        .marker(0, 1, "Intro")
        .note(0, 60)
        .note(480, 64);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(0, 48);
    return midi.build();
}

QByteArray container(const char *magic)
{
    return ContainerBuilder(magic)
        .fields("VOLARE", "Modugno", "Migliacci", "Pop")
        .tempo(120)
        .flags(1)
        .midi(midiSong(0))
        .build();
}

QByteArray mp3(int major)
{
    return Mp3Builder(major)
               .texts("TIT2=Volare;TPE1=Modugno;TCON=Pop;TCOM=Migliacci;TKEY=C;TBPM=120;"
                      "TLEN=180000")
               .frame("TXXX", Bytes::hex("00", "QUENOR") + '\0' + "1")
               .padding(64)
               .tag()
        + Mp3Builder::audio(2);
}

QByteArray compressed(const QByteArray &plain)
{
    QByteArray block;
    LzHuff().compress(plain, block);
    return block;
}

QByteArray playlistList(const QList<quint16> &numbers)
{
    QByteArray bytes;
    for (quint16 number : numbers)
        bytes += char(number & 0xFF) + QByteArray(1, char(number >> 8))
            + QByteArray("LISTA").leftJustified(30, '\0');
    return bytes;
}

QByteArray playlist(const QList<quint32> &ids)
{
    QByteArray bytes;
    for (int i = 0; i < ids.size(); ++i)
        bytes += MemoryBuilder::bigEndian32(ids.at(i)) + QByteArray(28, char(0x40 + i));
    return bytes;
}

} // namespace

QStringList targets()
{
    return { QStringLiteral("metasong"), QStringLiteral("lzhuff"), QStringLiteral("songhead"),
        QStringLiteral("indexreader"), QStringLiteral("playlists") };
}

QList<QByteArray> seeds(const QString &target)
{
    const auto with = [](quint8 choice, const QByteArray &bytes) -> QByteArray {
        return QByteArray(1, char(choice)) + bytes;
    };
    if (target == QLatin1String("metasong")) {
        // Name bits: 0 .mid, 1 .kar, 2 .mf3, 3 .MP3; bit 2 overwrites everything.
        return { with(0x00, midiSong(0)), with(0x45, midiSong(1)), with(0x02, container("_MF3")),
            with(0x2E, container("_MF4")), with(0x96, container("_MF5")), with(0x03, mp3(3)),
            with(0x3F, mp3(4)), with(0x0B, Mp3Builder::audio(3)),
            with(0x04, MidiBuilder(0).note(0, 60).build()) };
    }
    if (target == QLatin1String("lzhuff")) {
        return { compressed(midiSong(1)), compressed(QByteArray(3000, 'a')),
            compressed(container("_MF3")), midiSong(0), QByteArray("abcabcabcabd") };
    }
    if (target == QLatin1String("songhead")) {
        // Name bits: 0 .MID, 1 .kar, 2 .mf3, 3 .mp3.
        return { with(0, midiSong(1)),
            with(1,
                MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x01, "@TCiao ciao"),
                    MemoryBuilder::secondLineEvent("/Petula"), MemoryBuilder::tempoEvent(500000),
                    MemoryBuilder::tagEvent(6, "Intro") })),
            with(2, MemoryBuilder::indexedContainer("_MF4", "Volare", "Modugno", "Pop", 120, 1)),
            with(2, MemoryBuilder::indexedContainer("_MF5", "Volare", "Modugno", "Pop", 96, 0)),
            with(3,
                MemoryBuilder::mp3File({ MemoryBuilder::id3Frame("TIT2", "Blue"),
                    MemoryBuilder::id3Frame("TPE1", QByteArray("\xFF\xFEM\0o\0", 6), 1),
                    MemoryBuilder::id3Frame("TCON", "Jazz", 3) })),
            with(3, mp3(4)) };
    }
    if (target == QLatin1String("indexreader")) {
        const Memory &memory = baseMemory();
        const QByteArray index = join({ memory.files.value(QStringLiteral("index.idx")),
            memory.files.value(QStringLiteral("title.idx")),
            memory.files.value(QStringLiteral("artist.idx")),
            memory.files.value(QStringLiteral("genre.idx")) });
        return { with(0, index),
            with(1, join({ "Volare|Modugno|Pop", "Ciao ciao|Petula|Liscio", "Valzer||Liscio" })),
            with(1,
                join({ "B", "b|x",
                    "\xE0 la carte|\xC9"
                    "dith|Chanson" })) };
    }
    if (target == QLatin1String("playlists")) {
        const QList<quint32> ids = baseMemory().pathById.keys();
        const QByteArray first
            = playlist({ ids.value(0), ids.value(2), 0xDEAD, SongInfoIndex::NoId });
        const QByteArray second = playlist({ ids.value(3), ids.value(1) });
        const QByteArray paths = IndexRecords::encodePlaylistPath(baseMemory().pathById.first());
        return { with(0, join({ playlistList({ 1, 2 }), first, QByteArray(), second })),
            with(1, join({ playlistList({ 1, 2 }), first, QByteArray(), second })),
            with(0, join({ playlistList({ 7 }), second, paths })) };
    }
    return {};
}

} // namespace Fuzz
