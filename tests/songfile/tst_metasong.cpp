#include "containerbuilder.h"
#include "metasong.h"
#include "midibuilder.h"
#include "mp3builder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
// format|title|artist|genre|author|length|bpm|key|zevio|markers|long name|flags
QString describe(const SongInfo &s)
{
    QStringList markers;
    for (const Marker &m : s.markers)
        markers << QStringLiteral("%1:%2").arg(m.bar).arg(m.text);
    return QStringList({ s.format, s.title, s.artist, s.genre, s.author, QString::number(s.length),
                           QString::number(s.userBpm), s.key, QString::number(s.isZevio),
                           markers.join(QLatin1Char(',')), s.mfxLongName,
                           QString::number(quint8(s.mfxFlags), 16) })
        .join(QLatin1Char('|'));
}

// clang-format off
// A conductor track full of song information, and a piano track.
QByteArray richMidi(int format = 1)
{
    MidiBuilder midi(format);
    midi.track().meta(0, 0x03, "Blue Night").meta(0, 0x02, "(c) Zevio 2004").meta(0, 0x59, "\x03\x01");
    midi.tag(0, 1, "Liscio").tag(0, 2, "Orchestra Bianchi").tag(0, 3, "G. Verdi").tag(0, 4, "215");
    midi.tag(0, 5, "96").marker(0, 1, "Intro").marker(0, 9, "Strofa");
    if (format == 1)
        midi.note(0, 60).track().meta(0, 0x03, "Piano");
    return midi.note(0, 64).build();
}
// clang-format on

QByteArray bareMidi(int format = 1)
{
    MidiBuilder midi(format);
    midi.track().note(0, 60).note(480, 62);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(0, 64);
    return midi.build();
}

QByteArray mp3Song()
{
    return Mp3Builder(3).texts("TIT2=Song;TCOP=Zevio").padding(64).tag() + Mp3Builder::audio(20);
}

QList<std::pair<const char *, QByteArray>> everyFormat()
{
    ContainerBuilder mf3("_MF3"), mf4("_MF4"), mf5("_MF5");
    return { { "song0.mid", bareMidi(0) }, { "song1.mid", richMidi(1) },
        { "song.mf3", mf3.filler().title(QStringLiteral("--")).midi(richMidi()).build() },
        { "song.mf4", mf4.filler().midi(richMidi(0)).build() },
        { "song.mf5", mf5.filler().artist(QStringLiteral("-")).midi(bareMidi()).build() },
        { "song.mp3", mp3Song() } };
}

enum Record { Catalogue, NotMakers, Negative, OtherTitle, Blank };

SongInfo record(int which = Catalogue)
{
    SongInfo info;
    if (which == Blank)
        return info;
    info.title = QLatin1String(which == OtherTitle ? "Red Sky" : "BLUE NIGHT (LIVE)");
    info.artist = QStringLiteral("Bianchi");
    info.altArtist = QStringLiteral("Orchestra Bianchi");
    info.genre = QStringLiteral("Valzer");
    info.author = QStringLiteral("Rossi");
    info.length = which == Negative ? -1 : 180;
    info.userBpm = which == Negative ? -1 : 120;
    info.key = QStringLiteral("A");
    info.isZevio = which != NotMakers;
    info.markers = { Marker(QStringLiteral("A"), 1), Marker(QStringLiteral("B"), 17) };
    return info;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The Linux immutable attribute stops even root; false where there is none.
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}
} // namespace

class TestMetaSong : public QObject
{
    Q_OBJECT

    QTemporaryDir *dir = nullptr;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir->filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return file.fileName();
    }
    QStringList entries() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        QVERIFY(dir->isValid());
    }

    void cleanup()
    {
        MetaSong::setWriteLimitForTesting(-1);
        setImmutable(dir->path(), false);
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        delete dir;
    }

    void import_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // the record, or the format only; "": refused
        // clang-format off
        const QByteArray mp3 = Mp3Builder(3).texts("TIT2=Song;TPE1=Singer;TCOM=Writer;TCON=Pop;TKEY=A;TBPM=100;"
                                                   "TLEN=215999;TCOP=zevio srl").tag();
        ContainerBuilder mf4("_MF4"), mf3("_MF3"), mf5("_MF5");
        mf4.filler().fields("Notte Blu", "Bianchi", "Verdi", "Valzer").tempo(132).flags(0x81).midi(richMidi())
            .text(ContainerBuilder::LongName, QStringLiteral("NOTTEBLU.MF4"));
        const QByteArray noTrack = QByteArray::fromHex("4d54686400000006000000010060");
        const QString rich = QStringLiteral("|Blue Night|Orchestra Bianchi|Liscio|G. Verdi|215|96|F#-|1|1:Intro,9:Strofa|");
        // The magic decides for MIDI and containers, the name ".mp3" for MP3.
        QTest::newRow("midi 1") << "a.bin" << richMidi(1) << QStringLiteral("MIDI") + rich + QStringLiteral("|0");
        QTest::newRow("midi 0") << "a.kar" << richMidi(0) << QStringLiteral("MIDI") + rich + QStringLiteral("|0");
        // The first track name, found in a later track.
        QTest::newRow("bare midi") << "a.mid" << bareMidi() << "MIDI|Piano||||0|0||0|||0";
        QTest::newRow("midi format 2") << "a.mid" << MidiBuilder(2).track().build() << "";
        QTest::newRow("midi without track") << "a.mid" << noTrack << "";
        // Texts and tempo from the header; key, markers and length from the MIDI data.
        QTest::newRow("mf4") << "a.mf4" << mf4.build()
                             << "MF4|Notte Blu|Bianchi|Valzer|Verdi|215|132|F#-|1|1:Intro,9:Strofa|NOTTEBLU.MF4|81";
        // A container is the maker's, whatever its MIDI copyright says.
        QTest::newRow("mf3") << "a.dat" << mf3.title(QStringLiteral("T")).midi(MidiBuilder(0).meta(0, 2, "X").build()).build()
                             << "MF3|T||||0|0||1|||0";
        QTest::newRow("mf5") << "a.mf5" << mf5.midi(bareMidi()).build() << "MF5";
        QTest::newRow("mf5 of 700 bytes") << "a.mf5" << mf5.build().left(700) << "";
        QTest::newRow("mf3 header only") << "a.mf3" << mf3.header() << "";
        QTest::newRow("mf3 holding no midi") << "a.mf3" << mf3.midi(QByteArray(300, 'x')).build() << "";
        QTest::newRow("mf3 wrong size") << "a.mf3" << mf3.header() + QByteArray::fromHex("FFFFFFFF0102") << "";
        // An "_MF4" container whose data has no "MTrk" loses nothing and is refused.
        QTest::newRow("mf4 without track") << "a.mf4" << mf4.midi(noTrack).build() << "";
        QTest::newRow("mp3") << "A.MP3" << mp3 + Mp3Builder::audio(2) << "MP3|Song|Singer|Pop|Writer|215|100|A|1|||0";
        QTest::newRow("mp3 bytes named .bin") << "song.bin" << mp3 << "";
        QTest::newRow("mp3 frame sync") << "s.mp3" << Mp3Builder::audio(2) << "MP3";
        QTest::newRow("mp3 two zero bytes") << "s.Mp3" << QByteArray(400, '\0') << "MP3";
        QTest::newRow("mp3 FF 12") << "s.mp3" << QByteArray::fromHex("FF12").append(400, 'x') << "";
        QTest::newRow("mp3 of 5 bytes") << "s.mp3" << QByteArray::fromHex("FFFB900000") << "";
        QTest::newRow("empty file") << "e.mid" << QByteArray() << "";
        // clang-format on
    }

    // A refused file leaves the song imported before it as it was.
    void import()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        MetaSong song;
        QVERIFY(song.importFile(write(QStringLiteral("before.mid"), bareMidi(0))));
        QCOMPARE(song.importFile(write(name, bytes)), !expected.isEmpty());
        QVERIFY(!song.importFile(dir->filePath(QStringLiteral("missing.mid"))));
        SongInfo info;
        info.altArtist = QStringLiteral("stale");
        song.getSongInfo(info);
        QVERIFY(info.altArtist.isEmpty());
        if (expected.isEmpty())
            expected = QStringLiteral("MIDI|||||0|0||0|||0");
        QCOMPARE(expected.contains(QLatin1Char('|')) ? describe(info) : info.format, expected);
    }

    void formatStringsAndKeys()
    {
        QStringList names;
        for (int t = -1; t <= 7; ++t)
            names << MetaSong::getFormatString(SongInfo::fileTypeEnum(t));
        QCOMPARE(names.join(QLatin1Char(' ')),
            QStringLiteral("UNKNOWN UNKNOWN MIDI MIDI MF3 MF4 MF5 MP3 UNKNOWN"));
        QCOMPARE(MetaSong::getKeysList(), RawMidiFile::getKeysList());
    }

    void setSongInfo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QString>("expected");
        // clang-format off
        const QByteArray titled = MidiBuilder(1).track().meta(0, 0x03, "Blue Night").note(0, 1).build();
        const QByteArray placeholders = ContainerBuilder("_MF4").fields("--", "--", "-", "").flags(0x80).tempo(500)
                                            .midi(bareMidi()).build();
        const QByteArray realMf3 = ContainerBuilder("_MF3").fields("Notte Blu", "Orchestra Bianchi", "Verdi", "Liscio")
                                       .tempo(499).midi(richMidi()).build();
        const QByteArray fullMp3 = Mp3Builder(3).texts("TIT2=Song;TCOM=W;TPE1=Bianchi;TCON=Pop;TKEY=C;TLEN=3000;TBPM=99")
                                       .tag() + Mp3Builder::audio(1);
        using L = QLatin1String;
        const QString all = QStringLiteral("|BLUE NIGHT (LIVE)|Orchestra Bianchi|Valzer|Rossi|");
        const QString manual = QStringLiteral("|BLUE NIGHT (LIVE)|Bianchi|Valzer|Rossi|180|120|A|");
        // Manual mode writes every field, markers never (a container's flag still says it has some).
        QTest::newRow("manual midi") << "m.mid" << richMidi() << int(NotMakers) << true << L("MIDI") + manual + L("1|1:Intro,9:Strofa||0");
        QTest::newRow("manual mf5") << "m.mf5" << ContainerBuilder("_MF5").title(QStringLiteral("Old")).tempo(90).midi(richMidi()).build()
                                    << int(NotMakers) << true << L("MF5") + manual + L("1|1:Intro,9:Strofa||1");
        QTest::newRow("manual mp3") << "m.mp3" << fullMp3 << int(NotMakers) << true << L("MP3") + manual + L("0|||0");
        // An empty record empties every field; the empty key removes the key.
        QTest::newRow("manual blank midi") << "b.mid" << richMidi() << int(Blank) << true << "MIDI|||||0|0||1|1:Intro,9:Strofa||0";
        QTest::newRow("manual blank mp3") << "b.mp3" << fullMp3 << int(Blank) << true << "MP3|||||0|0||0|||0";
        // Automatic mode: the catalogue title extends the file's, another title is kept, a missing or
        // empty one is written; key, length and tempo only for the maker's songs, and never negative.
        QTest::newRow("midi title extended") << "a.mid" << titled << int(Catalogue) << false << L("MIDI") + all + L("180|120|A|0|1:A,17:B||0");
        QTest::newRow("midi other title") << "a.mid" << titled << int(OtherTitle) << false
                                          << "MIDI|Blue Night|Orchestra Bianchi|Valzer|Rossi|180|120|A|0|1:A,17:B||0";
        QTest::newRow("midi empty title") << "a.mid" << MidiBuilder(0).meta(0, 3, "").build() << int(OtherTitle) << false
                                          << "MIDI|Red Sky|Orchestra Bianchi|Valzer|Rossi|180|120|A|0|1:A,17:B||0";
        QTest::newRow("midi not maker's") << "a.mid" << bareMidi(0) << int(NotMakers) << false << L("MIDI") + all + L("0|0||0|1:A,17:B||0");
        QTest::newRow("midi negative") << "a.mid" << bareMidi(0) << int(Negative) << false << L("MIDI") + all + L("0|0|A|0|1:A,17:B||0");
        QTest::newRow("midi all present") << "a.mid" << richMidi() << int(Catalogue) << false
                                          << "MIDI|BLUE NIGHT (LIVE)|Orchestra Bianchi|Liscio|G. Verdi|215|96|F#-|1|1:Intro,9:Strofa||0";
        // "-" and "--" in a container are placeholders; the header tempo ignores the publisher.
        QTest::newRow("mf4 placeholders") << "a.mf4" << placeholders << int(NotMakers) << false << L("MF4") + all + L("0|120||1|1:A,17:B||81");
        QTest::newRow("mf4 placeholders, maker's") << "a.mf4" << placeholders << int(Catalogue) << false << L("MF4") + all + L("180|120|A|1|1:A,17:B||81");
        QTest::newRow("mf3 real values") << "a.mf3" << realMf3 << int(Catalogue) << false
                                         << "MF3|Notte Blu|Orchestra Bianchi|Liscio|Verdi|215|499|F#-|1|1:Intro,9:Strofa||1";
        QTest::newRow("mf5 negative tempo") << "a.mf5" << ContainerBuilder("_MF5").midi(bareMidi()).build() << int(Negative) << false
                                            << L("MF5") + all + L("0|0|A|1|1:A,17:B||1");
        QTest::newRow("mp3 no tag") << "a.mp3" << Mp3Builder::audio(2) << int(NotMakers) << false << L("MP3") + all + L("0|0||0|||0");
        QTest::newRow("mp3 no tag, maker's") << "a.mp3" << Mp3Builder::audio(2) << int(Catalogue) << false << L("MP3") + all + L("180|120|A|0|||0");
        QTest::newRow("mp3 full tag kept") << "a.mp3" << fullMp3 << int(Catalogue) << false << "MP3|Song|Orchestra Bianchi|Pop|W|3|99|C|0|||0";
        // clang-format on
    }

    void setSongInfo()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, which);
        QFETCH(bool, manual);
        MetaSong song;
        QVERIFY(song.importFile(write(name, bytes)));
        song.setSongInfo(record(which), manual);
        SongInfo info;
        song.getSongInfo(info);
        QTEST(describe(info), "expected");
    }

    void artistRule_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("fileArtist"); // "<none>": no artist in the file
        QTest::addColumn<QString>("alt");
        QTest::addColumn<QString>("written");
        // clang-format off
        for (const char *format : { "MIDI", "MF3", "MP3" }) {
            QTest::addRow("%s no artist, alt given", format) << format << "<none>" << "Alt" << "Alt";
            QTest::addRow("%s no artist, no alt", format) << format << "<none>" << "" << "A";
            QTest::addRow("%s equals alt", format) << format << "Alt" << "Alt" << "Alt";
            QTest::addRow("%s alt empty", format) << format << "Other" << "" << "A";
            QTest::addRow("%s equals artist", format) << format << "A" << "Alt" << "Alt";
            QTest::addRow("%s something else", format) << format << "Other" << "Alt" << "A";
        }
        // "-", "--" and "" are no artist in a container; elsewhere they are a name.
        QTest::newRow("MF3 dash") << "MF3" << "-" << "Alt" << "Alt";
        QTest::newRow("MF3 double dash, no alt") << "MF3" << "--" << "" << "A";
        QTest::newRow("MF3 empty") << "MF3" << "" << "Alt" << "Alt";
        QTest::newRow("MIDI dash") << "MIDI" << "-" << "Alt" << "A";
        QTest::newRow("MIDI empty event") << "MIDI" << "" << "Alt" << "A";
        // clang-format on
    }

    // Automatic mode follows the artist rule; manual mode writes the artist.
    void artistRule()
    {
        QFETCH(QString, format);
        QFETCH(QString, fileArtist);
        QFETCH(QString, alt);
        const bool none = fileArtist == QLatin1String("<none>");
        const QByteArray text = fileArtist.toLatin1();
        QByteArray bytes = (none ? Mp3Builder(3) : Mp3Builder(3).text("TPE1", text)).tag()
            + Mp3Builder::audio(1);
        if (format == QLatin1String("MIDI"))
            bytes = none ? bareMidi(0) : MidiBuilder(0).tag(0, 2, text).build();
        else if (format == QLatin1String("MF3"))
            bytes
                = ContainerBuilder().artist(none ? QString() : fileArtist).midi(bareMidi()).build();
        SongInfo info;
        info.artist = QStringLiteral("A");
        info.altArtist = alt;
        for (bool manual : { false, true }) {
            MetaSong song;
            QVERIFY(song.importFile(write(QStringLiteral("a.") + format.toLower(), bytes)));
            song.setSongInfo(info, manual);
            SongInfo result;
            song.getSongInfo(result);
            if (manual)
                QCOMPARE(result.artist, info.artist);
            else
                QTEST(result.artist, "written");
        }
    }

    void debugFunctions()
    {
        MetaSong song;
        QVERIFY(song.importFile(write(QStringLiteral("dbg.mid"), bareMidi())));
        QCOMPARE(song.dbgAddMarker(QStringLiteral("Coda"), 33), 11);
        SongInfo info;
        song.getSongInfo(info);
        QCOMPARE(info.markers, QList<Marker>({ Marker(QStringLiteral("Coda"), 33) }));

        static QStringList lines;
        info = record();
        info.format = QStringLiteral("MIDI");
        info.filename = QStringLiteral("/s/blue.mid");
        info.mfxLongName = QStringLiteral("LONG");
        info.mfxFlags = qint8(0xa5);
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { lines << text; });
        info.dbgDump();
        SongInfo().dbgDump();
        qInstallMessageHandler(previous);
        QCOMPARE(lines.mid(0, 19).join(QLatin1Char('|')),
            QStringLiteral("%1|Format     : \"MIDI\"|Filename   : \"/s/blue.mid\"|"
                           "Shortname  : \"\"|Is Zevio  : true|"
                           "Title      : \"BLUE NIGHT (LIVE)\"|Artist     : \"Bianchi\"|"
                           "AltArtist  : \"Orchestra Bianchi\"|Genre      : \"Valzer\"|"
                           "Author     : \"Rossi\"|Length     : 180|userBpm    : 120|"
                           "Key        : \"A\"|Markers:|  bar: 1   text: \"A\"|"
                           "  bar: 17   text: \"B\"|MfxLongName: \"LONG\"|"
                           "MfxFlags   : 0xa5|%2")
                .arg(QLatin1String("Dump Info song ") + QString(46, QLatin1Char('-')),
                    QLatin1String("Dump END ") + QString(52, QLatin1Char('-'))));
        QCOMPARE(lines.mid(19).filter(QRegularExpression(QStringLiteral("Markers|Flags"))),
            QStringList({ QStringLiteral("Markers:"), QStringLiteral("NO Markers"),
                QStringLiteral("MfxFlags   : 0x00") }));
    }

    void saveRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("manual");
        for (const auto &f : everyFormat()) {
            QTest::addRow("%s automatic", f.first)
                << QString::fromLatin1(f.first) << f.second << false;
            QTest::addRow("%s manual", f.first) << QString::fromLatin1(f.first) << f.second << true;
        }
    }

    // Import, change, save, import: the same song; a second save the same bytes.
    void saveRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, manual);
        const QString path = write(name, bytes);
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), manual);
        SongInfo inMemory;
        song.getSongInfo(inMemory);
        QVERIFY(song.saveToFile(path));
        QCOMPARE(entries(), QStringList(name));
        MetaSong reloaded;
        QVERIFY(reloaded.importFile(path));
        SongInfo onDisk;
        reloaded.getSongInfo(onDisk);
        QCOMPARE(describe(onDisk), describe(inMemory));
        const QByteArray first = readAll(path);
        QVERIFY(reloaded.saveToFile(path));
        QCOMPARE(readAll(path), first);
    }

    // Whatever the three extra bytes of an "_MF4" container held, it is saved
    // with FF 00 FF there; a usual one comes back byte for byte.
    void mf4SavedUnchanged()
    {
        const ContainerBuilder usual
            = ContainerBuilder("_MF4").filler().title(QStringLiteral("X")).midi(richMidi());
        const QString path
            = write(QStringLiteral("odd.mf4"), ContainerBuilder(usual).mf4Extra("abc").build());
        for (int round = 0; round < 2; ++round) {
            MetaSong song;
            QVERIFY(song.importFile(path));
            QVERIFY(song.saveToFile(path));
            QCOMPARE(readAll(path), usual.build());
        }
    }

    // Sizes describe the new block, flags are only added, other bytes stay.
    void containerHeaderAfterSave()
    {
        const QByteArray original
            = ContainerBuilder("_MF5").filler().flags(0x80).midi(bareMidi(0)).build();
        const QString path = write(QStringLiteral("h.mf5"), original);
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), true);
        QVERIFY(song.saveToFile(path));
        const QByteArray saved = readAll(path);
        QCOMPARE(qFromLittleEndian<quint32>(saved.constData() + 4), quint32(saved.size()));
        QByteArray midi;
        QVERIFY(LzHuff().expand(saved.mid(1024), midi));
        QCOMPARE(qFromLittleEndian<quint32>(saved.constData() + 12), quint32(midi.size()));
        for (const auto &range : { std::pair<int, int>(0, 4), { 8, 12 }, { 16, 38 }, { 40, 122 },
                 { 154, 185 }, { 282, 1024 } })
            QCOMPARE(saved.mid(range.first, range.second - range.first),
                original.mid(range.first, range.second - range.first));
        QCOMPARE(saved.mid(38, 2).toHex() + saved.mid(185, 1).toHex(), QByteArray("780081"));
    }

    void mp3KeepsAudioAndMarksOnce()
    {
        const QByteArray original = mp3Song();
        const QString path = write(QStringLiteral("track.mp3"), original);
        for (bool manual : { false, true }) {
            MetaSong song;
            QVERIFY(song.importFile(path));
            song.setSongInfo(record(), manual);
            QVERIFY(song.saveToFile(path));
        }
        const QByteArray saved = readAll(path);
        QCOMPARE(saved.count("QEDT"), 1);
        QCOMPARE(saved.mid(10 + Mp3Builder::readSynchsafe(saved, 6)), Mp3Builder::audio(20));
        QCOMPARE(entries(), QStringList(QStringLiteral("track.mp3")));
    }

    void readOnlyFileGetsOwnerWrite()
    {
        const QString path = write(QStringLiteral("locked.mid"), bareMidi(0));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), true);
        QVERIFY(song.saveToFile(path));
        QCOMPARE(QFile::permissions(path) & (QFile::WriteOwner | QFile::ReadGroup),
            QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(readAll(path).contains("BLUE NIGHT (LIVE)"));
        if (setImmutable(path, true)) {
            QTest::ignoreMessage(QtDebugMsg, "remove read only flag: OK");
            const bool saved = song.saveToFile(path);
            setImmutable(path, false);
            QVERIFY(saved);
        }
    }

    void saveFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("logLine");
        const QString log = QStringLiteral("[MetaSong::saveToFile] Impossible to ");
        const QString protectedLine
            = log + QStringLiteral("write to file. Maybe it's write protected? Aborting!");
        for (const auto &f : everyFormat()) {
            const bool mp3 = QByteArray(f.first).endsWith(".mp3");
            const QString name = QString::fromLatin1(f.first);
            // clang-format off
            QTest::addRow("%s read-only folder", f.first) << name << f.second << "folder" << protectedLine;
            QTest::addRow("%s vanished", f.first) << name << f.second << "vanished" << (mp3 ? log + QStringLiteral("read from file.") : protectedLine);
            QTest::addRow("%s disk full at once", f.first) << name << f.second << "0" << log + QStringLiteral("write to file.");
            QTest::addRow("%s disk full after 100 bytes", f.first) << name << f.second << "100" << log + QStringLiteral("write to file.");
            QTest::addRow("%s disk full one byte short", f.first) << name << f.second << "short" << log + (mp3 ? QStringLiteral("copy part of file.") : QStringLiteral("write to file."));
            // clang-format on
        }
    }

    // A save that cannot complete returns false and leaves the original file
    // byte for byte as it was, with no temporary file left behind.
    void saveFailures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, how);
        const QString path = write(name, bytes);
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), true);
        if (how == QLatin1String("folder")) {
            QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(dir->filePath(QStringLiteral("probe")));
            if (probe.open(QIODevice::WriteOnly)) { // privileged users ignore permissions
                probe.remove();
                if (!setImmutable(dir->path(), true))
                    QSKIP("Cannot make a folder read-only for this user");
            }
        } else if (how == QLatin1String("vanished")) {
            QVERIFY(QFile::remove(path));
        } else if (how == QLatin1String("short")) {
            QTemporaryDir scratch;
            const QString other = scratch.filePath(name);
            QVERIFY(QFile::copy(path, other));
            MetaSong copy;
            QVERIFY(copy.importFile(other));
            copy.setSongInfo(record(), true);
            QVERIFY(copy.saveToFile(other));
            MetaSong::setWriteLimitForTesting(QFileInfo(other).size() - 1);
        } else {
            MetaSong::setWriteLimitForTesting(how.toLongLong());
        }
        QFETCH(QString, logLine);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logLine));
        QVERIFY(!song.saveToFile(path));
        setImmutable(dir->path(), false);
        QCOMPARE(entries(), how == QLatin1String("vanished") ? QStringList() : QStringList(name));
        QCOMPARE(readAll(path), how == QLatin1String("vanished") ? QByteArray() : bytes);
    }

    void saveRefused()
    {
        const QString path = write(QStringLiteral("plain.mid"), bareMidi(0));
        MetaSong song;
        QVERIFY(!song.importFile(write(QStringLiteral("junk.mid"), "MThd junk")));
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] UNKNOWN format (or data corrupted) in memory, aborting");
        QVERIFY(!song.saveToFile(path));
        // At most 500,000 bytes of MIDI data fit a container.
        const QByteArray big
            = ContainerBuilder("_MF3")
                  .midi(MidiBuilder(0).sysex(0, QByteArray(500000 - 40, '\x11')).build())
                  .build();
        const QString bigPath = write(QStringLiteral("big.mf3"), big);
        QVERIFY(song.importFile(bigPath));
        song.setSongInfo(record(), true);
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] WARNING: MIDI data too large for the container, aborting !!!");
        QVERIFY(!song.saveToFile(bigPath));
        QCOMPARE(readAll(bigPath), big);
        QCOMPARE(readAll(path), bareMidi(0));
    }

    void mfxHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("type"); // 0: refused
        const struct { const char *magic; int size; int type; } rows[] = { { "_MF3", 512, 3 },
            { "_MF4", 512, 4 }, { "_MF5", 1024, 5 }, { "_MF3", 511, 0 }, { "_MF5", 1023, 0 },
            { "_MF3", 1023, 3 }, { "_mf3", 512, 0 } };
        for (const auto &r : rows)
            QTest::addRow("%s %d", r.magic, r.size)
                << ContainerBuilder(r.magic).headerSize(r.size).header() << r.type;
    }

    void mfxHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, type);
        MfxHeader header;
        QVERIFY(header.loadHeader(ContainerBuilder("_MF5").title(QStringLiteral("Old")).header()));
        QCOMPARE(header.loadHeader(bytes), type != 0);
        QCOMPARE(header.header(), type ? bytes : QByteArray());
        // A known magic with too few bytes keeps the type of the last load.
        QCOMPARE(int(header.fileType()), type ? type : bytes.startsWith("_MF") ? 5 : 0);
    }

    // Texts end at the field's end or the first 0x00, are trimmed, Latin-1;
    // writers cut to the field and zero the rest; nothing else changes.
    void mfxFields()
    {
        ContainerBuilder builder("_MF5");
        builder.filler()
            .fields("", "\tX\n", "", "")
            .bytesAt(186, QByteArray("  Caf\xE9  \0junk", 13));
        builder.text(ContainerBuilder::Title, QString(32, QLatin1Char('T')));
        const QByteArray original
            = builder.text(ContainerBuilder::LongName, QString(13, QLatin1Char('L'))).header();
        MfxHeader header;
        QVERIFY(header.loadHeader(original));
        const QStringList read = { header.title(), header.author(), header.artist(), header.genre(),
            header.longName() };
        QCOMPARE(read,
            QStringList({ QString(32, QLatin1Char('T')), QStringLiteral("Caf\u00e9"),
                QStringLiteral("X"), QString(), QString(13, QLatin1Char('L')) }));
        QVERIFY(header.hasTitle() && !header.hasGenre());
        QByteArray expected = original;
        header.setTitle(QString(32, QLatin1Char('a')) + QStringLiteral("cut"));
        header.setAuthor(QStringLiteral("\u00e8 \u20ac"));
        header.setArtist(QString());
        header.setGenre(QStringLiteral("Rose"));
        expected.replace(122, 32, QByteArray(32, 'a'))
            .replace(186, 32, QByteArray("\xE8 ?").append(29, '\0'));
        expected.replace(218, 32, QByteArray(32, '\0'))
            .replace(250, 32, QByteArray("Rose").append(28, '\0'));
        header.setTempo(500);
        QVERIFY(!header.hasValidTempo());
        header.setTempo(1);
        QVERIFY(header.hasValidTempo());
        header.setTempo(70000);
        QCOMPARE(header.tempo(), 4464);
        QVERIFY(!header.hasValidTempo());
        expected.replace(38, 2, QByteArray::fromHex("7011"));
        header.setFlag(MfxHeader::FlagHasMarkers);
        header.setFlag(MfxHeader::FlagHasMarkers);
        expected[185] = char(0x01);
        header.setSize(0x01020304);
        header.setOrigSize(4000000000u);
        expected.replace(4, 4, QByteArray::fromHex("04030201"))
            .replace(12, 4, QByteArray::fromHex("00286BEE"));
        QCOMPARE(header.header().toHex(), expected.toHex());
        QVERIFY(header.loadHeader(ContainerBuilder("_MF3").flags(0x86).header()));
        header.setFlag(MfxHeader::FlagHasMarkers);
        QCOMPARE(header.flags(), -121);
        header.setTempo(0);
        QVERIFY(!header.hasValidTempo());
    }
};

QTEST_GUILESS_MAIN(TestMetaSong)
#include "tst_metasong.moc"
