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

    void orders_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("rootSuffix");
        QTest::addColumn<QStringList>("lines");
        // B by X, A by Y (no genre), and a title holding the separator and quotes.
        const QString a = QStringLiteral("A;Y;<UNKNOWN>;/SONGS/TWO.MID;");
        const QString b = QStringLiteral("B;X;POP;/SONGS/ONE.MID;");
        const QString c = QStringLiteral("\"C;D \"\"E\"\"\";X;ROCK;/SONGS/THREE.MID;");
        QTest::newRow("by title") << 0 << "" << QStringList({ a, b, c });
        QTest::newRow("by artist") << 1 << "" << QStringList({ b, c, a });
        QTest::newRow("by genre") << 2 << "" << QStringList({ a, b, c });
        QTest::newRow("unknown mode sorts by title") << 7 << "" << QStringList({ a, b, c });
        QTest::newRow("root with a separator")
            << 0 << "/"
            << QStringList({ a, b, c })
                   .replaceInStrings(QStringLiteral(";/SONGS"), QStringLiteral(";SONGS"));
    }

    void orders()
    {
        QFETCH(int, mode);
        QFETCH(QString, rootSuffix);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        const char *const songs[][4] = { { "ONE", "B", "X", "Pop" }, { "TWO", "A", "Y", "" },
            { "THREE", "C;D \"E\"", "X", "Rock" } };
        for (const auto &[name, title, artist, genre] : songs) {
            QList<QByteArray> events = { M::metaEvent(3, title), M::tagEvent(2, artist) };
            if (*genre)
                events << M::tagEvent(1, genre);
            QVERIFY(memory.add(
                QStringLiteral("SONGS/%1.MID").arg(QLatin1String(name)), M::midiFile(events)));
        }
        QVERIFY(Index().createIndex(dir.path()));
        Index index;
        QSignalSpy max(&index, &Index::progressMaxSetup);
        QSignalSpy value(&index, &Index::progressValueChanged);
        QCOMPARE(index.saveSongsList(
                     dir.path() + rootSuffix, dir.filePath(QStringLiteral("list.csv")), mode),
            1);
        lines.prepend(QStringLiteral("TITOLO;ARTISTA;GENERE;FILE;"));
        QCOMPARE(memory.read(QStringLiteral("list.csv")),
            (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        QCOMPARE(max.count(), 1);
        QCOMPARE(max.at(0).at(0).toInt(), 3);
        QCOMPARE(value.count(), 3);
        QCOMPARE(value.at(2).at(0).toInt(), 3);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("result");
        QTest::newRow("prepared, no songs") << "empty" << 1;
        QTest::newRow("never prepared") << "unprepared" << -1;
        QTest::newRow("index names an unknown song") << "unreadable" << 0;
        QTest::newRow("a folder in the list's place") << "blocked" << 0;
    }

    // An existing list is replaced only by a complete new one.
    void failures()
    {
        QFETCH(QString, damage);
        QFETCH(int, result);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        for (const QString &name : Index::indexFileNames())
            QVERIFY(damage != QLatin1String("empty") || memory.add(name, {}));
        if (damage == QLatin1String("unreadable") || damage == QLatin1String("blocked"))
            QVERIFY(memory.songs("a.mid") && Index().createIndex(dir.path()));
        if (damage == QLatin1String("unreadable"))
            QVERIFY(memory.add(QStringLiteral("title.idx"), M::bigEndian32(9) + QByteArray(28, 0)));
        const QString file
            = QLatin1String(damage == QLatin1String("blocked") ? "list.csv/old" : "list.csv");
        QVERIFY(memory.add(file, "old list"));
        QCOMPARE(
            Index().saveSongsList(dir.path(), dir.filePath(QStringLiteral("list.csv")), 0), result);
        QCOMPARE(memory.read(file),
            result == 1 ? QByteArray("TITOLO;ARTISTA;GENERE;FILE;\n") : QByteArray("old list"));
    }
};

QTEST_GUILESS_MAIN(TestIndexSongsList)
#include "tst_indexsongslist.moc"
