#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using M = MemoryBuilder;

// What a memory may hold besides songs and a sound index: every operation
// returns, no song changes, and a rebuild repairs the index.
class TestIndexRobustness : public QObject
{
    Q_OBJECT

    static bool fifo(const MemoryBuilder &memory, const char *path)
    {
        return ::mkfifo(QFile::encodeName(memory.absolute(QLatin1String(path))).constData(), 0600)
            == 0;
    }

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    // A pipe would block a reader forever, a link back up the tree would make
    // the walk endless; a folder may carry a song suffix.
    void strangeFiles()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid folder.mid/b.mid c.mid") && fifo(memory, "pipe.mid"));
        QVERIFY(memory.mkdir(QStringLiteral("loop"))
            && QFile::link(dir.path(), memory.absolute(QStringLiteral("loop/back")))
            && QFile::link(memory.absolute(QStringLiteral("missing.mid")),
                memory.absolute(QStringLiteral("dangling.mid"))));
        QVERIFY(Index().createIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 1:/c.mid 2:/folder.mid/b.mid"));
        // An indexed song and the playlist list replaced by pipes.
        QVERIFY(memory.remove(QStringLiteral("c.mid")) && fifo(memory, "c.mid")
            && memory.mkdir(QStringLiteral("playlist")) && fifo(memory, "playlist/playlist.dat"));
        QVERIFY(Index().updateIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 2:/folder.mid/b.mid"));
        QVERIFY(Index().createIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 1:/folder.mid/b.mid"));
    }

    void damagedIndexFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        // The prepared memory holds a.mid (id 0) and b.mid (id 1).
        auto path = [](quint32 id, const QByteArray &path) -> QByteArray {
            return M::bigEndian32(id) + path.leftJustified(46, '\0') + "20200101120000";
        };
        auto song
            = [](quint32 id) -> QByteArray { return M::bigEndian32(id) + QByteArray(28, '\0'); };
        const QByteArray a = path(0, "/a.mid");
        // clang-format off
        QTest::newRow("index.idx one byte short") << "index.idx" << a + path(1, "/b.mid").left(63) << false;
        QTest::newRow("index.idx holds the no-song id") << "index.idx" << a + path(0xFFFFFFFF, "/b.mid") << false;
        QTest::newRow("index.idx repeats an id") << "index.idx" << a + path(0, "/b.mid") << false;
        QTest::newRow("index.idx beyond any index") << "index.idx" << QByteArray(65536 * 64, '\0') << false;
        QTest::newRow("title.idx names an unknown id") << "title.idx" << song(0) + song(9) << false;
        QTest::newRow("title.idx cut short") << "title.idx" << song(0) + song(1).left(20) << false;
        QTest::newRow("artist.idx names an unknown id") << "artist.idx" << M::bigEndian32(1) + QByteArray(26, 'K')
                                                        + Bytes::hex("00ff") + song(5) << false;
        QTest::newRow("title.idx empty") << "title.idx" << QByteArray() << true;
        QTest::newRow("index.idx ids out of order") << "index.idx" << path(1, "/b.mid") + a << true;
        // clang-format on
    }

    void damagedIndexFiles()
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
        QVERIFY(Index().createIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 1:/b.mid"));
    }

    // 2 is named without a file, 3 twice, 4 ends with a partial record, 5
    // names an id the index never had; the list ends with a partial record.
    void damagedPlaylists()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid b.mid") && Index().createIndex(dir.path()));
        QVERIFY(memory.writePlaylistList({ 1, 2, 3, 3, 4, 5 }));
        const QByteArray list = memory.read(QStringLiteral("playlist/playlist.dat"));
        QVERIFY(memory.add(QStringLiteral("playlist/playlist.dat"), list + "partial"));
        QVERIFY(memory.writePlaylist(1, { 1, 0 }) && memory.writePlaylist(3, { 0 })
            && memory.writePlaylist(4, { 1 }) && memory.writePlaylist(5, { 77, 1 }));
        const QByteArray four = memory.read(M::playlistName(4, "dat")) + "12345678";
        QVERIFY(memory.add(M::playlistName(4, "dat"), four));
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
};

QTEST_GUILESS_MAIN(TestIndexRobustness)
#include "tst_indexrobustness.moc"
