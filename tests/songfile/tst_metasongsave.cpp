#include "containerbuilder.h"
#include "lzhuff.h"
#include "metasong.h"
#include "midibuilder.h"
#include "mp3builder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
}

// Sets or clears the Linux immutable attribute (which stops even root), for
// folders and files alike. False when the system or file system has none.
bool setImmutable(const QString &path, bool on)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
#else
    Q_UNUSED(path);
    Q_UNUSED(on);
    return false;
#endif
}

QByteArray midiSong(int format)
{
    MidiBuilder midi(format);
    midi.track()
        .meta(0, 0x03, "Blue Night")
        .meta(0, 0x02, "Zevio")
        .tag(0, 2, "Bianchi")
        .note(0, 60)
        .note(480, 62);
    if (format == 1)
        midi.track().meta(0, 0x03, "Piano").note(0, 64);
    return midi.build();
}

QByteArray mp3Song()
{
    return Mp3Builder(3).text("TIT2", "Song").text("TCOP", "Zevio").padding(64).tag()
        + Mp3Builder::audio(20);
}

SongInfo record()
{
    SongInfo info;
    info.title = QStringLiteral("Notte blu");
    info.artist = QStringLiteral("Orchestra Bianchi");
    info.altArtist = QStringLiteral("Bianchi");
    info.genre = QStringLiteral("Valzer");
    info.author = QStringLiteral("Rossi");
    info.length = 190;
    info.userBpm = 104;
    info.key = QStringLiteral("A");
    info.isZevio = true;
    info.markers = { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Coda"), 33) };
    return info;
}

struct SongFile {
    const char *name;
    QByteArray bytes;
};

QList<SongFile> everyFormat()
{
    return { { "song0.mid", midiSong(0) }, { "song1.mid", midiSong(1) },
        { "song.mf3",
            ContainerBuilder("_MF3")
                .filler()
                .title(QStringLiteral("--"))
                .midi(midiSong(1))
                .build() },
        { "song.mf4", ContainerBuilder("_MF4").filler().midi(midiSong(0)).build() },
        { "song.mf5",
            ContainerBuilder("_MF5")
                .filler()
                .artist(QStringLiteral("-"))
                .midi(midiSong(1))
                .build() },
        { "song.mp3", mp3Song() } };
}

} // namespace

class TestMetaSongSave : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void roundTrip_data();
    void roundTrip();
    void mf4SavedUnchanged();
    void containerHeaderAfterSave();
    void mp3KeepsAudioAndMarksOnce();
    void readOnlyFileGetsOwnerWrite();
    void immutableFileIsUnlocked();
    void failures_data();
    void failures();
    void nothingLoadedIsRefused();
    void oversizedContainerIsRefused();

private:
    QString copyIn(const char *name, const QByteArray &bytes);
    QStringList entries() const;

    QTemporaryDir *dir = nullptr;
};

void TestMetaSongSave::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
}

void TestMetaSongSave::cleanup()
{
    MetaSong::setWriteLimitForTesting(-1);
    if (dir) {
        setImmutable(dir->path(), false);
        QFile::setPermissions(
            dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        delete dir;
        dir = nullptr;
    }
}

QString TestMetaSongSave::copyIn(const char *name, const QByteArray &bytes)
{
    const QString path = dir->filePath(QString::fromLatin1(name));
    writeFile(path, bytes);
    return path;
}

QStringList TestMetaSongSave::entries() const
{
    return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void TestMetaSongSave::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<QString>("title");
    for (const SongFile &f : everyFormat()) {
        const QString name = QString::fromLatin1(f.name);
        // Automatic mode keeps a real title: the MIDI files' "Blue Night"
        // and the MP3's "Song"; the containers have none ("--" or empty).
        QString kept = record().title;
        if (name.endsWith(QLatin1String(".mid")))
            kept = QStringLiteral("Blue Night");
        else if (name.endsWith(QLatin1String(".mp3")))
            kept = QStringLiteral("Song");
        QTest::newRow(qPrintable(name + QStringLiteral(" automatic")))
            << f.bytes << name << false << kept;
        QTest::newRow(qPrintable(name + QStringLiteral(" manual")))
            << f.bytes << name << true << record().title;
    }
}

void TestMetaSongSave::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(bool, manual);
    const QString path = copyIn(qPrintable(name), bytes);

    MetaSong song;
    QVERIFY(song.importFile(path));
    song.setSongInfo(record(), manual);
    SongInfo inMemory;
    song.getSongInfo(inMemory);
    QVERIFY(song.saveToFile(path));
    QCOMPARE(entries(), QStringList { name });

    MetaSong reloaded;
    QVERIFY(reloaded.importFile(path));
    QCOMPARE(reloaded.fileType(), song.fileType());
    SongInfo onDisk;
    reloaded.getSongInfo(onDisk);
    QVERIFY(onDisk == inMemory);
    QTEST(onDisk.title, "title");

    // A second save of the same song gives the same bytes.
    const QByteArray first = readAll(path);
    QVERIFY(reloaded.saveToFile(path));
    QCOMPARE(readAll(path), first);
}

void TestMetaSongSave::mf4SavedUnchanged()
{
    // Whatever the three extra bytes of the first track held, the saved
    // container has FF 00 FF there, still counted in the track length.
    const QByteArray smf = midiSong(1);
    const QString path
        = copyIn("odd.mf4", ContainerBuilder("_MF4").mf4Extra("abc").midi(smf).build());
    MetaSong song;
    QVERIFY(song.importFile(path));
    QVERIFY(song.saveToFile(path));
    QCOMPARE(readAll(path), ContainerBuilder("_MF4").midi(smf).build());

    // A container written the usual way comes back byte for byte.
    const QByteArray usual
        = ContainerBuilder("_MF4").filler().title(QStringLiteral("X")).midi(smf).build();
    const QString path2 = copyIn("usual.mf4", usual);
    MetaSong again;
    QVERIFY(again.importFile(path2));
    QVERIFY(again.saveToFile(path2));
    QCOMPARE(readAll(path2), usual);
}

void TestMetaSongSave::containerHeaderAfterSave()
{
    const ContainerBuilder builder
        = ContainerBuilder("_MF5").filler().flags(0x80).midi(midiSong(0));
    const QByteArray original = builder.build();
    const QString path = copyIn("h.mf5", original);
    MetaSong song;
    QVERIFY(song.importFile(path));
    SongInfo edit = record();
    song.setSongInfo(edit, true);
    QVERIFY(song.saveToFile(path));

    const QByteArray saved = readAll(path);
    QVERIFY(saved.size() > 1024);
    const QByteArray header = saved.left(1024);
    // Size fields describe the new block.
    QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 4), quint32(saved.size()));
    QByteArray midi;
    QVERIFY(LzHuff().expand(saved.mid(1024), midi));
    QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 12), quint32(midi.size()));
    // Bytes the program does not write are as they were.
    for (const auto &range : { std::pair<int, int>(0, 4), { 8, 12 }, { 16, 38 }, { 40, 122 },
             { 154, 185 }, { 282, 1024 } })
        QCOMPARE(header.mid(range.first, range.second - range.first),
            original.mid(range.first, range.second - range.first));
    QCOMPARE(uchar(header.at(185)), uchar(0x81));
    QCOMPARE(header.mid(38, 2), QByteArray::fromHex("6800"));
}

void TestMetaSongSave::mp3KeepsAudioAndMarksOnce()
{
    const QByteArray original = mp3Song();
    const int oldTagSize = original.indexOf(Mp3Builder::audio(1));
    const QString path = copyIn("track.mp3", original);
    for (int round = 0; round < 2; ++round) {
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(record(), round == 1);
        QVERIFY(song.saveToFile(path));
        QCOMPARE(entries(), QStringList { QStringLiteral("track.mp3") });
    }
    const QByteArray saved = readAll(path);
    QVERIFY(saved.endsWith(original.mid(oldTagSize)));
    QCOMPARE(saved.count("QEDT"), 1);
    const quint32 tagSize = (quint32(saved.at(6)) << 21) | (quint32(saved.at(7)) << 14)
        | (quint32(saved.at(8)) << 7) | quint32(saved.at(9));
    QCOMPARE(saved.mid(int(tagSize) + 10), original.mid(oldTagSize));
}

void TestMetaSongSave::readOnlyFileGetsOwnerWrite()
{
    const QString path = copyIn("locked.mid", midiSong(0));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    MetaSong song;
    QVERIFY(song.importFile(path));
    song.setSongInfo(record(), true);
    QVERIFY(song.saveToFile(path));
    QVERIFY(QFile::permissions(path) & QFileDevice::WriteOwner);
    QVERIFY(QFile::permissions(path) & QFileDevice::ReadGroup);
    MetaSong reloaded;
    QVERIFY(reloaded.importFile(path));
    SongInfo info;
    reloaded.getSongInfo(info);
    QCOMPARE(info.title, record().title);
}

void TestMetaSongSave::immutableFileIsUnlocked()
{
    const QString path = copyIn("frozen.mid", midiSong(1));
    if (!setImmutable(path, true))
        QSKIP("No immutable attribute here (needs Linux, ext4-like file system, privileges)");
    MetaSong song;
    QVERIFY(song.importFile(path));
    song.setSongInfo(record(), true);
    QTest::ignoreMessage(QtDebugMsg, "remove read only flag: OK");
    const bool saved = song.saveToFile(path);
    setImmutable(path, false);
    QVERIFY(saved);
}

void TestMetaSongSave::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("how");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("logLine");

    const QString protectedLine = QStringLiteral("[MetaSong::saveToFile] Impossible to write to "
                                                 "file. Maybe it's write protected? Aborting!");
    const QString writeLine = QStringLiteral("[MetaSong::saveToFile] Impossible to write to file.");
    const QString copyLine
        = QStringLiteral("[MetaSong::saveToFile] Impossible to copy part of file.");
    const QString readLine = QStringLiteral("[MetaSong::saveToFile] Impossible to read from file.");

    for (const SongFile &f : everyFormat()) {
        const QString name = QString::fromLatin1(f.name);
        const bool mp3 = name.endsWith(QLatin1String(".mp3"));
        const auto row = [&](const QString &what) {
            return &QTest::newRow(qPrintable(name + QLatin1Char(' ') + what));
        };
        *row(QStringLiteral("read-only folder"))
            << name << f.bytes << "folder" << qint64(-1) << protectedLine;
        *row(QStringLiteral("vanished"))
            << name << f.bytes << "vanished" << qint64(-1) << (mp3 ? readLine : protectedLine);
        *row(QStringLiteral("disk full at once"))
            << name << f.bytes << "limit" << qint64(0) << writeLine;
        // The edited MP3 tag alone is longer than 100 bytes.
        *row(QStringLiteral("disk full after 100 bytes"))
            << name << f.bytes << "limit" << qint64(100) << writeLine;
        *row(QStringLiteral("disk full one byte short"))
            << name << f.bytes << "limit" << qint64(-2) << (mp3 ? copyLine : writeLine);
    }
}

void TestMetaSongSave::failures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, how);
    QFETCH(qint64, limit);
    QFETCH(QString, logLine);

    const QString path = copyIn(qPrintable(name), bytes);
    MetaSong song;
    QVERIFY(song.importFile(path));
    song.setSongInfo(record(), true);

    if (how == QLatin1String("folder")) {
        QVERIFY(QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(dir->filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            // Privileged users ignore folder permissions; the immutable
            // attribute stops them too.
            probe.close();
            probe.remove();
            if (!setImmutable(dir->path(), true))
                QSKIP("Cannot make a folder read-only for this user");
        }
    } else if (how == QLatin1String("vanished")) {
        QVERIFY(QFile::remove(path));
    } else if (limit == -2) {
        // Measure the full size by a save into a scratch copy first.
        QTemporaryDir scratch;
        const QString other = scratch.filePath(name);
        writeFile(other, bytes);
        MetaSong copy;
        QVERIFY(copy.importFile(other));
        copy.setSongInfo(record(), true);
        QVERIFY(copy.saveToFile(other));
        MetaSong::setWriteLimitForTesting(QFileInfo(other).size() - 1);
    } else {
        MetaSong::setWriteLimitForTesting(limit);
    }

    QTest::ignoreMessage(QtWarningMsg, qPrintable(logLine));
    QVERIFY(!song.saveToFile(path));
    MetaSong::setWriteLimitForTesting(-1);
    setImmutable(dir->path(), false);

    if (how == QLatin1String("vanished")) {
        QVERIFY(!QFile::exists(path));
        QVERIFY(entries().isEmpty());
    } else {
        QCOMPARE(readAll(path), bytes);
        // No temporary file is left behind.
        QCOMPARE(entries(), QStringList { name });
    }
}

void TestMetaSongSave::nothingLoadedIsRefused()
{
    const QString path = copyIn("plain.mid", midiSong(0));
    MetaSong song;
    QTest::ignoreMessage(QtWarningMsg,
        "[MetaSong::saveToFile] UNKNOWN format (or data corrupted) in memory, aborting");
    QVERIFY(!song.saveToFile(path));
    QCOMPARE(readAll(path), midiSong(0));

    // A failed import does not make a song out of the file either.
    QVERIFY(!song.importFile(copyIn("junk.mid", "MThd junk")));
    QTest::ignoreMessage(QtWarningMsg,
        "[MetaSong::saveToFile] UNKNOWN format (or data corrupted) in memory, aborting");
    QVERIFY(!song.saveToFile(path));
}

void TestMetaSongSave::oversizedContainerIsRefused()
{
    // A container can hold at most 500,000 bytes of MIDI data: a song edited
    // past that is not saved, since neither the device nor the importer would
    // read it back.
    MidiBuilder midi(0);
    midi.track().sysex(0, QByteArray(500000 - 40, '\x11'));
    const QByteArray smf = midi.build();
    QVERIFY(smf.size() <= 500000 && smf.size() > 500000 - 50);
    const QByteArray original = ContainerBuilder("_MF3").midi(smf).build();
    const QString path = copyIn("big.mf3", original);
    MetaSong song;
    QVERIFY(song.importFile(path));
    song.setSongInfo(record(), true);
    QTest::ignoreMessage(QtWarningMsg,
        "[MetaSong::saveToFile] WARNING: MIDI data too large for "
        "the container, aborting !!!");
    QVERIFY(!song.saveToFile(path));
    QCOMPARE(readAll(path), original);
}

QTEST_GUILESS_MAIN(TestMetaSongSave)
#include "tst_metasongsave.moc"
