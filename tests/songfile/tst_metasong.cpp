#include "containerbuilder.h"
#include "metasong.h"
#include "midibuilder.h"
#include "mp3builder.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SongInfo::fileTypeEnum)

namespace
{

// Key signatures as stored: sf, mi.
const QByteArray KeyFSharpMinor = QByteArray::fromHex("0301");
const QByteArray KeyA = QByteArray::fromHex("0300");

QString describe(const SongInfo &s)
{
    QStringList markers;
    for (const Marker &m : s.markers)
        markers << QStringLiteral("%1:%2").arg(m.bar).arg(m.text);
    return QStringLiteral("format=%1 title=%2 artist=%3 alt=%4 genre=%5 author=%6 length=%7 bpm=%8 "
                          "key=%9 zevio=%10 markers=[%11] long=%12 flags=%13")
        .arg(s.format, s.title, s.artist, s.altArtist, s.genre, s.author)
        .arg(s.length)
        .arg(s.userBpm)
        .arg(s.key)
        .arg(s.isZevio)
        .arg(markers.join(QLatin1Char(',')), s.mfxLongName)
        .arg(int(s.mfxFlags));
}

// A format 1 song with a conductor track full of song information and a
// piano track.
QByteArray richMidi(int format = 1)
{
    MidiBuilder midi(format);
    midi.track()
        .meta(0, 0x03, "Blue Night")
        .meta(0, 0x02, "(c) Zevio 2004")
        .meta(0, 0x59, KeyFSharpMinor)
        .tag(0, 1, "Liscio")
        .tag(0, 2, "Orchestra Bianchi")
        .tag(0, 3, "G. Verdi")
        .tag(0, 4, "215")
        .tag(0, 5, "96")
        .marker(0, 1, "Intro")
        .marker(0, 9, "Strofa")
        .note(0, 60);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(0, 64);
    return midi.build();
}

QByteArray bareMidi(int format = 1)
{
    MidiBuilder midi(format);
    midi.track().note(0, 60).note(480, 62);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(0, 64);
    return midi.build();
}

SongInfo catalogueRecord()
{
    SongInfo info;
    info.title = QStringLiteral("BLUE NIGHT (LIVE)");
    info.artist = QStringLiteral("Bianchi");
    info.altArtist = QStringLiteral("Orchestra Bianchi");
    info.genre = QStringLiteral("Valzer");
    info.author = QStringLiteral("Rossi");
    info.length = 180;
    info.userBpm = 120;
    info.key = QStringLiteral("A");
    info.isZevio = true;
    info.markers = { Marker(QStringLiteral("A"), 1), Marker(QStringLiteral("B"), 17) };
    return info;
}

} // namespace

class TestMetaSong : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void detection_data();
    void detection();
    void importFailureKeepsPreviousSong();
    void getSongInfo_data();
    void getSongInfo();
    void formatStringAndKeys();
    void manualModeOverwrites_data();
    void manualModeOverwrites();
    void midiAutomaticRules_data();
    void midiAutomaticRules();
    void artistRule_data();
    void artistRule();
    void containerAutomaticRules_data();
    void containerAutomaticRules();
    void mp3AutomaticRules_data();
    void mp3AutomaticRules();
    void debugMarker();
    void damagedFilesImportSafely();

private:
    QString write(const QString &name, const QByteArray &bytes);
    SongInfo applied(const QString &name, const QByteArray &bytes, const SongInfo &record,
        bool manual, MetaSong *song = nullptr);

    QTemporaryDir dir;
};

void TestMetaSong::initTestCase()
{
    QVERIFY(dir.isValid());
}

QString TestMetaSong::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

SongInfo TestMetaSong::applied(const QString &name, const QByteArray &bytes, const SongInfo &record,
    bool manual, MetaSong *song)
{
    MetaSong local;
    MetaSong &s = song ? *song : local;
    if (!s.importFile(write(name, bytes)))
        return SongInfo();
    s.setSongInfo(record, manual);
    SongInfo info;
    s.getSongInfo(info);
    return info;
}

void TestMetaSong::detection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<SongInfo::fileTypeEnum>("type");

    const QByteArray tag = Mp3Builder(3).text("TIT2", "Song").tag() + Mp3Builder::audio(2);
    // The magic decides for MIDI and containers; the name plays no part.
    QTest::newRow("midi format 0") << "a.bin" << bareMidi(0) << true << SongInfo::FileTypeMidi0;
    QTest::newRow("midi format 1") << "a.kar" << bareMidi(1) << true << SongInfo::FileTypeMidi1;
    QTest::newRow("midi format 2") << "a.mid" << MidiBuilder(2).track().note(0, 1).build() << false
                                   << SongInfo::FileTypeUnknown;
    QTest::newRow("midi without track")
        << "a.mid" << QByteArray::fromHex("4d546864000000060000000101e0") << false
        << SongInfo::FileTypeUnknown;
    QTest::newRow("mf3") << "a.dat" << ContainerBuilder("_MF3").midi(bareMidi()).build() << true
                         << SongInfo::FileTypeMf3;
    QTest::newRow("mf4") << "a.mf4" << ContainerBuilder("_MF4").midi(bareMidi()).build() << true
                         << SongInfo::FileTypeMf4;
    QTest::newRow("mf5") << "a.mf5" << ContainerBuilder("_MF5").midi(bareMidi()).build() << true
                         << SongInfo::FileTypeMf5;
    QTest::newRow("mf5 of 700 bytes")
        << "a.mf5" << ContainerBuilder("_MF5").midi(bareMidi()).build().left(700) << false
        << SongInfo::FileTypeUnknown;
    QTest::newRow("mf3 header only")
        << "a.mf3" << ContainerBuilder("_MF3").header() << false << SongInfo::FileTypeUnknown;
    QTest::newRow("mf3 holding no midi")
        << "a.mf3" << ContainerBuilder("_MF3").midi(QByteArray(300, 'x')).build() << false
        << SongInfo::FileTypeUnknown;
    QTest::newRow("mf3 with a wrong size")
        << "a.mf3" << ContainerBuilder("_MF3").header() + QByteArray::fromHex("FFFFFFFF0102")
        << false << SongInfo::FileTypeUnknown;
    // An "_MF4" container whose data has no "MTrk" loses nothing and is
    // refused by the MIDI check.
    QTest::newRow("mf4 without track")
        << "a.mf4"
        << ContainerBuilder("_MF4")
               .midi(QByteArray::fromHex("4d54686400000006000000010060"))
               .build()
        << false << SongInfo::FileTypeUnknown;
    QTest::newRow("mp3 upper-case name") << "SONG.MP3" << tag << true << SongInfo::FileTypeMp3;
    QTest::newRow("mp3 bytes named .bin")
        << "song.bin" << tag << false << SongInfo::FileTypeUnknown;
    QTest::newRow("mp3 frame sync")
        << "song.mp3" << Mp3Builder::audio(2) << true << SongInfo::FileTypeMp3;
    QTest::newRow("mp3 FF 12") << "song.mp3" << QByteArray::fromHex("FF12").append(400, 'x')
                               << false << SongInfo::FileTypeUnknown;
    QTest::newRow("mp3 two zero bytes")
        << "song.Mp3" << QByteArray(400, '\0') << true << SongInfo::FileTypeMp3;
    QTest::newRow("mp3 of 5 bytes")
        << "song.mp3" << QByteArray::fromHex("FFFB900000") << false << SongInfo::FileTypeUnknown;
    QTest::newRow("empty file") << "empty.mid" << QByteArray() << false
                                << SongInfo::FileTypeUnknown;
    QTest::newRow("text file") << "notes.txt" << QByteArray("hello there") << false
                               << SongInfo::FileTypeUnknown;
}

void TestMetaSong::detection()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(SongInfo::fileTypeEnum, type);
    MetaSong song;
    QCOMPARE(song.importFile(write(name, bytes)), ok);
    QCOMPARE(song.fileType(), type);
    SongInfo info;
    song.getSongInfo(info);
    QCOMPARE(info.format, MetaSong::getFormatString(type));
}

void TestMetaSong::importFailureKeepsPreviousSong()
{
    MetaSong song;
    QVERIFY(song.importFile(write(QStringLiteral("good.mid"), richMidi())));
    QVERIFY(!song.importFile(dir.filePath(QStringLiteral("missing.mid"))));
    QVERIFY(!song.importFile(write(QStringLiteral("bad.mf3"),
        ContainerBuilder("_MF3").title(QStringLiteral("Other")).midi("junk").build())));
    SongInfo info;
    song.getSongInfo(info);
    QCOMPARE(song.fileType(), SongInfo::FileTypeMidi1);
    QCOMPARE(info.title, QStringLiteral("Blue Night"));
}

void TestMetaSong::getSongInfo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SongInfo>("expected");

    SongInfo midi;
    midi.format = QStringLiteral("MIDI");
    midi.title = QStringLiteral("Blue Night");
    midi.genre = QStringLiteral("Liscio");
    midi.artist = QStringLiteral("Orchestra Bianchi");
    midi.author = QStringLiteral("G. Verdi");
    midi.length = 215;
    midi.userBpm = 96;
    midi.key = QStringLiteral("F#-");
    midi.isZevio = true;
    midi.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Strofa"), 9) };
    QTest::newRow("midi 1") << "rich.mid" << richMidi(1) << midi;
    QTest::newRow("midi 0") << "rich0.mid" << richMidi(0) << midi;

    SongInfo bare;
    bare.format = QStringLiteral("MIDI");
    bare.title = QStringLiteral("Piano"); // the first track name, in a later track
    QTest::newRow("bare midi") << "bare.mid" << bareMidi() << bare;

    // Texts from the header, key, markers and length from the MIDI data,
    // tempo from the header.
    SongInfo mfx = midi;
    mfx.format = QStringLiteral("MF4");
    mfx.title = QStringLiteral("Notte Blu");
    mfx.artist = QStringLiteral("Bianchi");
    mfx.author = QStringLiteral("Verdi");
    mfx.genre = QStringLiteral("Valzer");
    mfx.userBpm = 132;
    mfx.mfxLongName = QStringLiteral("NOTTEBLU.MF4");
    mfx.mfxFlags = qint8(0x81);
    QTest::newRow("mf4") << "x.mf4"
                         << ContainerBuilder("_MF4")
                                .filler()
                                .title(QStringLiteral("Notte Blu"))
                                .artist(QStringLiteral("Bianchi"))
                                .author(QStringLiteral("Verdi"))
                                .genre(QStringLiteral("Valzer"))
                                .longName(QStringLiteral("NOTTEBLU.MF4"))
                                .tempo(132)
                                .flags(0x81)
                                .midi(richMidi())
                                .build()
                         << mfx;
    // A container is the maker's, whatever its MIDI copyright says.
    SongInfo mf3;
    mf3.format = QStringLiteral("MF3");
    mf3.title = QStringLiteral("T");
    mf3.isZevio = true;
    QTest::newRow("mf3") << "x.mf3"
                         << ContainerBuilder("_MF3")
                                .title(QStringLiteral("T"))
                                .midi(MidiBuilder(0).track().meta(0, 0x02, "Other").build())
                                .build()
                         << mf3;

    SongInfo mp3;
    mp3.format = QStringLiteral("MP3");
    mp3.title = QStringLiteral("Song");
    mp3.artist = QStringLiteral("Singer");
    mp3.author = QStringLiteral("Writer");
    mp3.genre = QStringLiteral("Pop");
    mp3.key = QStringLiteral("A");
    mp3.userBpm = 100;
    mp3.length = 215;
    mp3.isZevio = true;
    QTest::newRow("mp3") << "x.mp3"
                         << Mp3Builder(3)
                                .text("TIT2", "Song")
                                .text("TPE1", "Singer")
                                .text("TCOM", "Writer")
                                .text("TCON", "Pop")
                                .text("TKEY", "A")
                                .text("TBPM", "100")
                                .text("TLEN", "215999")
                                .text("TCOP", "zevio srl")
                                .padding(30)
                                .tag()
            + Mp3Builder::audio(2)
                         << mp3;
}

void TestMetaSong::getSongInfo()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(SongInfo, expected);
    MetaSong song;
    QVERIFY(song.importFile(write(name, bytes)));
    SongInfo info;
    info.filename = QStringLiteral("stale");
    info.altArtist = QStringLiteral("stale");
    song.getSongInfo(info);
    QCOMPARE(describe(info), describe(expected));
    QVERIFY(info == expected);
}

void TestMetaSong::formatStringAndKeys()
{
    const QStringList expected = { QStringLiteral("UNKNOWN"), QStringLiteral("MIDI"),
        QStringLiteral("MIDI"), QStringLiteral("MF3"), QStringLiteral("MF4"), QStringLiteral("MF5"),
        QStringLiteral("MP3"), QStringLiteral("UNKNOWN") };
    for (int t = 0; t < expected.size(); ++t)
        QCOMPARE(MetaSong::getFormatString(SongInfo::fileTypeEnum(t)), expected.at(t));
    QCOMPARE(MetaSong::getFormatString(SongInfo::fileTypeEnum(-1)), QStringLiteral("UNKNOWN"));
    QCOMPARE(MetaSong::getKeysList().size(), 30);
    QCOMPARE(MetaSong::getKeysList(), RawMidiFile::getKeysList());
}

void TestMetaSong::manualModeOverwrites_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SongInfo>("expected");

    SongInfo edit = catalogueRecord();
    edit.isZevio = false; // manual mode does not look at it

    // Every field is written; markers never are in manual mode.
    SongInfo midi = edit;
    midi.format = QStringLiteral("MIDI");
    midi.altArtist.clear();
    midi.isZevio = true; // from the file's copyright
    midi.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Strofa"), 9) };
    QTest::newRow("midi") << "m.mid" << richMidi() << midi;

    SongInfo mfx = midi;
    mfx.format = QStringLiteral("MF5");
    mfx.mfxFlags = 0x01; // the record has markers
    QTest::newRow("mf5") << "m.mf5"
                         << ContainerBuilder("_MF5")
                                .title(QStringLiteral("Old"))
                                .artist(QStringLiteral("Old"))
                                .tempo(90)
                                .midi(richMidi())
                                .build()
                         << mfx;

    SongInfo mp3 = edit;
    mp3.format = QStringLiteral("MP3");
    mp3.altArtist.clear();
    mp3.markers.clear();
    QTest::newRow("mp3") << "m.mp3"
                         << Mp3Builder(3)
                                .text("TIT2", "Old")
                                .text("TPE1", "Old")
                                .text("TKEY", "C")
                                .text("TBPM", "60")
                                .tag()
            + Mp3Builder::audio(1)
                         << mp3;
}

void TestMetaSong::manualModeOverwrites()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(SongInfo, expected);
    SongInfo edit = catalogueRecord();
    edit.isZevio = false;
    const SongInfo info = applied(name, bytes, edit, true);
    QCOMPARE(describe(info), describe(expected));

    // Empty texts and zero numbers in manual mode: an empty key removes the
    // key signature or frame.
    SongInfo blank;
    MetaSong song;
    const SongInfo cleared = applied(name, bytes, blank, true, &song);
    QCOMPARE(cleared.key, QString());
    QCOMPARE(cleared.title, QString());
}

void TestMetaSong::midiAutomaticRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SongInfo>("record");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    const SongInfo cat = catalogueRecord();
    SongInfo notZevio = cat;
    notZevio.isZevio = false;
    SongInfo negative = cat;
    negative.length = -1;
    negative.userBpm = -1;

    const QByteArray titled = MidiBuilder(1).track().meta(0, 0x03, "Blue Night").note(0, 1).build();
    QTest::newRow("title: catalogue extends it") << titled << cat << "title"
                                                 << "BLUE NIGHT (LIVE)";
    SongInfo red = cat;
    red.title = QStringLiteral("Red Sky");
    QTest::newRow("title: different title kept") << titled << red << "title"
                                                 << "Blue Night";
    QTest::newRow("title: missing") << bareMidi(0) << red << "title"
                                    << "Red Sky";
    QTest::newRow("title: empty event")
        << MidiBuilder(0).track().meta(0, 0x03, "").build() << red << "title"
        << "Red Sky";

    QTest::newRow("markers: written when missing") << bareMidi() << cat << "markers"
                                                   << "1:A,17:B";
    QTest::newRow("markers: kept when present")
        << MidiBuilder(0).track().marker(0, 5, "Solo").build() << cat << "markers"
        << "5:Solo";

    QTest::newRow("key: missing, maker's") << bareMidi() << cat << "key"
                                           << "A";
    QTest::newRow("key: missing, not maker's") << bareMidi() << notZevio << "key"
                                               << "";
    QTest::newRow("key: present") << richMidi() << cat << "key"
                                  << "F#-";
    QTest::newRow("length: missing, maker's") << bareMidi() << cat << "length"
                                              << "180";
    QTest::newRow("length: not maker's") << bareMidi() << notZevio << "length"
                                         << "0";
    QTest::newRow("length: negative") << bareMidi() << negative << "length"
                                      << "0";
    QTest::newRow("length: present") << richMidi() << cat << "length"
                                     << "215";
    QTest::newRow("tempo: missing, maker's") << bareMidi() << cat << "userBpm"
                                             << "120";
    QTest::newRow("tempo: not maker's") << bareMidi() << notZevio << "userBpm"
                                        << "0";
    QTest::newRow("tempo: negative") << bareMidi() << negative << "userBpm"
                                     << "0";
    QTest::newRow("tempo: present") << richMidi() << cat << "userBpm"
                                    << "96";
    // Author and genre need no publisher check.
    QTest::newRow("author: missing") << bareMidi() << notZevio << "author"
                                     << "Rossi";
    QTest::newRow("author: present") << richMidi() << cat << "author"
                                     << "G. Verdi";
    QTest::newRow("genre: missing") << bareMidi() << notZevio << "genre"
                                    << "Valzer";
    QTest::newRow("genre: present") << richMidi() << cat << "genre"
                                    << "Liscio";
}

void TestMetaSong::midiAutomaticRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SongInfo, record);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const SongInfo info = applied(QStringLiteral("auto.mid"), bytes, record, false);
    QString actual;
    if (field == QLatin1String("title"))
        actual = info.title;
    else if (field == QLatin1String("key"))
        actual = info.key;
    else if (field == QLatin1String("length"))
        actual = QString::number(info.length);
    else if (field == QLatin1String("userBpm"))
        actual = QString::number(info.userBpm);
    else if (field == QLatin1String("author"))
        actual = info.author;
    else if (field == QLatin1String("genre"))
        actual = info.genre;
    else if (field == QLatin1String("markers")) {
        QStringList list;
        for (const Marker &m : info.markers)
            list << QStringLiteral("%1:%2").arg(m.bar).arg(m.text);
        actual = list.join(QLatin1Char(','));
    }
    QCOMPARE(actual, value);
}

void TestMetaSong::artistRule_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("fileArtist"); // "<none>": no artist in the file
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("altArtist");
    QTest::addColumn<QString>("written");

    const QString none = QStringLiteral("<none>");
    for (const QString &format :
        { QStringLiteral("MIDI"), QStringLiteral("MF3"), QStringLiteral("MP3") }) {
        const auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(format + QLatin1Char(' ') + QLatin1String(name)));
        };
        *row("no artist, alt given") << format << none << "A"
                                     << "Alt"
                                     << "Alt";
        *row("no artist, no alt") << format << none << "A"
                                  << ""
                                  << "A";
        *row("equals alt") << format << "Alt"
                           << "A"
                           << "Alt"
                           << "Alt";
        *row("alt empty") << format << "Other"
                          << "A"
                          << ""
                          << "A";
        *row("equals artist") << format << "A"
                              << "A"
                              << "Alt"
                              << "Alt";
        *row("something else") << format << "Other"
                               << "A"
                               << "Alt"
                               << "A";
    }
    // In a container "-" and "--" stand for no artist; elsewhere they are a name.
    QTest::newRow("MF3 dash") << "MF3"
                              << "-"
                              << "A"
                              << "Alt"
                              << "Alt";
    QTest::newRow("MF3 double dash, no alt") << "MF3"
                                             << "--"
                                             << "A"
                                             << ""
                                             << "A";
    QTest::newRow("MF3 empty") << "MF3"
                               << ""
                               << "A"
                               << "Alt"
                               << "Alt";
    QTest::newRow("MIDI dash") << "MIDI"
                               << "-"
                               << "A"
                               << "Alt"
                               << "A";
    // An empty artist event is still an artist.
    QTest::newRow("MIDI empty event") << "MIDI"
                                      << ""
                                      << "A"
                                      << "Alt"
                                      << "A";
}

void TestMetaSong::artistRule()
{
    QFETCH(QString, format);
    QFETCH(QString, fileArtist);
    QFETCH(QString, artist);
    QFETCH(QString, altArtist);
    QFETCH(QString, written);

    const bool none = fileArtist == QLatin1String("<none>");
    QByteArray bytes;
    QString name;
    if (format == QLatin1String("MIDI")) {
        MidiBuilder midi(0);
        midi.track().note(0, 1);
        if (!none)
            midi.tag(0, 2, fileArtist.toLatin1());
        bytes = midi.build();
        name = QStringLiteral("a.mid");
    } else if (format == QLatin1String("MF3")) {
        ContainerBuilder mfx("_MF3");
        if (!none)
            mfx.artist(fileArtist);
        bytes = mfx.midi(bareMidi()).build();
        name = QStringLiteral("a.mf3");
    } else {
        Mp3Builder tag(3);
        if (!none)
            tag.text("TPE1", fileArtist.toLatin1());
        bytes = tag.tag() + Mp3Builder::audio(1);
        name = QStringLiteral("a.mp3");
    }
    SongInfo record;
    record.artist = artist;
    record.altArtist = altArtist;
    QCOMPARE(applied(name, bytes, record, false).artist, written);
    // Manual mode always writes the artist.
    QCOMPARE(applied(name, bytes, record, true).artist, artist);
}

void TestMetaSong::containerAutomaticRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SongInfo>("record");
    QTest::addColumn<SongInfo>("expected");

    const SongInfo cat = catalogueRecord();
    SongInfo notZevio = cat;
    notZevio.isZevio = false;

    // Placeholders are filled in; the header tempo does not depend on the
    // publisher flag; the flag byte gains FlagHasMarkers.
    SongInfo filled;
    filled.format = QStringLiteral("MF4");
    filled.isZevio = true;
    filled.title = cat.title;
    filled.author = cat.author;
    filled.artist = cat.altArtist;
    filled.genre = cat.genre;
    filled.userBpm = 120;
    filled.markers = cat.markers;
    filled.mfxFlags = qint8(0x81);
    QTest::newRow("placeholders, not maker's") << ContainerBuilder("_MF4")
                                                      .title(QStringLiteral("--"))
                                                      .author(QStringLiteral("-"))
                                                      .artist(QStringLiteral("--"))
                                                      .flags(0x80)
                                                      .tempo(500)
                                                      .midi(bareMidi())
                                                      .build()
                                               << notZevio << filled;
    SongInfo filledZevio = filled;
    filledZevio.key = cat.key;
    filledZevio.length = cat.length;
    QTest::newRow("placeholders, maker's") << ContainerBuilder("_MF4")
                                                  .title(QStringLiteral("--"))
                                                  .author(QStringLiteral("-"))
                                                  .artist(QStringLiteral("--"))
                                                  .flags(0x80)
                                                  .midi(bareMidi())
                                                  .build()
                                           << cat << filledZevio;

    // Real values stay.
    SongInfo kept;
    kept.format = QStringLiteral("MF3");
    kept.isZevio = true;
    kept.title = QStringLiteral("Notte Blu");
    kept.author = QStringLiteral("Verdi");
    kept.artist = cat.altArtist; // equal to the catalogue's alternative name
    kept.genre = QStringLiteral("Liscio");
    kept.userBpm = 499;
    kept.key = QStringLiteral("F#-");
    kept.length = 215;
    kept.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Strofa"), 9) };
    kept.mfxFlags = 0x01;
    QTest::newRow("real values") << ContainerBuilder("_MF3")
                                        .title(QStringLiteral("Notte Blu"))
                                        .author(QStringLiteral("Verdi"))
                                        .artist(cat.altArtist)
                                        .genre(QStringLiteral("Liscio"))
                                        .tempo(499)
                                        .midi(richMidi())
                                        .build()
                                 << cat << kept;

    // No markers in the record: the flag byte stays.
    SongInfo noMarkers = cat;
    noMarkers.markers.clear();
    noMarkers.userBpm = -1;
    SongInfo plain;
    plain.format = QStringLiteral("MF5");
    plain.isZevio = true;
    plain.title = QStringLiteral("Notte Blu");
    plain.author = cat.author;
    plain.artist = cat.altArtist;
    plain.genre = cat.genre;
    plain.key = cat.key;
    plain.length = cat.length;
    QTest::newRow("no markers, negative tempo")
        << ContainerBuilder("_MF5").title(QStringLiteral("Notte Blu")).midi(bareMidi()).build()
        << noMarkers << plain;
}

void TestMetaSong::containerAutomaticRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SongInfo, record);
    QFETCH(SongInfo, expected);
    const SongInfo info = applied(QStringLiteral("auto.mfx"), bytes, record, false);
    QCOMPARE(describe(info), describe(expected));
}

void TestMetaSong::mp3AutomaticRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SongInfo>("record");
    QTest::addColumn<SongInfo>("expected");

    const SongInfo cat = catalogueRecord();
    SongInfo notZevio = cat;
    notZevio.isZevio = false;

    SongInfo empty;
    empty.format = QStringLiteral("MP3");
    SongInfo filled = empty;
    filled.title = cat.title;
    filled.author = cat.author;
    filled.artist = cat.altArtist;
    filled.genre = cat.genre;
    QTest::newRow("no tag, not maker's") << Mp3Builder::audio(2) << notZevio << filled;
    SongInfo filledZevio = filled;
    filledZevio.key = cat.key;
    filledZevio.length = cat.length;
    filledZevio.userBpm = cat.userBpm;
    QTest::newRow("no tag, maker's") << Mp3Builder::audio(2) << cat << filledZevio;

    SongInfo full;
    full.format = QStringLiteral("MP3");
    full.title = QStringLiteral("Song");
    full.author = QStringLiteral("W");
    full.artist = cat.altArtist; // the file had the catalogue artist: the alternative is written
    full.genre = QStringLiteral("Pop");
    full.key = QStringLiteral("C");
    full.length = 3;
    full.userBpm = 99;
    QTest::newRow("full tag kept") << Mp3Builder(3)
                                          .text("TIT2", "Song")
                                          .text("TCOM", "W")
                                          .text("TPE1", "Bianchi")
                                          .text("TCON", "Pop")
                                          .text("TKEY", "C")
                                          .text("TLEN", "3000")
                                          .text("TBPM", "99")
                                          .tag()
            + Mp3Builder::audio(1) << cat
                                   << full;
}

void TestMetaSong::mp3AutomaticRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SongInfo, record);
    QFETCH(SongInfo, expected);
    MetaSong song;
    const SongInfo info = applied(QStringLiteral("auto.mp3"), bytes, record, false, &song);
    QCOMPARE(describe(info), describe(expected));
}

void TestMetaSong::debugMarker()
{
    MetaSong song;
    QVERIFY(song.importFile(write(QStringLiteral("dbg.mid"), bareMidi())));
    // 00 FF 4B len 06 bar(2) "Coda"
    QCOMPARE(song.dbgAddMarker(QStringLiteral("Coda"), 33), 11);
    SongInfo info;
    song.getSongInfo(info);
    QCOMPARE(info.markers.size(), 1);
    QCOMPARE(info.markers.first(), Marker(QStringLiteral("Coda"), 33));
}

void TestMetaSong::damagedFilesImportSafely()
{
    // Cut and scrambled copies of every format: import returns normally, and
    // whatever imports can be edited, saved and imported again as the same
    // format. The sanitizer build checks the buffer accesses.
    const QList<QPair<QString, QByteArray>> originals = {
        { QStringLiteral("d.mid"), richMidi() },
        { QStringLiteral("d.mf3"),
            ContainerBuilder("_MF3").title(QStringLiteral("T")).midi(richMidi()).build() },
        { QStringLiteral("d.mf4"), ContainerBuilder("_MF4").midi(richMidi(0)).build() },
        { QStringLiteral("d.mf5"), ContainerBuilder("_MF5").midi(bareMidi()).build() },
        { QStringLiteral("d.mp3"),
            Mp3Builder(3).text("TIT2", "Song").text("TPE1", "X").padding(8).tag()
                + Mp3Builder::audio(1) },
    };
    QRandomGenerator gen(77);
    int imported = 0;
    int refused = 0;
    for (const auto &original : originals) {
        const QByteArray &bytes = original.second;
        QList<QByteArray> variants;
        for (int cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 40)
            variants << bytes.left(cut);
        for (int n = 0; n < 60; ++n) {
            QByteArray v = bytes;
            const int flips = 1 + int(gen.bounded(6));
            for (int f = 0; f < flips; ++f)
                v[int(gen.bounded(int(v.size())))] = char(gen.bounded(256));
            variants << v;
        }
        for (const QByteArray &v : variants) {
            MetaSong song;
            const QString path = write(original.first, v);
            if (!song.importFile(path)) {
                ++refused;
                continue;
            }
            ++imported;
            SongInfo info;
            song.getSongInfo(info);
            song.setSongInfo(catalogueRecord(), false);
            song.setSongInfo(catalogueRecord(), true);
            if (song.saveToFile(path)) {
                MetaSong again;
                QVERIFY2(again.importFile(path), qPrintable(original.first));
                QCOMPARE(again.fileType(), song.fileType());
            }
        }
    }
    // Both outcomes occur: the cuts make refused files, most flips land in
    // places that still load.
    QVERIFY(imported > 50);
    QVERIFY(refused > 50);
}

QTEST_GUILESS_MAIN(TestMetaSong)
#include "tst_metasong.moc"
