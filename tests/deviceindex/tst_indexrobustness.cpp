#include "index.h"
#include "memorybuilder.h"

#include <QDirIterator>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

using M = MemoryBuilder;

QMap<QString, QByteArray> contents(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(path.mid(root.size()), file.readAll());
    }
    return files;
}

QMap<QString, QByteArray> songFiles(const QString &root)
{
    QMap<QString, QByteArray> songs;
    const auto all = contents(root);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (Index::checkFileExt(QFileInfo(it.key()).suffix()))
            songs.insert(it.key(), it.value());
    }
    return songs;
}

QByteArray fullMidi()
{
    return M::midiFile({M::metaEvent(0x03, "Title"), M::metaEvent(0x02, "Copyright"), M::metaEvent(0x01, "@TText"),
                        M::tagEvent(2, "Artist"), M::tagEvent(1, "Genre"), M::tempoEvent(500000),
                        M::metaEvent(0x06, "Marker"), M::secondLineEvent("(Second)")});
}

QByteArray fullMp3()
{
    return M::mp3File({M::id3Frame("TALB", "Album"), M::id3Frame("TIT2", "Title"), M::id3Frame("TPE1", "Artist"),
                       M::id3Frame("TCON", "Genre")},
                      4);
}

} // namespace

class TestIndexRobustness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    void truncatedSongFiles_data();
    void truncatedSongFiles();
    void mutatedSongFiles();
    void hostileSongFilesOnAMemory();
    void specialEntriesDoNotHang();
    void damagedIndexFiles_data();
    void damagedIndexFiles();
    void lastIdLeavesNoRoom();
    void damagedPlaylists();
};

void TestIndexRobustness::truncatedSongFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("type");
    QTest::newRow("midi") << "s.mid" << fullMidi() << 0;
    QTest::newRow("mp3") << "s.mp3" << fullMp3() << 1;
    QTest::newRow("mf4") << "s.mf4" << M::indexedContainer("_MF4", "T", "A", "G", 90, 1) << 3;
}

void TestIndexRobustness::truncatedSongFiles()
{
    // Every length from nothing to the whole file.
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, type);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    Index index;
    for (int length = 0; length <= bytes.size(); ++length) {
        const QByteArray cut = bytes.left(length);
        SongInfoIndex entry;
        entry.longPath = memory.write(name, cut);
        const bool read = index.setSongInfo(entry);
        QCOMPARE(read, length >= 5);
        if (read) {
            QCOMPARE(int(entry.type), type);
            QVERIFY(entry.title.size() <= 26 || entry.title == name.toUpper());
            QVERIFY(entry.artist.size() <= 26);
            QVERIFY(entry.genre.size() <= 26);
        }
        QCOMPARE(memory.read(name), cut);
    }
}

void TestIndexRobustness::mutatedSongFiles()
{
    // Random bytes changed in valid files, and random files: the reader never
    // leaves its bounds (the sanitizer build checks that) and never writes.
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QRandomGenerator random(20261206);
    const QList<QPair<QString, QByteArray>> seeds = {
        {QStringLiteral("s.mid"), fullMidi()},
        {QStringLiteral("s.mp3"), fullMp3()},
        {QStringLiteral("s.mf5"), M::indexedContainer("_MF5", "Title", "Artist", "Genre", 1, 1)},
    };
    Index index;
    for (const auto &seed : seeds) {
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = seed.second;
            const int changes = 1 + int(random.bounded(8));
            for (int i = 0; i < changes; ++i) {
                const int at = int(random.bounded(bytes.size()));
                // Favour the bytes the readers look for.
                static const char interesting[] = {'\xff', '\x51', '\x4b', '\x03', '\x01', '\xf0', 'T', '\0', '\x80'};
                bytes[at] = random.bounded(2) ? interesting[random.bounded(int(sizeof interesting))]
                                              : char(random.bounded(256));
            }
            SongInfoIndex entry;
            entry.longPath = memory.write(seed.first, bytes);
            QVERIFY(index.setSongInfo(entry));
            QVERIFY(entry.artist.size() <= 26 || entry.artist == QStringLiteral("<UNKNOWN>"));
            QCOMPARE(memory.read(seed.first), bytes);
        }
    }
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(4000)), '\0');
        for (char &c : bytes)
            c = char(random.bounded(256));
        if (round % 2 == 0)
            bytes.replace(0, qMin<qsizetype>(4, bytes.size()), "MThd");
        SongInfoIndex entry;
        entry.longPath = memory.write(QStringLiteral("r.kar"), bytes);
        QCOMPARE(index.setSongInfo(entry), bytes.size() >= 5);
        QCOMPARE(memory.read(QStringLiteral("r.kar")), bytes);
    }
}

void TestIndexRobustness::hostileSongFilesOnAMemory()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QList<QPair<const char *, QByteArray>> files = {
        {"empty.mid", QByteArray()},
        {"three.mid", QByteArray("MTh")},
        {"ff_end.mid", M::midiFile({}).left(22) + QByteArray::fromHex("00ff")},
        {"ffs.mid", QByteArray("MThd") + QByteArray(4000, '\xff')},
        {"tag255.mid", M::midiFile({}).left(22) + QByteArray::fromHex("00ff4bff02") + "abc"},
        {"track.mid", M::midiFile({}).left(22) + QByteArray::fromHex("00ff03ff") + "abc"},
        {"tempo.mid", M::midiFile({}).left(22) + QByteArray::fromHex("00ff5103000000")},
        {"sysex.mid", M::midiFile({}).left(22) + QByteArray::fromHex("f0030020240005") + "(x"},
        {"sysex7.mid", M::midiFile({}).left(22) + QByteArray::fromHex("f0070020240005") + "(xyzw"},
        {"huge.mp3", QByteArray("ID3") + QByteArray::fromHex("03000000000000") + "TIT2" + QByteArray::fromHex("ffffffff0000") + "x"},
        {"t511.mp3", QByteArray("ID3") + QByteArray(508, '\0') + "TIT2" + M::bigEndian32(3) + QByteArray(3, '\0') + "ab"},
        {"short.mf4", QByteArray("_MF4x")},
        {"header.mf5", QByteArray("_MF5") + QByteArray(300, '\xff')},
    };
    for (const auto &file : files)
        QVERIFY(!memory.write(QString::fromLatin1(file.first), file.second).isEmpty());
    const auto before = songFiles(dir.path());
    Index index;
    QVERIFY(index.createIndex(dir.path()));
    QCOMPARE(songFiles(dir.path()), before);
    QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(), qint64(files.size() * 64));
    QVERIFY(index.updateIndex(dir.path()));
    QCOMPARE(songFiles(dir.path()), before);
}

void TestIndexRobustness::specialEntriesDoNotHang()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), M::midiFile({})).isEmpty());
    // A pipe would block a reader forever; a link back up the tree would make
    // the walk endless; a folder may carry a song suffix.
    QCOMPARE(::mkfifo(QFile::encodeName(memory.absolute(QStringLiteral("pipe.mid"))).constData(), 0600), 0);
    QVERIFY(memory.mkdir(QStringLiteral("loop")));
    QVERIFY(QFile::link(dir.path(), memory.absolute(QStringLiteral("loop/back"))));
    QVERIFY(QFile::link(memory.absolute(QStringLiteral("missing.mid")), memory.absolute(QStringLiteral("dangling.mid"))));
    QVERIFY(!memory.write(QStringLiteral("folder.mid/b.mid"), M::midiFile({})).isEmpty());
    Index index;
    QVERIFY(index.createIndex(dir.path()));
    QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(), qint64(2 * 64));

    // An indexed song and the playlist list replaced by pipes.
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("a.mid"))));
    QCOMPARE(::mkfifo(QFile::encodeName(memory.absolute(QStringLiteral("a.mid"))).constData(), 0600), 0);
    QVERIFY(memory.mkdir(QStringLiteral("playlist")));
    QCOMPARE(::mkfifo(QFile::encodeName(memory.absolute(QStringLiteral("playlist/playlist.dat"))).constData(), 0600), 0);
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(), qint64(1 * 64));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(), qint64(1 * 64));
}

void TestIndexRobustness::damagedIndexFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");

    // The prepared memory holds a.mid (id 0) and b.mid (id 1).
    const QByteArray stamp = "20200101120000";
    auto record = [&](quint32 id, const QByteArray &path) -> QByteArray {
        return M::bigEndian32(id) + path.leftJustified(46, '\0') + stamp;
    };
    auto song = [](quint32 id) -> QByteArray { return M::bigEndian32(id) + QByteArray("X").leftJustified(26, '\0') + QByteArray(2, '\0'); };
    auto header = [](const QByteArray &key) -> QByteArray {
        return QByteArray::fromHex("00000001") + key.leftJustified(26, '\0') + QByteArray::fromHex("00ff");
    };

    QTest::newRow("index.idx one byte short") << "index.idx" << record(0, "/a.mid") + record(1, "/b.mid").left(63) << false;
    QTest::newRow("index.idx with trailing bytes") << "index.idx" << record(0, "/a.mid") + record(1, "/b.mid") + "xyz" << false;
    QTest::newRow("index.idx repeats an id") << "index.idx" << record(1, "/a.mid") + record(1, "/b.mid") << false;
    QTest::newRow("index.idx holds the no-song id") << "index.idx" << record(0, "/a.mid") + record(0xFFFFFFFF, "/b.mid") << false;
    QTest::newRow("index.idx beyond any index") << "index.idx" << QByteArray(65536 * 64, '\0') << false;
    QTest::newRow("title.idx names an unknown id") << "title.idx" << song(0) + song(9) << false;
    QTest::newRow("title.idx cut short") << "title.idx" << song(0) + song(1).left(20) << false;
    QTest::newRow("artist.idx names an unknown id") << "artist.idx" << header("A") + song(5) << false;
    QTest::newRow("genre.idx cut short") << "genre.idx" << header("G").left(31) << false;
    QTest::newRow("title.idx empty") << "title.idx" << QByteArray() << true;
    QTest::newRow("artist.idx song before any header") << "artist.idx" << song(0) + song(1) << true;
    QTest::newRow("index.idx ids out of order") << "index.idx" << record(1, "/b.mid") + record(0, "/a.mid") << true;
    QTest::newRow("index.idx path without terminator")
        << "index.idx" << record(0, "/a.mid") + M::bigEndian32(1) + QByteArray(46, 'Q') + stamp << true;
    QTest::newRow("index.idx date not digits")
        << "index.idx" << record(0, "/a.mid") + M::bigEndian32(1) + QByteArray("/b.mid").leftJustified(46, '\0') + "yyyymmddhhmmss" << true;
    QTest::newRow("index.idx empty, title.idx not") << "index.idx" << QByteArray() << false;
}

void TestIndexRobustness::damagedIndexFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), M::midiFile({M::metaEvent(0x03, "A")})).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("b.mid"), M::midiFile({M::metaEvent(0x03, "B")})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(!memory.write(file, bytes).isEmpty());
    const auto before = contents(dir.path());

    Index loader;
    loader.setRootPath(dir.path());
    QCOMPARE(loader.loadAllIndexFile() == 0, readable);
    Index index;
    const bool updated = index.updateIndex(dir.path());
    QCOMPARE(updated, readable);
    if (!readable) {
        // Nothing on the memory changes.
        QCOMPARE(contents(dir.path()), before);
    }
    // A rebuild always repairs the memory.
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.read(QStringLiteral("index.idx")).size(), 128);
}

void TestIndexRobustness::lastIdLeavesNoRoom()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), M::midiFile({})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QByteArray index = memory.read(QStringLiteral("index.idx"));
    index.replace(0, 4, M::bigEndian32(0xFFFFFFFE));
    QByteArray titles = memory.read(QStringLiteral("title.idx"));
    titles.replace(0, 4, M::bigEndian32(0xFFFFFFFE));
    QVERIFY(!memory.write(QStringLiteral("index.idx"), index).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("title.idx"), titles).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("artist.idx"), QByteArray()).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("genre.idx"), QByteArray()).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("b.mid"), M::midiFile({})).isEmpty());
    const auto before = contents(dir.path());
    QVERIFY(!Index().updateIndex(dir.path()));
    QCOMPARE(contents(dir.path()), before);
}

void TestIndexRobustness::damagedPlaylists()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), M::midiFile({})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    // Playlist 2 is named but has no file, 3 is named twice, 4 ends with a
    // partial record, 5 names ids the index never had.
    QVERIFY(memory.writePlaylistList({1, 2, 3, 3, 4, 5}));
    QByteArray list = memory.read(QStringLiteral("playlist/playlist.dat"));
    QVERIFY(!memory.write(QStringLiteral("playlist/playlist.dat"), list + "partial").isEmpty());
    QVERIFY(memory.writePlaylist(1, {1, 0}));
    QVERIFY(memory.writePlaylist(3, {0}));
    QVERIFY(memory.writePlaylist(4, {1}));
    QByteArray four = memory.read(M::playlistName(4, "dat")) + "12345678";
    QVERIFY(!memory.write(M::playlistName(4, "dat"), four).isEmpty());
    QVERIFY(memory.writePlaylist(5, {77, 1}));

    QVERIFY(!memory.write(QStringLiteral("0.mid"), M::midiFile({})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({2, 1}));
    QVERIFY(!memory.exists(M::playlistName(2, "dat")));
    QCOMPARE(memory.playlistIds(3), QList<quint32>({1}));
    const QByteArray fourAfter = memory.read(M::playlistName(4, "dat"));
    QCOMPARE(fourAfter.size(), four.size());
    QCOMPARE(fourAfter.right(8), QByteArray("12345678"));
    QCOMPARE(memory.playlistIds(4), QList<quint32>({2}));
    QCOMPARE(memory.playlistIds(5), QList<quint32>({0xFFFFFFFF, 2}));

    // A playlist list cut below one record names nothing.
    QVERIFY(!memory.write(QStringLiteral("playlist/playlist.dat"), list.left(31)).isEmpty());
    const QByteArray one = memory.read(M::playlistName(1, "dat"));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.read(M::playlistName(1, "dat")), one);
}

QTEST_GUILESS_MAIN(TestIndexRobustness)
#include "tst_indexrobustness.moc"
