#include "containerbuilder.h"
#include "mfxheader.h"

#include <QtTest>

class TestMfxHeader : public QObject
{
    Q_OBJECT

private slots:
    void loadHeader_data();
    void loadHeader();
    void failedLoadKeepsOrClearsType();
    void textFields_data();
    void textFields();
    void textWriters_data();
    void textWriters();
    void tempo_data();
    void tempo();
    void flagsAreOnlyAdded();
    void sizeFields();
};

void TestMfxHeader::loadHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("type");

    QTest::newRow("_MF3 512") << ContainerBuilder("_MF3").header() << true << 3;
    QTest::newRow("_MF4 512") << ContainerBuilder("_MF4").header() << true << 4;
    QTest::newRow("_MF5 1024") << ContainerBuilder("_MF5").header() << true << 5;
    QTest::newRow("_MF3 511") << ContainerBuilder("_MF3").headerSize(511).header() << false << 0;
    QTest::newRow("_MF4 4") << QByteArray("_MF4") << false << 0;
    QTest::newRow("_MF5 1023") << ContainerBuilder("_MF5").headerSize(1023).header() << false << 0;
    QTest::newRow("_MF5 700") << ContainerBuilder("_MF5").headerSize(700).header() << false << 0;
    // 512 bytes suffice for "_MF3", whatever follows.
    QTest::newRow("_MF3 1023") << ContainerBuilder("_MF3").headerSize(1023).header() << true << 3;
    QTest::newRow("MThd") << QByteArray("MThd").append(508, '\0') << false << 0;
    QTest::newRow("lower case magic") << QByteArray("_mf3").append(508, '\0') << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
}

void TestMfxHeader::loadHeader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(int, type);
    MfxHeader header;
    QCOMPARE(header.loadHeader(bytes), ok);
    QCOMPARE(int(header.fileType()), type);
    QCOMPARE(header.header(), ok ? bytes : QByteArray());
}

void TestMfxHeader::failedLoadKeepsOrClearsType()
{
    // A known magic with too few bytes leaves the type of the previous load;
    // an unknown magic clears it.
    MfxHeader header;
    QVERIFY(header.loadHeader(ContainerBuilder("_MF5").title(QStringLiteral("Old")).header()));
    QVERIFY(!header.loadHeader(ContainerBuilder("_MF4").headerSize(300).header()));
    QCOMPARE(header.fileType(), SongInfo::FileTypeMf5);
    QVERIFY(header.header().isEmpty());
    QCOMPARE(header.title(), QString());
    QVERIFY(!header.loadHeader(QByteArray(600, 'x')));
    QCOMPARE(header.fileType(), SongInfo::FileTypeUnknown);
}

void TestMfxHeader::textFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QString>("longName");

    QTest::newRow("all fields") << ContainerBuilder("_MF3")
                                       .filler()
                                       .title(QStringLiteral("Blue Night"))
                                       .author(QStringLiteral("G. Verdi"))
                                       .artist(QStringLiteral("The Band"))
                                       .genre(QStringLiteral("Liscio"))
                                       .longName(QStringLiteral("BLUENIGH.MF3"))
                                       .header()
                                << QStringLiteral("Blue Night") << QStringLiteral("G. Verdi")
                                << QStringLiteral("The Band") << QStringLiteral("Liscio")
                                << QStringLiteral("BLUENIGH.MF3");
    QTest::newRow("empty") << ContainerBuilder("_MF5").filler().header() << QString() << QString()
                           << QString() << QString() << QString();
    // A text that fills its field has no 0x00 after it; the reader stops at
    // the field's end, not in the next field.
    QTest::newRow("full fields") << ContainerBuilder("_MF4")
                                        .title(QString(32, QLatin1Char('T')))
                                        .author(QString(32, QLatin1Char('A')))
                                        .artist(QString(32, QLatin1Char('R')))
                                        .genre(QString(32, QLatin1Char('G')))
                                        .longName(QString(13, QLatin1Char('L')))
                                        .filler()
                                        .header()
                                 << QString(32, QLatin1Char('T')) << QString(32, QLatin1Char('A'))
                                 << QString(32, QLatin1Char('R')) << QString(32, QLatin1Char('G'))
                                 << QString(13, QLatin1Char('L'));
    // Text ends at the first 0x00 within the field and is trimmed; Latin-1.
    QTest::newRow("zero inside, spaces, latin-1")
        << ContainerBuilder("_MF3")
               .bytesAt(122, QByteArray("  Caf\xE9  \0junk", 13))
               .bytesAt(186, QByteArray("\0hidden", 7))
               .bytesAt(218, QByteArray("\tX\n"))
               .header()
        << QStringLiteral("Caf\u00e9") << QString() << QStringLiteral("X") << QString()
        << QString();
}

void TestMfxHeader::textFields()
{
    QFETCH(QByteArray, bytes);
    MfxHeader header;
    QVERIFY(header.loadHeader(bytes));
    QTEST(header.title(), "title");
    QTEST(header.author(), "author");
    QTEST(header.artist(), "artist");
    QTEST(header.genre(), "genre");
    QTEST(header.longName(), "longName");
    QFETCH(QString, title);
    QFETCH(QString, longName);
    QCOMPARE(header.hasTitle(), !title.isEmpty());
    QCOMPARE(header.hasLongName(), !longName.isEmpty());
}

void TestMfxHeader::textWriters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("short") << QStringLiteral("Rose") << QByteArray("Rose").append(28, '\0')
                           << QStringLiteral("Rose");
    QTest::newRow("40 characters") << QString(32, QLatin1Char('a')) + QStringLiteral("bbbbbbbb")
                                   << QByteArray(32, 'a') << QString(32, QLatin1Char('a'));
    QTest::newRow("empty") << QString() << QByteArray(32, '\0') << QString();
    QTest::newRow("outside latin-1")
        << QStringLiteral("\u00e8 \u20ac") << QByteArray("\xE8 ?").append(29, '\0')
        << QStringLiteral("\u00e8 ?");
}

void TestMfxHeader::textWriters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    QFETCH(QString, readBack);
    const QByteArray original = ContainerBuilder("_MF5")
                                    .filler()
                                    .title(QStringLiteral("old title, fairly long text here"))
                                    .author(QStringLiteral("old author"))
                                    .artist(QStringLiteral("old artist"))
                                    .genre(QStringLiteral("old genre"))
                                    .header();
    const struct {
        int offset;
        void (MfxHeader::*set)(const QString &);
        QString (MfxHeader::*get)() const;
    } fields[] = { { 122, &MfxHeader::setTitle, &MfxHeader::title },
        { 186, &MfxHeader::setAuthor, &MfxHeader::author },
        { 218, &MfxHeader::setArtist, &MfxHeader::artist },
        { 250, &MfxHeader::setGenre, &MfxHeader::genre } };
    for (const auto &f : fields) {
        MfxHeader header;
        QVERIFY(header.loadHeader(original));
        (header.*f.set)(text);
        QCOMPARE((header.*f.get)(), readBack);
        QByteArray expected = original;
        expected.replace(f.offset, 32, field);
        QCOMPARE(header.header(), expected);
    }
}

void TestMfxHeader::tempo_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tempo");
    QTest::addColumn<bool>("valid");
    QTest::newRow("0") << 0 << QByteArray::fromHex("0000") << 0 << false;
    QTest::newRow("1") << 1 << QByteArray::fromHex("0100") << 1 << true;
    QTest::newRow("120") << 120 << QByteArray::fromHex("7800") << 120 << true;
    QTest::newRow("499") << 499 << QByteArray::fromHex("F301") << 499 << true;
    QTest::newRow("500") << 500 << QByteArray::fromHex("F401") << 500 << false;
    QTest::newRow("70000") << 70000 << QByteArray::fromHex("7011") << 4464 << false;
    QTest::newRow("-1") << -1 << QByteArray::fromHex("FFFF") << 65535 << false;
}

void TestMfxHeader::tempo()
{
    QFETCH(int, written);
    QFETCH(QByteArray, bytes);
    const QByteArray original = ContainerBuilder("_MF3").filler().tempo(96).header();
    MfxHeader header;
    QVERIFY(header.loadHeader(original));
    QCOMPARE(header.tempo(), 96);
    header.setTempo(written);
    QTEST(header.tempo(), "tempo");
    QTEST(header.hasValidTempo(), "valid");
    QByteArray expected = original;
    expected.replace(38, 2, bytes);
    QCOMPARE(header.header(), expected);
}

void TestMfxHeader::flagsAreOnlyAdded()
{
    MfxHeader header;
    QVERIFY(header.loadHeader(ContainerBuilder("_MF3").flags(0x80).header()));
    QCOMPARE(header.flags(), -128);
    header.setFlag(MfxHeader::FlagHasMarkers);
    QCOMPARE(header.flags(), -127);
    QCOMPARE(uchar(header.header().at(185)), uchar(0x81));
    header.setFlag(MfxHeader::FlagHasMarkers);
    QCOMPARE(uchar(header.header().at(185)), uchar(0x81));

    QVERIFY(header.loadHeader(ContainerBuilder("_MF3").flags(0x06).header()));
    header.setFlag(MfxHeader::FlagHasMarkers);
    QCOMPARE(header.flags(), 7);
}

void TestMfxHeader::sizeFields()
{
    const QByteArray original = ContainerBuilder("_MF4").filler().header();
    MfxHeader header;
    QVERIFY(header.loadHeader(original));
    header.setSize(0x01020304);
    header.setOrigSize(4000000000u);
    QByteArray expected = original;
    expected.replace(4, 4, QByteArray::fromHex("04030201"));
    expected.replace(12, 4, QByteArray::fromHex("00286BEE"));
    QCOMPARE(header.header().toHex(), expected.toHex());
}

QTEST_GUILESS_MAIN(TestMfxHeader)
#include "tst_mfxheader.moc"
