#include "index.h"
#include "indexrecords.h"
#include "memorybuilder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

using M = MemoryBuilder;

namespace
{

// Records written from the device's file layouts, not from the engine's code.
QByteArray songRecord(quint32 id, const QByteArray &title, quint8 bpm, quint8 flags)
{
    return M::bigEndian32(id) + title.leftJustified(26, '\0') + char(bpm) + char(flags);
}

QByteArray groupHeader(quint16 previous, quint16 own, const QByteArray &key)
{
    return M::bigEndian32(quint32(previous) << 16 | own) + key.leftJustified(26, '\0')
        + QByteArray::fromHex("00ff");
}

// First-letter table: big-endian offsets for the characters 0x20 to 0x5F.
QByteArray alphaTable(const QList<QPair<char, quint32>> &letters)
{
    QByteArray table(256, '\xff');
    for (const auto &slot : letters)
        table.replace(4 * (slot.first - 0x20), 4, M::bigEndian32(slot.second));
    return table;
}

} // namespace

class TestIndexFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void smallMemory_data();
    void smallMemory();
    void epochDate();
    void textFields_data();
    void textFields();
    void firstLetterTableEnds();
};

void TestIndexFiles::initTestCase()
{
    // Dates and times are local; fixed here so that expected digits hold.
    qputenv("TZ", "UTC");
    tzset();
}

void TestIndexFiles::smallMemory_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("expected");
    // Scan order: /Pop1/Café.mf4 (a folder before the file of the same
    // stem), /POP1.MID, /POP2.MID, then the 45-character MP3 path.
    const QByteArray alpha = songRecord(1, "ALPHA", 120, 0x08); // MIDI with markers
    const QByteArray y1999 = songRecord(2, "1999", 0, 0x00);
    const QByteArray eclair = songRecord(0,
        "\xc9"
        "CLAIR",
        98, 0x0B); // "_MF4" with markers
    const QByteArray beta = songRecord(3, "BETA", 0, 0x01); // MP3
    const QByteArray artist = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; // fills the whole key field
    // Path in IBM 850 (é is 0x82), 46 bytes zero-padded, date and time digits.
    auto path = [](quint32 id, const QByteArray &path) -> QByteArray {
        return M::bigEndian32(id) + path.leftJustified(46, '\0') + "20240302090507";
    };
    QTest::newRow("index.idx") << "index.idx"
                               << path(0, "/Pop1/Caf\x82.mf4") + path(1, "/POP1.MID")
            + path(2, "/POP2.MID") + path(3, "/SONGS/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD123.MP3");
    // Path order compares the upper-cased IBM 850 bytes: '.' before '/'.
    QTest::newRow("ordfile.idx") << "ordfile.idx" << QByteArray::fromHex("0100000002000300");
    QTest::newRow("title.idx") << "title.idx" << y1999 + alpha + beta + eclair;
    QTest::newRow("atitle.idx") << "atitle.idx"
                                << alphaTable({ { '1', 0 }, { 'A', 32 }, { 'B', 64 } });
    QTest::newRow("artist.idx") << "artist.idx"
                                << groupHeader(0, 1, "") + beta + groupHeader(1, 1, "<UNKNOWN>")
            + y1999 + groupHeader(1, 2, artist) + alpha + eclair;
    QTest::newRow("aartist.idx") << "aartist.idx" << alphaTable({ { '<', 64 }, { 'A', 128 } });
    QTest::newRow("genre.idx") << "genre.idx"
                               << groupHeader(0, 1, "<UNKNOWN>") + beta + groupHeader(1, 2, "POP")
            + y1999 + alpha + groupHeader(2, 1, "ROCK") + eclair;
    QTest::newRow("agenre.idx") << "agenre.idx"
                                << alphaTable({ { '<', 0 }, { 'P', 64 }, { 'R', 160 } });
    QTest::newRow("title3.idx") << "title3.idx" << beta;
    QTest::newRow("atitle3.idx") << "atitle3.idx" << alphaTable({ { 'B', 0 } });
    QTest::newRow("artist3.idx") << "artist3.idx" << groupHeader(0, 1, "") + beta;
    QTest::newRow("aartist3.idx") << "aartist3.idx" << alphaTable({});
    QTest::newRow("genre3.idx") << "genre3.idx" << groupHeader(0, 1, "<UNKNOWN>") + beta;
    QTest::newRow("agenre3.idx") << "agenre3.idx" << alphaTable({ { '<', 0 } });
    QTest::newRow("fsinfos.idx") << "fsinfos.idx"
                                 << QByteArray::fromHex("040003000300010001000100");
}

void TestIndexFiles::smallMemory()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    const QDateTime time(QDate(2024, 3, 2), QTime(9, 5, 7));
    const QByteArray artist = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QVERIFY(memory.add(QStringLiteral("POP1.MID"),
        M::midiFile({ M::metaEvent(0x03, "Alpha"), M::tagEvent(2, artist), M::tagEvent(1, "Pop"),
            M::tempoEvent(500000), M::metaEvent(0x06, "Intro") }),
        time));
    QVERIFY(memory.add(QStringLiteral("POP2.MID"),
        M::midiFile({ M::metaEvent(0x03, "1999"), M::tagEvent(1, "pop") }), time));
    QVERIFY(memory.add(QString::fromUtf8("Pop1/Café.mf4"),
        M::indexedContainer("_MF4",
            "\xc9"
            "clair",
            artist, "Rock", 98, 1),
        time));
    QVERIFY(memory.add(QStringLiteral("SONGS/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD123.MP3"),
        M::mp3File({ M::id3Frame("TIT2", "Beta"), M::id3Frame("TPE1", "") }), time));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.read(file).toHex(' '), expected.toHex(' '));
}

void TestIndexFiles::epochDate()
{
    // A file dated at the epoch has a real date, and an update finds it unchanged.
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(memory.add(QStringLiteral("a.mid"), M::midiFile({}), QDateTime::fromSecsSinceEpoch(0)));
    QVERIFY(Index().createIndex(dir.path()));
    QCOMPARE(memory.read(QStringLiteral("index.idx")).mid(50), QByteArray("19700101000000"));
    const auto before = memory.snapshot();
    QVERIFY(Index().updateIndex(dir.path()));
    QCOMPARE(memory.snapshot(), before);
}

void TestIndexFiles::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("one ? per character") << QString::fromUtf8("A🎵B€") << QByteArray("A?B?");
    QTest::newRow("26 after a wide character") << QString::fromUtf8("🎵BCDEFGHIJKLMNOPQRSTUVWXYZ0")
                                               << QByteArray("?BCDEFGHIJKLMNOPQRSTUVWXYZ");
}

void TestIndexFiles::textFields()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    SongInfoIndex song;
    song.title = text;
    QCOMPARE(IndexRecords::encodeSongRecord(song).mid(4, 26), field.leftJustified(26, '\0'));
    QCOMPARE(IndexRecords::encodeGroupHeader(0, 0, text).mid(4, 26), field.leftJustified(26, '\0'));
    QCOMPARE(IndexRecords::encodePlaylistPath(text).left(26), field.leftJustified(26, '\0'));
}

void TestIndexFiles::firstLetterTableEnds()
{
    // Space and underscore are the first and last slots; what lies beyond
    // them, before or after upper-casing, has none.
    QByteArray table = IndexRecords::emptyAlphaTable();
    quint32 offset = 0;
    for (const char *text : { " x", "_y", "`a", "{b", "\xc3\xa9gal", "", "_z" })
        IndexRecords::addToAlphaTable(table, QString::fromUtf8(text), offset += 32);
    QCOMPARE(table, alphaTable({ { ' ', 32 }, { '_', 64 } }));
}

QTEST_GUILESS_MAIN(TestIndexFiles)
#include "tst_indexfiles.moc"
