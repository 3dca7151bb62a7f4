#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using M = MemoryBuilder;

// Hostile input: the sanitizer build checks that no read leaves its bounds;
// here every operation returns and no song changes.
class TestIndexRobustness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    void hostileMemory();
    void damagedIndexFiles_data();
    void damagedIndexFiles();
    void damagedPlaylists();
};

void TestIndexRobustness::hostileMemory()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    // Lengths that run past the data.
    const QByteArray head = M::midiFile({}).left(22);
    const QList<QPair<const char *, QByteArray>> files = {
        { "empty.mid", QByteArray() },
        { "tag255.mid", head + QByteArray::fromHex("00ff4bff02") + "abc" },
        { "sysex.mid", head + QByteArray::fromHex("f0070020240005") + "(xyzw" },
        { "huge.mp3",
            "ID3" + QByteArray::fromHex("03000000000000") + "TIT2"
                + QByteArray::fromHex("ffffffff0000") + "x" },
        { "t511.mp3",
            "ID3" + QByteArray(508, '\0') + "TIT2" + M::bigEndian32(3) + QByteArray(3, '\0')
                + "ab" },
        { "header.mf5", "_MF5" + QByteArray(300, '\xff') },
    };
    for (const auto &file : files)
        QVERIFY(memory.add(QString::fromLatin1(file.first), file.second));
    // A pipe would block a reader forever, a link back up the tree would make
    // the walk endless; a folder may carry a song suffix.
    QCOMPARE(
        ::mkfifo(QFile::encodeName(memory.absolute(QStringLiteral("pipe.mid"))).constData(), 0600),
        0);
    QVERIFY(memory.mkdir(QStringLiteral("loop"))
        && QFile::link(dir.path(), memory.absolute(QStringLiteral("loop/back"))));
    QVERIFY(QFile::link(memory.absolute(QStringLiteral("missing.mid")),
        memory.absolute(QStringLiteral("dangling.mid"))));
    QVERIFY(memory.songs("folder.mid/b.mid"));
    auto songs = [&memory] {
        auto all = memory.snapshot();
        all.removeIf([](auto it) { return !Index::checkFileExt(QFileInfo(it.key()).suffix()); });
        return all;
    };
    const auto before = songs();
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.indexRecords().size(), files.size() + 1);
    QCOMPARE(songs(), before);

    // An indexed song and the playlist list replaced by pipes.
    QVERIFY(
        memory.remove(QStringLiteral("tag255.mid")) && memory.mkdir(QStringLiteral("playlist")));
    for (const char *pipe : { "tag255.mid", "playlist/playlist.dat" })
        QCOMPARE(::mkfifo(QFile::encodeName(memory.absolute(QString::fromLatin1(pipe))).constData(),
                     0600),
            0);
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(memory.indexRecords().size(), files.size());
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.indexRecords().size(), files.size());
}

void TestIndexRobustness::damagedIndexFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    // The prepared memory holds a.mid (id 0) and b.mid (id 1).
    auto path = [](quint32 id, const QByteArray &path) -> QByteArray {
        return M::bigEndian32(id) + path.leftJustified(46, '\0') + "20200101120000";
    };
    auto song = [](quint32 id) -> QByteArray { return M::bigEndian32(id) + QByteArray(28, '\0'); };
    QTest::newRow("index.idx one byte short")
        << "index.idx" << path(0, "/a.mid") + path(1, "/b.mid").left(63) << false;
    QTest::newRow("index.idx holds the no-song id")
        << "index.idx" << path(0, "/a.mid") + path(0xFFFFFFFF, "/b.mid") << false;
    QTest::newRow("index.idx beyond any index")
        << "index.idx" << QByteArray(65536 * 64, '\0') << false;
    QTest::newRow("title.idx names an unknown id") << "title.idx" << song(0) + song(9) << false;
    QTest::newRow("title.idx cut short") << "title.idx" << song(0) + song(1).left(20) << false;
    QTest::newRow("artist.idx names an unknown id") << "artist.idx"
                                                    << QByteArray::fromHex("00000001")
            + QByteArray(26, 'K') + QByteArray::fromHex("00ff") + song(5)
                                                    << false;
    QTest::newRow("title.idx empty") << "title.idx" << QByteArray() << true;
    QTest::newRow("index.idx ids out of order")
        << "index.idx" << path(1, "/b.mid") + path(0, "/a.mid") << true;
}

void TestIndexRobustness::damagedIndexFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.songs("a.mid b.mid") && Index().createIndex(dir.path()));
    QVERIFY(memory.add(file, bytes));
    const auto before = memory.snapshot();
    QCOMPARE(Index().updateIndex(dir.path()), readable);
    if (!readable)
        QCOMPARE(memory.snapshot(), before);
    // A rebuild always repairs the memory.
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 1:/b.mid"));
}

void TestIndexRobustness::damagedPlaylists()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.songs("a.mid b.mid") && Index().createIndex(dir.path()));
    // 2 is named without a file, 3 twice, 4 ends with a partial record, 5
    // names an id the index never had; the list itself ends with a partial one.
    QVERIFY(memory.writePlaylistList({ 1, 2, 3, 3, 4, 5 }));
    const QByteArray list = memory.read(QStringLiteral("playlist/playlist.dat"));
    QVERIFY(memory.add(QStringLiteral("playlist/playlist.dat"), list + "partial"));
    QVERIFY(memory.writePlaylist(1, { 1, 0 }) && memory.writePlaylist(3, { 0 })
        && memory.writePlaylist(4, { 1 }));
    const QByteArray four = memory.read(M::playlistName(4, "dat")) + "12345678";
    QVERIFY(memory.add(M::playlistName(4, "dat"), four) && memory.writePlaylist(5, { 77, 1 }));
    QVERIFY(memory.songs("0.mid") && Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({ 2, 1 }));
    QVERIFY(!memory.exists(M::playlistName(2, "dat")));
    QCOMPARE(memory.playlistIds(3), QList<quint32>({ 1 }));
    QCOMPARE(memory.read(M::playlistName(4, "dat")), M::bigEndian32(2) + four.mid(4));
    QCOMPARE(memory.playlistIds(5), QList<quint32>({ 0xFFFFFFFF, 2 }));
    // A playlist list cut below one record names nothing.
    QVERIFY(memory.add(QStringLiteral("playlist/playlist.dat"), list.left(31)));
    const QByteArray one = memory.read(M::playlistName(1, "dat"));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.read(M::playlistName(1, "dat")), one);
}

QTEST_GUILESS_MAIN(TestIndexRobustness)
#include "tst_indexrobustness.moc"
