// Two pictures for "make screenshot" (scripts/screenshot.sh takes them):
//   shot_beyond table    the main window after a folder import, the search
//                        narrowing the table
//   shot_beyond memory   the memory view of a memory of a few dozen songs
//                        with two playlists, grouped by artist
//   shot_beyond playlists  the same memory, its playlists
// Settings and language as the script prepared them; songs and memory made
// in a temporary folder.

#include "appsettings.h"
#include "dialoginteraction.h"
#include "index.h"
#include "mainwindow.h"
#include "memorybuilder.h"
#include "memorywindow.h"
#include "shotlanguage.h"
#include "songbuilders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace
{

struct Song {
    const char *title;
    const char *artist;
    const char *genre;
};

const Song songs[] = {
    { "Santa Lucia", "Teodoro Cottrau", "Canzone" },
    { "O sole mio", "Eduardo Di Capua", "Canzone" },
    { "Funiculi funicula", "Luigi Denza", "Canzone" },
    { "La Spagnola", "Vincenzo Di Chiara", "Valzer" },
    { "Vola colomba", "Cherubini", "Canzone" },
    { "Città vuota", "Mina", "Pop" },
    { "Citta di notte", "Orchestra Zevio", "Liscio" },
    { "Mazurka della città", "Orchestra Zevio", "Mazurka" },
    { "Il valzer del moscerino", "Cristina D'Avena", "Valzer" },
    { "Torna a Surriento", "Ernesto De Curtis", "Canzone" },
    { "Volare", "Domenico Modugno", "Pop" },
    { "Azzurro", "Adriano Celentano", "Pop" },
    { "Perché", "Orchestra Zevio", "Liscio" },
    { "Romagna mia", "Secondo Casadei", "Liscio" },
    { "Ciao ciao bambina", "Domenico Modugno", "Pop" },
    { "Reginella", "Libero Bovio", "Canzone" },
    { "Tango delle capinere", "Cesare Andrea Bixio", "Tango" },
    { "Vecchio frack", "Domenico Modugno", "Pop" },
};

QByteArray latin1(const char *text)
{
    return QString::fromUtf8(text).toLatin1();
}

void tableShot(QTemporaryDir &dir, MainWindow &window)
{
    const QString folder = dir.filePath(QStringLiteral("Basi"));
    int i = 0;
    for (const Song &song : songs) {
        const QString sub
            = folder + (i % 3 ? QStringLiteral("/Italiane") : QStringLiteral("/Ballo"));
        QDir().mkpath(sub);
        QFile file(sub + QStringLiteral("/brano%1.mid").arg(i++, 2, 10, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly))
            file.write(MidiBuilder(1)
                           .track()
                           .meta(0, 3, latin1(song.title))
                           .meta(0, 2, "(c) Zevio")
                           .tag(0, 1, latin1(song.genre))
                           .tag(0, 2, latin1(song.artist))
                           .note(0, 60)
                           .build());
    }
    QTimer::singleShot(500, &window, [&window, folder] {
        window.importPaths({ folder });
        window.findChild<QLineEdit *>(QStringLiteral("searchLineEdit"))
            ->setText(QStringLiteral("citta"));
    });
}

QString makeMemory(QTemporaryDir &dir)
{
    const QString root = dir.filePath(QStringLiteral("QUENOR"));
    MemoryBuilder memory(root);
    int i = 0;
    for (int round = 0; round < 2; ++round) {
        for (const Song &song : songs) {
            const QByteArray title = latin1(song.title) + (round ? " (live)" : "");
            if (i % 5 == 4) {
                memory.add(QStringLiteral("MP3/brano%1.mp3").arg(i),
                    MemoryBuilder::mp3File({ MemoryBuilder::id3Frame("TIT2", title),
                        MemoryBuilder::id3Frame("TPE1", latin1(song.artist)),
                        MemoryBuilder::id3Frame("TCON", latin1(song.genre)) }));
            } else {
                memory.add(QStringLiteral("%1/brano%2.mf4")
                               .arg(QLatin1String(round ? "LIVE" : "STUDIO"))
                               .arg(i),
                    MemoryBuilder::indexedContainer("_MF4", title, latin1(song.artist),
                        latin1(song.genre), quint8(80 + i * 3 % 60), quint8(i % 3 == 0)));
            }
            ++i;
        }
    }
    Index().createIndex(root);
    memory.writePlaylistList({ 1, 2 });
    memory.writePlaylist(1, { 3, 7, 11, 0xFFFFFFFFu, 20 });
    memory.writePlaylist(2, { 1, 2, 30 });
    return root;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ShotLanguage language;
    QSettings settings(AppSettings::organisation, AppSettings::application);
    const QString mode = app.arguments().value(1, QStringLiteral("table"));
    QTemporaryDir dir;

    if (mode == QLatin1String("table")) {
        // No summary after the import: the table alone.
        settings.setValue(AppSettings::copyrightAskKey, false);
        MainWindow window;
        window.show();
        tableShot(dir, window);
        return app.exec();
    }

    settings.setValue(AppSettings::mediaRootKey, makeMemory(dir));
    DialogInteraction user(nullptr);
    MemoryWindow window(user);
    auto *tabs = window.findChild<QTabWidget *>();
    if (mode == QLatin1String("playlists")) {
        tabs->setCurrentIndex(3);
    } else {
        tabs->setCurrentIndex(1);
        auto *artists = window.findChild<QTreeWidget *>(QStringLiteral("artistTree"));
        for (int group = 0; group < artists->topLevelItemCount(); group += 2)
            artists->topLevelItem(group)->setExpanded(true);
    }
    window.show();
    return app.exec();
}
