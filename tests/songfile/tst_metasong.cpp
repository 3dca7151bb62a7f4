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

using Bytes::hex;

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

// A conductor track full of song information, and a piano track.
QByteArray richMidi(int format = 1)
{
    MidiBuilder midi(format);
    midi.track().meta(0, 3, "Blue Night").meta(0, 2, "(c) Zevio 2004").meta(0, 0x59, "\x03\x01");
    midi.tag(0, 1, "Liscio").tag(0, 2, "Orchestra Bianchi").tag(0, 3, "G. Verdi").tag(0, 4, "215");
    midi.tag(0, 5, "96").marker(0, 1, "Intro").marker(0, 9, "Strofa");
    return (format == 1 ? midi.note(0, 60).track().meta(0, 3, "Piano") : midi).note(0, 64).build();
}

QByteArray bareMidi()
{
    return MidiBuilder(0).note(0, 60).note(480, 62).build();
}

const char *const formats[] = { "song.mid", "song.mf3", "song.mf4", "song.mf5", "song.mp3" };
QByteArray someSong(int i)
{
    if (i == 4)
        return Mp3Builder(3).texts("TIT2=Song;TCOP=Zevio").padding(64).tag()
            + Mp3Builder::audio(20);
    return i == 0 ? bareMidi()
                  : ContainerBuilder("_MF" + QByteArray::number(i + 2)).midi(richMidi()).build();
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
            .text(ContainerBuilder::LongName, "NOTTEBLU.MF4");
        const QByteArray noTrack = hex("4d54686400000006000000010060");
        const QString rich = QStringLiteral("|Blue Night|Orchestra Bianchi|Liscio|G. Verdi|215|96|F#-|1|1:Intro,9:Strofa|");
        // The magic decides for MIDI and containers, the name ".mp3" for MP3.
        QTest::newRow("midi 1") << "a.bin" << richMidi(1) << QStringLiteral("MIDI") + rich + QStringLiteral("|0");
        // The first track name, found in a later track.
        QTest::newRow("bare midi") << "a.mid" << MidiBuilder(1).track().note(0, 1).track().meta(0, 3, "Piano").build() << "MIDI|Piano||||0|0||0|||0";
        QTest::newRow("midi format 2") << "a.mid" << MidiBuilder(2).track().build() << "";
        QTest::newRow("midi without track") << "a.mid" << noTrack << "";
        QTest::newRow("MTrk without length") << "a.mid" << noTrack + "MTrk\0\0" << "";
        // Texts and tempo from the header; key, markers and length from the MIDI data.
        QTest::newRow("mf4") << "a.mf4" << mf4.build()
                             << "MF4|Notte Blu|Bianchi|Valzer|Verdi|215|132|F#-|1|1:Intro,9:Strofa|NOTTEBLU.MF4|81";
        // A container is the maker's, whatever its MIDI copyright says.
        QTest::newRow("mf3") << "a.dat" << mf3.text(ContainerBuilder::Title, "T").midi(MidiBuilder(0).meta(0, 2, "X").build()).build()
                             << "MF3|T||||0|0||1|||0";
        QTest::newRow("mf5") << "a.mf5" << mf5.midi(bareMidi()).build() << "MF5";
        QTest::newRow("mf5 of 700 bytes") << "a.mf5" << mf5.build().left(700) << "";
        QTest::newRow("mf3 holding no midi") << "a.mf3" << mf3.midi(QByteArray(300, 'x')).build() << "";
        QTest::newRow("mf4 without track") << "a.mf4" << mf4.midi(noTrack).build() << "";
        QTest::newRow("mp3") << "A.MP3" << mp3 + Mp3Builder::audio(2) << "MP3|Song|Singer|Pop|Writer|215|100|A|1|||0";
        QTest::newRow("mp3 bytes named .bin") << "song.bin" << mp3 << "";
        QTest::newRow("mp3 frame sync") << "s.mp3" << Mp3Builder::audio(2) << "MP3";
        QTest::newRow("mp3 two zero bytes") << "s.Mp3" << QByteArray(400, '\0') << "MP3";
        QTest::newRow("mp3 FF 12") << "s.mp3" << hex("FF12").append(400, 'x') << "";
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
        QVERIFY(song.importFile(write(QStringLiteral("before.mid"), bareMidi())));
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
        const QByteArray pipe = QFile::encodeName(dir->filePath(QStringLiteral("pipe.mid")));
        // With a writer present the open succeeds and a read waits for data.
        const int writer
            = ::mkfifo(pipe.constData(), 0600) ? -1 : ::open(pipe.constData(), O_RDWR | O_NONBLOCK);
        MetaSong song;
        auto result = std::async(
            std::launch::async, [&] { return song.importFile(QFile::decodeName(pipe)); });
        const bool finished = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        ::close(writer); // ends a read that was waiting
        QVERIFY(writer >= 0 && finished && !result.get());
        for (const int format : { 0, 1 }) {
            const QString path = write(QLatin1String(formats[format]), someSong(format));
            const qint64 limit = format == 0 ? 16 << 20 : 512 + (4 << 20);
            QVERIFY(QFile::resize(path, limit) && song.importFile(path));
            QVERIFY(QFile::resize(path, limit + 1));
            QTest::ignoreMessage(QtWarningMsg,
                qPrintable(
                    QStringLiteral("[MetaSong::importFile] WARNING: \"%1\" is too large for a %2, "
                                   "skipping file")
                        .arg(path, QLatin1String(format == 0 ? "MIDI file" : "song container"))));
            QVERIFY(!song.importFile(path));
        }
    }

    void setSongInfo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("which");
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
        // An empty record in manual mode empties every field, and the empty key removes the key.
        QTest::newRow("manual blank mp3") << "b.mp3" << fullMp3 << -1 << "MP3|||||0|0||0|||0";
        // The catalogue title extends the file's, another title is kept, a missing or empty one
        // is written; key, length and tempo only for the maker's songs, and never negative.
        QTest::newRow("midi title extended") << "a.mid" << titled << int(Catalogue) << L("MIDI") + all + L("180|120|A|0|1:A,17:B||0");
        QTest::newRow("midi other title") << "a.mid" << titled << int(OtherTitle)
                                          << "MIDI|Blue Night|Orchestra Bianchi|Valzer|Rossi|180|120|A|0|1:A,17:B||0";
        QTest::newRow("midi empty title") << "a.mid" << MidiBuilder(0).meta(0, 3, "").build() << int(OtherTitle)
                                          << "MIDI|Red Sky|Orchestra Bianchi|Valzer|Rossi|180|120|A|0|1:A,17:B||0";
        QTest::newRow("midi not maker's") << "a.mid" << bareMidi() << int(NotMakers) << L("MIDI") + all + L("0|0||0|1:A,17:B||0");
        QTest::newRow("midi negative") << "a.mid" << bareMidi() << int(Negative) << L("MIDI") + all + L("0|0|A|0|1:A,17:B||0");
        QTest::newRow("midi all present") << "a.mid" << richMidi() << int(Catalogue)
                                          << "MIDI|BLUE NIGHT (LIVE)|Orchestra Bianchi|Liscio|G. Verdi|215|96|F#-|1|1:Intro,9:Strofa||0";
        // "-" and "--" in a container are placeholders; the header tempo ignores the publisher.
        QTest::newRow("mf4 placeholders") << "a.mf4" << placeholders << int(NotMakers) << L("MF4") + all + L("0|120||1|1:A,17:B||81");
        QTest::newRow("mf3 real values") << "a.mf3" << realMf3 << int(Catalogue)
                                         << "MF3|Notte Blu|Orchestra Bianchi|Liscio|Verdi|215|499|F#-|1|1:Intro,9:Strofa||1";
        QTest::newRow("mf5 negative tempo") << "a.mf5" << ContainerBuilder("_MF5").midi(bareMidi()).build() << int(Negative)
                                            << L("MF5") + all + L("0|0|A|1|1:A,17:B||1");
        QTest::newRow("mp3 no tag") << "a.mp3" << Mp3Builder::audio(2) << int(NotMakers) << L("MP3") + all + L("0|0||0|||0");
        QTest::newRow("mp3 full tag kept") << "a.mp3" << fullMp3 << int(Catalogue) << "MP3|Song|Orchestra Bianchi|Pop|W|3|99|C|0|||0";
        // The artist rule, A = the record's artist, Alt = its alternative name ("Orchestra Bianchi").
        const QList<std::pair<const char *, const char *>> artists = { { "file has none", "Orchestra Bianchi" },
            { "Orchestra Bianchi", "Orchestra Bianchi" }, { "Bianchi", "Orchestra Bianchi" }, { "Other", "Bianchi" } };
        for (const auto &[file, written] : artists) {
            const QByteArray midi = file[0] == 'f' ? bareMidi() : MidiBuilder(0).tag(0, 2, file).build();
            QTest::addRow("artist %s", file) << "a.mid" << midi << int(NotMakers) << L("MIDI|BLUE NIGHT (LIVE)|%1|Valzer|Rossi|0|0||0|1:A,17:B||0").arg(L(written));
        }
        QTest::newRow("artist, no alternative") << "a.mid" << MidiBuilder(0).tag(0, 2, "Other").build() << -2 << "MIDI|BLUE NIGHT (LIVE)|Bianchi|Valzer|Rossi|0|0||0|1:A,17:B||0";
        QTest::newRow("container artist \"-\"") << "a.mf3" << ContainerBuilder().fields("T", "-", "", "").midi(bareMidi()).build()
                                              << int(NotMakers) << "MF3|T|Orchestra Bianchi|Valzer|Rossi|0|120||1|1:A,17:B||1";
        // clang-format on
    }

    // Automatic mode fills in what the file lacks.
    void setSongInfo()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, which);
        SongInfo info = record(which == -1 ? Blank : which == -2 ? NotMakers : which);
        if (which == -2)
            info.altArtist.clear();
        MetaSong song;
        QVERIFY(song.importFile(write(name, bytes)));
        song.setSongInfo(info, which == -1);
        song.getSongInfo(info);
        QTEST(describe(info), "expected");
    }

    void goldenSaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QByteArray>("expected");
        // The song: a title event and a note; MidiBuilder adds End of Track and the lengths.
        const auto midi = [](const QByteArray &head, const char *title = "Old") {
            MidiBuilder song(0);
            return (*title ? song.raw(head).meta(0, 3, title) : song.raw(head)).note(0, 60).build();
        };
        // Every writer puts its event at the head of the first track, so the events stand in the
        // reverse of the writers' order (key, length, title, author, tempo, artist, genre). A tag
        // event is 00 FF 4B, length (text + 1), sub-type, text. Automatic mode writes the markers
        // first, keeps the title "Old" (no prefix of the record's) and, the file having no
        // artist, writes the alternative name.
        const QByteArray genre = hex("00ff4b0701", "Valzer"), tempo = hex("00ff4b0405", "120");
        const QByteArray author = hex("00ff4b0603", "Rossi"), length = hex("00ff4b0404", "180");
        const QByteArray key = hex("00ff59020300"); // A: three sharps, major
        const QByteArray markers = hex("00ff4b04060001", "A") + hex("00ff4b04060011", "B");
        const QByteArray alt = hex("00ff4b1202", "Orchestra Bianchi");
        // clang-format off
        QTest::newRow("midi manual") << "a.mid" << midi({}) << true << midi(genre + hex("00ff4b0802", "Bianchi") + tempo + author
                                                                            + hex("00ff0311", "BLUE NIGHT (LIVE)") + length + key, "");
        QTest::newRow("midi automatic") << "a.mid" << midi({}) << false << midi(genre + alt + tempo + author + length + key + markers);
        // Containers keep markers, key and length in the MIDI data, the rest in the header (where
        // "-" and "--" are placeholders) with the markers flag; the bytes no field uses stay, the
        // "_MF4" head bytes become FF 00 FF whatever they held.
        for (const char *magic : { "_MF3", "_MF4", "_MF5" }) {
            ContainerBuilder original(magic), manual(magic), automatic(magic);
            original.filler().fields("--", "-", "Verdi", "").mf4Extra("abc").midi(midi({}));
            manual.filler().fields("BLUE NIGHT (LIVE)", "Bianchi", "Rossi", "Valzer").tempo(120).flags(1);
            automatic.filler().fields("BLUE NIGHT (LIVE)", "Orchestra Bianchi", "Verdi", "Valzer").tempo(120).flags(1);
            const QString name = QStringLiteral("a.mf") + QLatin1Char(magic[3]);
            QTest::addRow("%s manual", magic) << name << original.build() << true << manual.midi(midi(length + key)).build();
            QTest::addRow("%s automatic", magic) << name << original.build() << false << automatic.midi(midi(length + key + markers)).build();
        }
        // MP3 writers: title, author, tempo, key, length, artist, genre, then the edit mark. A UTF-16
        // artist equal to the record's stays as it was, where it was.
        const QByteArray utf16 = hex("01fffe") + QByteArray("B\0i\0a\0n\0c\0h\0i\0\0\0", 16), audio = Mp3Builder::audio(2);
        const QByteArray mp3 = Mp3Builder(3).text("TIT2", "Old").frame("TPE1", utf16).padding(4).tag() + audio;
        QTest::newRow("mp3 manual") << "a.mp3" << mp3 << true << Mp3Builder(3).frame("QEDT", QByteArray(4, '\0'))
            .texts("TCON=Valzer;TLEN=180000;TKEY=A;TBPM=120;TCOM=Rossi;TIT2=BLUE NIGHT (LIVE)").frame("TPE1", utf16).padding(4).tag() + audio;
        QTest::newRow("mp3 automatic") << "a.mp3" << mp3 << false << Mp3Builder(3).frame("QEDT", QByteArray(4, '\0'))
            .texts("TCON=Valzer;TPE1=Orchestra Bianchi;TLEN=180000;TKEY=A;TBPM=120;TCOM=Rossi;TIT2=Old").padding(4).tag() + audio;
        // clang-format on
    }

    // Saved to the imported file, over another song and to a new name: the same
    // complete file each time; a second synchronisation changes nothing.
    void goldenSaves()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, original);
        QFETCH(bool, manual);
        QFETCH(QByteArray, expected);
        const QString path = write(name, original);
        const QString other = write(QStringLiteral("other-") + name, someSong(4));
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), manual);
        for (const QString &to :
            { path, other, dir->filePath(QStringLiteral("new-") + name), path }) {
            QVERIFY(song.saveToFile(to));
            QCOMPARE(readAll(to).toHex(), expected.toHex());
        }
        QCOMPARE(entries().size(), 3);
        if (manual)
            return;
        MetaSong again;
        QVERIFY(again.importFile(path));
        again.setSongInfo(record(), false);
        QVERIFY(again.saveToFile(path));
        QCOMPARE(readAll(path).toHex(), expected.toHex());
    }

    // A writer that cannot insert (no room left in the first track's length
    // field) fails the save, and the file stays as it was.
    void writerThatCannotInsertFailsTheSave()
    {
        const QByteArray original
            = MidiBuilder(0).meta(0, 3, "Old").build().replace(18, 4, "\xff\xff\xff\xff");
        const QString path = write(QStringLiteral("full.mid"), original);
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), true);
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] WARNING: song information could not be "
            "written in memory, aborting !!!");
        QVERIFY(!song.saveToFile(path));
        QCOMPARE(readAll(path), original);
    }

    void readOnlyFileGetsOwnerWrite()
    {
        const QString path = write(QStringLiteral("locked.mid"), bareMidi());
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
        const QString locked
            = log + QStringLiteral("write to file. Maybe it's write protected? Aborting!");
        for (int f = 0; f < 5; ++f) {
            const char *name = formats[f];
            const QString mp3
                = f == 4 ? QStringLiteral("copy part of file.") : QStringLiteral("write to file.");
            // clang-format off
            QTest::addRow("%s read-only folder", name) << f << "folder" << locked;
            QTest::addRow("%s vanished", name) << f << "vanished" << (f == 4 ? log + QStringLiteral("read from file.") : locked);
            QTest::addRow("%s disk full at once", name) << f << "0" << log + QStringLiteral("write to file.");
            QTest::addRow("%s disk full one byte short", name) << f << "short" << log + mp3;
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
            QVERIFY(song.saveToFile(scratch.filePath(name)));
            MetaSong::setWriteLimitForTesting(QFileInfo(scratch.filePath(name)).size() - 1);
        } else {
            MetaSong::setWriteLimitForTesting(how.toLongLong());
        }
        QFETCH(QString, logLine);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logLine));
        QVERIFY(!song.saveToFile(path));
        setImmutable(dir->path(), false);
        const bool gone = how == QLatin1String("vanished");
        QCOMPARE(entries(), gone ? QStringList() : QStringList(name));
        QCOMPARE(readAll(path), gone ? QByteArray() : bytes);
    }

    void saveRefused()
    {
        const QString path = write(QStringLiteral("plain.mid"), bareMidi());
        MetaSong song;
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] UNKNOWN format (or data corrupted) in memory, aborting");
        QVERIFY(!song.saveToFile(path));
        // At most 500,000 bytes of MIDI data fit a container.
        const QByteArray big
            = ContainerBuilder()
                  .midi(MidiBuilder(0).raw(hex("00f09ec178") + QByteArray(499960, 'x')).build())
                  .build();
        QVERIFY(song.importFile(write(QStringLiteral("big.mf3"), big)));
        song.setSongInfo(record(), true);
        QTest::ignoreMessage(QtWarningMsg,
            "[MetaSong::saveToFile] WARNING: MIDI data too large for the container, aborting !!!");
        QVERIFY(!song.saveToFile(dir->filePath(QStringLiteral("big.mf3"))));
        QCOMPARE(readAll(dir->filePath(QStringLiteral("big.mf3"))), big);
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
        expected.replace(122, 32, QByteArray(32, 'a')).replace(38, 2, hex("7011"));
        expected.replace(186, 32, QByteArray("A?B \xE8").append(27, '\0'))[185] = char(0x81);
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
