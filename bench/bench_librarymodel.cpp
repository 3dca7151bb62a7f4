// LIBS: catalogue
// The library table with many songs: adding every row, then updateRow and
// setStatus on every row, then goodRowCount and fileName on every row. The
// cost must grow linearly: the 10,000-row run may take at most 5 times the
// 2,500-row run. Times are the process's CPU time, and each size runs three
// times with the fastest run counting, so other work on a busy machine
// disturbs the ratio less. Exit code 1 when the ratio does not hold.

#include "database.h"
#include "usersongsreltablemodel.h"

#include <QCoreApplication>
#include <QTextStream>

#include <ctime>

namespace
{

// Milliseconds of CPU time used by this process since the last call.
class CpuTimer
{
public:
    void start() { m_last = now(); }
    qint64 restart()
    {
        const qint64 current = now();
        const qint64 elapsed = current - m_last;
        m_last = current;
        return elapsed;
    }

private:
    static qint64 now()
    {
        timespec ts {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
    qint64 m_last = 0;
};

struct Timing {
    qint64 add = 0;
    qint64 update = 0;
    qint64 read = 0;
    qint64 total() const { return add + update + read; }
};

SongInfo song(int n)
{
    SongInfo info;
    info.format = QStringLiteral("MIDI");
    info.title = QStringLiteral("Song number %1").arg(n);
    info.artist = QStringLiteral("Artist %1").arg(n % 97);
    info.genre = QStringLiteral("BALLO LISCIO");
    info.author = QStringLiteral("Author %1").arg(n % 31);
    info.length = 120 + n % 300;
    info.userBpm = 60 + n % 120;
    info.key = QStringLiteral("C");
    info.filename = QStringLiteral("/Users/someone/Music/songs/file%1.mid").arg(n);
    info.shortname = QStringLiteral("file%1.mid").arg(n);
    return info;
}

bool run(int rows, Timing &timing)
{
    Database db;
    if (!db.init())
        return false;
    UserSongsRelTableModel model(nullptr, db.userLibraryDb());
    model.setHeaderLabels();
    // As the window does once its view sorts the table.
    model.select();

    CpuTimer timer;
    timer.start();
    for (int n = 0; n < rows; ++n) {
        if (!model.addSong(song(n)))
            return false;
    }
    timing.add = timer.restart();

    for (int row = 0; row < rows; ++row) {
        SongInfo info = song(row);
        info.title += QStringLiteral(" (synced)");
        info.userBpm = -1;
        model.updateRow(row, info);
        model.setStatus(row, Database::statusSynced);
    }
    timing.update = timer.restart();

    qint64 check = 0;
    for (int row = 0; row < rows; ++row) {
        check += model.goodRowCount();
        check += model.fileName(row).size();
    }
    timing.read = timer.restart();

    // The work must really have been done.
    return check > 0 && model.goodRowCount() == rows
        && model.status(rows - 1) == Database::statusSynced
        && model.fileName(rows - 1) == song(rows - 1).filename;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    Timing small;
    Timing large;
    for (int round = 0; round < 3; ++round) {
        Timing s;
        Timing l;
        if (!run(2500, s) || !run(10000, l)) {
            out << "library model benchmark: the run failed\n";
            return 2;
        }
        if (round == 0 || s.total() < small.total())
            small = s;
        if (round == 0 || l.total() < large.total())
            large = l;
    }
    auto line = [&out](const char *name, const Timing &t) {
        out << name << ", CPU time: add " << t.add << " ms, updateRow+setStatus " << t.update
            << " ms, goodRowCount+fileName " << t.read << " ms, total " << t.total() << " ms\n";
    };
    line(" 2,500 rows", small);
    line("10,000 rows", large);
    const double ratio = double(large.total()) / double(qMax<qint64>(1, small.total()));
    out << "ratio " << QString::number(ratio, 'f', 2) << " (at most 5)\n";
    return ratio <= 5.0 ? 0 : 1;
}
