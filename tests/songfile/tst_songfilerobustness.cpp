#include "metasong.h"
#include "midichecker.h"
#include "songbuilders.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// Every byte sequence given to the readers and writers must be handled without
// a crash, a hang or an access outside the data (the sanitizer build checks
// that), and every edit must keep the length fields right.
namespace
{
QByteArray mutate(QByteArray bytes, QRandomGenerator &random)
{
    for (int edits = 1 + random.bounded(6); edits > 0; --edits) {
        const int size = int(bytes.size());
        const int pos = size > 0 ? random.bounded(size) : 0;
        const int what = random.bounded(6);
        if (what == 0 && size > 0)
            bytes[pos] = char(random.bounded(256));
        else if (what == 1 && size > 0) // a byte readers give meaning to
            bytes[pos] = "\x00\x7f\x80\xff\x4b\x59\x03"[random.bounded(7)];
        else if (what == 2)
            bytes.truncate(pos);
        else if (what == 3)
            bytes.insert(pos, QByteArray(random.bounded(1, 9), char(random.bounded(256))));
        else if (what == 4 && pos + 4 <= size) // a 32-bit field set to something large
            qToBigEndian<quint32>(
                random.bounded(2) ? 0xFFFFFFFFu : random.generate(), bytes.data() + pos);
        else if (what == 5)
            bytes.insert(pos, QByteArray::fromHex(random.bounded(2) ? "00ff4b" : "ff59"));
    }
    return bytes;
}

quint32 firstTrackLength(const QByteArray &data)
{
    return qFromBigEndian<quint32>(data.constData() + data.indexOf("MTrk", 4) + 4);
}

// Runs the writers, each followed by the readers; false when a writer moved
// the first track's length field by anything but the bytes it added or removed.
bool exerciseMidi(RawMidiFile &midi, QRandomGenerator &random, bool anyPosition = true)
{
    for (int step = 0; step < 12; ++step) {
        const QByteArray before = midi.stream();
        const QString value(random.bounded(140), QLatin1Char('a'));
        // clang-format off
        switch (random.bounded(anyPosition ? 9 : 8)) { // inserting anywhere breaks valid files
        case 0: midi.setTitle(value); break;
        case 1: midi.setGenre(value); break;
        case 2: midi.setArtist(value); break;
        case 3: midi.setLength(qint32(random.generate())); break;
        case 4: midi.setMarkersList({ Marker(value, random.bounded(70000)), Marker(QStringLiteral("x"), 2) }); break;
        case 5: midi.setKey(RawMidiFile::getKeysList().value(random.bounded(32))); break;
        case 6: midi.removeHeadMetaevent(quint8(random.bounded(256)), random.bounded(2)); break;
        case 7: midi.removeHeadMetaevent(RawMidiFile::zevioMetaTypeEnum(random.bounded(8)), false); break;
        case 8: midi.insertMetaevent(QByteArray(random.bounded(130), 'b'), quint8(random.bounded(256)), random.bounded(-2, int(before.size()) + 2)); break;
        }
        // clang-format on
        const QByteArray after = midi.stream();
        if (firstTrackLength(before) + quint32(after.size() - before.size())
            != firstTrackLength(after))
            return false;
        midi.title(), midi.genre(), midi.artist(), midi.author(), midi.isZevio();
        midi.length(), midi.userBpm(), midi.markersList(), midi.key();
    }
    return true;
}

// The same for a tag; false when an edited tag's size is wrong.
bool exerciseMp3(Mp3Header &mp3, QRandomGenerator &random)
{
    for (int step = 0; step < 10; ++step) {
        const QByteArray before = mp3.stream();
        const QString value(random.bounded(300), QLatin1Char('v'));
        // clang-format off
        switch (random.bounded(6)) {
        case 0: mp3.setTitle(value); break;
        case 1: mp3.setArtist(value); break;
        case 2: mp3.setUserBpm(random.bounded(-5, 300)); break;
        case 3: mp3.setQuenorEditParam(); break;
        case 4: mp3.removeId3Frame(random.bounded(2) ? "TIT2" : "TPE1"); break;
        case 5: mp3.insertId3Frame("x", "TXXX", random.bounded(-2, int(before.size()) + 2)); break;
        }
        // clang-format on
        // A tag with an invalid size byte is kept as read until it is edited.
        if (mp3.stream() != before
            && Bytes::readSynchsafe(mp3.stream(), 6) != quint32(mp3.stream().size() - 10))
            return false;
        mp3.title(), mp3.artist(), mp3.genre(), mp3.userBpm(), mp3.length(), mp3.isZevio();
    }
    return true;
}

// clang-format off
QList<QByteArray> midiSeeds()
{
    return { MidiBuilder(0).meta(0, 3, "Title").tag(0, 2, "Artist").marker(0, 1, "Intro").meta(0, 0x59, "\x03\x01")
                 .note(0, 60).meta(384, 0x59, QByteArray(2, '\0')).build(),
        MidiBuilder(1).track().meta(0, 2, "Zevio").tag(0, 4, "215").note(0, 60).track()
            .meta(0, 3, QByteArray(140, 'p')).sysex(0, "abc").note(96, 64).build(),
        MidiBuilder(1).raw(QByteArray::fromHex("00ff4b80060005") + QByteArray(125, 'o')).rawHex("00903c64603c00").build() };
}

QList<QByteArray> mp3Seeds()
{
    return { Mp3Builder(3).texts("TIT2=Title;TPE1=TIT2 Artist;TLEN=215000").padding(20).tag() + Mp3Builder::audio(1),
        Mp3Builder(4).text("TIT2", QByteArray(200, 't')).frame("TPE1", QByteArray::fromHex("01fffe41004200")).tag(),
        Mp3Builder(4).plainFrameSizes().text("TIT2", QByteArray(150, 't')).frame("TCOP", "\x03Zevio").padding(4).tag() };
}
// clang-format on
} // namespace

class TestSongFileRobustness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Refused tags and unreadable tracks are logged; the log is not under test here.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    // Valid files stay valid for the strict reader, whatever is written into
    // them; mutated and random bytes are handled by every reader and writer.
    void mutatedAndRandomInputs()
    {
        QRandomGenerator random(20240612);
        const QList<QByteArray> midi = midiSeeds();
        const QList<QByteArray> mp3 = mp3Seeds();
        int loadedMidi = 0;
        int loadedMp3 = 0;
        for (int i = 0; i < 2500; ++i) {
            if (i < 600) { // the third seed holds an old marker of length byte 0x80
                RawMidiFile valid;
                QVERIFY(valid.loadData(midi.at(i % 3)));
                QVERIFY(exerciseMidi(valid, random, false));
                QList<MidiChecker::Event> events;
                QString error;
                QVERIFY2(MidiChecker::strictParse(valid.stream(), &events, &error) || i % 3 == 2,
                    qPrintable(error));
            }
            QByteArray input = mutate(i % 2 ? midi.at(i % 3) : mp3.at(i % 3), random);
            if (i % 5 == 4) // random bytes after a valid start
                input = (i % 2 ? QByteArray("MThd\0\0\0\6\0\1\0\1\1\xe0MTrk", 18)
                               : QByteArray("ID3\x04\0\0\0\0\0", 9))
                    + mutate(QByteArray(64, 'r'), random);
            RawMidiFile song;
            if (song.loadData(input) && ++loadedMidi)
                QVERIFY2(exerciseMidi(song, random), input.toHex().constData());
            Mp3Header tag;
            if (tag.loadHeader(input) && ++loadedMp3)
                QVERIFY2(exerciseMp3(tag, random), input.toHex().constData());
            QByteArray out;
            LzHuff().expand(input.mid(i % 20), out);
        }
        QVERIFY(loadedMidi > 400 && loadedMp3 > 400);
    }

    // Cut and scrambled copies of every format: import returns normally, and
    // whatever imports can be edited, saved and imported again as that format.
    void damagedFilesImport()
    {
        QTemporaryDir dir;
        const QList<QByteArray> midi = midiSeeds();
        const QList<std::pair<QString, QByteArray>> originals
            = { { QStringLiteral("d.mid"), midi.at(1) },
                  { QStringLiteral("d.mf3"), ContainerBuilder("_MF3").midi(midi.at(0)).build() },
                  { QStringLiteral("d.mf4"), ContainerBuilder("_MF4").midi(midi.at(1)).build() },
                  { QStringLiteral("d.mf5"), ContainerBuilder("_MF5").midi(midi.at(2)).build() },
                  { QStringLiteral("d.mp3"), mp3Seeds().at(0) } };
        QRandomGenerator random(77);
        int imported = 0;
        int refused = 0;
        for (const auto &original : originals) {
            QList<QByteArray> variants;
            for (int cut = 0; cut < original.second.size(); cut += 1 + original.second.size() / 40)
                variants << original.second.left(cut);
            for (int n = 0; n < 60; ++n)
                variants << mutate(original.second, random);
            for (const QByteArray &variant : variants) {
                const QString path = dir.filePath(original.first);
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                    && file.write(variant) == variant.size());
                file.close();
                MetaSong song;
                if (!song.importFile(path) && ++refused)
                    continue;
                ++imported;
                SongInfo info;
                song.getSongInfo(info);
                info.title = QStringLiteral("New");
                song.setSongInfo(info, false);
                song.setSongInfo(info, true);
                if (song.saveToFile(path)) {
                    MetaSong again;
                    QVERIFY2(again.importFile(path), qPrintable(original.first));
                    QCOMPARE(again.fileType(), song.fileType());
                }
            }
        }
        QVERIFY(imported > 50 && refused > 50);
    }
};

QTEST_GUILESS_MAIN(TestSongFileRobustness)
#include "tst_songfilerobustness.moc"
