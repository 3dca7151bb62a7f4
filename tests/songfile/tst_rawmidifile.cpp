#include "metasong.h"
#include "midichecker.h"
#include "rawmidifile.h"
#include "songbuilders.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{
using MidiChecker::metaEvents;

struct TextField {
    void (RawMidiFile::*set)(const QString &);
    QString (RawMidiFile::*get)() const;
    bool (RawMidiFile::*has)() const;
    int subType; // tag sub-type, -1 for the title (FF 03)
};
const TextField fields[]
    = { { &RawMidiFile::setTitle, &RawMidiFile::title, &RawMidiFile::hasTitle, -1 },
          { &RawMidiFile::setGenre, &RawMidiFile::genre, &RawMidiFile::hasGenre, 1 },
          { &RawMidiFile::setArtist, &RawMidiFile::artist, &RawMidiFile::hasArtist, 2 },
          { &RawMidiFile::setAuthor, &RawMidiFile::author, &RawMidiFile::hasAuthor, 3 } };
const char *fieldNames[] = { "title", "genre", "artist", "author" };

QList<MidiChecker::Event> eventsOf(const QByteArray &file, int subType)
{
    return subType < 0 ? metaEvents(file, 0x03) : metaEvents(file, 0x4B, subType);
}

MidiBuilder typicalSong(int format = 1)
{
    MidiBuilder midi(format);
    midi.track()
        .meta(0, 0x51, QByteArray::fromHex("07a120"))
        .rawHex("00c005")
        .note(0, 60)
        .note(0, 64);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(480, 67);
    return midi;
}

RawMidiFile loaded(const QByteArray &bytes)
{
    RawMidiFile midi;
    if (!midi.loadData(bytes))
        qWarning("test file did not load");
    return midi;
}

quint32 firstTrackLength(const QByteArray &file)
{
    return qFromBigEndian<quint32>(file.constData() + 18);
}
} // namespace

class TestRawMidiFile : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // clang-format off
        for (int f = 0; f < 4; ++f) {
            const auto row = [&](const char *what) -> QTestData & {
                return QTest::addRow("%s %s", fieldNames[f], what);
            };
            row("plain") << f << QStringLiteral("Blue Night") << QStringLiteral("Blue Night");
            row("empty still writes an event") << f << QString() << QString();
            row("outside Latin-1, trimmed") << f << QStringLiteral(" € \U0001D11Eà ") << QStringLiteral("? ?à");
            row("cut counts characters") << f << QStringLiteral("\U0001D11E") + QString(129, QLatin1Char('a'))
                << QStringLiteral("?") + QString(124, QLatin1Char('a'));
        }
        // clang-format on
    }

    // Writing twice leaves exactly one delta-0 event of its kind, at the head
    // of the first track, in a file the strict reader accepts.
    void texts()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const TextField &f = fields[field];
        RawMidiFile midi = loaded(typicalSong(0).build());
        QVERIFY(!(midi.*f.has)());
        (midi.*f.set)(QStringLiteral("first value"));
        (midi.*f.set)(text);
        QCOMPARE((midi.*f.get)(), expected);
        QVERIFY((midi.*f.has)());
        const QList<MidiChecker::Event> found = eventsOf(midi.stream(), f.subType);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().offset, 22);
        QCOMPARE(found.first().delta, 0u);
        QCOMPARE(QString::fromLatin1(found.first().payload.mid(f.subType < 0 ? 0 : 1)).trimmed(),
            expected);
    }

    // What other programs may have stored: numbers are an optional sign and
    // decimal digits within 32 bits, texts end at 0x00 and are trimmed.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("digits and spaces") << QByteArray("  215 ") << 215 << QStringLiteral("215");
        QTest::newRow("negative") << QByteArray("-5") << 0 << QStringLiteral("-5");
        QTest::newRow("letters after") << QByteArray("12a") << 0 << QStringLiteral("12a");
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647 << QStringLiteral("2147483647");
        QTest::newRow("too large") << QByteArray("2147483648") << 0 << QStringLiteral("2147483648");
        QTest::newRow("ends at 0x00") << QByteArray("180\0" "999", 7) << 180 << QStringLiteral("180");
        QTest::newRow("no-break spaces") << QByteArray("\xa0J\xe9\xa0") << 0 << QStringLiteral("J\u00e9");
        // clang-format on
    }

    void reading()
    {
        QFETCH(QByteArray, payload);
        RawMidiFile midi = loaded(MidiBuilder()
                                      .tag(0, 4, payload)
                                      .tag(0, 5, payload)
                                      .meta(0, 3, payload)
                                      .tag(0, 1, payload)
                                      .build());
        QTEST(midi.length(), "number");
        QTEST(midi.userBpm(), "number");
        QTEST(midi.title(), "text");
        QTEST(midi.genre(), "text");
        QVERIFY(midi.hasLength() && midi.hasUserBpm());
        // Numbers are written back in decimal, replacing the old event.
        QFETCH(int, number);
        midi.setLength(number);
        midi.setUserBpm(number);
        for (int subType : { RawMidiFile::MetaLength, RawMidiFile::MetaUserBpm }) {
            const auto found = metaEvents(midi.stream(), 0x4B, subType);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first().payload.mid(1), QByteArray::number(number));
        }
        QCOMPARE(midi.length(), number);
        QCOMPARE(midi.userBpm(), number);
    }

    void markers_data()
    {
        QTest::addColumn<QList<Marker>>("markers");
        QTest::addColumn<QList<Marker>>("expected");
        // clang-format off
        const QList<Marker> three = { Marker(QStringLiteral("Intro"), 1),
            Marker(QStringLiteral("Verse"), 9), Marker(QStringLiteral("Chorus"), 17) };
        QTest::newRow("three") << three << three;
        QTest::newRow("none") << QList<Marker>() << QList<Marker>();
        QTest::newRow("16-bit bars") << QList<Marker>(
            { Marker(QStringLiteral("Top"), 65535), Marker(QStringLiteral("W"), 65536 + 300) })
                                     << QList<Marker>({ Marker(QStringLiteral("Top"), 65535),
                                            Marker(QStringLiteral("W"), 300) });
        // 125 characters would need the length byte 0x80.
        QTest::newRow("cut to 124") << QList<Marker>({ Marker(QString(125, QLatin1Char('m')), 5) })
                                    << QList<Marker>({ Marker(QString(124, QLatin1Char('m')), 5) });
        QTest::newRow("empty text")
            << QList<Marker>({ Marker(QString(), 2) }) << QList<Marker>({ Marker(QString(), 2) });
        // clang-format on
    }

    void markers()
    {
        QFETCH(QList<Marker>, markers);
        QFETCH(QList<Marker>, expected);
        RawMidiFile midi = loaded(typicalSong(0).marker(0, 3, "Old").marker(0, 4, "Older").build());
        midi.setMarkersList(markers);
        QCOMPARE(midi.markersList(), expected);
        QCOMPARE(midi.hasMarkers(), !expected.isEmpty());
        const QByteArray once = midi.stream();
        const auto found = metaEvents(once, 0x4B, 6);
        QCOMPARE(found.size(), expected.size());
        for (const auto &ev : found)
            QVERIFY(ev.payload.size() < 0x80);
        midi.setMarkersList(markers);
        QCOMPARE(midi.stream(), once);
    }

    // Readers search every track and take the first match, whatever its delta;
    // writers leave such events alone and put theirs in front.
    void laterTracksAndDeltas_data()
    {
        QTest::addColumn<int>("field");
        for (int f = 0; f < 4; ++f)
            QTest::newRow(fieldNames[f]) << f;
    }

    void laterTracksAndDeltas()
    {
        QFETCH(int, field);
        const TextField &f = fields[field];
        auto add = [&](MidiBuilder &b, quint32 delta, const QByteArray &text) -> MidiBuilder & {
            return f.subType < 0 ? b.meta(delta, 0x03, text)
                                 : b.tag(delta, quint8(f.subType), text);
        };
        MidiBuilder builder(1);
        add(builder.track().note(0, 60), 96, "Delayed");
        add(builder.track(), 0, "Second track");
        const QByteArray file = builder.build();
        RawMidiFile midi = loaded(file);
        QCOMPARE((midi.*f.get)(), QStringLiteral("Delayed"));
        MidiBuilder second(1);
        add(second.track().note(0, 60).track(), 0, "Piano");
        QCOMPARE((loaded(second.build()).*f.get)(), QStringLiteral("Piano"));

        (midi.*f.set)(QStringLiteral("New"));
        QCOMPARE((midi.*f.get)(), QStringLiteral("New"));
        QCOMPARE(eventsOf(midi.stream(), f.subType).size(), 2);
        QCOMPARE(midi.stream().mid(midi.stream().lastIndexOf("MTrk")),
            file.mid(file.lastIndexOf("MTrk")));
    }

    // A delta time that merely ends in a 00 byte (every multiple of 128 ticks)
    // is no delta-0 event: removing from that 00 would break the file.
    void deltaEndingInZeroIsKept_data()
    {
        QTest::addColumn<quint32>("delta");
        for (quint32 d : { 128u, 384u, 1920u, 16384u })
            QTest::addRow("%u", d) << d;
    }

    void deltaEndingInZeroIsKept()
    {
        QFETCH(quint32, delta);
        RawMidiFile midi = loaded(typicalSong(0)
                                      .meta(delta, 0x59, QByteArray::fromHex("0000"))
                                      .tag(delta, 3, "Late author")
                                      .meta(delta, 0x03, "Late title")
                                      .marker(delta, 9, "Late marker")
                                      .build());
        midi.setKey(QStringLiteral("D"));
        midi.setAuthor(QStringLiteral("Author"));
        midi.setTitle(QStringLiteral("Title"));
        midi.setMarkersList({ Marker(QStringLiteral("Intro"), 1) });
        for (quint8 type : { quint8(0x59), quint8(0x03), quint8(0x4B) }) {
            const auto found = metaEvents(midi.stream(), type);
            QVERIFY(found.size() >= 2);
            QCOMPARE(found.last().delta, delta);
        }
        QCOMPARE(midi.key(), QStringLiteral("D"));
        QCOMPARE(midi.markersList(),
            QList<Marker>(
                { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Late marker"), 9) }));
    }

    // The walk of the first track: running status across meta and SysEx
    // events, events with multi-byte lengths, old 125-character markers (length
    // byte 0x80), and a track that cannot be walked (nothing removed).
    void walkingTheFirstTrack()
    {
        RawMidiFile running = loaded(MidiBuilder()
                                         .rawHex("00903c64")
                                         .meta(0, 0x03, "Old")
                                         .rawHex("603c00")
                                         .sysex(0, QByteArray::fromHex("7e7f0901f7"))
                                         .rawHex("00403f")
                                         .tag(0, 2, "Old artist")
                                         .build());
        running.setTitle(QStringLiteral("New"));
        running.setArtist(QStringLiteral("New artist"));
        QCOMPARE(metaEvents(running.stream(), 0x03).size(), 1);
        QCOMPARE(metaEvents(running.stream(), 0x4B, 2).size(), 1);

        const QByteArray longTitle(200, 't');
        const QByteArray multi = typicalSong(0)
                                     .meta(0, 0x03, longTitle)
                                     .meta(0, 0x02, QByteArray(130, ' ') + "Zevio")
                                     .build();
        RawMidiFile midi = loaded(multi);
        QCOMPARE(midi.title(), QString::fromLatin1(longTitle));
        QVERIFY(midi.isZevio());
        midi.setTitle(QStringLiteral("Short"));
        QCOMPARE(metaEvents(midi.stream(), 0x03).size(), 1);
        QCOMPARE(midi.stream().size(), multi.size() - (200 + 5) + (5 + 4));

        const QByteArray oldMarker = QByteArray::fromHex("00ff4b80060005") + QByteArray(125, 'o');
        RawMidiFile old = loaded(MidiBuilder().raw(oldMarker).note(0, 60).build());
        QCOMPARE(old.markersList(), QList<Marker>({ Marker(QString(125, QLatin1Char('o')), 5) }));
        old.setMarkersList({ Marker(QStringLiteral("Intro"), 1) });
        QCOMPARE(old.markersList(), QList<Marker>({ Marker(QStringLiteral("Intro"), 1) }));
        QVERIFY(!MidiChecker::events(old.stream()).isEmpty());

        const QByteArray broken = MidiBuilder().meta(0, 0x03, "Old").rawHex("003c64").build();
        RawMidiFile unreadable = loaded(broken);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be read")));
        unreadable.setTitle(QStringLiteral("New"));
        QCOMPARE(
            unreadable.stream().mid(22), QByteArray::fromHex("00ff03034e6577") + broken.mid(22));
        QCOMPARE(firstTrackLength(unreadable.stream()), firstTrackLength(broken) + 7);
    }

    // Inside an "_MF4" container the first track's length also counts three
    // bytes dropped at load: edits stop at End of Track and keep that offset.
    void lengthFieldCountingDroppedBytes()
    {
        QByteArray file = typicalSong(0).meta(0, 0x03, "Old").build();
        const quint32 real = firstTrackLength(file);
        qToBigEndian<quint32>(real + 3, file.data() + 18);
        RawMidiFile midi = loaded(file);
        midi.setTitle(QStringLiteral("Brand new"));
        QByteArray edited = midi.stream();
        QCOMPARE(firstTrackLength(edited), real + 3 - 7 + 13);
        qToBigEndian<quint32>(real - 7 + 13, edited.data() + 18);
        QCOMPARE(metaEvents(edited, 0x03).size(), 1);
    }

    void isZevio_data()
    {
        QTest::addColumn<QList<QByteArray>>("copyrights");
        QTest::addColumn<bool>("zevio");
        // clang-format off
        QTest::newRow("none") << QList<QByteArray>() << false;
        QTest::newRow("maker") << QList<QByteArray>({ "(C) 2009 Zevio srl" }) << true;
        QTest::newRow("lower case") << QList<QByteArray>({ "made by zevio" }) << true;
        QTest::newRow("second word") << QList<QByteArray>({ "Melvoran Music" }) << true;
        QTest::newRow("other") << QList<QByteArray>({ "(C) Someone Else" }) << false;
        QTest::newRow("only the first counts") << QList<QByteArray>({ "Someone", "Zevio" }) << false;
        QTest::newRow("after 0x00") << QList<QByteArray>({ QByteArray("abc\0Zevio", 9) }) << false;
        // clang-format on
    }

    void isZevio()
    {
        QFETCH(QList<QByteArray>, copyrights);
        MidiBuilder builder = typicalSong();
        for (const QByteArray &text : copyrights)
            builder.meta(0, 0x02, text);
        QTEST(loaded(builder.build()).isZevio(), "zevio");
    }

    void keysList()
    {
        const QString expected = QStringLiteral("C A- G E- D B- A F#- E C#- B G#- F# D#- C# A#- Cb "
                                                "Ab- Gb Eb- Db Bb- Ab F- Eb C- Bb G- F D-");
        QCOMPARE(RawMidiFile::getKeysList().join(QLatin1Char(' ')), expected);
        QCOMPARE(MetaSong::getKeysList(), RawMidiFile::getKeysList());
    }

    void setKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("event"); // empty: unknown name, logged
        QTest::addColumn<QString>("readBack");
        // clang-format off
        QTest::newRow("A minor") << QStringLiteral("A-") << QByteArray("00ff59020001") << QStringLiteral("A-");
        QTest::newRow("seven sharps") << QStringLiteral("C#") << QByteArray("00ff59020700") << QStringLiteral("C#");
        QTest::newRow("seven flats minor")
            << QStringLiteral("Ab-") << QByteArray("00ff5902f901") << QStringLiteral("Ab-");
        QTest::newRow("catalogue spelling")
            << QStringLiteral("F# -") << QByteArray("00ff59020301") << QStringLiteral("F#-");
        QTest::newRow("spaces everywhere")
            << QStringLiteral(" B b ") << QByteArray("00ff5902fe00") << QStringLiteral("Bb");
        QTest::newRow("alias G#") << QStringLiteral("G#") << QByteArray("00ff5902fc00") << QStringLiteral("Ab");
        QTest::newRow("lower case") << QStringLiteral("c") << QByteArray() << QStringLiteral("c");
        // clang-format on
    }

    void setKey()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, event);
        QFETCH(QString, readBack);
        const QByteArray song = typicalSong().build();
        RawMidiFile midi = loaded(song);
        midi.setKey(QStringLiteral("E"));
        if (event.isEmpty()) {
            // An unknown name removes the old key and adds none.
            QTest::ignoreMessage(QtWarningMsg,
                qPrintable(QStringLiteral(
                    "[RawMidiFile::setKey] WARNING: unknown key: \"%1\" . Metaevent not added !!!")
                               .arg(readBack)));
            midi.setKey(name);
            QCOMPARE(midi.stream(), song);
            return;
        }
        midi.setKey(name);
        QCOMPARE(midi.stream().mid(22, 6).toHex(), event);
        QCOMPARE(metaEvents(midi.stream(), 0x59).size(), 1);
        QCOMPARE(midi.key(), readBack);
    }

    void keyReading_data()
    {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("diagnostic");
        // clang-format off
        QTest::newRow("multi-byte length") << QByteArray("00ff59800203010000") << QStringLiteral("F#-") << QString();
        QTest::newRow("eight sharps") << QByteArray("00ff59020800") << QString() << QStringLiteral("[sf=08|mi=00]");
        QTest::newRow("mode 10") << QByteArray("00ff5902f90a") << QString() << QStringLiteral("[sf=f9|mi=0A]");
        // clang-format on
    }

    void keyReading()
    {
        QFETCH(QByteArray, event);
        QFETCH(QString, diagnostic);
        RawMidiFile midi = loaded(
            MidiBuilder(0).raw(QByteArray::fromHex(event)).meta(0, 0x03, "Still read").build());
        if (!diagnostic.isEmpty())
            QTest::ignoreMessage(QtWarningMsg,
                qPrintable(QStringLiteral(
                    "[RawMidiFile::extractKey] WARNING: unknown key metaevent \"%1\" in MIDI file.")
                               .arg(diagnostic)));
        QTEST(midi.key(), "key");
        QVERIFY(midi.hasKey());
        QCOMPARE(midi.title(), QStringLiteral("Still read"));
    }

    // An empty name removes the delta-0 keys of the first track only.
    void emptyKeyRemovesHeadKeysOnly()
    {
        const QByteArray file = MidiBuilder(1)
                                    .track()
                                    .meta(0, 0x59, QByteArray::fromHex("0200"))
                                    .meta(0, 0x59, QByteArray::fromHex("0300"))
                                    .note(0, 60)
                                    .meta(1920, 0x59, QByteArray::fromHex("fe00"))
                                    .track()
                                    .meta(0, 0x59, QByteArray::fromHex("0101"))
                                    .build();
        RawMidiFile midi = loaded(file);
        QCOMPARE(midi.key(), QStringLiteral("D"));
        midi.setKey(QString());
        QCOMPARE(midi.key(), QStringLiteral("Bb"));
        QCOMPARE(midi.stream().size(), file.size() - 12);
    }
};

QTEST_GUILESS_MAIN(TestRawMidiFile)
#include "tst_rawmidifile.moc"
