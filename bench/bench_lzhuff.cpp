// LIBS: songfile
// LzHuff speed on 500,000 bytes of MIDI-like data and of random bytes.
// A synchronisation recompresses every container it touches, so this is what
// users wait for. Targets: MIDI-like compress >= 15 MB/s, expand >= 60 MB/s;
// random compress >= 12 MB/s, expand >= 30 MB/s.
#include "lzhuff.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QtGlobal>

#include <cstdio>
#include <ctime>

namespace
{

void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

// The machine is shared with other builds: time the work by the CPU time of
// this thread, not by the wall clock.
qint64 threadNs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Tracks of a song: note-on/note-off pairs with running status-free events,
// phrases that repeat with small changes of velocity and timing, and a
// sprinkling of controller changes.
QByteArray midiLike(int size)
{
    QRandomGenerator gen(1);
    QByteArray out("MThd\0\0\0\x06\0\x01\0\x04\x01\xE0MTrk\0\0\0\0", 22);
    QByteArray phrase;
    while (out.size() < size) {
        if (phrase.isEmpty() || gen.bounded(8) == 0) {
            phrase.clear();
            const int notes = 4 + gen.bounded(12);
            for (int n = 0; n < notes; ++n) {
                const char note = char(36 + gen.bounded(48));
                phrase.append(char(gen.bounded(4) * 0x30));
                phrase.append(char(0x90 | gen.bounded(4)));
                phrase.append(note);
                phrase.append(char(64 + gen.bounded(63)));
                phrase.append(char(0x60));
                phrase.append(note);
                phrase.append('\0');
            }
        }
        QByteArray copy = phrase;
        if (gen.bounded(3) == 0)
            copy[3] = char(64 + gen.bounded(63));
        if (gen.bounded(5) == 0) {
            copy.append(char(gen.bounded(0x40)));
            copy.append(char(0xB0 | gen.bounded(4)));
            copy.append(char(7));
            copy.append(char(gen.bounded(128)));
        }
        out.append(copy);
    }
    out.truncate(size);
    return out;
}

QByteArray randomBytes(int size)
{
    QRandomGenerator gen(2);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = char(gen.bounded(256));
    return out;
}

void measure(const char *name, const QByteArray &input, double compressTarget, double expandTarget,
    bool &allMet)
{
    const int rounds = 25;
    LzHuff lz;
    QByteArray block;
    QByteArray back;

    qint64 best = -1;
    for (int i = 0; i < rounds; ++i) {
        const qint64 start = threadNs();
        lz.compress(input, block);
        const qint64 ns = threadNs() - start;
        if (best < 0 || ns < best)
            best = ns;
    }
    const double compressMBs = input.size() / 1e6 / (best / 1e9);

    best = -1;
    for (int i = 0; i < rounds; ++i) {
        const qint64 start = threadNs();
        lz.expand(block, back);
        const qint64 ns = threadNs() - start;
        if (best < 0 || ns < best)
            best = ns;
    }
    const double expandMBs = input.size() / 1e6 / (best / 1e9);
    const bool ok = back == input;

    const bool met = ok && compressMBs >= compressTarget && expandMBs >= expandTarget;
    allMet = allMet && met;
    std::printf("%-10s %7lld -> %7lld bytes  compress %6.1f MB/s (target %4.0f)  expand %6.1f MB/s "
                "(target %4.0f)  %s\n",
        name, static_cast<long long>(input.size()), static_cast<long long>(block.size()),
        compressMBs, compressTarget, expandMBs, expandTarget,
        !ok ? "ROUND TRIP FAILED" : (met ? "ok" : "BELOW TARGET"));
}

} // namespace

int main()
{
    qInstallMessageHandler(quiet);
    bool allMet = true;
    measure("MIDI-like", midiLike(500000), 15, 60, allMet);
    measure("random", randomBytes(500000), 12, 30, allMet);
    return allMet ? 0 : 1;
}
