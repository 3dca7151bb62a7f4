#include "index.h"
#include "memorybuilder.h"

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
    void walk();
};

void TestIndexScan::songInfo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("texts"); // title|artist|genre
    QTest::addColumn<QList<int>>("numbers"); // bpm, type, markers
    auto row = [](const char *tag, const char *name, const QByteArray &bytes, const QByteArray &texts, QList<int> numbers) {
        QTest::newRow(tag) << QString::fromLatin1(name) << bytes << texts << numbers;
    };
    auto midi = [&](const char *tag, const QList<QByteArray> &events, const QByteArray &texts, int bpm = 0) {
        row(tag, "x.mid", M::midiFile(events), texts, {bpm, 0, 0});
    };
    // Shorter than five bytes: returns before upper-casing.
    row("four bytes", "Song.mid", "MThd", "Song.mid|<unknown>|<unknown>", {0, 0, 0});
    row("missing", "Song.mid", "missing", "Song.mid|<unknown>|<unknown>", {0, 0, 0});

    midi("tempo event gives 120", {M::tempoEvent(500000)}, "X.MID|<UNKNOWN>|<UNKNOWN>", 120);
    midi("no tempo gives 0", {M::metaEvent(0x03, "Tune")}, "TUNE|<UNKNOWN>|<UNKNOWN>");
    row("first of each wins", "x.kar",
        M::midiFile({M::metaEvent(0x02, "(c) Me"), M::metaEvent(0x03, " My Song "), M::metaEvent(0x03, "Second"),
                     M::tagEvent(2, "The Band"), M::tagEvent(1, "pop"), M::tempoEvent(600000), M::tempoEvent(1000000),
                     M::metaEvent(0x06, "Intro")}),
        "MY SONG|THE BAND|POP", {100, 0, 1});
    midi("@T text title", {M::metaEvent(0x01, "@TText Title")}, "TEXT TITLE|<UNKNOWN>|<UNKNOWN>");
    midi("@T of length 2, other texts", {M::metaEvent(0x01, "@LLyric"), M::metaEvent(0x01, "@T")}, "X.MID|<UNKNOWN>|<UNKNOWN>");
    midi("long name keeps 26", {M::metaEvent(0x03, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")},
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ|<UNKNOWN>|<UNKNOWN>");
    midi("latin-1 title", {M::metaEvent(0x03, "\xe9" "clair")}, "\xc9" "CLAIR|<UNKNOWN>|<UNKNOWN>");
    midi("tag of length 0", {QByteArray::fromHex("00ff4b00"), M::tagEvent(2, "Band")}, "X.MID|BAND|<UNKNOWN>");
    midi("second line artist", {M::metaEvent(0x03, "T"), M::secondLineEvent("(The Band)")}, "T|THE BAND|<UNKNOWN>");
    midi("second line drops its last byte", {QByteArray::fromHex("00f00e0020240005") + "(Band)X" + QByteArray::fromHex("f7")},
         "X.MID|BAND|<UNKNOWN>");
    midi("tag wins over second line", {M::tagEvent(2, "Tagged"), M::secondLineEvent("(Line)")}, "X.MID|TAGGED|<UNKNOWN>");
    row("unknown content gives 120", "x.mid", "RIFF----WAVEfmt ", "X.MID|<UNKNOWN>|<UNKNOWN>", {120, 0, 0});

    row("mf4", "s.mf4", M::indexedContainer("_MF4", "Title", "Artist", "Genre", 98, 1), "TITLE|ARTIST|GENRE", {98, 3, 1});
    row("mf3, marker byte not a bit", "s.mf3", M::indexedContainer("_MF3", "T", "A", "G", 70, 3), "T|A|G", {70, 2, 0});
    row("mf5", "s.mf5", M::indexedContainer("_MF5", "T5", "", "", 0, 0), "T5|<UNKNOWN>|<UNKNOWN>", {0, 4, 0});
    row("container header reader offsets", "s.mf4",
        M::indexedContainer("_MF4", "", "", "", 0, 0).replace(122, 5, "Title").replace(218, 6, "Artist").replace(250, 5, "Genre"),
        "S.MF4|<UNKNOWN>|<UNKNOWN>", {0, 3, 0});

    row("mp3, first of each wins", "s.mp3",
        M::mp3File({M::id3Frame("TIT2", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"), M::id3Frame("TPE1", "Band"),
                    M::id3Frame("TCON", "Rock"), M::id3Frame("TCON", "Blues")}),
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ|BAND|ROCK", {0, 1, 0});
    row("mp3 untagged, frame-like bytes", "s.mp3", QByteArray::fromHex("fffb9064") + M::id3Frame("TIT2", "Fake") + "UUUU",
        "S.MP3|<UNKNOWN>|<UNKNOWN>", {0, 1, 0});
    row("mp3 holding midi", "s.mp3", M::midiFile({M::metaEvent(0x03, "Midi"), M::tempoEvent(500000)}),
        "S.MP3|<UNKNOWN>|<UNKNOWN>", {0, 1, 0});
    row("mp3 frames beyond byte 512", "s.mp3",
        M::mp3File({M::id3Frame("PRIV", QByteArray(600, '\x11')), M::id3Frame("TIT2", "Far")}),
        "S.MP3|<UNKNOWN>|<UNKNOWN>", {0, 1, 0});
    row("mp3 empty frame counts as found", "s.mp3", M::mp3File({M::id3Frame("TIT2", "Song"), M::id3Frame("TPE1", "")}),
        "SONG||<UNKNOWN>", {0, 1, 0});
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
    const bool missing = bytes == "missing";
    entry.longPath = missing ? memory.absolute(name) : memory.write(name, bytes);
    QCOMPARE(Index().setSongInfo(entry), bytes.size() >= 5 && !missing);
    QTEST((QStringList{entry.title, entry.artist, entry.genre}).join(QLatin1Char('|')).toLatin1(), "texts");
    QTEST((QList<int>{entry.bpm, entry.type, entry.markers}), "numbers");
    QCOMPARE(memory.read(name), missing ? QByteArray() : bytes);
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
    QTest::newRow("folder") << "Long Folder Name/" << 0 << "LongFo-1";
}

void TestIndexScan::renameLongName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(int, existing);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (int i = 1; i <= existing; ++i)
        QVERIFY(!memory.write(QStringLiteral("MyFavo-%1.mid").arg(i), "other").isEmpty());
    const bool folder = name.endsWith(QLatin1Char('/'));
    QVERIFY(folder ? memory.mkdir(name.chopped(1)) : !memory.write(name, "song").isEmpty());
    name.remove(QLatin1Char('/'));
    Index index;
    index.setRootPath(dir.path());
    QStringList asked;
    index.setRenameQuestion([&](const QString &path, const QString &message) { return asked << path << message, 0; });
    QCOMPARE(index.renameLongFileName(memory.absolute(name)), memory.absolute(expected));
    QCOMPARE(memory.read(expected), folder ? QByteArray() : QByteArray("song"));
    QCOMPARE(memory.exists(name), expected == name);
    if (expected != name)
        QCOMPARE(asked, QStringList({memory.absolute(name), QStringLiteral("verrà rinominato: ") + memory.absolute(expected)
                                    + QStringLiteral("\n\nSe il file non viene rinominato, è possibile che non venga "
                                                     "rilevato da Quenor.")}));
    QCOMPARE(asked.isEmpty(), expected == name);
}

void TestIndexScan::renameAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("renamed"); // one letter per song
    QTest::newRow("yes all") << QList<int>({1}) << "yyy";
    QTest::newRow("no all") << QList<int>({3}) << "nnn";
    QTest::newRow("yes, no, no all") << QList<int>({0, 2, 3}) << "ynn";
    QTest::newRow("no then yes all") << QList<int>({2, 1}) << "nyy";
    QTest::newRow("closed dialog is no") << QList<int>({-1, -1, 0}) << "nny";
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
        index.setRenameQuestion([&](const QString &, const QString &) { return answers.value(asked++, 0); });
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QCOMPARE(asked, answers.size());
    QStringList expected;
    for (int i = 0; i < 3; ++i)
        expected << M::words(renamed.at(i) == QLatin1Char('y') ? "/AlphaS-1.mid /BravoS-1.mid /Charli-1.mid"
                                                                : "/AlphaSong1.mid /BravoSong2.mid /CharlieSong3.mid").at(i);
    QCOMPARE(indexedPaths(index), expected);
    for (const QString &path : expected)
        QVERIFY2(memory.exists(path), qPrintable(path));
}

void TestIndexScan::walk()
{
    // The root's name is long and ends with a separator: never renamed.
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path() + QStringLiteral("/VeryLongMemoryName"));
    const QString tooLong = QStringLiteral("/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDE.MID");
    QVERIFY(memory.songs("sfx/a.mid Sfx2/b.mid SONGS/BRIDGE/c.mid SONGS/x/y/SFX/d.mid bridge/e.mp3 SONGS/ok.MiD "
                         "SONGS/x/y/deep.Mf5 top.mp3 notes.txt song.midi .hidden.mid .hid/f.mid playlist/play0001.dat "
                         "karaoke.kar SONGS/c.mf3 Long_Folder/d.MF4 /ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID "
                         "/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDE.MID"));
    Index index;
    QSignalSpy found(&index, &Index::fileFoundChanged);
    QSignalSpy met(&index, &Index::currentPathChanged);
    QSignalSpy errors(&index, &Index::errorFromIndex);
    QStringList asked;
    index.setRenameQuestion([&](const QString &path, const QString &) { return asked << path, int(Index::RenameYesAll); });
    index.setRootPath(memory.root() + QLatin1Char('/'));
    index.scan_files(index.rootPath());
    QCOMPARE(asked, QStringList({memory.absolute(QStringLiteral("Long_Folder"))}));
    const QStringList expected = M::words("/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID /karaoke.kar /Long_F-1/d.MF4 "
                                          "/Sfx2/b.mid /SONGS/c.mf3 /SONGS/ok.MiD /SONGS/x/y/deep.Mf5 /top.mp3");
    QCOMPARE(indexedPaths(index), expected);
    QCOMPARE(index.songs().at(2).longPath, memory.absolute(QStringLiteral("Long_F-1/d.MF4")));
    QCOMPARE(index.filesFoundCount(), 9);
    QCOMPARE(found.count(), 9);
    QCOMPARE(met.count(), 12); // every visible file outside the skipped folders
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("File non importato, path troppo lungo: ") + memory.absolute(tooLong));
    // A second scan adds nothing, nor does the same path in another case.
    index.songs()[0].path = index.songs()[0].path.toLower();
    index.scan_files(index.rootPath());
    QCOMPARE(index.songs().size(), expected.size());
    QCOMPARE(index.nextId(), 8u);
}

QTEST_GUILESS_MAIN(TestIndexScan)
#include "tst_indexscan.moc"
