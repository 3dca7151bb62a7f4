#include "songinfo.h"

#include <QtTest>

namespace
{
QStringList capturedLines;

void captureHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLines.append(message);
}

QStringList dumpLines(const SongInfo &info)
{
    capturedLines.clear();
    QtMessageHandler previous = qInstallMessageHandler(captureHandler);
    info.dbgDump();
    qInstallMessageHandler(previous);
    return capturedLines;
}

SongInfo filledRecord()
{
    SongInfo info;
    info.title = QStringLiteral("Blue Night");
    info.artist = QStringLiteral("Anna Neri");
    info.altArtist = QStringLiteral("A. Neri");
    info.genre = QStringLiteral("Pop");
    info.author = QStringLiteral("G. Verdi");
    info.length = 215;
    info.userBpm = 120;
    info.key = QStringLiteral("F#-");
    info.filename = QStringLiteral("/tmp/songs/blue.mid");
    info.shortname = QStringLiteral("blue.mid");
    info.isZevio = true;
    info.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Verse"), 9) };
    info.format = QStringLiteral("MIDI");
    info.mfxLongName = QStringLiteral("BLUE NIGHT LONG");
    info.mfxFlags = qint8(-91); // 0xa5
    return info;
}
} // namespace

class TestSongInfo : public QObject
{
    Q_OBJECT

private slots:
    void clearRestoresDefaults()
    {
        SongInfo info = filledRecord();
        QVERIFY(info != SongInfo());
        info.clear();
        QVERIFY(info == SongInfo());
        for (const QString &text :
            { info.title, info.artist, info.altArtist, info.genre, info.author, info.key,
                info.filename, info.shortname, info.format, info.mfxLongName })
            QVERIFY(text.isEmpty());
        QVERIFY(info.markers.isEmpty());
        QCOMPARE(info.length, 0);
        QCOMPARE(info.userBpm, 0);
        QCOMPARE(info.mfxFlags, qint8(0));
        QCOMPARE(info.isZevio, false);
    }

    void dump_data()
    {
        QTest::addColumn<SongInfo>("info");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("empty record")
            << SongInfo()
            << QStringList({ QStringLiteral(
                                 "Dump Info song ----------------------------------------------"),
                   QStringLiteral("Format     : \"\""), QStringLiteral("Filename   : \"\""),
                   QStringLiteral("Shortname  : \"\""), QStringLiteral("Is Zevio  : false"),
                   QStringLiteral("Title      : \"\""), QStringLiteral("Artist     : \"\""),
                   QStringLiteral("AltArtist  : \"\""), QStringLiteral("Genre      : \"\""),
                   QStringLiteral("Author     : \"\""), QStringLiteral("Length     : 0"),
                   QStringLiteral("userBpm    : 0"), QStringLiteral("Key        : \"\""),
                   QStringLiteral("Markers:"), QStringLiteral("NO Markers"),
                   QStringLiteral("MfxLongName: \"\""), QStringLiteral("MfxFlags   : 0x00"),
                   QStringLiteral(
                       "Dump END ----------------------------------------------------") });

        QTest::newRow("filled record")
            << filledRecord()
            << QStringList({ QStringLiteral(
                                 "Dump Info song ----------------------------------------------"),
                   QStringLiteral("Format     : \"MIDI\""),
                   QStringLiteral("Filename   : \"/tmp/songs/blue.mid\""),
                   QStringLiteral("Shortname  : \"blue.mid\""), QStringLiteral("Is Zevio  : true"),
                   QStringLiteral("Title      : \"Blue Night\""),
                   QStringLiteral("Artist     : \"Anna Neri\""),
                   QStringLiteral("AltArtist  : \"A. Neri\""),
                   QStringLiteral("Genre      : \"Pop\""),
                   QStringLiteral("Author     : \"G. Verdi\""), QStringLiteral("Length     : 215"),
                   QStringLiteral("userBpm    : 120"), QStringLiteral("Key        : \"F#-\""),
                   QStringLiteral("Markers:"), QStringLiteral("  bar: 1   text: \"Intro\""),
                   QStringLiteral("  bar: 9   text: \"Verse\""),
                   QStringLiteral("MfxLongName: \"BLUE NIGHT LONG\""),
                   QStringLiteral("MfxFlags   : 0xa5"),
                   QStringLiteral(
                       "Dump END ----------------------------------------------------") });
    }

    void dump()
    {
        QFETCH(SongInfo, info);
        QFETCH(QStringList, lines);
        QCOMPARE(dumpLines(info), lines);
    }
};

QTEST_GUILESS_MAIN(TestSongInfo)
#include "tst_songinfo.moc"
