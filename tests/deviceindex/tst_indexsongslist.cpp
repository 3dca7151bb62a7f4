#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using M = MemoryBuilder;

class TestIndexSongsList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    void orders_data();
    void orders();
    void failures_data();
    void failures();
};

void TestIndexSongsList::orders_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("rootSuffix");
    QTest::addColumn<QString>("lines");
    // B by X, A by Y (no genre), and a title holding the separator and quotes.
    const QString a = QStringLiteral("A;Y;<UNKNOWN>;/SONGS/TWO.MID;");
    const QString b = QStringLiteral("B;X;POP;/SONGS/ONE.MID;");
    const QString c = QStringLiteral("\"C;D \"\"E\"\"\";X;ROCK;/SONGS/THREE.MID;");
    QTest::newRow("by title") << 0 << "" << QStringList({ a, b, c }).join(QLatin1Char('|'));
    QTest::newRow("by artist") << 1 << "" << QStringList({ b, c, a }).join(QLatin1Char('|'));
    QTest::newRow("by genre") << 2 << "" << QStringList({ a, b, c }).join(QLatin1Char('|'));
    QTest::newRow("unknown mode sorts by title")
        << 7 << "" << QStringList({ a, b, c }).join(QLatin1Char('|'));
    QString relative = QStringList({ a, b, c }).join(QLatin1Char('|'));
    QTest::newRow("root with a separator")
        << 0 << "/" << relative.replace(QLatin1String(";/SONGS"), QLatin1String(";SONGS"));
}

void TestIndexSongsList::orders()
{
    QFETCH(int, mode);
    QFETCH(QString, rootSuffix);
    QFETCH(QString, lines);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.add(QStringLiteral("SONGS/ONE.MID"),
        M::midiFile({ M::metaEvent(0x03, "B"), M::tagEvent(2, "X"), M::tagEvent(1, "Pop") })));
    QVERIFY(memory.add(QStringLiteral("SONGS/TWO.MID"),
        M::midiFile({ M::metaEvent(0x03, "A"), M::tagEvent(2, "Y") })));
    QVERIFY(memory.add(QStringLiteral("SONGS/THREE.MID"),
        M::midiFile(
            { M::metaEvent(0x03, "C;D \"E\""), M::tagEvent(2, "X"), M::tagEvent(1, "Rock") })));
    QVERIFY(Index().createIndex(dir.path()));
    Index index;
    QSignalSpy max(&index, &Index::progressMaxSetup);
    QSignalSpy value(&index, &Index::progressValueChanged);
    const QString file = dir.path() + QStringLiteral("/list.csv");
    QCOMPARE(index.saveSongsList(dir.path() + rootSuffix, file, mode), 1);
    const QString expected = QStringLiteral("TITOLO;ARTISTA;GENERE;FILE;\n")
        + lines.replace(QLatin1Char('|'), QLatin1Char('\n'));
    QCOMPARE(memory.read(QStringLiteral("list.csv")), (expected + QLatin1Char('\n')).toUtf8());
    QCOMPARE(max.count(), 1);
    QCOMPARE(max.at(0).at(0).toInt(), 3);
    QCOMPARE(value.count(), 3);
    QCOMPARE(value.at(2).at(0).toInt(), 3);
}

void TestIndexSongsList::failures_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("result");
    QTest::newRow("prepared, no songs") << "empty" << 1;
    QTest::newRow("never prepared") << "unprepared" << -1;
    QTest::newRow("index names an unknown song") << "unreadable" << 0;
    QTest::newRow("a folder in the list's place") << "blocked" << 0;
}

void TestIndexSongsList::failures()
{
    QFETCH(QString, damage);
    QFETCH(int, result);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    if (damage == QLatin1String("empty")) {
        for (const QString &name : Index::indexFileNames())
            QVERIFY(memory.add(name, QByteArray()));
    } else if (damage != QLatin1String("unprepared")) {
        QVERIFY(memory.songs("a.mid") && Index().createIndex(dir.path()));
    }
    if (damage == QLatin1String("unreadable"))
        QVERIFY(memory.add(QStringLiteral("title.idx"), M::bigEndian32(9) + QByteArray(28, '\0')));
    // An existing list is replaced only by a complete new one.
    const QString file = damage == QLatin1String("blocked") ? QStringLiteral("list.csv/old")
                                                            : QStringLiteral("list.csv");
    QVERIFY(memory.add(file, "old list"));
    QCOMPARE(
        Index().saveSongsList(dir.path(), memory.absolute(QStringLiteral("list.csv")), 0), result);
    QCOMPARE(memory.read(file),
        result == 1 ? QByteArray("TITOLO;ARTISTA;GENERE;FILE;\n") : QByteArray("old list"));
}

QTEST_GUILESS_MAIN(TestIndexSongsList)
#include "tst_indexsongslist.moc"
