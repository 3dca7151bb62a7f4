// Every write of an index or playlist file made to fail in turn, during a
// rebuild and an update of a memory with songs, an index and playlists.

#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

using M = MemoryBuilder;

namespace
{

const QDateTime fileTime(QDate(2023, 3, 4), QTime(5, 6, 7));

// The songs, an index of them and playlist 1 naming three of them; then the
// changes the operation is to take in: a new song and, for an update, one gone.
bool prepare(MemoryBuilder &memory, bool removeOne)
{
    for (const char *path : { "A.MID", "B.KAR", "DIR/C.MID", "D.MP3" }) {
        const QString name = QString::fromLatin1(path);
        const QByteArray song = name.endsWith(QLatin1String("MP3"))
            ? M::mp3File({ M::id3Frame("TIT2", path) })
            : M::midiFile({ M::metaEvent(0x03, path) });
        if (!memory.add(name, song, fileTime))
            return false;
    }
    if (!Index().createIndex(memory.root()) || !memory.writePlaylistList({ 1 })
        || !memory.writePlaylist(1, { 0, 3, 2, 1 })
        || !memory.add(QStringLiteral("E.MID"), M::midiFile({ M::metaEvent(0x03, "E") }), fileTime))
        return false;
    return !removeOne || memory.remove(QStringLiteral("B.KAR"));
}

// Index files by name, "" for those missing.
QStringList indexFiles(const MemoryBuilder &memory)
{
    QStringList files;
    for (const QString &name : Index::indexFileNames())
        files << QString::fromLatin1(memory.read(name).toHex());
    return files;
}

// The song paths playlist 1 names, read through the memory's index.
QStringList playlistSongs(const MemoryBuilder &memory)
{
    QMap<quint32, QString> paths;
    for (const QString &record : memory.indexRecords())
        paths.insert(
            record.section(QLatin1Char(':'), 0, 0).toUInt(), record.section(QLatin1Char(':'), 1));
    QStringList songs;
    for (quint32 id : memory.playlistIds(1))
        songs << paths.value(id, QStringLiteral("-"));
    return songs;
}

} // namespace

class TestFaultsIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.debug=false\ndefault.warning=false"));
    }
    void cleanup() { Index::setFailingWriteForTesting(0); }

    void eachWriteFails_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<QStringList>("playlistAfter");
        QTest::newRow("rebuild") << false << M::words("/A.MID /DIR/C.MID /D.MP3 /B.KAR");
        QTest::newRow("update") << true << M::words("/A.MID /DIR/C.MID /D.MP3 -");
    }

    // After each failure the operation reports it, and the songs, the index
    // and the playlists are exactly as they were, with nothing left beside
    // them (the .pts files excepted: they are written ahead, for the next
    // rebuild). A rebuild afterwards finds every playlist record naming its
    // song again.
    void eachWriteFails()
    {
        QFETCH(bool, update);
        QFETCH(QStringList, playlistAfter);
        const auto run = [update](const QString &root) {
            Index index;
            return update ? index.updateIndex(root) : index.createIndex(root);
        };
        const auto withoutPaths = [](MemoryBuilder &memory) {
            auto files = memory.snapshot();
            files.remove(QStringLiteral("/playlist/play0001.pts"));
            return files;
        };

        QTemporaryDir cleanDir;
        MemoryBuilder clean(cleanDir.path());
        QVERIFY(prepare(clean, update));
        const QStringList oldIndex = indexFiles(clean);
        Index::setFailingWriteForTesting(INT_MAX);
        QVERIFY(run(clean.root()));
        const int writes = Index::writesCountedForTesting();
        QVERIFY(indexFiles(clean) != oldIndex);
        QCOMPARE(playlistSongs(clean), playlistAfter);
        // The .pts file, then each of the fifteen index files and the
        // playlist's .dat written beside its target, moved aside and put in
        // its place.
        QCOMPARE(writes, 1 + 16 * 3);

        for (int failing = 1; failing <= writes; ++failing) {
            QTemporaryDir dir;
            MemoryBuilder memory(dir.path());
            QVERIFY(prepare(memory, update));
            const auto before = withoutPaths(memory);

            Index::setFailingWriteForTesting(failing);
            QVERIFY2(!run(memory.root()), qPrintable(QString::number(failing)));
            Index::setFailingWriteForTesting(0);
            const auto after = withoutPaths(memory);
            QCOMPARE(after.keys(), before.keys());
            for (auto it = before.cbegin(); it != before.cend(); ++it)
                QVERIFY2(after.value(it.key()).first == it.value().first,
                    qPrintable(QStringLiteral("write %1 changed %2").arg(failing).arg(it.key())));

            QVERIFY(Index().createIndex(memory.root()));
            QCOMPARE(playlistSongs(memory), playlistAfter);
        }
    }

    // An update cut off while it put its files in place (the card pulled
    // out): the next update starts from the whole old index, so it ends as
    // if nothing had happened.
    void cutOffCommitRecovered()
    {
        QTemporaryDir cleanDir;
        MemoryBuilder clean(cleanDir.path());
        QVERIFY(prepare(clean, true) && Index().updateIndex(clean.root()));

        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(prepare(memory, true));
        // ordfile.idx already new, index.idx moved aside, the rest waiting.
        const QByteArray ordfile = memory.read(QStringLiteral("ordfile.idx"));
        QVERIFY(memory.add(QStringLiteral("ordfile.idx.old"), ordfile)
            && memory.add(QStringLiteral("ordfile.idx"), "new")
            && memory.add(QStringLiteral("index.idx.old"), memory.read(QStringLiteral("index.idx")))
            && memory.remove(QStringLiteral("index.idx"))
            && memory.add(QStringLiteral("index.idx.new"), "new")
            && memory.add(QStringLiteral("playlist/play0001.dat.new"), "new"));
        QVERIFY(Index().updateIndex(memory.root()));
        QCOMPARE(indexFiles(memory), indexFiles(clean));
        QCOMPARE(memory.snapshot().keys(), clean.snapshot().keys());
        QCOMPARE(playlistSongs(memory), M::words("/A.MID /DIR/C.MID /D.MP3 -"));
    }
};

QTEST_GUILESS_MAIN(TestFaultsIndex)
#include "tst_faultsindex.moc"
