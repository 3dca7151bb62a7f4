#include "midichecker.h"
#include "rawmidifile.h"
#include "songbuilders.h"

#include <QtTest>

using Bytes::hex;
using MidiChecker::metaEvents;

namespace
{
struct TextField {
    void (RawMidiFile::*set)(const QString &);
    QString (RawMidiFile::*get)() const;
    int subType; // tag sub-type, -1 for the title (FF 03)
};
const TextField fields[] = { { &RawMidiFile::setTitle, &RawMidiFile::title, -1 },
    { &RawMidiFile::setGenre, &RawMidiFile::genre, 1 },
    { &RawMidiFile::setArtist, &RawMidiFile::artist, 2 },
    { &RawMidiFile::setAuthor, &RawMidiFile::author, 3 } };

QList<MidiChecker::Event> eventsOf(const QByteArray &file, int subType)
{
    return subType < 0 ? metaEvents(file, 0x03) : metaEvents(file, 0x4B, subType);
}

// A tempo, a program change and two notes; the first event at offset 22.
MidiBuilder typicalSong()
{
    return MidiBuilder(0).meta(0, 0x51, hex("07a120")).raw(hex("00c005")).note(0, 60).note(0, 64);
}

RawMidiFile loaded(const QByteArray &bytes)
{
    RawMidiFile midi;
    if (!midi.loadData(bytes))
        qWarning("test file did not load");
    return midi;
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
            QTest::addRow("%d plain", f) << f << QStringLiteral("Blue Night") << QStringLiteral("Blue Night");
            QTest::addRow("%d empty still writes an event", f) << f << QString() << QString();
            QTest::addRow("%d outside Latin-1, trimmed", f) << f << QStringLiteral(" € \U0001D11Eà ") << QStringLiteral("? ?à");
            QTest::addRow("%d cut to 125 characters", f) << f << QStringLiteral("\U0001D11E") + QString(129, QLatin1Char('a'))
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
        RawMidiFile midi = loaded(typicalSong().build());
        (midi.*f.set)(QStringLiteral("first value"));
        (midi.*f.set)(text);
        QCOMPARE((midi.*f.get)(), expected);
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
        const RawMidiFile midi = loaded(
            MidiBuilder().tag(0, 4, payload).tag(0, 5, payload).meta(0, 3, payload).build());
        QTEST(midi.length(), "number");
        QTEST(midi.userBpm(), "number");
        QTEST(midi.title(), "text");
    }

    // Markers stand in list order at the head of the first track, bars in 16
    // bits, texts cut so the length byte stays below 0x80; applying the same
    // list again gives the same file.
    void markers()
    {
        const QList<Marker> list
            = { Marker(QStringLiteral("Intro"), 1), Marker(QString(130, QLatin1Char('m')), 65535),
                  Marker(QStringLiteral("W"), 65536 + 17) };
        RawMidiFile midi = loaded(typicalSong().marker(0, 3, "Old").marker(0, 4, "Older").build());
        midi.setMarkersList(list);
        QCOMPARE(midi.markersList(),
            QList<Marker>({ list[0], Marker(QString(124, QLatin1Char('m')), 65535),
                Marker(QStringLiteral("W"), 17) }));
        const QByteArray once = midi.stream();
        QCOMPARE(once.mid(22, 12), hex("00ff4b08060001", "Intro"));
        QCOMPARE(metaEvents(once, 0x4B, 6).size(), 3);
        midi.setMarkersList(list);
        QCOMPARE(midi.stream(), once);
        midi.setMarkersList({});
        QVERIFY(!midi.hasMarkers());
    }

    // Readers search every track and take the first match, whatever its delta;
    // writers remove the delta-0 events of the first track only (found by
    // walking its events: running status across meta and SysEx events,
    // multi-byte lengths, a delta merely ending in a 00 byte) and put theirs
    // in front.
    void firstTrackWalk()
    {
        const QByteArray late = MidiBuilder(1)
                                    .track()
                                    .raw(hex("00903c64"))
                                    .meta(0, 0x03, "Old")
                                    .raw(hex("603c00"
                                             "00f0057e7f0901f7"
                                             "00403f"))
                                    .meta(0, 0x03, QByteArray(200, 't'))
                                    .meta(128, 0x03, "Late")
                                    .tag(384, 2, "Late artist")
                                    .track()
                                    .meta(0, 0x03, "Piano")
                                    .tag(0, 2, "Second track")
                                    .build();
        RawMidiFile midi = loaded(late);
        QCOMPARE(midi.title(), QStringLiteral("Old"));
        QCOMPARE(midi.artist(), QStringLiteral("Late artist"));
        midi.setTitle(QStringLiteral("New"));
        midi.setArtist(QStringLiteral("Artist"));
        const QList<MidiChecker::Event> titles = metaEvents(midi.stream(), 0x03);
        QCOMPARE(titles.size(), 2);
        QCOMPARE(titles.last().delta, 128u);
        QCOMPARE(metaEvents(midi.stream(), 0x4B, 2).size(), 2);
        QCOMPARE(midi.stream().mid(midi.stream().lastIndexOf("MTrk")),
            late.mid(late.lastIndexOf("MTrk")));
        QCOMPARE(
            loaded(MidiBuilder(1).track().note(0, 1).track().tag(0, 2, "Piano").build()).artist(),
            QStringLiteral("Piano"));

        // An old marker of 125 characters has the length byte 0x80 (one byte).
        RawMidiFile old = loaded(
            MidiBuilder().raw(hex("00ff4b80060005") + QByteArray(125, 'o')).note(0, 60).build());
        QCOMPARE(old.markersList(), QList<Marker>({ Marker(QString(125, QLatin1Char('o')), 5) }));
        old.setMarkersList({ Marker(QStringLiteral("Intro"), 1) });
        QCOMPARE(old.markersList(), QList<Marker>({ Marker(QStringLiteral("Intro"), 1) }));
        QVERIFY(!MidiChecker::events(old.stream()).isEmpty());

        // A track that cannot be walked: nothing removed, the event still added.
        const QByteArray broken = MidiBuilder().meta(0, 0x03, "Old").raw(hex("003c64")).build();
        RawMidiFile unreadable = loaded(broken);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be read")));
        unreadable.setTitle(QStringLiteral("New"));
        QByteArray expected = broken;
        expected.insert(22, hex("00ff0303", "New"))
            .replace(18, 4, Bytes::be32(quint32(broken.size() - 22 + 7)));
        QCOMPARE(unreadable.stream(), expected);

        // Inside an "_MF4" container the length also counts three bytes dropped
        // at load: edits stop at End of Track and keep that offset.
        QByteArray mf4 = typicalSong().meta(0, 0x03, "Old").build();
        mf4.replace(18, 4, Bytes::be32(quint32(mf4.size() - 22 + 3)));
        RawMidiFile dropped = loaded(mf4);
        dropped.setTitle(QStringLiteral("Brand new"));
        QCOMPARE(dropped.stream().mid(18, 4), Bytes::be32(quint32(mf4.size() - 22 + 3 - 7 + 13)));
    }

    // The first copyright event decides: the maker's words in any case.
    void isZevio()
    {
        const auto zevio = [](const QList<QByteArray> &copyrights) {
            MidiBuilder midi = typicalSong();
            for (const QByteArray &text : copyrights)
                midi.meta(0, 0x02, text);
            return loaded(midi.build()).isZevio();
        };
        QVERIFY(zevio({ "made by zevio" }) && zevio({ "Melvoran Music" }));
        QVERIFY(!zevio({}) && !zevio({ "Someone", "Zevio" })
            && !zevio({ QByteArray("abc\0Zevio", 9) }));
    }

    void setKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("event"); // empty: unknown name, logged
        QTest::addColumn<QString>("readBack");
        // clang-format off
        QTest::newRow("A minor") << QStringLiteral("A-") << QByteArray("00ff59020001") << QStringLiteral("A-");
        QTest::newRow("seven sharps") << QStringLiteral("C#") << QByteArray("00ff59020700") << QStringLiteral("C#");
        QTest::newRow("seven flats minor") << QStringLiteral("Ab-") << QByteArray("00ff5902f901") << QStringLiteral("Ab-");
        QTest::newRow("catalogue spelling") << QStringLiteral("F# -") << QByteArray("00ff59020301") << QStringLiteral("F#-");
        QTest::newRow("spaces everywhere") << QStringLiteral(" B b ") << QByteArray("00ff5902fe00") << QStringLiteral("Bb");
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
        if (event.isEmpty()) { // an unknown name removes the old key and adds none
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

    // Keys read from every track, a multi-byte length included; an unknown
    // code reads as no key, with a warning. An empty name removes the delta-0
    // keys of the first track only.
    void keyReading()
    {
        QCOMPARE(loaded(MidiBuilder(0).raw(hex("00ff59800203010000")).build()).key(),
            QStringLiteral("F#-"));
        QTest::ignoreMessage(QtWarningMsg,
            "[RawMidiFile::extractKey] WARNING: unknown key metaevent \"[sf=f9|mi=0A]\" in MIDI "
            "file.");
        const RawMidiFile unknown
            = loaded(MidiBuilder(0).raw(hex("00ff5902f90a")).meta(0, 3, "Read").build());
        QVERIFY(unknown.key().isEmpty() && unknown.hasKey()
            && unknown.title() == QLatin1String("Read"));
        const QByteArray file = MidiBuilder(1)
                                    .track()
                                    .meta(0, 0x59, hex("0200"))
                                    .meta(0, 0x59, hex("0300"))
                                    .meta(1920, 0x59, hex("fe00"))
                                    .track()
                                    .meta(0, 0x59, hex("0101"))
                                    .build();
        RawMidiFile midi = loaded(file);
        QCOMPARE(midi.key(), QStringLiteral("D"));
        midi.setKey(QString());
        QCOMPARE(midi.key(), QStringLiteral("Bb"));
        QCOMPARE(midi.stream().size(), file.size() - 12);
        QCOMPARE(RawMidiFile::getKeysList().join(QLatin1Char(' ')),
            QStringLiteral("C A- G E- D B- A F#- E C#- B G#- F# D#- C# A#- Cb Ab- Gb Eb- Db Bb- Ab "
                           "F- Eb C- Bb G- F D-"));
    }
};

QTEST_GUILESS_MAIN(TestRawMidiFile)
#include "tst_rawmidifile.moc"
