#include "index.h"
#include "memorybuilder.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

using M = MemoryBuilder;

const QDateTime Modified(QDate(2024, 3, 2), QTime(9, 5, 7));

// Record builders written from the device's file layouts, independent of the
// engine's own code.
QByteArray songRecord(quint32 id, const QByteArray &title, quint8 bpm, quint8 flags)
{
    QByteArray record = M::bigEndian32(id) + title.left(26).leftJustified(26, '\0');
    record.append(char(bpm));
    record.append(char(flags));
    return record;
}

QByteArray groupHeader(quint16 previous, quint16 own, const QByteArray &key)
{
    QByteArray record(4, '\0');
    qToBigEndian(previous, record.data());
    qToBigEndian(own, record.data() + 2);
    record += key.left(26).leftJustified(26, '\0');
    record.append('\0');
    record.append('\xff');
    return record;
}

QByteArray pathRecord(quint32 id, const QByteArray &path, const QByteArray &dateTime)
{
    return M::bigEndian32(id) + path.leftJustified(46, '\0') + dateTime;
}

// First-letter table with the given characters set to offsets.
QByteArray alphaTable(const QList<QPair<char, quint32>> &letters)
{
    QByteArray table(256, '\xff');
    for (const auto &slot : letters)
        qToBigEndian(slot.second, table.data() + 4 * (slot.first - 0x20));
    return table;
}

QByteArray counts(const QList<quint16> &values)
{
    QByteArray bytes;
    for (quint16 value : values) {
        bytes.append(char(value & 0xFF));
        bytes.append(char(value >> 8));
    }
    return bytes;
}

const QByteArray LongMp3Path = "/SONGS/ABCDEFGH/ABCDEFGH/ABCDEFGH/ABCD123.MP3";

} // namespace

class TestIndexFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void smallMemory_data();
    void smallMemory();
    void pathRecordLayout();
    void memoryWithoutMp3();
    void pathsInIbm850TextsInLatin1();
    void groupKeyFillsItsField();
    void firstLetterTable_data();
    void firstLetterTable();
    void writersWithoutSongs();
    void byteOrderOfCountsBeyond255();

private:
    QTemporaryDir m_dir;
    bool m_built = false;
};

void TestIndexFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    MemoryBuilder memory(m_dir.path());
    QVERIFY(!memory.write(QStringLiteral("POP1.MID"),
                          M::midiFile({M::metaEvent(0x03, "Alpha"), M::tagEvent(2, "Zed"), M::tagEvent(1, "Pop"),
                                       M::tempoEvent(500000), M::metaEvent(0x06, "Intro")}),
                          Modified)
                 .isEmpty());
    QVERIFY(!memory.write(QStringLiteral("POP2.MID"), M::midiFile({M::metaEvent(0x03, "1999"), M::tagEvent(1, "pop")}),
                          Modified)
                 .isEmpty());
    QVERIFY(!memory.write(QStringLiteral("ROCK.MF4"), M::indexedContainer("_MF4", "\xc9" "clair", "Zed", "Rock", 98, 1),
                          Modified)
                 .isEmpty());
    QVERIFY(!memory.write(QString::fromLatin1(LongMp3Path),
                          M::mp3File({M::id3Frame("TIT2", "Beta"), M::id3Frame("TPE1", "")}), Modified)
                 .isEmpty());
    Index index;
    m_built = index.createIndex(m_dir.path());
    QVERIFY(m_built);
}

void TestIndexFiles::smallMemory_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("expected");

    // Scan order gives ids 0 to 3: POP1.MID, POP2.MID, ROCK.MF4, the MP3.
    const QByteArray alpha = songRecord(0, "ALPHA", 120, 0x08);   // MIDI with markers
    const QByteArray y1999 = songRecord(1, "1999", 0, 0x00);      // MIDI, no tempo, no markers
    const QByteArray eclair = songRecord(2, "\xc9" "CLAIR", 98, 0x0B); // "_MF4" with markers
    const QByteArray beta = songRecord(3, "BETA", 0, 0x01);       // MP3

    const QByteArray stamp = "20240302090507";
    QTest::newRow("index.idx") << "index.idx"
                               << pathRecord(0, "/POP1.MID", stamp) + pathRecord(1, "/POP2.MID", stamp)
                                      + pathRecord(2, "/ROCK.MF4", stamp) + pathRecord(3, LongMp3Path, stamp);
    QTest::newRow("ordfile.idx") << "ordfile.idx" << QByteArray::fromHex("0000010002000300");
    QTest::newRow("title.idx") << "title.idx" << y1999 + alpha + beta + eclair;
    QTest::newRow("atitle.idx") << "atitle.idx" << alphaTable({{'1', 0}, {'A', 32}, {'B', 64}});
    QTest::newRow("artist.idx") << "artist.idx"
                                << groupHeader(0, 1, "") + beta + groupHeader(1, 1, "<UNKNOWN>") + y1999
                                       + groupHeader(1, 2, "ZED") + alpha + eclair;
    QTest::newRow("aartist.idx") << "aartist.idx" << alphaTable({{'<', 64}, {'Z', 128}});
    QTest::newRow("genre.idx") << "genre.idx"
                               << groupHeader(0, 1, "<UNKNOWN>") + beta + groupHeader(1, 2, "POP") + y1999 + alpha
                                      + groupHeader(2, 1, "ROCK") + eclair;
    QTest::newRow("agenre.idx") << "agenre.idx" << alphaTable({{'<', 0}, {'P', 64}, {'R', 160}});
    QTest::newRow("title3.idx") << "title3.idx" << beta;
    QTest::newRow("atitle3.idx") << "atitle3.idx" << alphaTable({{'B', 0}});
    QTest::newRow("artist3.idx") << "artist3.idx" << groupHeader(0, 1, "") + beta;
    QTest::newRow("aartist3.idx") << "aartist3.idx" << alphaTable({});
    QTest::newRow("genre3.idx") << "genre3.idx" << groupHeader(0, 1, "<UNKNOWN>") + beta;
    QTest::newRow("agenre3.idx") << "agenre3.idx" << alphaTable({{'<', 0}});
    QTest::newRow("fsinfos.idx") << "fsinfos.idx" << counts({4, 3, 3, 1, 1, 1});
}

void TestIndexFiles::smallMemory()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, expected);
    QVERIFY(m_built);
    const QByteArray actual = MemoryBuilder(m_dir.path()).read(file);
    QCOMPARE(actual.toHex(' '), expected.toHex(' '));
}

void TestIndexFiles::pathRecordLayout()
{
    QVERIFY(m_built);
    const QByteArray index = MemoryBuilder(m_dir.path()).read(QStringLiteral("index.idx"));
    QCOMPARE(index.size(), 4 * 64);
    const QByteArray last = index.mid(3 * 64, 64);
    // A 45-character path fills bytes 4-48; byte 49 ends it.
    QCOMPARE(last.mid(4, 45), LongMp3Path);
    QCOMPARE(last.at(49), '\0');
    // 9:05:07 as six digits with leading zero, no terminator inside the record.
    QCOMPARE(last.mid(50, 8), QByteArray("20240302"));
    QCOMPARE(last.mid(58, 6).toHex(), QByteArray("303930353037"));
    // Records of title.idx: byte 31 for the three file kinds.
    const QByteArray titles = MemoryBuilder(m_dir.path()).read(QStringLiteral("title.idx"));
    QCOMPARE(quint8(titles.at(3 * 32 + 31)), quint8(0x0B)); // "_MF4" with markers
    QCOMPARE(quint8(titles.at(2 * 32 + 31)), quint8(0x01)); // MP3
    QCOMPARE(quint8(titles.at(0 * 32 + 31)), quint8(0x00)); // MIDI without markers
}

void TestIndexFiles::memoryWithoutMp3()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    QVERIFY(!memory.write(QStringLiteral("a.mid"), M::midiFile({M::metaEvent(0x03, "Song")})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    for (const char *name : {"title3.idx", "artist3.idx", "genre3.idx"})
        QCOMPARE(memory.read(QString::fromLatin1(name)), QByteArray());
    for (const char *name : {"atitle3.idx", "aartist3.idx", "agenre3.idx"})
        QCOMPARE(memory.read(QString::fromLatin1(name)), QByteArray(256, '\xff'));
    QCOMPARE(memory.read(QStringLiteral("fsinfos.idx")), counts({1, 1, 1, 0, 0, 0}));
    // The reserved folders are there afterwards.
    QVERIFY(QFileInfo(memory.absolute(QStringLiteral("sfx"))).isDir());
    QVERIFY(QFileInfo(memory.absolute(QStringLiteral("bridge"))).isDir());
}

void TestIndexFiles::pathsInIbm850TextsInLatin1()
{
    QTemporaryDir dir;
    MemoryBuilder memory(dir.path());
    // é is 0x82 in IBM 850 and 0xE9 in Latin-1; upper-cased it is 0x90 and 0xC9.
    QVERIFY(!memory.write(QString::fromUtf8("/Café/été.mid"), M::midiFile({M::metaEvent(0x03, "\xe9t\xe9")}),
                          Modified)
                 .isEmpty());
    QVERIFY(!memory.write(QStringLiteral("/Cafz.mid"), M::midiFile({})).isEmpty());
    QVERIFY(Index().createIndex(dir.path()));
    const QByteArray index = memory.read(QStringLiteral("index.idx"));
    QCOMPARE(index.size(), 128);
    const int accentedRecord = index.mid(4, 4) == "/Caf" && index.at(8) == '\x82' ? 0 : 1;
    QCOMPARE(index.mid(accentedRecord * 64 + 4, 14), QByteArray("/Caf\x82/\x82t\x82.mid", 14));
    QCOMPARE(index.mid((1 - accentedRecord) * 64 + 4, 10), QByteArray("/Cafz.mid", 10));
    // Path order compares the IBM 850 bytes: "/CAFZ.MID" before "/CAF\x90/..."
    // since 0x5A < 0x90.
    QByteArray ord(4, '\0');
    ord[0] = char(1 - accentedRecord);
    ord[2] = char(accentedRecord);
    QCOMPARE(memory.read(QStringLiteral("ordfile.idx")), ord);
    const QByteArray titles = memory.read(QStringLiteral("title.idx"));
    QVERIFY(titles.contains(QByteArray("\xc9T\xc9")));
}

void TestIndexFiles::groupKeyFillsItsField()
{
    QTemporaryDir dir;
    Index index;
    index.setRootPath(dir.path());
    SongInfoIndex song;
    song.id = 7;
    song.title = QStringLiteral("T");
    song.artist = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    song.genre = QStringLiteral("x");
    index.songs() << song;
    QCOMPARE(index.writeArtistIndex(QStringLiteral("artist.idx")), 1);
    const QByteArray bytes = MemoryBuilder(dir.path()).read(QStringLiteral("artist.idx"));
    QCOMPARE(bytes.size(), 64);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("00000001"));
    QCOMPARE(bytes.mid(4, 26), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    QCOMPARE(bytes.mid(30, 2), QByteArray::fromHex("00ff"));
    QCOMPARE(index.alphaBuffer().mid(4 * ('A' - 0x20), 4), QByteArray::fromHex("00000000"));
    // A lower-case key still files under its capital.
    QCOMPARE(index.writeGenreIndex(QStringLiteral("genre.idx")), 1);
    QCOMPARE(index.alphaBuffer().mid(4 * ('X' - 0x20), 4), QByteArray::fromHex("00000000"));
}

void TestIndexFiles::firstLetterTable_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("first offset per letter stays")
        << QString::fromLatin1("Alpha apple Bravo").split(QLatin1Char(' ')) << alphaTable({{'A', 0}, {'B', 64}});
    QTest::newRow("space and underscore are the ends of the table")
        << QStringList({QStringLiteral(" x"), QStringLiteral("_y")}) << alphaTable({{' ', 0}, {'_', 32}});
    QTest::newRow("characters above the table")
        << QString::fromUtf8("`a {b ~c égal ßx").split(QLatin1Char(' ')) << alphaTable({});
    QTest::newRow("empty text") << QStringList({QString(), QStringLiteral("z")}) << alphaTable({{'Z', 32}});
}

void TestIndexFiles::firstLetterTable()
{
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, expected);
    Index index;
    index.clearAlphaBuffer();
    unsigned long offset = 0;
    for (const QString &text : texts) {
        index.addToAlphaBuffer(text, offset);
        offset += 32;
    }
    QCOMPARE(index.alphaBuffer().toHex(' '), expected.toHex(' '));
}

void TestIndexFiles::writersWithoutSongs()
{
    QTemporaryDir dir;
    Index index;
    index.setRootPath(dir.path());
    QCOMPARE(index.writeTitleIndex(QStringLiteral("title.idx")), 0);
    QCOMPARE(index.writeAlphaBuffer(QStringLiteral("atitle.idx")), 0);
    QCOMPARE(index.writeArtistIndex(QStringLiteral("artist.idx")), 0);
    QCOMPARE(index.writeGenreIndex(QStringLiteral("genre.idx")), 0);
    QCOMPARE(index.writePathIndex(), 0);
    QCOMPARE(index.writeOrdIndex(), 0);
    QCOMPARE(index.writeNumFile(), 0);
    MemoryBuilder memory(dir.path());
    for (const char *name : {"title.idx", "artist.idx", "genre.idx", "index.idx", "ordfile.idx"}) {
        QVERIFY(memory.exists(QString::fromLatin1(name)));
        QCOMPARE(memory.read(QString::fromLatin1(name)), QByteArray());
    }
    QCOMPARE(memory.read(QStringLiteral("atitle.idx")), QByteArray(256, '\xff'));
    QCOMPARE(memory.read(QStringLiteral("fsinfos.idx")), QByteArray(12, '\0'));
}

void TestIndexFiles::byteOrderOfCountsBeyond255()
{
    // 300 songs in one genre: the group header counts are big-endian, the
    // record numbers of ordfile.idx little-endian.
    QTemporaryDir dir;
    Index index;
    index.setRootPath(dir.path());
    for (int i = 0; i < 300; ++i) {
        SongInfoIndex song;
        song.id = quint32(i);
        song.posidx = quint16(i);
        song.title = QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0'));
        song.genre = QStringLiteral("POP");
        song.path = QStringLiteral("/S%1.MID").arg(i, 3, 10, QLatin1Char('0'));
        index.songs() << song;
    }
    QCOMPARE(index.writeGenreIndex(QStringLiteral("genre.idx")), 1);
    QCOMPARE(index.writeOrdIndex(), 0);
    MemoryBuilder memory(dir.path());
    QCOMPARE(memory.read(QStringLiteral("genre.idx")).left(4), QByteArray::fromHex("0000012c"));
    const QByteArray ord = memory.read(QStringLiteral("ordfile.idx"));
    QCOMPARE(ord.size(), 600);
    QCOMPARE(ord.mid(2 * 299, 2), QByteArray::fromHex("2b01"));
}

QTEST_GUILESS_MAIN(TestIndexFiles)
#include "tst_indexfiles.moc"
