#include "midibuilder.h"
#include "midichecker.h"
#include "mp3builder.h"
#include "mp3header.h"
#include "rawmidifile.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

// Every byte sequence given to the song-file readers and writers must be
// handled without a crash, a hang or an access outside the data (the sanitizer
// build checks the last), and edits must keep the length fields right.
namespace
{

constexpr quint32 Seed = 20240611;
constexpr int Iterations = 2500;

QByteArray mutate(QByteArray bytes, QRandomGenerator &random)
{
    const int edits = 1 + random.bounded(6);
    for (int e = 0; e < edits; ++e) {
        const int size = int(bytes.size());
        const int pos = size > 0 ? random.bounded(size) : 0;
        switch (random.bounded(7)) {
        case 0: // random byte
            if (size > 0)
                bytes[pos] = char(random.bounded(256));
            break;
        case 1: { // a byte readers give meaning to
            static const char special[]
                = { '\x00', '\x7f', '\x80', '\xff', '\x4b', '\x59', '\x03' };
            if (size > 0)
                bytes[pos] = special[random.bounded(int(sizeof(special)))];
            break;
        }
        case 2: // truncate
            bytes.truncate(pos);
            break;
        case 3: // insert random bytes
            for (int i = random.bounded(1, 9); i > 0; --i)
                bytes.insert(pos, char(random.bounded(256)));
            break;
        case 4: // remove bytes
            bytes.remove(pos, random.bounded(1, 9));
            break;
        case 5: // a 32-bit field set to something large
            if (pos + 4 <= size)
                qToBigEndian<quint32>(
                    random.bounded(2) ? 0xFFFFFFFFu : random.generate(), bytes.data() + pos);
            break;
        case 6: // a meta event header at a random place
            bytes.insert(pos, QByteArray::fromHex(random.bounded(2) ? "00ff4b" : "ff59"));
            break;
        }
    }
    return bytes;
}

QByteArray randomBytes(QRandomGenerator &random, const QByteArray &prefix)
{
    QByteArray bytes = prefix;
    for (int i = random.bounded(64); i > 0; --i)
        bytes.append(char(random.bounded(256)));
    return bytes;
}

QList<QByteArray> midiSeeds()
{
    QByteArray oldMarker = QByteArray::fromHex("00ff4b80060005");
    oldMarker.append(QByteArray(125, 'o'));
    return {
        MidiBuilder(0)
            .track()
            .meta(0, 0x03, "Title")
            .tag(0, 2, "Artist")
            .marker(0, 1, "Intro")
            .meta(0, 0x59, QByteArray::fromHex("0301"))
            .note(0, 60)
            .meta(384, 0x59, QByteArray::fromHex("0000"))
            .build(),
        MidiBuilder(1)
            .track()
            .meta(0, 0x02, "Zevio")
            .tag(0, 4, "215")
            .tag(0, 5, "120")
            .note(0, 60)
            .track()
            .meta(0, 0x03, QByteArray(140, 'p'))
            .sysex(0, "abc")
            .note(96, 64)
            .build(),
        MidiBuilder(1).track().raw(oldMarker).raw(QByteArray::fromHex("00903c64603c00")).build(),
        MidiBuilder(0).track().build(),
    };
}

QList<QByteArray> mp3Seeds()
{
    return {
        Mp3Builder(3)
                .text("TIT2", "Title")
                .text("TPE1", "TIT2 Artist")
                .text("TLEN", "215000")
                .padding(20)
                .tag()
            + Mp3Builder::audio(1),
        Mp3Builder(4)
            .text("TIT2", QByteArray(200, 't'))
            .text("TCOP", "Zevio")
            .frame("QEDT", QByteArray(4, '\0'))
            .tag(),
        Mp3Builder(4)
            .plainFrameSizes()
            .text("TIT2", QByteArray(150, 't'))
            .text("TBPM", "96")
            .padding(4)
            .tag(),
        Mp3Builder::audio(1),
    };
}

quint32 firstTrackLengthField(const QByteArray &data)
{
    const qint64 chunk = data.indexOf("MTrk", 4);
    return qFromBigEndian<quint32>(data.constData() + chunk + 4);
}

// Runs every reader and writer on the file; false when a writer moved the
// first track's length field by anything but the number of bytes it added
// or removed.
bool exerciseMidi(RawMidiFile &midi, QRandomGenerator &random, bool anyPosition)
{
    midi.title();
    midi.hasTitle();
    midi.isZevio();
    midi.genre();
    midi.artist();
    midi.author();
    midi.hasGenre();
    midi.hasArtist();
    midi.hasAuthor();
    midi.length();
    midi.userBpm();
    midi.hasLength();
    midi.hasUserBpm();
    midi.markersList();
    midi.hasMarkers();
    midi.key();
    midi.hasKey();
    QString text;
    QList<Marker> markers;
    midi.extractMetaevent(text, quint8(random.bounded(256)));
    midi.extractMarkersList(markers);
    midi.indexOfZevioMetaevent(
        midi.stream(), random.bounded(-5, int(midi.stream().size()) + 5), RawMidiFile::MetaMarker);

    for (int step = 0; step < 12; ++step) {
        const QByteArray before = midi.stream();
        const quint32 field = firstTrackLengthField(before);
        const QString value = QString(random.bounded(140), QLatin1Char('a'));
        switch (random.bounded(anyPosition ? 12 : 11)) {
        case 0:
            midi.setTitle(value);
            break;
        case 1:
            midi.setGenre(value);
            break;
        case 2:
            midi.setArtist(value);
            break;
        case 3:
            midi.setAuthor(value);
            break;
        case 4:
            midi.setLength(qint32(random.generate()));
            break;
        case 5:
            midi.setUserBpm(random.bounded(300));
            break;
        case 6:
            midi.setMarkersList(
                { Marker(value, random.bounded(70000)), Marker(QStringLiteral("x"), 2) });
            break;
        case 7:
            midi.setKey(RawMidiFile::getKeysList().value(random.bounded(32)));
            break;
        case 8:
            midi.insertMarker(value, quint16(random.bounded(65536)));
            break;
        case 9:
            midi.removeHeadMetaevent(quint8(random.bounded(256)), random.bounded(2));
            break;
        case 10:
            midi.removeHeadMetaevent(RawMidiFile::zevioMetaTypeEnum(random.bounded(8)), false);
            break;
        case 11:
            midi.insertMetaevent(QByteArray(random.bounded(130), 'b'), quint8(random.bounded(256)),
                random.bounded(-2, int(before.size()) + 2));
            break;
        }
        const QByteArray after = midi.stream();
        if (quint32(field + quint32(after.size() - before.size())) != firstTrackLengthField(after))
            return false;
        midi.title();
        midi.markersList();
        midi.key();
        midi.length();
    }
    return true;
}

bool exerciseMp3(Mp3Header &mp3, QRandomGenerator &random)
{
    mp3.title();
    mp3.artist();
    mp3.genre();
    mp3.author();
    mp3.key();
    mp3.userBpm();
    mp3.length();
    mp3.hasTitle();
    mp3.hasArtist();
    mp3.hasGenre();
    mp3.hasAuthor();
    mp3.hasKey();
    mp3.hasUserBpm();
    mp3.hasLength();
    mp3.hasQuenorEditParam();
    mp3.isZevio();
    for (int step = 0; step < 10; ++step) {
        const QByteArray before = mp3.stream();
        const QString value = QString(random.bounded(300), QLatin1Char('v'));
        switch (random.bounded(10)) {
        case 0:
            mp3.setTitle(value);
            break;
        case 1:
            mp3.setArtist(value);
            break;
        case 2:
            mp3.setGenre(value);
            break;
        case 3:
            mp3.setAuthor(value);
            break;
        case 4:
            mp3.setKey(value);
            break;
        case 5:
            mp3.setUserBpm(random.bounded(-5, 300));
            break;
        case 6:
            mp3.setLength(qint32(random.generate()));
            break;
        case 7:
            mp3.setQuenorEditParam();
            break;
        case 8:
            mp3.removeId3Frame(QByteArray(random.bounded(2) ? "TIT2" : "TPE1"));
            break;
        case 9:
            mp3.insertId3Frame("x", "TXXX", random.bounded(-2, int(mp3.stream().size()) + 2));
            break;
        }
        const QByteArray tag = mp3.stream();
        const quint32 size = quint32(quint8(tag.at(6))) << 21 | quint32(quint8(tag.at(7))) << 14
            | quint32(quint8(tag.at(8))) << 7 | quint32(quint8(tag.at(9)));
        // A tag with an invalid size byte is kept as read until it is edited.
        if (tag != before && size != quint32(tag.size() - 10))
            return false;
        mp3.title();
        mp3.length();
    }
    return true;
}

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

    void cleanupTestCase() { qInstallMessageHandler(nullptr); }

    // Inputs that end in the middle of what a reader looks for.
    void edgeInputs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk", 18);
        QTest::newRow("MIDI: FF last") << head + QByteArray::fromHex("0000000400ff");
        QTest::newRow("MIDI: FF 03 last") << head + QByteArray::fromHex("0000000400ff03");
        QTest::newRow("MIDI: title past the end")
            << head + QByteArray::fromHex("0000000700ff037f4142");
        QTest::newRow("MIDI: long length past the end")
            << head + QByteArray::fromHex("0000000700ff03ffffffff7f");
        QTest::newRow("MIDI: tag past the end")
            << head + QByteArray::fromHex("0000000600ff4bff0641");
        QTest::newRow("MIDI: marker bar cut") << head + QByteArray::fromHex("0000000600ff4b7f0601");
        QTest::newRow("MIDI: key cut") << head + QByteArray::fromHex("0000000500ff590203");
        QTest::newRow("MIDI: track length FFFFFFFF")
            << head + QByteArray::fromHex("ffffffff00ff0301410000ff2f00");
        QTest::newRow("MIDI: track length field cut") << head + QByteArray::fromHex("0000");
        QTest::newRow("MP3: tag larger than data")
            << QByteArray::fromHex("494433030000007f7f7f") + "TIT2";
        QTest::newRow("MP3: frame size FFFFFFFF")
            << Mp3Builder(3)
                   .frame("TIT2", QByteArray::fromHex("ffffffffffffffff"))
                   .tag()
                   .replace(14, 4, QByteArray::fromHex("ffffffff"));
        QTest::newRow("MP3: v2.4 frame size FFFFFFFF")
            << Mp3Builder(4)
                   .frame("TPE1", QByteArray::fromHex("ffffffffffffffff"))
                   .tag()
                   .replace(14, 4, QByteArray::fromHex("ffffffff"));
        QTest::newRow("MP3: frame header cut")
            << Mp3Builder(3).padding(6).tag().replace(10, 4, "TIT2");
    }

    void edgeInputs()
    {
        QFETCH(QByteArray, bytes);
        QRandomGenerator random(Seed + 3);
        RawMidiFile midi;
        if (midi.loadData(bytes))
            QVERIFY(exerciseMidi(midi, random, true));
        Mp3Header mp3;
        if (mp3.loadHeader(bytes))
            QVERIFY(exerciseMp3(mp3, random));
    }

    // Valid files stay valid, whatever is written into them.
    void validMidiStaysValid()
    {
        QRandomGenerator random(Seed);
        for (int i = 0; i < 200; ++i) {
            for (const QByteArray &seed : midiSeeds()) {
                RawMidiFile midi;
                QVERIFY(midi.loadData(seed));
                QVERIFY(exerciseMidi(midi, random, false));
                QList<MidiChecker::Event> events;
                QString error;
                QVERIFY2(MidiChecker::strictParse(midi.stream(), &events, &error)
                        || seed.contains("\xff\x4b\x80"),
                    qPrintable(error));
            }
        }
    }

    void mutatedMidi()
    {
        QRandomGenerator random(Seed + 1);
        const QList<QByteArray> seeds = midiSeeds();
        int loadedCount = 0;
        for (int i = 0; i < Iterations; ++i) {
            const QByteArray input = i % 5 == 4
                ? randomBytes(random, QByteArray("MThd\0\0\0\6\0\1\0\1\1\xe0MTrk", 18))
                : mutate(seeds.at(i % seeds.size()), random);
            RawMidiFile midi;
            if (!midi.loadData(input))
                continue;
            ++loadedCount;
            QVERIFY2(
                exerciseMidi(midi, random, true), qPrintable(QString::fromLatin1(input.toHex())));
        }
        QVERIFY(loadedCount > Iterations / 4);
    }

    void mutatedMp3()
    {
        QRandomGenerator random(Seed + 2);
        const QList<QByteArray> seeds = mp3Seeds();
        int loadedCount = 0;
        for (int i = 0; i < Iterations; ++i) {
            const QByteArray input = i % 5 == 4
                ? randomBytes(random, QByteArray("ID3\x04\0\0\0\0\0", 9))
                : mutate(seeds.at(i % seeds.size()), random);
            Mp3Header mp3;
            if (!mp3.loadHeader(input))
                continue;
            ++loadedCount;
            QVERIFY(mp3.getAudioDataStartPos() >= 0);
            QVERIFY2(exerciseMp3(mp3, random), qPrintable(QString::fromLatin1(input.toHex())));
        }
        QVERIFY(loadedCount > Iterations / 4);
    }
};

QTEST_GUILESS_MAIN(TestSongFileRobustness)
#include "tst_songfilerobustness.moc"
