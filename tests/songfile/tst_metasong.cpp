#include "metasong.h"
#include "songbuilders.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <future>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
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

const char *const formats[] = { "song0.mid", "song.mf3", "song.mf4", "song.mf5", "song.mp3" };
QByteArray someSong(int i)
{
    if (i == 4)
        return Mp3Builder(3).texts("TIT2=Song;TCOP=Zevio").padding(64).tag()
            + Mp3Builder::audio(20);
    return i == 0 ? bareMidi(0)
                  : ContainerBuilder(QByteArray("_MF") + char('2' + i)).midi(richMidi()).build();
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

// Bytes laid out by hand: a hex prefix (delta, status, type, lengths) and the text.
QByteArray ev(const char *hex, const char *text = "")
{
    return QByteArray::fromHex(hex) + text;
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
        QTest::newRow("MTrk without length") << "a.mid" << noTrack + "MTrk\0\0" << "";
        // Texts and tempo from the header; key, markers and length from the MIDI data.
        QTest::newRow("mf4") << "a.mf4" << mf4.build()
                             << "MF4|Notte Blu|Bianchi|Valzer|Verdi|215|132|F#-|1|1:Intro,9:Strofa|NOTTEBLU.MF4|81";
        // A container is the maker's, whatever its MIDI copyright says.
        QTest::newRow("mf3") << "a.dat" << mf3.text(ContainerBuilder::Title, QStringLiteral("T")).midi(MidiBuilder(0).meta(0, 2, "X").build()).build()
                             << "MF3|T||||0|0||1|||0";
        QTest::newRow("mf5") << "a.mf5" << mf5.midi(bareMidi()).build() << "MF5";
        QTest::newRow("mf5 of 700 bytes") << "a.mf5" << mf5.build().left(700) << "";
        QTest::newRow("mf3 header only") << "a.mf3" << mf3.header() << "";
        QTest::newRow("mf3 holding no midi") << "a.mf3" << mf3.midi(QByteArray(300, 'x')).build() << "";
        QTest::newRow("mf4 without track") << "a.mf4" << mf4.midi(noTrack).build() << "";
        QTest::newRow("mp3") << "A.MP3" << mp3 + Mp3Builder::audio(2) << "MP3|Song|Singer|Pop|Writer|215|100|A|1|||0";
        QTest::newRow("mp3 bytes named .bin") << "song.bin" << mp3 << "";
        QTest::newRow("mp3 frame sync") << "s.mp3" << Mp3Builder::audio(2) << "MP3";
        QTest::newRow("mp3 two zero bytes") << "s.Mp3" << QByteArray(400, '\0') << "MP3";
        QTest::newRow("mp3 FF 12") << "s.mp3" << QByteArray::fromHex("FF12").append(400, 'x') << "";
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
        if (expected.isEmpty())
            expected = QStringLiteral("MIDI|||||0|0||0|||0");
        QCOMPARE(expected.contains(QLatin1Char('|')) ? describe(info) : info.format, expected);
        QVERIFY(info.altArtist.isEmpty());
    }

    // Only regular files are opened (a named pipe would block the import for
    // ever); files too large for their format are refused before being read.
    void pipesAndOversizedFilesRefused()
    {
        const QString pipe = dir->filePath(QStringLiteral("pipe.mid"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        // With a writer present the open succeeds and a read waits for data.
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(writer >= 0);
        MetaSong song;
        auto result = std::async(std::launch::async, [&] { return song.importFile(pipe); });
        const bool finished = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        ::close(writer); // ends a read that was waiting
        QVERIFY(finished);
        QVERIFY(!result.get());

        const struct {
            const char *name;
            QByteArray start;
            qint64 size;
        } rows[] = {
            { "big.mid", bareMidi(0), 16 * 1024 * 1024 + 1 },
            { "big.mf3", ContainerBuilder().midi(bareMidi()).build(), 512 + 4 * 1024 * 1024 + 1 },
        };
        for (const auto &row : rows) {
            const QString path = write(QLatin1String(row.name), row.start);
            QVERIFY(QFile::resize(path, row.size - 1));
            QVERIFY(song.importFile(path));
            QVERIFY(QFile::resize(path, row.size));
            QTest::ignoreMessage(QtWarningMsg,
                QRegularExpression(
                    QStringLiteral("^\\[MetaSong::importFile\\] WARNING: \"%1\" is too "
                                   "large.*, skipping file$")
                        .arg(QRegularExpression::escape(path))));
            QVERIFY(!song.importFile(path));
        }
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
        // An empty record in manual mode empties every field; the empty key removes the key.
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
        QTest::newRow("MIDI dash") << "MIDI" << "-" << "Alt" << "A";
        // clang-format on
    }

    // Automatic mode follows the artist rule; manual mode writes the artist.
    void artistRule()
    {
        QFETCH(QString, format);
        QFETCH(QString, fileArtist);
        QFETCH(QString, alt);
        const bool none = fileArtist == QLatin1String("<none>");
        const QByteArray text = none ? QByteArray() : fileArtist.toLatin1();
        QByteArray bytes = (none ? Mp3Builder(3) : Mp3Builder(3).text("TPE1", text)).tag();
        if (format == QLatin1String("MIDI"))
            bytes = none ? bareMidi(0) : MidiBuilder(0).tag(0, 2, text).build();
        else if (format == QLatin1String("MF3"))
            bytes = ContainerBuilder()
                        .text(ContainerBuilder::Artist, QLatin1String(text))
                        .midi(bareMidi())
                        .build();
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

    void goldenSaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QByteArray>("expected");
        // The song: a title event and a note; MidiBuilder adds End of Track and the lengths.
        const auto midi = [](const QByteArray &head, bool title = true) {
            MidiBuilder song(0);
            song.raw(head);
            return (title ? song.meta(0, 0x03, "Old") : song).note(0, 60).build();
        };
        // Every writer puts its event at the head of the first track, so the events stand in the
        // reverse of the writers' order (key, length, title, author, tempo, artist, genre); a tag
        // event's length byte counts its sub-type. Automatic mode writes the markers first and
        // keeps the title "Old" (not a prefix of "Notte"); the artist "Orch" is the record's
        // alternative name, since the file has none.
        const QByteArray genre = ev("00ff4b0701", "Liscio"), tempo = ev("00ff4b0305", "96");
        const QByteArray author = ev("00ff4b0603", "Verdi"), length = ev("00ff4b0404", "215");
        const QByteArray key = ev("00ff59020001"); // A-: no sharps or flats, minor
        const QByteArray marker = ev("00ff4b08060001", "Intro"); // sub-type, bar 1, 5 letters
        QTest::newRow("midi manual") << "a.mid" << midi({}) << true
                                     << midi(genre + ev("00ff4b0802", "Bianchi") + tempo + author
                                                + ev("00ff0305", "Notte") + length + key,
                                            false);
        QTest::newRow("midi automatic")
            << "a.mid" << midi({}) << false
            << midi(genre + ev("00ff4b0502", "Orch") + tempo + author + length + key + marker);
        // Containers keep markers, key and length in the MIDI data and the rest in the header,
        // whose "-" and "--" are placeholders; the flag says there are markers; the bytes no
        // field uses stay. The "_MF4" head bytes, whatever they held, become FF 00 FF.
        for (const char *magic : { "_MF3", "_MF4", "_MF5" }) {
            ContainerBuilder original(magic), manual(magic), automatic(magic);
            original.filler().fields("--", "-", "Rossi", "").mf4Extra("abc").midi(midi({}));
            manual.filler().fields("Notte", "Bianchi", "Verdi", "Liscio").tempo(96).flags(1);
            automatic.filler().fields("Notte", "Orch", "Rossi", "Liscio").tempo(96).flags(1);
            const QString name = QStringLiteral("a.mf") + QLatin1Char(magic[3]);
            QTest::addRow("%s manual", magic)
                << name << original.build() << true << manual.midi(midi(length + key)).build();
            QTest::addRow("%s automatic", magic)
                << name << original.build() << false
                << automatic.midi(midi(length + key + marker)).build();
        }
        // MP3 writers: title, author, tempo, key, length, artist, genre, then the edit mark. A
        // UTF-16 artist equal to the record's stays as it was, where it was.
        const QByteArray utf16 = ev("01fffe") + QByteArray("B\0i\0a\0n\0c\0h\0i\0\0\0", 16);
        const QByteArray audio = Mp3Builder::audio(2);
        const QByteArray mark(4, '\0');
        const QByteArray mp3
            = Mp3Builder(3).text("TIT2", "Old").frame("TPE1", utf16).padding(4).tag() + audio;
        QTest::newRow("mp3 manual")
            << "a.mp3" << mp3 << true
            << Mp3Builder(3)
                    .frame("QEDT", mark)
                    .texts("TCON=Liscio;TLEN=215000;TKEY=A-;TBPM=96;TCOM=Verdi;TIT2=Notte")
                    .frame("TPE1", utf16)
                    .padding(4)
                    .tag()
                + audio;
        QTest::newRow("mp3 automatic")
            << "a.mp3" << mp3 << false
            << Mp3Builder(3)
                    .frame("QEDT", mark)
                    .texts("TCON=Liscio;TPE1=Orch;TLEN=215000;TKEY=A-;TBPM=96;TCOM=Verdi;TIT2=Old")
                    .padding(4)
                    .tag()
                + audio;
    }

    // Saved to the imported file, over another song and to a new name: the same
    // complete file each time; a second synchronisation changes nothing.
    void goldenSaves()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, original);
        QFETCH(bool, manual);
        QFETCH(QByteArray, expected);
        SongInfo info;
        info.title = QStringLiteral("Notte");
        info.artist = QStringLiteral("Bianchi");
        info.altArtist = QStringLiteral("Orch");
        info.genre = QStringLiteral("Liscio");
        info.author = QStringLiteral("Verdi");
        info.length = 215;
        info.userBpm = 96;
        info.key = QStringLiteral("A-");
        info.isZevio = true;
        info.markers = { Marker(QStringLiteral("Intro"), 1) };
        const QString path = write(name, original);
        const QString other = write(QStringLiteral("other-") + name, someSong(4));
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(info, manual);
        for (const QString &target :
            { path, other, dir->filePath(QStringLiteral("new-") + name), path }) {
            QVERIFY(song.saveToFile(target));
            QCOMPARE(readAll(target).toHex(), expected.toHex());
        }
        QCOMPARE(entries().size(), 3);
        if (manual)
            return;
        MetaSong again;
        QVERIFY(again.importFile(path));
        again.setSongInfo(info, false);
        QVERIFY(again.saveToFile(path));
        QCOMPARE(readAll(path).toHex(), expected.toHex());
    }

    // A writer that cannot insert (no room left in the first track's length
    // field) fails the save, and the file stays as it was.
    void writerThatCannotInsertFailsTheSave()
    {
        QByteArray original = MidiBuilder(0).meta(0, 0x03, "Old").note(0, 60).build();
        original.replace(18, 4, QByteArray(4, '\xff'));
        const QString path = write(QStringLiteral("full.mid"), original);
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), true);
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] WARNING: song information could not be written in memory, "
            "aborting !!!");
        QVERIFY(!song.saveToFile(path));
        QCOMPARE(readAll(path), original);
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
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("logLine");
        const QString log = QStringLiteral("[MetaSong::saveToFile] Impossible to ");
        const QString protectedLine
            = log + QStringLiteral("write to file. Maybe it's write protected? Aborting!");
        for (int f = 0; f < 5; ++f) {
            const bool mp3 = f == 4;
            const char *name = formats[f];
            // clang-format off
            QTest::addRow("%s read-only folder", name) << f << "folder" << protectedLine;
            QTest::addRow("%s vanished", name) << f << "vanished" << (mp3 ? log + QStringLiteral("read from file.") : protectedLine);
            QTest::addRow("%s disk full at once", name) << f << "0" << log + QStringLiteral("write to file.");
            QTest::addRow("%s disk full after 100 bytes", name) << f << "100" << log + QStringLiteral("write to file.");
            QTest::addRow("%s disk full one byte short", name) << f << "short" << log + (mp3 ? QStringLiteral("copy part of file.") : QStringLiteral("write to file."));
            // clang-format on
        }
    }

    // A save that cannot complete returns false and leaves the original file
    // byte for byte as it was, with no temporary file left behind.
    void saveFailures()
    {
        QFETCH(int, format);
        QFETCH(QString, how);
        const QString name = QLatin1String(formats[format]);
        const QByteArray bytes = someSong(format);
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
            const QString copy = scratch.filePath(name);
            QVERIFY(song.saveToFile(copy));
            MetaSong::setWriteLimitForTesting(QFileInfo(copy).size() - 1);
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

    // Header fields: texts cut to 32 characters (not UTF-16 units) with no
    // 0x00 when full, the tempo's low 16 bits, flags only added.
    void containerHeaderFields()
    {
        MfxHeader header;
        QVERIFY(header.loadHeader(ContainerBuilder("_MF5").filler().flags(0x80).header()));
        QByteArray expected = header.header();
        header.setTitle(QString(32, QLatin1Char('a')) + QStringLiteral("cut"));
        header.setAuthor(QStringLiteral("A\U0001F3B5B \u00e8"));
        header.setTempo(70000);
        header.setFlag(MfxHeader::FlagHasMarkers);
        expected.replace(122, 32, QByteArray(32, 'a')).replace(38, 2, QByteArray::fromHex("7011"));
        expected.replace(186, 32, QByteArray("A?B \xE8").append(27, '\0'));
        expected[185] = char(0x81);
        QCOMPARE(header.header().toHex(), expected.toHex());
        QCOMPARE(header.title(), QString(32, QLatin1Char('a')));
        QCOMPARE(header.flags(), -127);
        for (const int tempo : { 0, 1, 499, 500 }) {
            header.setTempo(tempo);
            QCOMPARE(header.hasValidTempo(), tempo == 1 || tempo == 499);
        }
    }
};

QTEST_GUILESS_MAIN(TestMetaSong)
#include "tst_metasong.moc"
