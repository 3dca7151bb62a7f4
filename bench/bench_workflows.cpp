// LIBS: workflows testsupport
// Import of 5,000 generated song files of mixed formats (MIDI 0 and 1, MF3,
// MF5, MP3), then their synchronisation against a catalogue of 10,000 rows,
// the user answering "Prosegui senza backup" and "Si tutti"; events are
// processed after each file as in the window. Import and synchronisation
// together must take at most 20 s (wall clock), and grow linearly: the
// 5,000-file run at most 5 times the 1,250-file run. Exit code 1 when either
// does not hold.

#include "cataloguebuilder.h"
#include "cataloguesync.h"
#include "containerbuilder.h"
#include "database.h"
#include "libraryimport.h"
#include "midibuilder.h"
#include "mp3builder.h"
#include "scripteduser.h"
#include "usersongsreltablemodel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace
{

class ResponsiveUser : public ScriptedUser
{
public:
    using ScriptedUser::ScriptedUser;
    void processEvents() override { QCoreApplication::processEvents(); }
};

// Song i of a run: two thirds are found by their file name, the others by
// their title; none carries the Zevio mark, so the first asks the question.
QByteArray song(int i, QString &name)
{
    const bool byName = i % 3 != 0;
    const QByteArray title = byName ? QByteArray("Untitled") : "Song " + QByteArray::number(i);
    const QString base = (byName ? QStringLiteral("song%1") : QStringLiteral("other%1"))
                             .arg(i, 5, 10, QLatin1Char('0'));
    const QByteArray smf
        = MidiBuilder(i % 2).track().meta(0, 3, title).note(0, 60).note(480, 64).build();
    switch (i % 5) {
    case 0:
    case 1:
        name = base + QStringLiteral(".mid");
        return smf;
    case 2:
        name = base + QStringLiteral(".mf3");
        return ContainerBuilder("_MF3").fields(title.constData(), "-", "-", "-").midi(smf).build();
    case 3:
        name = base + QStringLiteral(".mf5");
        return ContainerBuilder("_MF5").fields(title.constData(), "-", "-", "-").midi(smf).build();
    default:
        name = base + QStringLiteral(".mp3");
        return Mp3Builder(3).text("TIT2", title).padding(256).tag() + Mp3Builder::audio(20);
    }
}

QStringList makeFiles(const QString &folder, int count)
{
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        QString name;
        const QByteArray bytes = song(i, name);
        QFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the songs");
        files << file.fileName();
    }
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir sandbox;
    // Settings and catalogue of the benchmark's own, never the user's.
    qputenv("XDG_CONFIG_HOME", sandbox.filePath(QStringLiteral("config")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    QDir::setCurrent(sandbox.path());
    QTextStream out(stdout);

    QList<CatalogueRow> rows;
    for (int i = 0; i < 10000; ++i)
        rows.append({ QStringLiteral("Song %1").arg(i), QStringLiteral("Artist %1").arg(i % 300),
            QStringLiteral("POP"), QStringLiteral("Author"), 180 + i % 60, 90 + i % 50,
            QStringLiteral("C"), QStringLiteral("SONG%1").arg(i, 5, 10, QLatin1Char('0')),
            QStringLiteral("1;Intro;9;Strofa;"), QString() });
    if (!writeTestCatalogue(Database::localCatalogueFileName(), rows))
        return 2;
    Database db;
    if (!db.init())
        return 2;
    UserSongsRelTableModel model(nullptr, db.userLibraryDb());

    qint64 times[2] = {};
    const int sizes[2] = { 1250, 5000 };
    for (int run = 0; run < 2; ++run) {
        const QStringList files
            = makeFiles(sandbox.filePath(QStringLiteral("songs%1").arg(run)), sizes[run]);
        ResponsiveUser user(
            { QStringLiteral("Prosegui senza backup"), QStringLiteral("Si tutti") });
        QElapsedTimer timer;
        timer.start();
        const LibraryImport::Result imported = LibraryImport(db, model, user).run(files);
        const qint64 importTime = timer.elapsed();
        CatalogueSync sync(db, model, user);
        const bool ok = sync.updateUserLibrary(files);
        times[run] = timer.elapsed();
        out << sizes[run] << " files: import " << importTime << " ms, synchronisation "
            << times[run] - importTime << " ms, together " << times[run] << " ms ("
            << imported.songs << " songs, " << sync.syncedCount() << " synchronised)" << Qt::endl;
        if (!ok || imported.songs != sizes[run] || sync.syncedCount() != sizes[run]) {
            out << "the run did not synchronise every song" << Qt::endl;
            return 1;
        }
    }
    const double ratio = double(times[1]) / double(qMax<qint64>(times[0], 1));
    out << "ratio 5000/1250: " << ratio << " (at most 5)" << Qt::endl;
    return times[1] <= 20000 && ratio <= 5.0 ? 0 : 1;
}
