#include "index.h"
#include "memorybuilder.h"
#include "songhead.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using M = MemoryBuilder;

static QStringList indexedPaths(const Index &index)
{
    QStringList paths;
    for (const SongInfoIndex &entry : index.songs())
        paths << entry.path;
    return paths;
}

class TestIndexScan : public QObject
{
    Q_OBJECT

private slots:
    void songInfo_data();
    void songInfo();
    void renameLongName_data();
    void renameLongName();
    void renameAnswers_data();
    void renameAnswers();
    void namesOutsideIbm850_data();
    void namesOutsideIbm850();
    void walk();
};

void TestIndexScan::songInfo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("texts"); // title|artist|genre
    QTest::addColumn<QList<int>>("numbers"); // bpm, type, markers
    auto row = [](const char *tag, const char *name, const QByteArray &bytes,
                   const QByteArray &texts, QList<int> numbers) {
        QTest::newRow(tag) << QString::fromLatin1(name) << bytes << texts << numbers;
    };
    auto midi = [&](const char *tag, const QList<QByteArray> &events, const QByteArray &texts,
                    int bpm = 0) {
        row(tag, "x.mid", M::midiFile(events), texts, { bpm, 0, 0 });
    };
    // Shorter than five bytes: returns before upper-casing.
    row("four bytes", "Song.mid", "MThd", "Song.mid|<unknown>|<unknown>", { 0, 0, 0 });

    midi("tempo event gives 120", { M::tempoEvent(500000) }, "X.MID|<UNKNOWN>|<UNKNOWN>", 120);
    midi("no tempo gives 0", { M::metaEvent(0x03, "Tune") }, "TUNE|<UNKNOWN>|<UNKNOWN>");
    row("first of each wins", "x.kar",
        M::midiFile({ M::metaEvent(0x02, "(c) Me"), M::metaEvent(0x03, " My Song "),
            M::metaEvent(0x03, "Second"), M::tagEvent(2, "The Band"), M::tagEvent(1, "pop"),
            M::tempoEvent(600000), M::tempoEvent(1000000), M::metaEvent(0x06, "Intro") }),
        "MY SONG|THE BAND|POP", { 100, 0, 1 });
    midi("@T text title", { M::metaEvent(0x01, "@TText Title") }, "TEXT TITLE|<UNKNOWN>|<UNKNOWN>");
    midi("long name keeps 26", { M::metaEvent(0x03, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123") },
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ|<UNKNOWN>|<UNKNOWN>");
    midi("status byte before ff ends the scan", { QByteArray::fromHex("00c1ff0304") + "Late" },
        "X.MID|<UNKNOWN>|<UNKNOWN>");
    midi("tag of length 0", { QByteArray::fromHex("00ff4b00"), M::tagEvent(2, "Band") },
        "X.MID|BAND|<UNKNOWN>");
    midi("second line artist", { M::metaEvent(0x03, "T"), M::secondLineEvent("(The Band)") },
        "T|THE BAND|<UNKNOWN>");
    midi("second line drops its last byte",
        { QByteArray::fromHex("00f00e0020240005") + "(Band)X" + QByteArray::fromHex("f7") },
        "X.MID|BAND|<UNKNOWN>");
    midi("tag wins over second line", { M::tagEvent(2, "Tagged"), M::secondLineEvent("(Line)") },
        "X.MID|TAGGED|<UNKNOWN>");
    row("unknown content gives 120", "x.mid", "RIFF----WAVEfmt ", "X.MID|<UNKNOWN>|<UNKNOWN>",
        { 120, 0, 0 });

    row("mf3, marker byte not a bit", "s.mf3", M::indexedContainer("_MF3", "T", "A", "G", 70, 3),
        "T|A|G", { 70, 2, 0 });
    row("mf5", "s.mf5", M::indexedContainer("_MF5", "T5", "", "", 0, 0), "T5|<UNKNOWN>|<UNKNOWN>",
        { 0, 4, 0 });
    row("container header reader offsets", "s.mf4",
        M::indexedContainer("_MF4", "", "", "", 0, 0)
            .replace(122, 5, "Title")
            .replace(218, 6, "Artist")
            .replace(250, 5, "Genre"),
        "S.MF4|<UNKNOWN>|<UNKNOWN>", { 0, 3, 0 });

    row("mp3, first of each wins", "s.mp3",
        M::mp3File(
            { M::id3Frame("TIT2", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"), M::id3Frame("TPE1", "Band"),
                M::id3Frame("TCON", "Rock"), M::id3Frame("TCON", "Blues") }),
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ|BAND|ROCK", { 0, 1, 0 });
    row("mp3 untagged, frame-like bytes", "s.mp3",
        QByteArray::fromHex("fffb9064") + M::id3Frame("TIT2", "Fake") + "UUUU",
        "S.MP3|<UNKNOWN>|<UNKNOWN>", { 0, 1, 0 });
    row("mp3 holding midi", "s.mp3",
        M::midiFile({ M::metaEvent(0x03, "Midi"), M::tempoEvent(500000) }),
        "S.MP3|<UNKNOWN>|<UNKNOWN>", { 0, 1, 0 });
    row("mp3 frames beyond byte 512", "s.mp3",
        M::mp3File({ M::id3Frame("PRIV", QByteArray(600, '\x11')), M::id3Frame("TIT2", "Far") }),
        "S.MP3|<UNKNOWN>|<UNKNOWN>", { 0, 1, 0 });
    // Text encodings 1 to 3 are decoded up to the first zero character, then
    // written as Latin-1 with "?" for what it lacks.
    row("mp3 utf-16 with byte order marks", "s.mp3",
        M::mp3File({ M::id3Frame("TIT2", QByteArray::fromHex("fffe53006f006e0067000000"), 1),
            M::id3Frame("TPE1", QByteArray::fromHex("feff00c90074006500000041"), 1) }),
        "SONG|\xc9TE|<UNKNOWN>", { 0, 1, 0 });
    row("mp3 utf-16be and utf-8", "s.mp3",
        M::mp3File({ M::id3Frame("TIT2", QByteArray::fromHex("0041d83cdfb50042"), 2),
            M::id3Frame("TCON", QByteArray("Perch\xc3\xa9 \xe2\x82\xac\0junk", 16), 3) }),
        "A?B|<UNKNOWN>|PERCH\xc9 ?", { 0, 1, 0 });
    row("mp3 utf-8 cut at 26 characters", "s.mp3",
        M::mp3File({ M::id3Frame("TIT2", QByteArray("\xc3\xa9").repeated(30), 3) }),
        QByteArray("\xc9").repeated(26) + "|<UNKNOWN>|<UNKNOWN>", { 0, 1, 0 });
}

void TestIndexScan::songInfo()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    SongInfoIndex entry;
    entry.title = QStringLiteral("old");
    entry.bpm = 7;
    entry.longPath = memory.write(name, bytes);
    QCOMPARE(SongHead::read(entry), bytes.size() >= 5);
    QTEST(
        (QStringList { entry.title, entry.artist, entry.genre }).join(QLatin1Char('|')).toLatin1(),
        "texts");
    QTEST((QList<int> { entry.bpm, entry.type, entry.markers }), "numbers");
}

void TestIndexScan::renameLongName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("existing"); // MyFavo-1.mid to MyFavo-n.mid
    QTest::addColumn<QString>("expected");
    QTest::newRow("spaces dropped") << "My Favourite Song.mid" << 0 << "MyFavo-1.mid";
    QTest::newRow("next free number") << "My Favourite Song.mid" << 1 << "MyFavo-2.mid";
    QTest::newRow("two digits keep five") << "My Favourite Song.mid" << 9 << "MyFav-10.mid";
    QTest::newRow("eight characters stay") << "ABCDEFGH.mid" << 0 << "ABCDEFGH.mid";
    QTest::newRow("nine characters renamed") << "ABCDEFGHI.mid" << 0 << "ABCDEF-1.mid";
    // Characters outside IBM 850: accents kept where it has them, else the
    // base letter or the compatibility form, else "_".
    QTest::newRow("typographic apostrophe") << "Don\u2019t.mid" << 0 << "Don_t.mid";
    QTest::newRow("accent kept, base letter, trade mark")
        << "H\u0151s\u2122\u01d8.mid" << 0 << "HosTM\u00fc.mid";
    QTest::newRow("decomposed accent composed") << "Cafe\u0301.mid" << 0 << "Caf\u00e9.mid";
    QTest::newRow("emoji") << "\U0001F3B5.mid" << 0 << "_.mid";
    QTest::newRow("taken name gets a number") << "MyFavo\u20ac.mid" << 0 << "MyFavo-2.mid";
    QTest::newRow("free name ignores case") << "MYFAVOURITE.mid" << 1 << "MYFAVO-2.mid";
}

void TestIndexScan::renameLongName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(int, existing);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (int i = 1; i <= existing; ++i)
        QVERIFY(memory.add(QStringLiteral("MyFavo-%1.mid").arg(i), "other"));
    if (name.contains(QChar(0x20ac)))
        QVERIFY(memory.add(QStringLiteral("myfavo_.MID"), "other") && memory.songs("MyFavo-1.mid"));
    QVERIFY(memory.add(name, "song"));
    Index index;
    index.setRootPath(dir.path());
    QStringList asked;
    index.setRenameQuestion(
        [&](const QString &path, const QString &message) { return asked << path << message, 0; });
    QCOMPARE(index.renameLongFileName(memory.absolute(name)), memory.absolute(expected));
    QCOMPARE(memory.read(expected), QByteArray("song"));
    QCOMPARE(memory.exists(name), expected == name);
    if (expected != name)
        QCOMPARE(asked,
            QStringList({ memory.absolute(name),
                QStringLiteral("verrà rinominato: ") + memory.absolute(expected)
                    + QStringLiteral(
                        "\n\nSe il file non viene rinominato, è possibile che non venga "
                        "rilevato da Quenor.") }));
    QCOMPARE(asked.isEmpty(), expected == name);
}

void TestIndexScan::renameAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("renamed"); // one letter per song
    QTest::newRow("yes, no, no all") << QList<int>({ 0, 2, 3 }) << "ynn";
    QTest::newRow("no then yes all") << QList<int>({ 2, 1 }) << "nyy";
    QTest::newRow("closed dialog is no") << QList<int>({ -1, -1, 0 }) << "nny";
    QTest::newRow("nobody to ask") << QList<int>() << "nnn";
}

void TestIndexScan::renameAnswers()
{
    QFETCH(QList<int>, answers);
    QFETCH(QString, renamed);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.songs("AlphaSong1.mid BravoSong2.mid CharlieSong3.mid"));
    Index index;
    int asked = 0;
    if (!answers.isEmpty())
        index.setRenameQuestion(
            [&](const QString &, const QString &) { return answers.value(asked++, 0); });
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QCOMPARE(asked, answers.size());
    QStringList expected;
    for (int i = 0; i < 3; ++i)
        expected << M::words(renamed.at(i) == QLatin1Char('y')
                ? "/AlphaS-1.mid /BravoS-1.mid /Charli-1.mid"
                : "/AlphaSong1.mid /BravoSong2.mid /CharlieSong3.mid")
                        .at(i);
    QCOMPARE(indexedPaths(index), expected);
    for (const QString &path : expected)
        QVERIFY2(memory.exists(path), qPrintable(path));
}

void TestIndexScan::namesOutsideIbm850_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("records");
    QTest::addColumn<int>("refused");
    // Two names that would both be "Don?t.mid" on the device, two long names
    // whose short forms differ only in letter case.
    QTest::newRow("renamed") << int(Index::RenameYesAll)
                             << "0:/Amore3-1.mid 1:/Amore3-2.Mid 2:/Don_t.mid 3:/Don_t-1.mid" << 0;
    QTest::newRow("refused") << int(Index::RenameNoAll) << "0:/Amore 375.mid 1:/Amore 3782.Mid"
                             << 2;
}

void TestIndexScan::namesOutsideIbm850()
{
    QFETCH(int, answer);
    QFETCH(int, refused);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.songs("Don’t.mid Don€t.mid"));
    for (const char *name : { "Amore 375.mid", "Amore 3782.Mid" })
        QVERIFY(memory.add(QString::fromLatin1(name), M::midiFile({})));
    for (int run = 0; run < 2; ++run) {
        const auto before = memory.snapshot();
        Index index;
        index.setRenameQuestion([answer](const QString &, const QString &) { return answer; });
        QSignalSpy errors(&index, &Index::errorFromIndex);
        QVERIFY(run == 0 ? index.createIndex(dir.path()) : index.updateIndex(dir.path()));
        QTEST(memory.indexRecords().join(QLatin1Char(' ')), "records");
        QCOMPARE(errors.count(), refused);
        if (refused)
            QCOMPARE(errors.at(1).at(0).toString(),
                QStringLiteral("File non importato, caratteri non ammessi nel nome: ")
                    + memory.absolute(QString::fromUtf8("Don€t.mid")));
        // Nothing changed: the update writes nothing.
        if (run == 1)
            QCOMPARE(memory.snapshot(), before);
    }
}

void TestIndexScan::walk()
{
    // The root's name is long and ends with a separator: never renamed.
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path() + QStringLiteral("/VeryLongMemoryName"));
    const QString tooLong = QStringLiteral("/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDE.MID");
    QVERIFY(memory.songs(
        "sfx/a.mid Sfx2/b.mid SONGS/BRIDGE/c.mid SONGS/x/y/SFX/d.mid bridge/e.mp3 SONGS/ok.MiD "
        "SONGS/x/y/deep.Mf5 top.mp3 notes.txt song.midi .hidden.mid .hid/f.mid "
        "playlist/play0001.dat "
        "karaoke.kar SONGS/c.mf3 Long_Folder/d.MF4 /ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID "
        "/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDE.MID"));
    Index index;
    QSignalSpy found(&index, &Index::fileFoundChanged);
    QSignalSpy met(&index, &Index::currentPathChanged);
    QSignalSpy errors(&index, &Index::errorFromIndex);
    QStringList asked;
    index.setRenameQuestion([&](const QString &path, const QString &) {
        return asked << path, int(Index::RenameYesAll);
    });
    index.setRootPath(memory.root() + QLatin1Char('/'));
    index.scan_files(index.rootPath());
    QCOMPARE(asked, QStringList({ memory.absolute(QStringLiteral("Long_Folder")) }));
    const QStringList expected
        = M::words("/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID /karaoke.kar /Long_F-1/d.MF4 "
                   "/Sfx2/b.mid /SONGS/c.mf3 /SONGS/ok.MiD /SONGS/x/y/deep.Mf5 /top.mp3");
    QCOMPARE(indexedPaths(index), expected);
    QCOMPARE(index.songs().at(2).longPath, memory.absolute(QStringLiteral("Long_F-1/d.MF4")));
    QCOMPARE(found.count(), 9);
    QCOMPARE(found.last().at(0).toInt(), 9);
    QCOMPARE(met.count(), 12); // every visible file outside the skipped folders
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(),
        QStringLiteral("File non importato, path troppo lungo: ") + memory.absolute(tooLong));
    // A second scan adds nothing, nor does the same path in another case.
    QVERIFY(QFile::rename(
        memory.absolute(QStringLiteral("top.mp3")), memory.absolute(QStringLiteral("TOP.MP3"))));
    index.scan_files(index.rootPath());
    QCOMPARE(indexedPaths(index), expected);
}

QTEST_GUILESS_MAIN(TestIndexScan)
#include "tst_indexscan.moc"
