#include "index.h"
#include "memorybuilder.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

using M = MemoryBuilder;

struct PathRecord
{
    quint32 id;
    QString path;
};

QList<PathRecord> pathRecords(const MemoryBuilder &memory)
{
    const QByteArray bytes = memory.read(QStringLiteral("index.idx"));
    QList<PathRecord> records;
    for (qsizetype i = 0; i + 64 <= bytes.size(); i += 64) {
        const char *record = bytes.constData() + i;
        records.append({qFromBigEndian<quint32>(record), QString::fromLatin1(record + 4)});
    }
    return records;
}

QStringList paths(const QList<PathRecord> &records)
{
    QStringList list;
    for (const PathRecord &record : records)
        list << record.path;
    return list;
}

QList<quint32> ids(const QList<PathRecord> &records)
{
    QList<quint32> list;
    for (const PathRecord &record : records)
        list << record.id;
    return list;
}

// Every file below root with its bytes and modification time.
QMap<QString, QPair<QByteArray, QDateTime>> snapshot(const QString &root)
{
    QMap<QString, QPair<QByteArray, QDateTime>> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(path.mid(root.size()), {file.readAll(), QFileInfo(path).lastModified()});
    }
    return files;
}

// Sets every index file back to an old time, so that any rewrite shows.
void ageIndexFiles(const MemoryBuilder &memory)
{
    for (const QString &name : Index::indexFileNames())
        QVERIFY(memory.setModified(name, QDateTime(QDate(2001, 1, 1), QTime(12, 0))));
}

int indexFilesPresent(const MemoryBuilder &memory)
{
    int present = 0;
    for (const QString &name : Index::indexFileNames())
        present += QFileInfo(memory.absolute(name)).isFile() ? 1 : 0;
    return present;
}

QByteArray titledMidi(const QByteArray &title)
{
    return M::midiFile({M::metaEvent(0x03, title)});
}

constexpr quint32 NoSong = 0xFFFFFFFFu;

} // namespace

class TestIndexBuild : public QObject
{
    Q_OBJECT

private slots:
    void rebuildNumbersInScanOrder();
    void rebuildSignals();
    void updateAfterDeleteAndAdd();
    void updateWithNothingChangedWritesNothing();
    void changedFileIsReread_data();
    void changedFileIsReread();
    void updateOfUnpreparedMemory_data();
    void updateOfUnpreparedMemory();
    void memoryWithoutSongs();
    void updateWithAllSongsGoneKeepsIndex();
    void failedWriteLeavesNoIndex_data();
    void failedWriteLeavesNoIndex();
    void accentedPathsAreNotReindexed();
    void loadAllIndexFileReadsBack();
    void playlistsFollowTheirSongsOverRebuilds();
    void playlistsRestoredFromPtsWhenIndexIsUnreadable();
    void updateLeavesPlaylistsAlone();
    void updateClearsRemovedSongsFromPlaylists();
    void ptsCanHoldEveryPath();
};

void TestIndexBuild::rebuildNumbersInScanOrder()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"b.mid", "A/z.mid", "a.mid", "c/d/e.mp3", "C.mf4"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi("x")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    // Folders and files together by name ignoring case, depth first.
    const QList<PathRecord> records = pathRecords(memory);
    QCOMPARE(paths(records), QString::fromLatin1("/A/z.mid /a.mid /b.mid /c/d/e.mp3 /C.mf4").split(QLatin1Char(' ')));
    QCOMPARE(ids(records), QList<quint32>({0, 1, 2, 3, 4}));
}

void TestIndexBuild::rebuildSignals()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid", "notes.txt"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi("x")).isEmpty());
    Index index;
    QSignalSpy max(&index, &Index::progressMaxSetup);
    QSignalSpy value(&index, &Index::progressValueChanged);
    QSignalSpy current(&index, &Index::currentPathChanged);
    QSignalSpy found(&index, &Index::fileFoundChanged);
    QVERIFY(index.createIndex(dir.path()));
    QList<int> maxima;
    for (const auto &args : max)
        maxima << args.at(0).toInt();
    QCOMPARE(maxima, QList<int>({2, 100}));
    QList<int> values;
    for (const auto &args : value)
        values << args.at(0).toInt();
    QCOMPARE(values, QList<int>({0, 1, 2, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    QCOMPARE(found.count(), 2);
    // Three files met by the scan, two songs refreshed, then the empty path.
    QCOMPARE(current.count(), 6);
    QCOMPARE(current.last().at(0).toString(), QString());
}

void TestIndexBuild::updateAfterDeleteAndAdd()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid", "c.mid", "d.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi(path)).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));

    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("b.mid"))));
    QVERIFY(!memory.write(QStringLiteral("0new.mid"), titledMidi("new")).isEmpty());
    Index index;
    QVERIFY(index.updateIndex(dir.path()));
    const QList<PathRecord> records = pathRecords(memory);
    // Records in posidx order: the gap closed, the new song last with the
    // next id, every other song with its old id.
    QCOMPARE(paths(records), QString::fromLatin1("/a.mid /c.mid /d.mid /0new.mid").split(QLatin1Char(' ')));
    QCOMPARE(ids(records), QList<quint32>({0, 2, 3, 4}));
    QCOMPARE(memory.read(QStringLiteral("ordfile.idx")), QByteArray::fromHex("0300000001000200"));
    QCOMPARE(memory.read(QStringLiteral("fsinfos.idx")).left(2), QByteArray::fromHex("0400"));

    // Removing the song with the last id: the next update still counts on.
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("0new.mid"))));
    QVERIFY(!memory.write(QStringLiteral("e.mid"), titledMidi("e")).isEmpty());
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(ids(pathRecords(memory)), QList<quint32>({0, 2, 3, 5}));
}

void TestIndexBuild::updateWithNothingChangedWritesNothing()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "SONGS/b.mp3", "SONGS/c.mf3"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi("x")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    ageIndexFiles(memory);
    const auto before = snapshot(dir.path());
    Index index;
    QSignalSpy max(&index, &Index::progressMaxSetup);
    QVERIFY(index.updateIndex(dir.path()));
    QVERIFY(!index.isIndexChanged());
    QCOMPARE(snapshot(dir.path()), before);
    QCOMPARE(max.count(), 1);
}

void TestIndexBuild::changedFileIsReread_data()
{
    QTest::addColumn<bool>("touched");
    QTest::addColumn<QByteArray>("title");
    QTest::newRow("new modification time") << true << QByteArray("NEW");
    QTest::newRow("same modification time") << false << QByteArray("OLD");
}

void TestIndexBuild::changedFileIsReread()
{
    QFETCH(bool, touched);
    QFETCH(QByteArray, title);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QDateTime first(QDate(2023, 5, 6), QTime(7, 8, 9));
    QVERIFY(!memory.write(QStringLiteral("song.mid"), titledMidi("Old"), first).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("other.mid"), titledMidi("Other"), first).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));

    const QDateTime second = touched ? first.addSecs(3661) : first;
    QVERIFY(!memory.write(QStringLiteral("song.mid"), titledMidi("New"), second).isEmpty());
    Index index;
    QVERIFY(index.updateIndex(dir.path()));
    QCOMPARE(index.isIndexChanged(), touched);
    const QByteArray titles = memory.read(QStringLiteral("title.idx"));
    QCOMPARE(titles.size(), 64);
    // Title order: the song (NEW or OLD), then OTHER.
    QCOMPARE(titles.mid(4, 4), title + '\0');
    const QByteArray stamp = memory.read(QStringLiteral("index.idx")).mid(1 * 64 + 50, 14);
    QCOMPARE(stamp, touched ? QByteArray("20230506080910") : QByteArray("20230506070809"));
}

void TestIndexBuild::updateOfUnpreparedMemory_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("never prepared") << QString();
    QTest::newRow("one index file missing") << "agenre3.idx";
}

void TestIndexBuild::updateOfUnpreparedMemory()
{
    QFETCH(QString, missing);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("b.mid"), titledMidi("b")).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), titledMidi("a")).isEmpty());
    if (!missing.isEmpty()) {
        QVERIFY(Index().createIndex(dir.path()));
        QVERIFY(!memory.write(QStringLiteral("0.mid"), titledMidi("0")).isEmpty());
        QVERIFY(QFile::remove(memory.absolute(missing)));
    }
    Index index;
    QVERIFY(index.updateIndex(dir.path()));
    QVERIFY(index.checkIndexFile());
    // A rebuild: fresh ids in scan order.
    QCOMPARE(ids(pathRecords(memory)), missing.isEmpty() ? QList<quint32>({0, 1}) : QList<quint32>({0, 1, 2}));
    QCOMPARE(pathRecords(memory).constFirst().path, missing.isEmpty() ? QStringLiteral("/a.mid") : QStringLiteral("/0.mid"));
}

void TestIndexBuild::memoryWithoutSongs()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("readme.txt"), "not a song").isEmpty());
    QVERIFY(!Index().createIndex(dir.path()));
    QCOMPARE(indexFilesPresent(memory), 0);

    // A prepared memory whose songs all went: a rebuild removes the index.
    QVERIFY(!memory.write(QStringLiteral("a.mid"), titledMidi("a")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(!memory.write(QStringLiteral("temp1.idx"), "old").isEmpty());
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("a.mid"))));
    QVERIFY(!Index().createIndex(dir.path()));
    QCOMPARE(indexFilesPresent(memory), 0);
    QVERIFY(!memory.exists(QStringLiteral("temp1.idx")));
    QVERIFY(memory.exists(QStringLiteral("readme.txt")));
}

void TestIndexBuild::updateWithAllSongsGoneKeepsIndex()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), titledMidi("a")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("a.mid"))));
    ageIndexFiles(memory);
    const auto before = snapshot(dir.path());
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(snapshot(dir.path()), before);
}

void TestIndexBuild::failedWriteLeavesNoIndex_data()
{
    QTest::addColumn<QString>("blocked");
    for (const char *name : {"ordfile.idx", "title3.idx", "aartist.idx", "genre3.idx", "fsinfos.idx"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestIndexBuild::failedWriteLeavesNoIndex()
{
    QFETCH(QString, blocked);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QByteArray song = titledMidi("x");
    QVERIFY(!memory.write(QStringLiteral("a.mid"), song).isEmpty());
    QVERIFY(!memory.write(QStringLiteral("b.mp3"), M::mp3File({M::id3Frame("TIT2", "B")})).isEmpty());
    QVERIFY(memory.writePlaylistList({1}));
    QVERIFY(memory.writePlaylist(1, {1}));
    QVERIFY(Index().createIndex(dir.path()));
    // A folder in place of one index file makes its write fail.
    QVERIFY(QFile::remove(memory.absolute(blocked)));
    QVERIFY(memory.mkdir(blocked));
    QVERIFY(!memory.write(QStringLiteral("0.mid"), song).isEmpty());
    QVERIFY(!Index().createIndex(dir.path()));
    QCOMPARE(indexFilesPresent(memory), 0);
    QCOMPARE(memory.read(QStringLiteral("a.mid")), song);
    // The playlist paths stay for the next rebuild.
    QVERIFY(memory.exists(M::playlistName(1, "pts")));
    QVERIFY(QDir().rmdir(memory.absolute(blocked)));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({2}));
}

void TestIndexBuild::accentedPathsAreNotReindexed()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"Café/Été.mid", "Ñandú.mp3", "Ä/ö/ü.kar"})
        QVERIFY(!memory.write(QString::fromUtf8(path), titledMidi("x")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    ageIndexFiles(memory);
    const auto before = snapshot(dir.path());
    Index index;
    QVERIFY(index.updateIndex(dir.path()));
    QVERIFY(!index.isIndexChanged());
    QCOMPARE(snapshot(dir.path()), before);
    QCOMPARE(index.songs().size(), 3);
}

void TestIndexBuild::loadAllIndexFileReadsBack()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QDateTime when(QDate(2022, 12, 31), QTime(23, 59, 58));
    QVERIFY(!memory.write(QStringLiteral("x/a.mid"),
                          M::midiFile({M::metaEvent(0x03, "Title A"), M::tagEvent(2, "Art"), M::tagEvent(1, "Gen"),
                                       M::tempoEvent(400000), M::metaEvent(0x06, "m")}),
                          when)
                 .isEmpty());
    QVERIFY(!memory.write(QStringLiteral("b.mf5"), M::indexedContainer("_MF5", "B", "", "G", 77, 1), when).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));

    Index index;
    index.setRootPath(dir.path() + QLatin1Char('/'));
    QCOMPARE(index.loadAllIndexFile(), 0);
    QCOMPARE(index.songs().size(), 2);
    QCOMPARE(index.lastId(), 1u);
    const SongInfoIndex &b = index.songs().at(0);
    const SongInfoIndex &a = index.songs().at(1);
    QCOMPARE(a.id, 1u);
    QCOMPARE(a.path, QStringLiteral("/x/a.mid"));
    QCOMPARE(a.longPath, memory.absolute(QStringLiteral("x/a.mid")));
    QCOMPARE(a.title, QStringLiteral("TITLE A"));
    QCOMPARE(a.artist, QStringLiteral("ART"));
    QCOMPARE(a.genre, QStringLiteral("GEN"));
    QCOMPARE(int(a.bpm), 150);
    QCOMPARE(int(a.type), 0);
    QCOMPARE(int(a.markers), 1);
    QCOMPARE(a.date, 20221231);
    QCOMPARE(a.time, 235958);
    QCOMPARE(a.posidx, quint16(1));
    QCOMPARE(b.title, QStringLiteral("B"));
    QCOMPARE(b.artist, QStringLiteral("<UNKNOWN>"));
    QCOMPARE(int(b.type), 4);
    QCOMPARE(int(b.markers), 1);
    QCOMPARE(int(b.bpm), 77);
}

void TestIndexBuild::playlistsFollowTheirSongsOverRebuilds()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid", "c.mid", "d.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi(path)).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    // ids: a 0, b 1, c 2, d 3. Playlist 200 is named by the bytes C8 00.
    QVERIFY(memory.writePlaylistList({1, 200}));
    QCOMPARE(memory.read(QStringLiteral("playlist/playlist.dat")).left(2), QByteArray::fromHex("0100"));
    QCOMPARE(memory.read(QStringLiteral("playlist/playlist.dat")).mid(32, 2), QByteArray::fromHex("c800"));
    QVERIFY(memory.writePlaylist(1, {1, 2, 0}));
    QVERIFY(memory.writePlaylist(200, {3, 1}));
    const QByteArray play1 = memory.read(M::playlistName(1, "dat"));

    // c goes, a song that sorts first arrives: every id moves.
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("c.mid"))));
    QVERIFY(!memory.write(QStringLiteral("0.mid"), titledMidi("0")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(paths(pathRecords(memory)), QString::fromLatin1("/0.mid /a.mid /b.mid /d.mid").split(QLatin1Char(' ')));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({2, NoSong, 1}));
    QCOMPARE(memory.playlistIds(200), QList<quint32>({3, 2}));
    QVERIFY(memory.exists(QStringLiteral("playlist/play0200.pts")));
    // Only the ids changed; bytes 4-31 of each record stay.
    const QByteArray after = memory.read(M::playlistName(1, "dat"));
    QCOMPARE(after.size(), play1.size());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(after.mid(i * 32 + 4, 28), play1.mid(i * 32 + 4, 28));
    const QByteArray pts = memory.read(M::playlistName(1, "pts"));
    QCOMPARE(pts.size(), 3 * 64);
    QCOMPARE(pts.left(64), QByteArray("/b.mid").leftJustified(64, '\0'));
    // c was still in the old index when the paths were taken.
    QCOMPARE(pts.mid(64, 64), QByteArray("/c.mid").leftJustified(64, '\0'));

    // Every .pts file is now on the memory; the next rebuild must carry the
    // playlists over all the same.
    QVERIFY(!memory.write(QStringLiteral("00.mid"), titledMidi("00")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(paths(pathRecords(memory)), QString::fromLatin1("/0.mid /00.mid /a.mid /b.mid /d.mid").split(QLatin1Char(' ')));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({3, NoSong, 2}));
    QCOMPARE(memory.playlistIds(200), QList<quint32>({4, 3}));
}

void TestIndexBuild::playlistsRestoredFromPtsWhenIndexIsUnreadable()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid", "c.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi(path)).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(memory.writePlaylistList({1, 2}));
    QVERIFY(memory.writePlaylist(1, {2, 0}));
    QVERIFY(memory.writePlaylist(2, {1}));
    // A rebuild writes the .pts files.
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({2, 0}));

    // The index is damaged, the memory changes, and playlist 2 gains a record
    // after its .pts was written: it no longer matches and is left alone.
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("title.idx"))));
    QVERIFY(!memory.write(QStringLiteral("0.mid"), titledMidi("0")).isEmpty());
    QVERIFY(memory.writePlaylist(2, {1, 2}));
    const QByteArray play2 = memory.read(M::playlistName(2, "dat"));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(1), QList<quint32>({3, 1}));
    QCOMPARE(memory.read(M::playlistName(2, "dat")), play2);
}

void TestIndexBuild::updateLeavesPlaylistsAlone()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi(path)).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(memory.writePlaylistList({7}));
    QVERIFY(memory.writePlaylist(7, {1, 0}));
    QVERIFY(!memory.write(QStringLiteral("0.mid"), titledMidi("0")).isEmpty());
    const QByteArray play = memory.read(M::playlistName(7, "dat"));
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(memory.read(M::playlistName(7, "dat")), play);
    QVERIFY(!memory.exists(M::playlistName(7, "pts")));
    QCOMPARE(ids(pathRecords(memory)), QList<quint32>({0, 1, 2}));
}

void TestIndexBuild::updateClearsRemovedSongsFromPlaylists()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    for (const char *path : {"a.mid", "b.mid", "c.mid"})
        QVERIFY(!memory.write(QString::fromLatin1(path), titledMidi(path)).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(memory.writePlaylistList({7}));
    QVERIFY(memory.writePlaylist(7, {2, 0, 1}));
    const QByteArray play = memory.read(M::playlistName(7, "dat"));

    // c held the highest id: the next update hands that id out again.
    QVERIFY(QFile::remove(memory.absolute(QStringLiteral("c.mid"))));
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(memory.playlistIds(7), QList<quint32>({NoSong, 0, 1}));
    QVERIFY(!memory.write(QStringLiteral("d.mid"), titledMidi("d")).isEmpty());
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(ids(pathRecords(memory)), QList<quint32>({0, 1, 2}));
    QCOMPARE(memory.playlistIds(7), QList<quint32>({NoSong, 0, 1}));
    const QByteArray after = memory.read(M::playlistName(7, "dat"));
    QCOMPARE(after.mid(4), play.mid(4));
}

void TestIndexBuild::ptsCanHoldEveryPath()
{
    // An accented 45-character path goes through the .pts file and back.
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QString longPath = QString::fromUtf8("/ÉÉÉÉÉÉÉÉ/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD.MID");
    QCOMPARE(longPath.size(), 45);
    QVERIFY(!memory.write(longPath, titledMidi("x")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QVERIFY(memory.writePlaylistList({3}));
    QVERIFY(memory.writePlaylist(3, {0}));
    QVERIFY(!memory.write(QStringLiteral("0.mid"), titledMidi("0")).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.playlistIds(3), QList<quint32>({1}));
}

QTEST_GUILESS_MAIN(TestIndexBuild)
#include "tst_indexbuild.moc"
