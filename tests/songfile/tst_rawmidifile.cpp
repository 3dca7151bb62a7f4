#include "midibuilder.h"
#include "midichecker.h"
#include "rawmidifile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace
{

QList<MidiChecker::Event> parsedEvents(const QByteArray &file)
{
    QList<MidiChecker::Event> events;
    QString error;
    if (!MidiChecker::strictParse(file, &events, &error)) {
        qWarning("strict MIDI reader: %s", qPrintable(error));
        return {};
    }
    return events;
}

// Events of the first track of one meta type (and tag sub-type when >= 0).
QList<MidiChecker::Event> metaEvents(
    const QList<MidiChecker::Event> &events, quint8 metaType, int subType = -1, int track = 0)
{
    QList<MidiChecker::Event> result;
    for (const MidiChecker::Event &ev : events) {
        if (ev.track == track && ev.status == 0xFF && ev.metaType == metaType
            && (subType < 0 || (!ev.payload.isEmpty() && quint8(ev.payload.at(0)) == subType)))
            result.append(ev);
    }
    return result;
}

qint64 firstTrackStart(const QByteArray &file)
{
    return file.indexOf("MTrk") + 8;
}

// A realistic first track: tempo, time signature, a program change, notes.
MidiBuilder typicalSong(int format = 1)
{
    MidiBuilder midi(format);
    midi.track()
        .meta(0, 0x51, QByteArray::fromHex("07a120"))
        .meta(0, 0x58, QByteArray::fromHex("04021808"))
        .raw(QByteArray::fromHex("00c005"))
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

enum TextKind { Title, Genre, Artist, Author };

void writeText(RawMidiFile &midi, int kind, const QString &text)
{
    switch (kind) {
    case Title:
        midi.setTitle(text);
        break;
    case Genre:
        midi.setGenre(text);
        break;
    case Artist:
        midi.setArtist(text);
        break;
    case Author:
        midi.setAuthor(text);
        break;
    }
}

QString readText(const RawMidiFile &midi, int kind)
{
    switch (kind) {
    case Title:
        return midi.title();
    case Genre:
        return midi.genre();
    case Artist:
        return midi.artist();
    case Author:
        return midi.author();
    }
    return QString();
}

bool hasText(const RawMidiFile &midi, int kind)
{
    switch (kind) {
    case Title:
        return midi.hasTitle();
    case Genre:
        return midi.hasGenre();
    case Artist:
        return midi.hasArtist();
    case Author:
        return midi.hasAuthor();
    }
    return false;
}

QList<MidiChecker::Event> eventsOfKind(const QByteArray &file, int kind)
{
    const QList<MidiChecker::Event> events = parsedEvents(file);
    return kind == Title ? metaEvents(events, 0x03) : metaEvents(events, 0x4B, kind);
}

} // namespace

class TestRawMidiFile : public QObject
{
    Q_OBJECT

private slots:
    void strictReaderRejectsBrokenFiles()
    {
        // The checker itself must catch what the tests rely on it to catch.
        const QByteArray good = typicalSong().build();
        QList<MidiChecker::Event> events;
        QString error;
        QVERIFY2(MidiChecker::strictParse(good, &events, &error), qPrintable(error));
        QByteArray longer = good;
        longer[18 + 3] = char(quint8(longer.at(18 + 3)) + 1); // first track length + 1
        QVERIFY(!MidiChecker::strictParse(longer, &events, &error));
        QByteArray brokenDelta
            = MidiBuilder().track().raw(QByteArray::fromHex("8080808000")).build();
        QVERIFY(!MidiChecker::strictParse(brokenDelta, &events, &error));
        QByteArray longMeta = MidiBuilder().track().raw(QByteArray::fromHex("00ff0380")).build();
        QVERIFY(!MidiChecker::strictParse(longMeta, &events, &error));
    }

    void loadData_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("fileType");

        QTest::newRow("format 0") << typicalSong(0).build() << true << int(SongInfo::FileTypeMidi0);
        QTest::newRow("format 1") << typicalSong(1).build() << true << int(SongInfo::FileTypeMidi1);
        QTest::newRow("format 2") << MidiBuilder(2).track().build() << false << 0;
        QByteArray riff = typicalSong().build();
        riff.replace(0, 4, "RIFF");
        QTest::newRow("not MThd") << riff << false << 0;
        QByteArray noTrack = typicalSong().build();
        noTrack.replace(noTrack.indexOf("MTrk"), 4, "XTrk");
        noTrack.replace(noTrack.indexOf("MTrk"), 4, "XTrk");
        QTest::newRow("no MTrk") << noTrack << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("header only") << QByteArray("MThd\0\0\0\6\0\0", 10) << false << 0;
        QTest::newRow("MTrk without length")
            << QByteArray("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0", 20) << false << 0;
        QTest::newRow("empty first track") << QByteArray("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\0",
            22) << true << int(SongInfo::FileTypeMidi0);
    }

    void loadData()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QFETCH(int, fileType);

        RawMidiFile fresh;
        QCOMPARE(fresh.loadData(bytes), accepted);
        QCOMPARE(fresh.stream(), accepted ? bytes : QByteArray());
        if (accepted)
            QCOMPARE(int(fresh.fileType()), fileType);

        // A failed load leaves an earlier song untouched.
        const QByteArray earlier = typicalSong(0).build();
        RawMidiFile midi = loaded(earlier);
        QCOMPARE(midi.loadData(bytes), accepted);
        QCOMPARE(midi.stream(), accepted ? bytes : earlier);
        QCOMPARE(int(midi.fileType()), accepted ? fileType : int(SongInfo::FileTypeMidi0));
    }

    void textRoundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        const QString long200 = QString(200, QLatin1Char('x'));
        const struct {
            const char *name;
            int kind;
        } kinds[] = { { "title", Title }, { "genre", Genre }, { "artist", Artist },
            { "author", Author } };
        for (const auto &k : kinds) {
            auto row = [&](const char *what) -> QTestData & {
                return QTest::newRow(qPrintable(
                    QStringLiteral("%1: %2").arg(QLatin1String(k.name), QLatin1String(what))));
            };
            row("plain") << k.kind << QStringLiteral("Blue Night") << QStringLiteral("Blue Night");
            row("empty") << k.kind << QString() << QString();
            row("trimmed on reading")
                << k.kind << QStringLiteral("  Rock  ") << QStringLiteral("Rock");
            row("Latin-1") << k.kind << QStringLiteral("Città più bella")
                           << QStringLiteral("Città più bella");
            row("outside Latin-1") << k.kind << QStringLiteral("Euro € clef \U0001D11E!")
                                   << QStringLiteral("Euro ? clef ?!");
            row("200 characters") << k.kind << long200 << QString(125, QLatin1Char('x'));
            row("125 characters outside the BMP")
                << k.kind
                << QString(130, QLatin1Char('a')).replace(0, 1, QStringLiteral("\U0001D11E"))
                << (QStringLiteral("?") + QString(124, QLatin1Char('a')));
        }
    }

    // Writing twice leaves exactly one delta-0 event of its kind, at the head of
    // the first track, in a file a strict reader accepts.
    void textRoundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, expected);

        RawMidiFile midi = loaded(typicalSong(0).build());
        QVERIFY(!hasText(midi, kind));
        writeText(midi, kind, QStringLiteral("first value"));
        writeText(midi, kind, text);
        QCOMPARE(readText(midi, kind), expected);
        QVERIFY(hasText(midi, kind));

        const QByteArray file = midi.stream();
        const QList<MidiChecker::Event> found = eventsOfKind(file, kind);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().offset, firstTrackStart(file));
        QCOMPARE(found.first().delta, 0u);
        const QByteArray stored
            = kind == Title ? found.first().payload : found.first().payload.mid(1);
        QVERIFY(stored.size() <= 125);
        // Written texts are not trimmed, only cut and converted.
        QCOMPARE(QString::fromLatin1(stored).trimmed(), expected);
    }

    void emptyTextsStillWriteEvents()
    {
        RawMidiFile midi = loaded(typicalSong().build());
        midi.setTitle(QString());
        QVERIFY(midi.stream().mid(firstTrackStart(midi.stream()), 4)
            == QByteArray::fromHex("00ff0300"));
        midi.setAuthor(QString());
        QVERIFY(midi.stream().mid(firstTrackStart(midi.stream()), 5)
            == QByteArray::fromHex("00ff4b0103"));
        QVERIFY(midi.hasTitle());
        QVERIFY(midi.hasAuthor());
        QCOMPARE(midi.title(), QString());
        QCOMPARE(midi.author(), QString());
    }

    void numbers_data()
    {
        QTest::addColumn<bool>("tempo");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("readBack");

        QTest::newRow("length") << false << 215 << QByteArray("215") << 215;
        QTest::newRow("length 0") << false << 0 << QByteArray("0") << 0;
        QTest::newRow("negative length") << false << -5 << QByteArray("-5") << 0;
        QTest::newRow("largest length")
            << false << 2147483647 << QByteArray("2147483647") << 2147483647;
        QTest::newRow("tempo") << true << 120 << QByteArray("120") << 120;
        QTest::newRow("negative tempo") << true << -1 << QByteArray("-1") << 0;
    }

    void numbers()
    {
        QFETCH(bool, tempo);
        QFETCH(int, value);
        QFETCH(QByteArray, stored);
        QFETCH(int, readBack);

        RawMidiFile midi = loaded(typicalSong().build());
        const int subType = tempo ? RawMidiFile::MetaUserBpm : RawMidiFile::MetaLength;
        for (int i = 0; i < 2; ++i)
            tempo ? midi.setUserBpm(value) : midi.setLength(value);
        QCOMPARE(tempo ? midi.userBpm() : midi.length(), readBack);
        QVERIFY(tempo ? midi.hasUserBpm() : midi.hasLength());
        const QList<MidiChecker::Event> found
            = metaEvents(parsedEvents(midi.stream()), 0x4B, subType);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().payload.mid(1), stored);
    }

    void numberReading_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("value");

        QTest::newRow("digits") << QByteArray("215") << 215;
        QTest::newRow("spaces around") << QByteArray("  215 ") << 215;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("negative") << QByteArray("-5") << 0;
        QTest::newRow("letters after") << QByteArray("12a") << 0;
        QTest::newRow("hexadecimal") << QByteArray("0x10") << 0;
        QTest::newRow("inner space") << QByteArray("1 2") << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("too large") << QByteArray("2147483648") << 0;
        QTest::newRow("far too large") << QByteArray("99999999999999999999") << 0;
        QTest::newRow("ends at 0x00") << QByteArray("180\0"
                                                    "999",
            7) << 180;
        QTest::newRow("superscript digit") << QByteArray("2\xb2") << 0;
    }

    void numberReading()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, value);
        RawMidiFile midi
            = loaded(MidiBuilder().track().tag(0, 4, payload).tag(0, 5, payload).build());
        QCOMPARE(midi.length(), value);
        QCOMPARE(midi.userBpm(), value);
        QVERIFY(midi.hasLength());
        QVERIFY(midi.hasUserBpm());
    }

    void textReading_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("text");

        QTest::newRow("spaces around") << QByteArray("  Rock \t") << QStringLiteral("Rock");
        QTest::newRow("ends at 0x00") << QByteArray("Rock\0junk", 9) << QStringLiteral("Rock");
        QTest::newRow("Latin-1 byte") << QByteArray("Perch\xe9") << QStringLiteral("Perché");
        QTest::newRow("no-break spaces trimmed")
            << QByteArray("\xa0Jazz\xa0") << QStringLiteral("Jazz");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void textReading()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, text);
        RawMidiFile midi
            = loaded(MidiBuilder().track().meta(0, 0x03, payload).tag(0, 1, payload).build());
        QCOMPARE(midi.title(), text);
        QCOMPARE(midi.genre(), text);
    }

    // The byte counts that the rules would make negative give empty texts.
    void shortTagEvents()
    {
        // A tag event of length 0 followed by bytes that look like a sub-type.
        RawMidiFile midi = loaded(MidiBuilder()
                                      .track()
                                      .raw(QByteArray::fromHex("00ff4b00"))
                                      .raw(QByteArray::fromHex("02ff0100"))
                                      .build());
        QVERIFY(midi.hasArtist());
        QCOMPARE(midi.artist(), QString());
        // A marker whose length covers only the sub-type and one bar byte.
        RawMidiFile marker
            = loaded(MidiBuilder().track().raw(QByteArray::fromHex("00ff4b020601")).build());
        QCOMPARE(marker.markersList().size(), 1);
        QCOMPARE(marker.markersList().first().text, QString());
    }

    void markers_data()
    {
        QTest::addColumn<QList<Marker>>("markers");
        QTest::addColumn<QList<Marker>>("expected");

        const QList<Marker> three = { Marker(QStringLiteral("Intro"), 1),
            Marker(QStringLiteral("Verse"), 9), Marker(QStringLiteral("Chorus"), 17) };
        QTest::newRow("three markers") << three << three;
        QTest::newRow("empty list") << QList<Marker>() << QList<Marker>();
        QTest::newRow("16-bit bars") << QList<Marker>(
            { Marker(QStringLiteral("Top"), 65535), Marker(QStringLiteral("Wrap"), 65536 + 300) })
                                     << QList<Marker>({ Marker(QStringLiteral("Top"), 65535),
                                            Marker(QStringLiteral("Wrap"), 300) });
        QTest::newRow("text cut to 124")
            << QList<Marker>({ Marker(QString(125, QLatin1Char('m')), 5) })
            << QList<Marker>({ Marker(QString(124, QLatin1Char('m')), 5) });
        QTest::newRow("empty text")
            << QList<Marker>({ Marker(QString(), 2) }) << QList<Marker>({ Marker(QString(), 2) });
    }

    void markers()
    {
        QFETCH(QList<Marker>, markers);
        QFETCH(QList<Marker>, expected);

        // The file starts with two old markers, which every write replaces.
        const QByteArray old = typicalSong(0).marker(0, 3, "Old").marker(0, 4, "Older").build();
        RawMidiFile midi = loaded(old);
        midi.setMarkersList(markers);
        QCOMPARE(midi.markersList(), expected);
        QCOMPARE(midi.hasMarkers(), !expected.isEmpty());
        const QByteArray once = midi.stream();
        const QList<MidiChecker::Event> events = parsedEvents(once);
        const QList<MidiChecker::Event> found = metaEvents(events, 0x4B, 6);
        QCOMPARE(found.size(), expected.size());
        for (const MidiChecker::Event &ev : found)
            QVERIFY(ev.payload.size() < 0x80); // every length byte below 0x80

        midi.setMarkersList(markers);
        QCOMPARE(midi.stream(), once);
    }

    void insertMarkerAddsOneEvent()
    {
        RawMidiFile midi = loaded(typicalSong().build());
        const QByteArray before = midi.stream();
        QCOMPARE(midi.dbgInsertMarker(QStringLiteral("Bridge"), 0x1234), 4 + 3 + 6);
        QCOMPARE(midi.insertMarker(QStringLiteral("End"), 2), 4 + 3 + 3);
        const qint64 head = firstTrackStart(before);
        QCOMPARE(midi.stream().mid(head, 10),
            QByteArray::fromHex("00ff4b0606000245"
                                "6e64"));
        QCOMPARE(midi.markersList(),
            QList<Marker>(
                { Marker(QStringLiteral("End"), 2), Marker(QStringLiteral("Bridge"), 0x1234) }));
        QVERIFY(!parsedEvents(midi.stream()).isEmpty());
    }

    void primitives()
    {
        RawMidiFile midi = loaded(typicalSong().build());
        const QByteArray original = midi.stream();
        const int head = int(firstTrackStart(original));
        // Beyond the end, or outside the first track: nothing is inserted.
        QCOMPARE(midi.insertMetaevent("x", quint8(0x01), int(original.size()) + 1), 0);
        QCOMPARE(midi.insertMetaevent("x", quint8(0x01), 0), 0);
        QCOMPARE(midi.insertMetaevent("x", quint8(0x01), int(original.size())), 0);
        QCOMPARE(midi.stream(), original);
        // A payload that would need a length byte of 0x80 is refused.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("too long")));
        QCOMPARE(midi.insertMetaevent(QByteArray(128, 'a'), quint8(0x01), head), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("too long")));
        QCOMPARE(midi.insertMetaevent(QByteArray(127, 'a'), RawMidiFile::MetaGenre, head), 0);
        QCOMPARE(midi.stream(), original);

        QCOMPARE(midi.insertMetaevent("abc", quint8(0x01), head), 7);
        QCOMPARE(midi.insertMetaevent("de", RawMidiFile::MetaArtist, head), 7);
        QCOMPARE(midi.stream().mid(head, 14),
            QByteArray::fromHex("00ff4b03026465"
                                "00ff0103616263"));
        QVERIFY(!parsedEvents(midi.stream()).isEmpty());
        QCOMPARE(
            midi.indexOfZevioMetaevent(midi.stream(), head, RawMidiFile::MetaArtist), head + 1);
        QCOMPARE(midi.indexOfZevioMetaevent(midi.stream(), head + 2, RawMidiFile::MetaArtist), -1);
        QString text;
        QCOMPARE(midi.extractMetaevent(text, quint8(0x01)), head + 8);
        QCOMPARE(text, QStringLiteral("abc"));
        QCOMPARE(midi.extractMetaevent(text, RawMidiFile::MetaGenre), -1);
        QCOMPARE(text, QString());

        QCOMPARE(midi.removeHeadMetaevent(quint8(0x01), true), 7);
        QCOMPARE(midi.removeHeadMetaevent(RawMidiFile::MetaArtist, false), 7);
        QCOMPARE(midi.stream(), original);
    }

    void onlyFirstRemovesOne()
    {
        RawMidiFile midi = loaded(
            MidiBuilder().track().meta(0, 0x03, "A").meta(0, 0x03, "B").meta(0, 0x03, "C").build());
        QCOMPARE(midi.removeHeadMetaevent(quint8(0x03), true), 5);
        QCOMPARE(midi.title(), QStringLiteral("B"));
        QCOMPARE(midi.removeHeadMetaevent(quint8(0x03), false), 10);
        QVERIFY(!midi.hasTitle());
        QVERIFY(!parsedEvents(midi.stream()).isEmpty());
    }

    // Readers search every track and take the first match, whatever its delta
    // time; writers leave such events alone and put theirs in front.
    void laterTracksAndDeltas_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind : { int(Title), int(Genre), int(Artist), int(Author) })
            QTest::newRow(qPrintable(QString::number(kind))) << kind;
    }

    void laterTracksAndDeltas()
    {
        QFETCH(int, kind);
        auto add = [kind](MidiBuilder &b, quint32 delta, const QByteArray &text) -> MidiBuilder & {
            return kind == Title ? b.meta(delta, 0x03, text) : b.tag(delta, quint8(kind), text);
        };
        MidiBuilder builder(1);
        builder.track().note(0, 60);
        add(builder, 96, "Delayed");
        builder.track();
        add(builder, 0, "Second track");
        const QByteArray file = builder.build();

        RawMidiFile midi = loaded(file);
        QCOMPARE(readText(midi, kind), QStringLiteral("Delayed"));
        QVERIFY(hasText(midi, kind));

        RawMidiFile secondOnly = loaded(MidiBuilder(1)
                                            .track()
                                            .note(0, 60)
                                            .track()
                                            .meta(0, 0x03, "Piano")
                                            .tag(0, quint8(kind), "Piano")
                                            .build());
        QCOMPARE(readText(secondOnly, kind), QStringLiteral("Piano"));

        writeText(midi, kind, QStringLiteral("New"));
        QCOMPARE(readText(midi, kind), QStringLiteral("New"));
        const QByteArray edited = midi.stream();
        QCOMPARE(eventsOfKind(edited, kind).size(), 2); // the new one and the delayed one
        const qint64 secondTrack = edited.lastIndexOf("MTrk");
        QCOMPARE(edited.mid(secondTrack), file.mid(file.lastIndexOf("MTrk")));
    }

    // A key signature whose delta time ends in a 00 byte (every multiple of 128
    // ticks) must not be taken for a delta-0 event: cutting from that 00 would
    // leave half a delta time behind.
    void deltaEndingInZeroIsKept_data()
    {
        QTest::addColumn<quint32>("delta");
        QTest::newRow("128") << 128u;
        QTest::newRow("384") << 384u;
        QTest::newRow("1920 (a bar at 480 ticks)") << 1920u;
        QTest::newRow("16384") << 16384u;
    }

    void deltaEndingInZeroIsKept()
    {
        QFETCH(quint32, delta);
        QVERIFY(MidiBuilder::vlq(delta).endsWith('\0'));
        const QByteArray file = typicalSong(0)
                                    .meta(delta, 0x59, QByteArray::fromHex("0000"))
                                    .tag(delta, 3, "Late author")
                                    .meta(delta, 0x03, "Late title")
                                    .marker(delta, 9, "Late marker")
                                    .build();
        RawMidiFile midi = loaded(file);
        midi.setKey(QStringLiteral("D"));
        midi.setAuthor(QStringLiteral("Author"));
        midi.setTitle(QStringLiteral("Title"));
        midi.setMarkersList({ Marker(QStringLiteral("Intro"), 1) });

        const QList<MidiChecker::Event> events = parsedEvents(midi.stream());
        QVERIFY(!events.isEmpty());
        for (quint8 type : { quint8(0x59), quint8(0x03), quint8(0x4B) }) {
            const QList<MidiChecker::Event> found = metaEvents(events, type);
            QVERIFY(found.size() >= 2);
            QCOMPARE(found.last().delta, delta);
        }
        QCOMPARE(midi.key(), QStringLiteral("D"));
        QCOMPARE(midi.markersList(),
            QList<Marker>(
                { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Late marker"), 9) }));
    }

    // Running status carries across meta and SysEx events, as real files have it.
    void runningStatusAcrossMetaEvents()
    {
        const QByteArray file = MidiBuilder()
                                    .track()
                                    .raw(QByteArray::fromHex("00903c64"))
                                    .meta(0, 0x03, "Old")
                                    .raw(QByteArray::fromHex("603c00"))
                                    .sysex(0, QByteArray::fromHex("7e7f0901f7"))
                                    .raw(QByteArray::fromHex("00403f"))
                                    .tag(0, 2, "Old artist")
                                    .build();
        QVERIFY(!parsedEvents(file).isEmpty());
        RawMidiFile midi = loaded(file);
        midi.setTitle(QStringLiteral("New"));
        midi.setArtist(QStringLiteral("New artist"));
        const QList<MidiChecker::Event> events = parsedEvents(midi.stream());
        QCOMPARE(metaEvents(events, 0x03).size(), 1);
        QCOMPARE(metaEvents(events, 0x4B, 2).size(), 1);
        QCOMPARE(midi.title(), QStringLiteral("New"));
    }

    // A first track that cannot be walked has nothing removed; the new event is
    // still written at its head and the length field stays right.
    void unreadableFirstTrack()
    {
        const QByteArray file = MidiBuilder()
                                    .track()
                                    .meta(0, 0x03, "Old")
                                    .raw(QByteArray::fromHex("003c64")) // data byte, no status yet
                                    .build();
        RawMidiFile midi = loaded(file);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be read")));
        midi.setTitle(QStringLiteral("New"));
        const QByteArray edited = midi.stream();
        QCOMPARE(edited.size(), file.size() + 7);
        QCOMPARE(edited.mid(22, 7), QByteArray::fromHex("00ff03034e6577"));
        QCOMPARE(qFromBigEndian<quint32>(edited.constData() + 18),
            qFromBigEndian<quint32>(file.constData() + 18) + 7);
        QCOMPARE(midi.title(), QStringLiteral("New"));
    }

    // Events that other software wrote with a multi-byte length are read and
    // removed whole.
    void multiByteLengths()
    {
        const QByteArray longTitle(200, 't');
        const QByteArray file = typicalSong(0)
                                    .meta(0, 0x03, longTitle)
                                    .meta(0, 0x02, QByteArray(130, ' ') + "Zevio")
                                    .build();
        RawMidiFile midi = loaded(file);
        QCOMPARE(midi.title(), QString::fromLatin1(longTitle));
        QVERIFY(midi.isZevio());
        midi.setTitle(QStringLiteral("Short"));
        const QList<MidiChecker::Event> titles = metaEvents(parsedEvents(midi.stream()), 0x03);
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.first().payload, QByteArray("Short"));
        QCOMPARE(midi.stream().size(), file.size() - (200 + 5) + (5 + 4));
    }

    // Older files carry 125-character markers whose one-byte length is 0x80.
    void oldMarkerWithLengthByte0x80()
    {
        QByteArray oldMarker = QByteArray::fromHex("00ff4b80060005");
        oldMarker.append(QByteArray(125, 'o'));
        const QByteArray file = MidiBuilder().track().raw(oldMarker).note(0, 60).build();
        RawMidiFile midi = loaded(file);
        QCOMPARE(midi.markersList(), QList<Marker>({ Marker(QString(125, QLatin1Char('o')), 5) }));
        midi.setMarkersList({ Marker(QStringLiteral("Intro"), 1) });
        QCOMPARE(midi.markersList(), QList<Marker>({ Marker(QStringLiteral("Intro"), 1) }));
        QVERIFY(!parsedEvents(midi.stream()).isEmpty());
    }

    // The MIDI data of an "_MF4" container: the track length also counts three
    // bytes that are not there. Edits stop at End of Track and keep that offset.
    void lengthFieldCountingDroppedBytes()
    {
        QByteArray file = typicalSong(0).meta(0, 0x03, "Old").build();
        const quint32 realLength = qFromBigEndian<quint32>(file.constData() + 18);
        qToBigEndian<quint32>(realLength + 3, file.data() + 18);
        RawMidiFile midi = loaded(file);
        midi.setTitle(QStringLiteral("Brand new"));
        const QByteArray edited = midi.stream();
        QCOMPARE(qFromBigEndian<quint32>(edited.constData() + 18), realLength + 3 - 7 + 13);
        QByteArray check = edited;
        qToBigEndian<quint32>(
            qFromBigEndian<quint32>(edited.constData() + 18) - 3, check.data() + 18);
        QCOMPARE(metaEvents(parsedEvents(check), 0x03).size(), 1);
    }

    // An independent reader (mido) must read a file edited by every writer and
    // see the events in the order the writers put them.
    void checkedByMido()
    {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"), QStringLiteral("import mido") });
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
            QSKIP("python3-mido is not installed");

        const QByteArray original = MidiBuilder(1)
                                        .track()
                                        .meta(0, 0x51, QByteArray::fromHex("07a120"))
                                        .meta(0, 0x58, QByteArray::fromHex("04021808"))
                                        .meta(0, 0x59, QByteArray::fromHex("0000"))
                                        .raw(QByteArray::fromHex("00c005"))
                                        .note(0, 60)
                                        .note(0, 64)
                                        .meta(384, 0x59, QByteArray::fromHex("0200"))
                                        .track()
                                        .meta(0, 0x03, "Piano")
                                        .note(480, 67)
                                        .build();
        RawMidiFile midi = loaded(original);
        // The facade's order for a MIDI file.
        midi.setMarkersList(
            { Marker(QString(130, QLatin1Char('m')), 1), Marker(QStringLiteral("Verse"), 9) });
        midi.setKey(QStringLiteral("F# -"));
        midi.setLength(215);
        midi.setTitle(QString(130, QLatin1Char('t')));
        midi.setAuthor(QStringLiteral("G. Verdi"));
        midi.setUserBpm(120);
        midi.setArtist(QStringLiteral("Perché \u20ac"));
        midi.setGenre(QStringLiteral("Pop"));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("song.mid"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(midi.stream()), qint64(midi.stream().size()));
        file.close();

        const char script[] = R"(
import sys, mido
for i, track in enumerate(mido.MidiFile(sys.argv[1]).tracks):
    for msg in track:
        if msg.type == "unknown_meta":
            print(i, msg.time, "tag", bytes(msg.data).hex())
        elif msg.type == "track_name":
            print(i, msg.time, "name", msg.name)
        elif msg.type == "key_signature":
            print(i, msg.time, "key", msg.key)
        else:
            print(i, msg.time, msg.type)
)";
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"), QString::fromLatin1(script), path });
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(QString::fromLocal8Bit(python.readAllStandardError()), QString());
        QCOMPARE(python.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(python.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);

        const QStringList expected = {
            QStringLiteral("0 0 tag 01506f70"), // genre "Pop"
            QStringLiteral("0 0 tag 025065726368e9203f"), // artist "Perché ?"
            QStringLiteral("0 0 tag 05313230"), // tempo "120"
            QStringLiteral("0 0 tag 03472e205665726469"), // author "G. Verdi"
            QStringLiteral("0 0 name ") + QString(125, QLatin1Char('t')),
            QStringLiteral("0 0 tag 04323135"), // length "215"
            QStringLiteral("0 0 key F#m"),
            QStringLiteral("0 0 tag 060001") + QString::fromLatin1(QByteArray(124, 'm').toHex()),
            QStringLiteral("0 0 tag 0600095665727365"), // marker "Verse" at bar 9
            QStringLiteral("0 0 set_tempo"),
            QStringLiteral("0 0 time_signature"),
            QStringLiteral("0 0 program_change"), // the old delta-0 key C is gone
            QStringLiteral("0 0 note_on"),
            QStringLiteral("0 240 note_on"),
            QStringLiteral("0 0 note_on"),
            QStringLiteral("0 240 note_on"),
            QStringLiteral("0 384 key D"), // after a bar line: not a delta-0 event
            QStringLiteral("0 0 end_of_track"),
        };
        QCOMPARE(lines.mid(0, expected.size()), expected);
        QCOMPARE(lines.mid(expected.size()),
            QStringList({ QStringLiteral("1 0 name Piano"), QStringLiteral("1 480 note_on"),
                QStringLiteral("1 240 note_on"), QStringLiteral("1 0 end_of_track") }));
    }

    void isZevio_data()
    {
        QTest::addColumn<QList<QByteArray>>("copyrights");
        QTest::addColumn<bool>("zevio");

        QTest::newRow("none") << QList<QByteArray>() << false;
        QTest::newRow("maker") << QList<QByteArray>({ "(C) 2009 Zevio srl" }) << true;
        QTest::newRow("lower case") << QList<QByteArray>({ "made by zevio" }) << true;
        QTest::newRow("second word") << QList<QByteArray>({ "Melvoran Music" }) << true;
        QTest::newRow("other") << QList<QByteArray>({ "(C) Someone Else" }) << false;
        QTest::newRow("only the first counts")
            << QList<QByteArray>({ "Someone", "Zevio" }) << false;
        QTest::newRow("after 0x00") << QList<QByteArray>({ QByteArray("abc\0Zevio", 9) }) << false;
    }

    void isZevio()
    {
        QFETCH(QList<QByteArray>, copyrights);
        QFETCH(bool, zevio);
        MidiBuilder builder = typicalSong();
        for (const QByteArray &text : copyrights)
            builder.meta(0, 0x02, text);
        QCOMPARE(loaded(builder.build()).isZevio(), zevio);
    }

    void notLoaded()
    {
        RawMidiFile midi;
        midi.setTitle(QStringLiteral("x"));
        midi.setMarkersList({ Marker(QStringLiteral("m"), 1) });
        midi.setKey(QStringLiteral("C"));
        QVERIFY(midi.stream().isEmpty());
        QVERIFY(!midi.hasTitle());
        QVERIFY(!midi.hasKey());
        QCOMPARE(midi.length(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRawMidiFile)
#include "tst_rawmidifile.moc"
