// The main window right after the user chose a few songs: the filled table
// and the import summary over it. Run by "make screenshot" on a virtual
// display (scripts/screenshot.sh takes the picture); settings and language
// as the script prepared them, songs made in a temporary folder.

#include "appsettings.h"
#include "dialoginteraction.h"
#include "mainwindow.h"
#include "shotlanguage.h"
#include "songbuilders.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace
{

// The real dialogs, except that the file chooser picks the prepared songs.
class ChosenSongs : public DialogInteraction
{
public:
    ChosenSongs(QWidget *window, QStringList files)
        : DialogInteraction(window)
        , m_files(std::move(files))
    {
    }
    QStringList chooseFiles(const QString &, const QString &, const QString &) override
    {
        return m_files;
    }

private:
    QStringList m_files;
};

QByteArray midiSong(const char *title, const char *artist, const char *genre)
{
    return MidiBuilder(1)
        .track()
        .meta(0, 3, title)
        .meta(0, 2, "(c) Zevio")
        .tag(0, 1, genre)
        .tag(0, 2, artist)
        .tag(0, 3, "Tradizionale")
        .note(0, 60)
        .build();
}

QByteArray containerSong(const char *magic, const char *title, const char *artist)
{
    return ContainerBuilder(magic)
        .fields(title, artist, "Tradizionale", "Folk")
        .tempo(96)
        .midi(MidiBuilder(0).note(0, 60).build())
        .build();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ShotLanguage language;

    QTemporaryDir dir;
    const QList<QPair<const char *, QByteArray>> songs = {
        { "santa_lucia.mid", midiSong("Santa Lucia", "Teodoro Cottrau", "Canzone") },
        { "o_sole_mio.mf3", containerSong("_MF3", "O sole mio", "Eduardo Di Capua") },
        { "funiculi.mf5", containerSong("_MF5", "Funiculi funicula", "Luigi Denza") },
        { "la_spagnola.mp3",
            Mp3Builder(3)
                    .texts("TIT2=La Spagnola;TPE1=Vincenzo Di Chiara;TCON=Valzer;"
                           "TCOM=Di Chiara;TKEY=D;TBPM=120;TCOP=Zevio")
                    .tag()
                + Mp3Builder::audio(20) },
        { "vola_colomba.mid", midiSong("Vola colomba", "Cherubini", "Canzone") },
        { "note.txt", "not a song" },
    };
    QStringList files;
    for (const auto &song : songs) {
        QFile file(dir.filePath(QLatin1String(song.first)));
        if (file.open(QIODevice::WriteOnly))
            file.write(song.second);
        files << file.fileName();
    }

    MainWindow window;
    ChosenSongs user(&window, files);
    window.setUserInteraction(&user);
    window.show();
    QTimer::singleShot(1000, &window, [&window] {
        window.findChild<QToolButton *>(QStringLiteral("selectDirToolButton"))->click();
    });
    return app.exec();
}
