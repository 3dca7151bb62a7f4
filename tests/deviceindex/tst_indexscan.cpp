#include "index.h"
#include "memorybuilder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray latin1(const char *text)
{
    return QByteArray(text);
}

QStringList indexedPaths(const Index &index)
{
    QStringList paths;
    for (const SongInfoIndex &entry : index.songs())
        paths << entry.path;
    return paths;
}

const QString RenameNotice = QStringLiteral("\n\nSe il file non viene rinominato, è possibile che non venga rilevato da Quenor.");

} // namespace

class TestIndexScan : public QObject
{
    Q_OBJECT

private slots:
    void songInfo_data();
    void songInfo();
    void shortFilesKeepTheirName_data();
    void shortFilesKeepTheirName();
    void renameLongName_data();
    void renameLongName();
    void renameAnswers_data();
    void renameAnswers();
    void renamedFolderIsWalked();
    void rootIsNeverRenamed();
    void skippedFoldersAndSuffixes();
    void pathLength_data();
    void pathLength();
    void secondScanAddsNothing();
    void samePathInOtherCaseIsNotAdded();
};

void TestIndexScan::songInfo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<int>("bpm");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("markers");

    using M = MemoryBuilder;
    const QString unknown = QStringLiteral("<UNKNOWN>");

    // MIDI rules.
    QTest::newRow("midi tempo event gives 120") << "song.mid" << M::midiFile({M::tempoEvent(500000)})
                                                << "SONG.MID" << unknown << unknown << 120 << 0 << 0;
    QTest::newRow("midi without tempo gives 0") << "song.mid" << M::midiFile({M::metaEvent(0x03, "Tune")})
                                                << "TUNE" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi first tempo wins") << "song.kar"
                                           << M::midiFile({M::tempoEvent(500000), M::tempoEvent(1000000)})
                                           << "SONG.KAR" << unknown << unknown << 120 << 0 << 0;
    QTest::newRow("midi tempo kept as low 8 bits") << "a.mid" << M::midiFile({M::tempoEvent(200000)})
                                                   << "A.MID" << unknown << unknown << (300 & 0xFF) << 0 << 0;
    QTest::newRow("midi full information")
        << "x.mid"
        << M::midiFile({M::metaEvent(0x03, " My Song "), M::tagEvent(2, "The Band"), M::tagEvent(1, "pop"),
                        M::tempoEvent(600000), M::metaEvent(0x06, "Intro")})
        << "MY SONG" << "THE BAND" << "POP" << 100 << 0 << 1;
    QTest::newRow("midi first track name only")
        << "x.mid" << M::midiFile({M::metaEvent(0x03, "First"), M::metaEvent(0x03, "Second")})
        << "FIRST" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi copyright skipped") << "x.mid"
                                            << M::midiFile({M::metaEvent(0x02, "(c) Someone"), M::metaEvent(0x03, "Name")})
                                            << "NAME" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi @T text title") << "x.mid" << M::midiFile({M::metaEvent(0x01, "@TText Title")})
                                        << "TEXT TITLE" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi other text ignored") << "x.mid" << M::midiFile({M::metaEvent(0x01, "@LLyric")})
                                             << "X.MID" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi @T of length 2 copies nothing") << "x.mid" << M::midiFile({M::metaEvent(0x01, "@T")})
                                                        << "X.MID" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi long @T title keeps 24") << "x.mid"
                                                 << M::midiFile({M::metaEvent(0x01, "@TABCDEFGHIJKLMNOPQRSTUVWXYZ0123")})
                                                 << "ABCDEFGHIJKLMNOPQRSTUVWX" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi long track name keeps 26")
        << "x.mid" << M::midiFile({M::metaEvent(0x03, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")})
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZ" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi empty track name gives the file name")
        << "x.mid" << M::midiFile({M::metaEvent(0x03, "   ")}) << "X.MID" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi latin-1 title") << "x.mid" << M::midiFile({M::metaEvent(0x03, latin1("\xe9" "clair"))})
                                        << QString::fromUtf8("ÉCLAIR") << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi text ends at zero") << "x.mid" << M::midiFile({M::tagEvent(1, QByteArray("Rock\0junk", 9))})
                                            << "X.MID" << unknown << "ROCK" << 0 << 0 << 0;
    QTest::newRow("midi tag of length 0 copies nothing")
        << "x.mid" << M::midiFile({QByteArray::fromHex("00ff4b00"), M::tagEvent(2, "Band")})
        << "X.MID" << "BAND" << unknown << 0 << 0 << 0;
    QTest::newRow("midi second text line artist")
        << "x.mid" << M::midiFile({M::metaEvent(0x03, "T"), M::secondLineEvent("(The Band)")})
        << "T" << "THE BAND" << unknown << 0 << 0 << 0;
    QTest::newRow("midi second text line drops its last byte")
        << "x.mid" << M::midiFile({QByteArray::fromHex("00f00e0020240005") + "(Band)X" + QByteArray::fromHex("f7")})
        << "X.MID" << "BAND" << unknown << 0 << 0 << 0;
    QTest::newRow("midi second text line without bracket")
        << "x.mid" << M::midiFile({M::secondLineEvent("Just words")}) << "X.MID" << unknown << unknown << 0 << 0 << 0;
    QTest::newRow("midi tag artist wins over second line")
        << "x.mid" << M::midiFile({M::tagEvent(2, "Tagged"), M::secondLineEvent("(Line)")})
        << "X.MID" << "TAGGED" << unknown << 0 << 0 << 0;
    QTest::newRow("midi status byte before 0xFF ends the scan")
        << "x.mid" << M::midiFile({M::tempoEvent(500000), QByteArray::fromHex("0090403c81"), M::metaEvent(0x03, "Late").mid(1)})
        << "X.MID" << unknown << unknown << 120 << 0 << 0;

    // Container rules.
    QTest::newRow("mf4 with markers") << "s.mf4" << M::indexedContainer("_MF4", "Title", "Artist", "Genre", 98, 1)
                                      << "TITLE" << "ARTIST" << "GENRE" << 98 << 3 << 1;
    QTest::newRow("mf3") << "s.mf3" << M::indexedContainer("_MF3", "T3", "A3", "G3", 70, 0)
                         << "T3" << "A3" << "G3" << 70 << 2 << 0;
    QTest::newRow("mf5") << "s.mf5" << M::indexedContainer("_MF5", "T5", "", "", 0, 0)
                         << "T5" << unknown << unknown << 0 << 4 << 0;
    QTest::newRow("container marker byte is not a bit")
        << "s.mf4" << M::indexedContainer("_MF4", "T", "A", "G", 90, 3) << "T" << "A" << "G" << 90 << 3 << 0;
    QTest::newRow("container empty title gives the file name")
        << "Song.mf4" << M::indexedContainer("_MF4", "  ", "A", "G", 90, 0) << "SONG.MF4" << "A" << "G" << 90 << 3 << 0;
    QTest::newRow("container fields at the header reader offsets are not read")
        << "s.mf4" << M::container("_MF4", {{122, "Header Title"}, {218, "Hdr Artist"}, {250, "Hdr Genre"}})
        << "S.MF4" << unknown << unknown << 0 << 3 << 0;
    QTest::newRow("container suffix does not matter") << "s.mid" << M::indexedContainer("_MF3", "T", "A", "G", 1, 0)
                                                      << "T" << "A" << "G" << 1 << 2 << 0;

    // MP3 rules.
    QTest::newRow("mp3 frames")
        << "s.mp3" << M::mp3File({M::id3Frame("TIT2", "Hello"), M::id3Frame("TPE1", "Band"), M::id3Frame("TCON", "Rock")})
        << "HELLO" << "BAND" << "ROCK" << 0 << 1 << 0;
    QTest::newRow("mp3 without tag") << "s.mp3" << M::mp3File({}, 0, false) << "S.MP3" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 without tag ignores frame-like bytes")
        << "s.mp3" << QByteArray::fromHex("fffb9064") + M::id3Frame("TIT2", "Fake") + QByteArray(40, '\x55')
        << "S.MP3" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 holding midi is read as mp3")
        << "s.mp3" << M::midiFile({M::metaEvent(0x03, "Midi"), M::tempoEvent(500000)})
        << "S.MP3" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 frames beyond byte 512 keep the file name")
        << "s.mp3" << M::mp3File({M::fillerFrame(600), M::id3Frame("TIT2", "Far"), M::id3Frame("TPE1", "Away")})
        << "S.MP3" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 empty artist frame gives an empty artist")
        << "s.mp3" << M::mp3File({M::id3Frame("TIT2", "Song"), M::id3Frame("TPE1", "")})
        << "SONG" << "" << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 frame of size 0") << "s.mp3" << M::mp3File({QByteArray("TIT2") + QByteArray(6, '\0')})
                                         << "" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 long title keeps 26")
        << "s.mp3" << M::mp3File({M::id3Frame("TIT2", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")})
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZ" << unknown << unknown << 0 << 1 << 0;
    QTest::newRow("mp3 first frame of a kind wins")
        << "s.mp3" << M::mp3File({M::id3Frame("TCON", "Jazz"), M::id3Frame("TCON", "Blues")})
        << "S.MP3" << unknown << "JAZZ" << 0 << 1 << 0;
    QTest::newRow("mp3 frame running past the data ends the search")
        << "s.mp3" << M::mp3File({QByteArray("TIT2") + M::bigEndian32(5000) + QByteArray(3, '\0') + "Cut"}, 0)
        << "S.MP3" << unknown << unknown << 0 << 1 << 0;

    // Anything else.
    QTest::newRow("unknown content gives 120") << "s.mid" << QByteArray("RIFF----WAVEfmt ") << "S.MID" << unknown
                                               << unknown << 120 << 0 << 0;
}

void TestIndexScan::songInfo()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    MemoryBuilder memory(dir.path());
    SongInfoIndex entry;
    entry.longPath = memory.write(name, bytes);
    QVERIFY(!entry.longPath.isEmpty());

    Index index;
    QVERIFY(index.setSongInfo(entry));
    QTEST(entry.title, "title");
    QTEST(entry.artist, "artist");
    QTEST(entry.genre, "genre");
    QTEST(int(entry.bpm), "bpm");
    QTEST(int(entry.type), "type");
    QTEST(int(entry.markers), "markers");
    QCOMPARE(int(entry.reserved), 0);
    QCOMPARE(memory.read(name), bytes);
}

void TestIndexScan::shortFilesKeepTheirName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("four bytes") << QByteArray("MThd");
    QTest::newRow("missing") << QByteArray("<missing>");
}

void TestIndexScan::shortFilesKeepTheirName()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    SongInfoIndex entry;
    entry.title = QStringLiteral("old");
    entry.bpm = 7;
    entry.longPath = bytes == "<missing>" ? memory.absolute(QStringLiteral("Song.mid"))
                                          : memory.write(QStringLiteral("Song.mid"), bytes);
    QVERIFY(!Index().setSongInfo(entry));
    // Returned before the upper-casing step.
    QCOMPARE(entry.title, QStringLiteral("Song.mid"));
    QCOMPARE(entry.artist, QStringLiteral("<unknown>"));
    QCOMPARE(entry.genre, QStringLiteral("<unknown>"));
    QCOMPARE(int(entry.bpm), 0);
}

void TestIndexScan::renameLongName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    QTest::newRow("spaces dropped") << "My Favourite Song.mid" << QStringList() << "MyFavo-1.mid";
    QTest::newRow("next free number") << "My Favourite Song.mid" << QStringList({QStringLiteral("MyFavo-1.mid")}) << "MyFavo-2.mid";
    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine << QStringLiteral("MyFavo-%1.mid").arg(i);
    QTest::newRow("two digits keep five") << "My Favourite Song.mid" << nine << "MyFav-10.mid";
    QTest::newRow("eight characters stay") << "ABCDEFGH.mid" << QStringList() << "ABCDEFGH.mid";
    QTest::newRow("nine characters renamed") << "ABCDEFGHI.mid" << QStringList() << "ABCDEF-1.mid";
    QTest::newRow("dots apostrophes hyphens dropped") << "It's-a.b song.KAR" << QStringList() << "Itsabs-1.KAR";
    QTest::newRow("folder") << "Long Folder Name/" << QStringList() << "LongFo-1";
    QTest::newRow("short folder") << "Folder/" << QStringList() << "Folder";
}

void TestIndexScan::renameLongName()
{
    QFETCH(QString, name);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const QString &other : existing)
        QVERIFY(!memory.write(other, "other").isEmpty());
    const bool folder = name.endsWith(QLatin1Char('/'));
    if (folder) {
        name.chop(1);
        QVERIFY(memory.mkdir(name));
    } else {
        QVERIFY(!memory.write(name, "song bytes").isEmpty());
    }

    Index index;
    index.setRootPath(dir.path());
    QStringList asked;
    index.setRenameQuestion([&](const QString &oldPath, const QString &message) {
        asked << oldPath << message;
        return int(Index::RenameYes);
    });
    const QString result = index.renameLongFileName(memory.absolute(name));
    QCOMPARE(result, memory.absolute(expected));
    QVERIFY(memory.exists(expected));
    if (expected == name) {
        QVERIFY(asked.isEmpty());
        return;
    }
    QCOMPARE(asked, QStringList({memory.absolute(name), QStringLiteral("verrà rinominato: ") + result + RenameNotice}));
    QVERIFY(!memory.exists(name));
    if (!folder)
        QCOMPARE(memory.read(expected), QByteArray("song bytes"));
}

void TestIndexScan::renameAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("paths");

    const QString a = QStringLiteral("/AlphaSong1.mid");
    const QString b = QStringLiteral("/BravoSong2.mid");
    const QString c = QStringLiteral("/CharlieSong3.mid");
    const QString a1 = QStringLiteral("/AlphaS-1.mid");
    const QString b1 = QStringLiteral("/BravoS-1.mid");
    const QString c1 = QStringLiteral("/Charli-1.mid");
    QTest::newRow("yes each") << QList<int>({0, 0, 0}) << 3 << QStringList({a1, b1, c1});
    QTest::newRow("yes all") << QList<int>({1}) << 1 << QStringList({a1, b1, c1});
    QTest::newRow("no each") << QList<int>({2, 2, 2}) << 3 << QStringList({a, b, c});
    QTest::newRow("no all") << QList<int>({3}) << 1 << QStringList({a, b, c});
    QTest::newRow("yes then no all") << QList<int>({0, 3}) << 2 << QStringList({a1, b, c});
    QTest::newRow("no then yes all") << QList<int>({2, 1}) << 2 << QStringList({a, b1, c1});
    QTest::newRow("closed dialog counts as no") << QList<int>({-1, -1, 0}) << 3 << QStringList({a, b, c1});
    QTest::newRow("nobody to ask") << QList<int>() << 0 << QStringList({a, b, c});
}

void TestIndexScan::renameAnswers()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, paths);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *name : {"AlphaSong1.mid", "BravoSong2.mid", "CharlieSong3.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(name), MemoryBuilder::midiFile({})).isEmpty());

    Index index;
    int asked = 0;
    if (!answers.isEmpty()) {
        index.setRenameQuestion([&](const QString &, const QString &) { return answers.value(asked++, 0); });
    }
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QTEST(asked, "questions");
    QCOMPARE(indexedPaths(index), paths);
    for (const QString &path : paths)
        QVERIFY2(memory.exists(path), qPrintable(path));
}

void TestIndexScan::renamedFolderIsWalked()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("Long Folder Name/a.mid"), MemoryBuilder::midiFile({})).isEmpty());
    Index index;
    index.setRenameQuestion([](const QString &, const QString &) { return int(Index::RenameYesAll); });
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QCOMPARE(indexedPaths(index), QStringList({QStringLiteral("/LongFo-1/a.mid")}));
    QCOMPARE(index.songs().constFirst().longPath, memory.absolute(QStringLiteral("LongFo-1/a.mid")));
}

void TestIndexScan::rootIsNeverRenamed()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path() + QStringLiteral("/VeryLongMemoryName"));
    QVERIFY(!memory.write(QStringLiteral("a.mid"), MemoryBuilder::midiFile({})).isEmpty());
    int asked = 0;
    // The root's own name is long, and is given with a trailing separator.
    Index second;
    second.setRenameQuestion([&](const QString &, const QString &) { return ++asked, int(Index::RenameYes); });
    second.setRootPath(memory.root() + QLatin1Char('/'));
    second.scan_files(second.rootPath());
    QCOMPARE(asked, 0);
    QVERIFY(memory.exists(QStringLiteral("a.mid")));
    QCOMPARE(indexedPaths(second), QStringList({QStringLiteral("/a.mid")}));
}

void TestIndexScan::skippedFoldersAndSuffixes()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QByteArray song = MemoryBuilder::midiFile({});
    for (const char *path : {"sfx/a.mid", "Sfx2/b.mid", "SONGS/BRIDGE/c.mid", "SONGS/x/y/SFX/d.mid", "bridge/e.mp3",
                             "SONGS/ok.MiD", "SONGS/x/y/deep.Mf5", "top.mp3", "notes.txt", "song.midi", ".hidden.mid",
                             ".hid/f.mid", "playlist/play0001.dat", "playlist/play0001.pts", "karaoke.kar",
                             "SONGS/c.mf3", "SONGS/d.MF4"}) {
        QVERIFY(!memory.write(QString::fromLatin1(path), song).isEmpty());
    }
    Index index;
    QSignalSpy found(&index, &Index::fileFoundChanged);
    QSignalSpy met(&index, &Index::currentPathChanged);
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    const QStringList expected = QString::fromLatin1("/karaoke.kar /Sfx2/b.mid /SONGS/c.mf3 /SONGS/d.MF4 "
                                                     "/SONGS/ok.MiD /SONGS/x/y/deep.Mf5 /top.mp3")
                                     .split(QLatin1Char(' '));
    QCOMPARE(indexedPaths(index), expected);
    QCOMPARE(found.count(), 7);
    QCOMPARE(found.last().at(0).toInt(), 7);
    QCOMPARE(index.filesFoundCount(), 7);
    // Every visible file met is reported, song or not.
    QStringList metPaths;
    for (const QList<QVariant> &args : met)
        metPaths << args.at(0).toString().mid(dir.path().size());
    QVERIFY(metPaths.contains(QStringLiteral("/notes.txt")));
    QVERIFY(metPaths.contains(QStringLiteral("/playlist/play0001.dat")));
    QVERIFY(!metPaths.contains(QStringLiteral("/sfx/a.mid")));
    QVERIFY(!metPaths.contains(QStringLiteral("/.hidden.mid")));
    QCOMPARE(metPaths.size(), 11);
}

void TestIndexScan::pathLength_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("indexed");
    // Folder and file names of at most eight characters, so nothing is renamed.
    QTest::newRow("45 characters") << "/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID" << true;
    QTest::newRow("46 characters") << "/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDE.MID" << false;
    QTest::newRow("60 characters") << "/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCDEFGH/AB.MID" << false;
}

void TestIndexScan::pathLength()
{
    QFETCH(QString, path);
    QFETCH(bool, indexed);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QString longPath = memory.write(path, MemoryBuilder::midiFile({}));
    QVERIFY(!memory.write(QStringLiteral("ok.mid"), MemoryBuilder::midiFile({})).isEmpty());
    Index index;
    QSignalSpy errors(&index, &Index::errorFromIndex);
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QCOMPARE(index.filesFoundCount(), 2);
    if (indexed) {
        QCOMPARE(indexedPaths(index), QStringList({path, QStringLiteral("/ok.mid")}));
        QCOMPARE(errors.count(), 0);
    } else {
        QCOMPARE(indexedPaths(index), QStringList({QStringLiteral("/ok.mid")}));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("File non importato, path troppo lungo: ") + longPath);
    }
}

void TestIndexScan::secondScanAddsNothing()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "B/c.mp3", "B/d.mf4"})
        QVERIFY(!memory.write(QString::fromLatin1(path), "bytes").isEmpty());
    Index index;
    index.setRootPath(dir.path());
    index.scan_files(dir.path());
    QCOMPARE(index.songs().size(), 3);
    QCOMPARE(index.nextId(), 3u);
    const QStringList first = indexedPaths(index);
    index.scan_files(dir.path());
    QCOMPARE(indexedPaths(index), first);
    QCOMPARE(index.nextId(), 3u);
    QCOMPARE(index.filesFoundCount(), 6);
}

void TestIndexScan::samePathInOtherCaseIsNotAdded()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QString file = memory.write(QStringLiteral("Songs/Tune.mid"), "bytes");
    Index index;
    index.setRootPath(dir.path());
    // As read back from an index written on a memory that keeps names in
    // upper case.
    SongInfoIndex known;
    known.path = QStringLiteral("/SONGS/TUNE.MID");
    known.id = 41;
    index.songs().append(known);
    QVERIFY(index.addFileToIndex(QFileInfo(file)));
    QCOMPARE(index.songs().size(), 1);
    QCOMPARE(index.songs().constFirst().id, 41u);
    QVERIFY(!index.isIndexChanged());
}

QTEST_GUILESS_MAIN(TestIndexScan)
#include "tst_indexscan.moc"
