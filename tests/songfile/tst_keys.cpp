#include "midibuilder.h"
#include "rawmidifile.h"

#include <QtTest>

namespace
{

RawMidiFile loaded(const QByteArray &bytes)
{
    RawMidiFile midi;
    if (!midi.loadData(bytes))
        qWarning("test file did not load");
    return midi;
}

QByteArray song()
{
    return MidiBuilder(0).track().meta(0, 0x03, "Song").note(0, 60).build();
}

QByteArray keyEventsOfFirstTrack(const RawMidiFile &midi)
{
    // Every "FF 59 02 sf mi" inside the first track, as hex, in file order.
    const QByteArray data = midi.stream();
    const qint64 start = data.indexOf("MTrk") + 8;
    const qint64 next = data.indexOf("MTrk", start);
    const QByteArray track = data.mid(start, next < 0 ? -1 : next - start);
    QByteArray found;
    for (qint64 i = track.indexOf("\xff\x59"); i >= 0; i = track.indexOf("\xff\x59", i + 1))
        found.append(track.mid(i - 1, 6).toHex()).append(' ');
    return found.trimmed();
}

} // namespace

class TestKeys : public QObject
{
    Q_OBJECT

private slots:
    void keysListOrder()
    {
        const QStringList expected = {
            QStringLiteral("C"),
            QStringLiteral("A-"),
            QStringLiteral("G"),
            QStringLiteral("E-"),
            QStringLiteral("D"),
            QStringLiteral("B-"),
            QStringLiteral("A"),
            QStringLiteral("F#-"),
            QStringLiteral("E"),
            QStringLiteral("C#-"),
            QStringLiteral("B"),
            QStringLiteral("G#-"),
            QStringLiteral("F#"),
            QStringLiteral("D#-"),
            QStringLiteral("C#"),
            QStringLiteral("A#-"),
            QStringLiteral("Cb"),
            QStringLiteral("Ab-"),
            QStringLiteral("Gb"),
            QStringLiteral("Eb-"),
            QStringLiteral("Db"),
            QStringLiteral("Bb-"),
            QStringLiteral("Ab"),
            QStringLiteral("F-"),
            QStringLiteral("Eb"),
            QStringLiteral("C-"),
            QStringLiteral("Bb"),
            QStringLiteral("G-"),
            QStringLiteral("F"),
            QStringLiteral("D-"),
        };
        QCOMPARE(RawMidiFile::getKeysList(), expected);
        QCOMPARE(RawMidiFile().getKeysList(), expected);
    }

    void writeAndRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<QString>("readBack");

        QTest::newRow("C") << QStringLiteral("C") << QByteArray("00ff59020000")
                           << QStringLiteral("C");
        QTest::newRow("A minor") << QStringLiteral("A-") << QByteArray("00ff59020001")
                                 << QStringLiteral("A-");
        QTest::newRow("seven sharps")
            << QStringLiteral("C#") << QByteArray("00ff59020700") << QStringLiteral("C#");
        QTest::newRow("seven flats minor")
            << QStringLiteral("Ab-") << QByteArray("00ff5902f901") << QStringLiteral("Ab-");
        QTest::newRow("one flat") << QStringLiteral("F") << QByteArray("00ff5902ff00")
                                  << QStringLiteral("F");
        QTest::newRow("catalogue spelling")
            << QStringLiteral("F# -") << QByteArray("00ff59020301") << QStringLiteral("F#-");
        QTest::newRow("spaces everywhere")
            << QStringLiteral(" B b ") << QByteArray("00ff5902fe00") << QStringLiteral("Bb");
        QTest::newRow("alias G#") << QStringLiteral("G#") << QByteArray("00ff5902fc00")
                                  << QStringLiteral("Ab");
        QTest::newRow("alias Db-")
            << QStringLiteral("Db-") << QByteArray("00ff59020401") << QStringLiteral("C#-");
        QTest::newRow("alias D#") << QStringLiteral("D#") << QByteArray("00ff5902fd00")
                                  << QStringLiteral("Eb");
    }

    void writeAndRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, event);
        QFETCH(QString, readBack);

        RawMidiFile midi = loaded(song());
        midi.setKey(QStringLiteral("E"));
        midi.setKey(name);
        QCOMPARE(keyEventsOfFirstTrack(midi), event);
        QCOMPARE(midi.stream().mid(22, 6).toHex(), event); // at the head of the first track
        QCOMPARE(midi.key(), readBack);
        QVERIFY(midi.hasKey());
    }

    void everyKeyRoundTrips()
    {
        for (const QString &name : RawMidiFile::getKeysList()) {
            RawMidiFile midi = loaded(song());
            midi.setKey(name);
            QCOMPARE(midi.key(), name);
        }
    }

    void unknownNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("logged");
        QTest::newRow("lower case") << QStringLiteral("c") << QStringLiteral("c");
        QTest::newRow("German H") << QStringLiteral("H -") << QStringLiteral("H-");
        QTest::newRow("word") << QStringLiteral("major") << QStringLiteral("major");
    }

    // An unknown name removes the old key, adds none and says so in the log.
    void unknownNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, logged);
        RawMidiFile midi = loaded(song());
        midi.setKey(QStringLiteral("D"));
        const QString line = QStringLiteral(
            "[RawMidiFile::setKey] WARNING: unknown key: \"%1\" . Metaevent not added !!!")
                                 .arg(logged);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
        midi.setKey(name);
        QVERIFY(!midi.hasKey());
        QCOMPARE(midi.stream(), song());
    }

    void emptyNameRemovesHeadKeysOnly()
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
        QVERIFY(midi.hasKey());
        QCOMPARE(midi.key(), QStringLiteral("Bb")); // the one after a bar line stays
        QCOMPARE(midi.stream().size(), file.size() - 12);

        RawMidiFile secondTrackOnly = loaded(MidiBuilder(1)
                                                 .track()
                                                 .note(0, 60)
                                                 .track()
                                                 .meta(0, 0x59, QByteArray::fromHex("0101"))
                                                 .build());
        QCOMPARE(secondTrackOnly.key(), QStringLiteral("E-"));
        secondTrackOnly.setKey(QString());
        QCOMPARE(secondTrackOnly.key(), QStringLiteral("E-"));
    }

    void unknownCodes_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("diagnostic");
        QTest::newRow("eight sharps")
            << QByteArray::fromHex("0800") << QStringLiteral("[sf=08|mi=00]");
        QTest::newRow("mode 10") << QByteArray::fromHex("f90a") << QStringLiteral("[sf=f9|mi=0A]");
        QTest::newRow("mode 0xab")
            << QByteArray::fromHex("00ab") << QStringLiteral("[sf=00|mi=AB]");
    }

    void unknownCodes()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, diagnostic);
        RawMidiFile midi = loaded(
            MidiBuilder(0).track().meta(0, 0x59, payload).meta(0, 0x03, "Still read").build());
        const QString line = QStringLiteral(
            "[RawMidiFile::extractKey] WARNING: unknown key metaevent \"%1\" in MIDI file.")
                                 .arg(diagnostic);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
        QCOMPARE(midi.key(), QString());
        QVERIFY(midi.hasKey());
        QCOMPARE(midi.title(), QStringLiteral("Still read"));
    }

    // sf and mi are the two bytes after the length, also when another program
    // wrote the length as a longer quantity.
    void keyWithMultiByteLength()
    {
        RawMidiFile midi
            = loaded(MidiBuilder(0).track().raw(QByteArray::fromHex("00ff59800203010000")).build());
        QCOMPARE(midi.key(), QStringLiteral("F#-"));
    }
};

QTEST_GUILESS_MAIN(TestKeys)
#include "tst_keys.moc"
