#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using M = MemoryBuilder;
constexpr quint32 NoSong = 0xFFFFFFFFu;

// Sets every index file back to an old time, so that any rewrite shows.
static void ageIndexFiles(MemoryBuilder &memory)
{
    for (const QString &name : Index::indexFileNames())
        QVERIFY(memory.add(name, memory.read(name), QDateTime(QDate(2001, 1, 1), QTime(12, 0))));
}

// A playlist's bytes with new ids: everything else in a record stays.
static QByteArray withIds(QByteArray playlist, const QList<quint32> &ids)
{
    for (int i = 0; i < ids.size(); ++i)
        playlist.replace(i * 32, 4, M::bigEndian32(ids.at(i)));
    return playlist;
}

class TestIndexBuild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void rebuild_data()
    {
        // Roots as a user may type them; each names the same memory.
        QTest::addColumn<QString>("root");
        QTest::newRow("plain") << "%1/CARD";
        QTest::newRow("dot folder") << "%1/CARD/./";
        QTest::newRow("double slash") << "%1//CARD";
        QTest::newRow("two trailing slashes") << "%1/CARD//";
        QTest::newRow("trailing backslash") << "%1/CARD\\";
    }

    void rebuild()
    {
        QFETCH(QString, root);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path() + QStringLiteral("/CARD"));
        QVERIFY(memory.songs("b.mid A/z.mid a.mid notes.txt")
            && memory.add(
                QStringLiteral("c/d/e.mp3"), M::mp3File({ M::id3Frame("TPE1", "Band") })));
        QVERIFY(
            memory.add(QStringLiteral("C.mf4"), M::indexedContainer("_MF4", "T", "", "Pop", 77, 1),
                QDateTime(QDate(2022, 12, 31), QTime(23, 59, 58))));
        QVERIFY(Index().createIndex(root.arg(dir.path())));
        // Folders and files together by name ignoring case, depth first.
        QCOMPARE(
            memory.indexRecords(), M::words("0:/A/z.mid 1:/a.mid 2:/b.mid 3:/c/d/e.mp3 4:/C.mf4"));
        QVERIFY(QFileInfo(memory.absolute(QStringLiteral("sfx"))).isDir()
            && QFileInfo(memory.absolute(QStringLiteral("bridge"))).isDir());

        // What loadAllIndexFile reads back is what was written.
        Index loaded;
        loaded.setRootPath(root.arg(dir.path()));
        QCOMPARE(loaded.loadAllIndexFile(), 0);
        QCOMPARE(loaded.lastId(), 4u);
        const SongInfoIndex &last = loaded.songs().constLast();
        QCOMPARE(QStringList({ last.longPath, last.title, last.artist, last.genre }),
            QStringList({ memory.absolute(QStringLiteral("C.mf4")), QStringLiteral("T"),
                QStringLiteral("<UNKNOWN>"), QStringLiteral("POP") }));
        QCOMPARE(
            QList<int>({ last.type, last.bpm, last.markers, last.posidx, last.date, last.time }),
            QList<int>({ 3, 77, 1, 4, 20221231, 235958 }));
        QCOMPARE(loaded.songs().at(3).artist, QStringLiteral("BAND"));
    }

    void updateAfterDeleteAndAdd()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid b.mid c.mid d.mid") && Index().createIndex(dir.path()));
        QVERIFY(memory.writePlaylistList({ 7 }) && memory.writePlaylist(7, { 3, 1, 0 }));
        const QByteArray play = memory.read(M::playlistName(7, "dat"));
        // c is rewritten with a new time and read again; d with its old time is not.
        const QDateTime time
            = QFileInfo(memory.absolute(QStringLiteral("d.mid"))).lastModified().addSecs(-3600);
        const QByteArray newer = M::midiFile({ M::metaEvent(0x03, "Newer") });
        QVERIFY(memory.add(QStringLiteral("c.mid"), newer, time));
        QVERIFY(memory.add(QStringLiteral("d.mid"), newer, time.addSecs(3600)));
        QVERIFY(memory.remove(QStringLiteral("b.mid")) && memory.songs("0new.mid")
            && Index().updateIndex(dir.path()));
        // The gap closed, the new song last with the next id, the others kept;
        // the playlist keeps its ids but no longer names the song that went.
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 2:/c.mid 3:/d.mid 4:/0new.mid"));
        const QByteArray titles = memory.read(QStringLiteral("title.idx"));
        QVERIFY(titles.contains("NEWER") && titles.contains("D.MID") && !titles.contains("C.MID"));
        QCOMPARE(memory.read(QStringLiteral("index.idx")).mid(64 + 50, 14),
            time.toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1());
        QCOMPARE(
            memory.read(QStringLiteral("ordfile.idx")), QByteArray::fromHex("0300000001000200"));
        QCOMPARE(memory.read(M::playlistName(7, "dat")), withIds(play, { 3, NoSong, 0 }));
        // Its songs' paths as they were, for a rebuild after an update that fails.
        QCOMPARE(memory.read(M::playlistName(7, "pts")).mid(64, 6), QByteArray("/b.mid"));
        // Without the song of the last id, the next update still counts on.
        QVERIFY(memory.remove(QStringLiteral("0new.mid")) && memory.songs("e.mid")
            && Index().updateIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 2:/c.mid 3:/d.mid 5:/e.mid"));
        // The highest id goes alone: later updates may hand it out again, so the
        // playlist lets go of it at once.
        QVERIFY(memory.writePlaylist(7, { 5, 0 }) && memory.remove(QStringLiteral("e.mid"))
            && Index().updateIndex(dir.path()));
        QVERIFY(memory.songs("f.mid") && Index().updateIndex(dir.path()));
        QCOMPARE(memory.indexRecords(), M::words("0:/a.mid 2:/c.mid 3:/d.mid 4:/f.mid"));
        QCOMPARE(memory.playlistIds(7), QList<quint32>({ NoSong, 0 }));
    }

    void updateWritingNothing_data()
    {
        QTest::addColumn<bool>("allGone");
        QTest::newRow("nothing changed, accented paths") << false;
        QTest::newRow("every song gone") << true;
    }

    void updateWritingNothing()
    {
        QFETCH(bool, allGone);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid Café/Été.mid Ñandú.mp3 Ä/ö/ü.kar")
            && Index().createIndex(dir.path()));
        // A playlist's .pts file is written only by an update that changes the index.
        QVERIFY(memory.writePlaylistList({ 2 }) && memory.writePlaylist(2, { 1, 0 }));
        for (const QString &path : M::words("a.mid Café/Été.mid Ñandú.mp3 Ä/ö/ü.kar"))
            QVERIFY(!allGone || memory.remove(path));
        ageIndexFiles(memory);
        const auto before = memory.snapshot();
        QVERIFY(Index().updateIndex(dir.path()));
        QCOMPARE(memory.snapshot(), before);
    }

    void updateOfUnpreparedMemory_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("records");
        QTest::newRow("never prepared") << QString() << "0:/a.mid 1:/b.mid";
        QTest::newRow("one index file missing") << "agenre3.idx"
                                                << "0:/0.mid 1:/a.mid 2:/b.mid";
    }

    void updateOfUnpreparedMemory()
    {
        QFETCH(QString, missing);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("b.mid a.mid"));
        if (!missing.isEmpty())
            QVERIFY(
                Index().createIndex(dir.path()) && memory.songs("0.mid") && memory.remove(missing));
        QVERIFY(Index().updateIndex(dir.path()));
        QTEST(memory.indexRecords().join(QLatin1Char(' ')), "records");
    }

    void memoryWithoutSongs()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.add(QStringLiteral("readme.txt"), "not a song")
            && !Index().createIndex(dir.path()));
        QVERIFY(!memory.exists(QStringLiteral("index.idx")));
        // A prepared memory whose songs all went: a rebuild removes the index.
        QVERIFY(memory.songs("a.mid") && Index().createIndex(dir.path()));
        QVERIFY(memory.add(QStringLiteral("temp1.idx"), "old")
            && memory.remove(QStringLiteral("a.mid")));
        QVERIFY(!Index().createIndex(dir.path()));
        QCOMPARE(memory.snapshot().keys(), QStringList({ QStringLiteral("/readme.txt") }));
    }

    void failedWriteKeepsTheOldIndex_data()
    {
        QTest::addColumn<QString>("blocked");
        for (const char *name : { "ordfile.idx", "title3.idx", "aartist.idx", "fsinfos.idx" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // A folder in place of one of the files the rebuild replaces: nothing is
    // replaced, the old files stay as they were and nothing is left beside
    // them.
    void failedWriteKeepsTheOldIndex()
    {
        QFETCH(QString, blocked);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid") && memory.add(QStringLiteral("b.mp3"), M::mp3File({})));
        QVERIFY(Index().createIndex(dir.path()) && memory.writePlaylistList({ 1 })
            && memory.writePlaylist(1, { 1 }));
        QVERIFY(memory.remove(blocked) && memory.mkdir(blocked) && memory.songs("0.mid"));
        auto before = memory.snapshot();
        before.remove(QStringLiteral("/playlist/play0001.pts"));

        QVERIFY(!Index().createIndex(dir.path()));
        auto after = memory.snapshot();
        after.remove(QStringLiteral("/playlist/play0001.pts"));
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(after.value(it.key()).first, it.value().first);

        // The playlist paths stay for the next rebuild.
        QVERIFY(QDir().rmdir(memory.absolute(blocked)) && Index().createIndex(dir.path()));
        QCOMPARE(memory.playlistIds(1), QList<quint32>({ 2 }));
    }

    void playlistsFollowTheirSongsOverRebuilds()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        // An accented 45-character path must go through the .pts file and back.
        QVERIFY(memory.songs("a.mid b.mid c.mid ÉÉÉÉÉÉÉÉ/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID"));
        QVERIFY(Index().createIndex(dir.path()));
        // Ids: a 0, b 1, c 2, the long path 3. Playlist 200 is play0200.dat.
        QVERIFY(memory.writePlaylistList({ 1, 200 }) && memory.writePlaylist(1, { 1, 2, 0 })
            && memory.writePlaylist(200, { 3, 1 }));
        const QByteArray play1 = memory.read(M::playlistName(1, "dat"));

        // c goes, a song that sorts first arrives: every id moves.
        QVERIFY(memory.remove(QStringLiteral("c.mid")) && memory.songs("0.mid")
            && Index().createIndex(dir.path()));
        QCOMPARE(memory.read(M::playlistName(1, "dat")), withIds(play1, { 2, NoSong, 1 }));
        QCOMPARE(memory.playlistIds(200), QList<quint32>({ 3, 2 }));
        // c was still in the old index when the paths were taken.
        QCOMPARE(memory.read(M::playlistName(1, "pts")),
            QByteArray("/b.mid").leftJustified(64, '\0')
                + QByteArray("/c.mid").leftJustified(64, '\0')
                + QByteArray("/a.mid").leftJustified(64, '\0'));

        // Every .pts file is now there: the next rebuild carries them over all the same.
        QVERIFY(memory.songs("00.mid") && Index().createIndex(dir.path()));
        QCOMPARE(memory.playlistIds(1), QList<quint32>({ 3, NoSong, 2 }));
        QCOMPARE(memory.playlistIds(200), QList<quint32>({ 4, 3 }));
    }

    void playlistsRestoredFromPtsWhenIndexIsUnreadable()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid b.mid c.mid") && Index().createIndex(dir.path()));
        QVERIFY(memory.writePlaylistList({ 1, 2 }) && memory.writePlaylist(1, { 2, 0 })
            && memory.writePlaylist(2, { 1 }));
        QVERIFY(Index().createIndex(dir.path())); // writes the .pts files
        // The index is damaged, the memory changes, and playlist 2 gains a record
        // after its .pts was written: nothing says which songs it named, and its
        // old ids would now name other songs.
        QVERIFY(memory.remove(QStringLiteral("title.idx")) && memory.songs("0.mid")
            && memory.writePlaylist(2, { 1, 2 }));
        const QByteArray play2 = memory.read(M::playlistName(2, "dat"));
        Index index;
        QSignalSpy errors(&index, &Index::errorFromIndex);
        QVERIFY(index.createIndex(dir.path()));
        QCOMPARE(memory.playlistIds(1), QList<quint32>({ 3, 1 }));
        QCOMPARE(memory.read(M::playlistName(2, "dat")), withIds(play2, { NoSong, NoSong }));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(
            errors.at(0).at(0).toString(), QStringLiteral("Impossibile mantenere la playlist 2"));
    }

    void stopLeavesTheIndex_data()
    {
        QTest::addColumn<bool>("rebuild");
        QTest::newRow("rebuild") << true;
        QTest::newRow("update") << false;
    }

    void stopLeavesTheIndex()
    {
        QFETCH(bool, rebuild);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.songs("a.mid b.mid") && Index().createIndex(dir.path()));
        QVERIFY(memory.songs("c.mid 0.mid"));
        const auto before = memory.snapshot();
        // The Stop button is pressed while the walk runs.
        Index index;
        connect(&index, &Index::fileFoundChanged, &index, [&index](int found) {
            if (found == 2)
                index.stop();
        });
        QVERIFY(!(rebuild ? index.createIndex(dir.path()) : index.updateIndex(dir.path())));
        QCOMPARE(memory.snapshot(), before);
    }

    void songLimit()
    {
        // Hard links to a few files (ext4 allows 65000 links each) make a large
        // memory quick. Four genres, so that the counts show their byte order.
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QStringList sources;
        for (int i = 0; i < 4; ++i) // the bridge folder is never scanned
            sources << memory.write(QStringLiteral("bridge/s%1.mid").arg(i),
                M::midiFile({ M::tagEvent(1, "G" + QByteArray::number(i)) }));
        auto addSongs = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                const QString path
                    = memory.absolute(QStringLiteral("F%1/S%2.MID").arg(i / 256).arg(i % 256));
                if ((i % 256 == 0 && !QDir().mkpath(QFileInfo(path).absolutePath()))
                    || ::link(QFile::encodeName(sources.at(i % 4)).constData(),
                           QFile::encodeName(path).constData())
                        != 0)
                    return false;
            }
            return true;
        };
        QVERIFY(addSongs(0, 10) && Index().createIndex(dir.path()));
        const auto before = memory.snapshot();
        QVERIFY(addSongs(10, Index::MaxSongs + 1));
        for (bool rebuild : { false, true }) {
            Index index;
            QSignalSpy errors(&index, &Index::errorFromIndex);
            QVERIFY(!(rebuild ? index.createIndex(dir.path()) : index.updateIndex(dir.path())));
            QCOMPARE(errors.count(), 1);
            const QString message = errors.at(0).at(0).toString();
            QVERIFY2(message.contains(QStringLiteral("65536"))
                    && message.contains(QStringLiteral("65535")),
                qPrintable(message));
            for (const QString &name : Index::indexFileNames())
                QCOMPARE(memory.read(name), before.value(QLatin1Char('/') + name).first);
        }
        QVERIFY(memory.remove(QStringLiteral("F255/S255.MID")));
        QVERIFY(Index().createIndex(dir.path()));
        QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(),
            qint64(Index::MaxSongs) * 64);
        QCOMPARE(memory.read(QStringLiteral("fsinfos.idx")),
            QByteArray::fromHex("ffff01000400000000000000"));
        QCOMPARE(memory.read(QStringLiteral("ordfile.idx")).right(2), QByteArray::fromHex("feff"));
        QCOMPARE(memory.read(QStringLiteral("genre.idx")).left(4), QByteArray::fromHex("00004000"));
    }
};

QTEST_GUILESS_MAIN(TestIndexBuild)
#include "tst_indexbuild.moc"
