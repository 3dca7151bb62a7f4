// LIBS: deviceindex
// Device index speed: rebuild and no-change update of a generated memory of
// 20,000 song files of mixed formats in nested folders, growth from 5,000 to
// 20,000 files, reading a long playlist list, and a memory of 65,535 songs
// built without error.
// Targets (CPU time of the process, warm file cache): rebuild <= 0.5 s,
// no-change update <= 0.2 s, 20,000-file rebuild <= 4.5 x the 5,000-file
// one, a 128k-record playlist list adds <= 0.5 s to a rebuild.

#include "index.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

QByteArray bigEndian32(quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray meta(quint8 type, const QByteArray &payload)
{
    QByteArray event = QByteArray::fromHex("00ff");
    event.append(char(type));
    event.append(char(payload.size()));
    return event + payload;
}

QByteArray tag(quint8 subType, const QByteArray &payload)
{
    QByteArray event = QByteArray::fromHex("00ff4b");
    event.append(char(payload.size() + 1));
    event.append(char(subType));
    return event + payload;
}

QByteArray midiSong(int n, int bodySize)
{
    QByteArray track = meta(0x03, "Song number " + QByteArray::number(n)) + tag(2, "Artist " + QByteArray::number(n % 300))
        + tag(1, "Genre " + QByteArray::number(n % 20)) + QByteArray::fromHex("00ff510307a120");
    if (n % 3 == 0)
        track += meta(0x06, "Intro");
    // Note events standing for the music.
    while (track.size() < bodySize)
        track += QByteArray::fromHex("10903c6410803c00");
    track += QByteArray::fromHex("00ff2f00");
    return QByteArray("MThd") + QByteArray::fromHex("00000006000000010060") + "MTrk" + bigEndian32(quint32(track.size()))
        + track;
}

QByteArray mp3Song(int n, int bodySize)
{
    auto frame = [](const char *id, const QByteArray &text) -> QByteArray {
        return QByteArray(id) + bigEndian32(quint32(text.size() + 1)) + QByteArray(3, '\0') + text;
    };
    QByteArray body = frame("TIT2", "Track " + QByteArray::number(n)) + frame("TPE1", "Singer " + QByteArray::number(n % 250))
        + frame("TCON", "Style " + QByteArray::number(n % 15)) + QByteArray(64, '\0');
    const quint32 size = quint32(body.size());
    QByteArray tagHeader = QByteArray("ID3") + QByteArray::fromHex("030000");
    for (int shift : {21, 14, 7, 0})
        tagHeader.append(char((size >> shift) & 0x7F));
    QByteArray file = tagHeader + body;
    while (file.size() < bodySize)
        file += QByteArray::fromHex("fffb9064") + QByteArray(413, '\x55');
    return file;
}

QByteArray containerSong(int n, int bodySize)
{
    static const char *const magics[] = {"_MF3", "_MF4", "_MF5"};
    const char *magic = magics[n % 3];
    QByteArray header(n % 3 == 2 ? 1024 : 512, '\0');
    header.replace(0, 4, magic);
    header[38] = char(80 + n % 60);
    header.replace(138, 20, QByteArray("Container " + QByteArray::number(n)).leftJustified(20, '\0'));
    header[201] = char(n % 2);
    header.replace(234, 12, QByteArray("Band " + QByteArray::number(n % 200)).leftJustified(12, '\0'));
    header.replace(266, 10, QByteArray("Kind " + QByteArray::number(n % 10)).leftJustified(10, '\0'));
    QByteArray file = header;
    while (file.size() < bodySize)
        file += QByteArray::fromHex("a55a5aa5c3");
    return file;
}

// Song n of a memory, in nested folders: /Gxx/Syy/NAMEnnnn.EXT.
bool writeSong(const QString &root, int n, int bodySize)
{
    const QString folder = QStringLiteral("%1/G%2/S%3").arg(root).arg(n / 1000, 2, 10, QLatin1Char('0')).arg(n / 100 % 10);
    if (n % 100 == 0 && !QDir().mkpath(folder))
        return false;
    QByteArray bytes;
    QString name;
    switch (n % 4) {
    case 0:
    case 1:
        bytes = midiSong(n, bodySize);
        name = QStringLiteral("M%1.MID").arg(n, 6, 10, QLatin1Char('0'));
        break;
    case 2:
        bytes = mp3Song(n, bodySize);
        name = QStringLiteral("P%1.MP3").arg(n, 6, 10, QLatin1Char('0'));
        break;
    default:
        bytes = containerSong(n, bodySize);
        name = QStringLiteral("C%1.MF%2").arg(n, 6, 10, QLatin1Char('0')).arg(3 + n % 3);
        break;
    }
    QFile file(folder + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool makeMemory(const QString &root, int songs, int bodySize)
{
    for (int n = 0; n < songs; ++n) {
        if (!writeSong(root, n, bodySize))
            return false;
    }
    return true;
}

struct Run
{
    bool ok = false;
    int errors = 0;
    double seconds = 0; // CPU time of the process, user and system
    double wall = 0;
};

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

Run runOnce(const QString &root, bool rebuild)
{
    Index index;
    Run run;
    QObject::connect(&index, &Index::errorFromIndex, [&run](const QString &) { ++run.errors; });
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    run.ok = rebuild ? index.createIndex(root) : index.updateIndex(root);
    run.seconds = cpuSeconds() - cpu;
    run.wall = timer.nsecsElapsed() / 1e9;
    return run;
}

// Median of three timed runs after one warm-up run.
Run median(const QString &root, bool rebuild)
{
    runOnce(root, rebuild);
    QList<Run> runs;
    for (int i = 0; i < 3; ++i)
        runs << runOnce(root, rebuild);
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
    Run result = runs.at(1);
    for (const Run &run : runs) {
        result.ok = result.ok && run.ok;
        result.errors += run.errors;
    }
    return result;
}

quint16 titleCount(const QString &root)
{
    QFile file(root + QStringLiteral("/fsinfos.idx"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    return bytes.size() == 12 ? qFromLittleEndian<quint16>(bytes.constData()) : 0;
}

void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietDebug);
    bool pass = true;
    auto check = [&pass](bool ok, const char *what) {
        std::printf("  %-48s %s\n", what, ok ? "ok" : "FAILED");
        pass = pass && ok;
    };

    QTemporaryDir small;
    QTemporaryDir large;
    if (!small.isValid() || !large.isValid() || !makeMemory(small.path(), 5000, 6000)
        || !makeMemory(large.path(), 20000, 6000)) {
        std::fprintf(stderr, "cannot generate the memories\n");
        return 1;
    }

    const Run small5k = median(small.path(), true);
    const Run rebuild20k = median(large.path(), true);
    const Run update20k = median(large.path(), false);
    std::printf("CPU time (wall time in brackets)\n");
    std::printf("rebuild, 5,000 files:          %.3f s (%.3f s)\n", small5k.seconds, small5k.wall);
    std::printf("rebuild, 20,000 files:         %.3f s (%.3f s), target <= 0.5 s\n", rebuild20k.seconds,
                rebuild20k.wall);
    std::printf("update, nothing changed:       %.3f s (%.3f s), target <= 0.2 s\n", update20k.seconds,
                update20k.wall);
    std::printf("growth 5,000 -> 20,000 files:  %.2f x, target <= 4.5 x\n", rebuild20k.seconds / small5k.seconds);
    check(small5k.ok && rebuild20k.ok && update20k.ok && titleCount(large.path()) == 20000, "builds succeeded with 20,000 titles");
    check(rebuild20k.seconds <= 0.5, "rebuild within 0.5 s");
    check(update20k.seconds <= 0.2, "update within 0.2 s");
    check(rebuild20k.seconds <= 4.5 * small5k.seconds, "linear growth");

    // The device keeps one 32-byte record per playlist in playlist.dat; a
    // damaged or hostile list may be long. An update reads it whole.
    {
        QByteArray list;
        list.reserve(131072 * 32);
        for (int i = 0; i < 131072; ++i) {
            char record[32] = {};
            qToLittleEndian(quint16(i), record);
            list.append(record, 32);
        }
        QDir().mkpath(small.path() + QStringLiteral("/playlist"));
        QFile file(small.path() + QStringLiteral("/playlist/playlist.dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size()) {
            std::fprintf(stderr, "cannot write the playlist list\n");
            return 1;
        }
    }
    const Run playlists = runOnce(small.path(), true);
    std::printf("rebuild, 5,000 files, 128k-record playlist list: %.3f s (%.3f s), target <= 0.5 s more\n",
                playlists.seconds, playlists.wall);
    check(playlists.ok && playlists.seconds <= small5k.seconds + 0.5, "long playlist list read in linear time");

    QTemporaryDir full;
    if (!full.isValid() || !makeMemory(full.path(), Index::MaxSongs, 1200)) {
        std::fprintf(stderr, "cannot generate the 65,535-song memory\n");
        return 1;
    }
    const Run limit = runOnce(full.path(), true);
    std::printf("rebuild, 65,535 files:         %.3f s\n", limit.seconds);
    check(limit.ok && limit.errors == 0 && titleCount(full.path()) == 0xFFFF, "65,535 songs built without error");
    const Run limitUpdate = runOnce(full.path(), false);
    std::printf("update, 65,535 files:          %.3f s\n", limitUpdate.seconds);
    check(limitUpdate.ok && limitUpdate.errors == 0, "65,535-song update without error");

    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
