// The song edit dialog filled from a song file, as a double click on a row
// shows it. Run by "make screenshot" on a virtual display
// (scripts/screenshot.sh takes the picture); settings and language as the
// script prepared them, the song made in a temporary folder.

#include "appsettings.h"
#include "database.h"
#include "dataeditdialog.h"
#include "metasong.h"
#include "shotlanguage.h"
#include "songbuilders.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ShotLanguage language;

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("Tanti Auguri a Te.mp3")));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(Mp3Builder(3)
                          .texts("TIT2=Tanti Auguri a Te;TPE1=Coro Alpino;TCON=Pop;"
                                 "TCOM=Mildred Hill;TKEY=F#-;TBPM=96;TLEN=125000")
                          .tag()
               + Mp3Builder::audio(20))
            < 0)
        return 1;
    file.close();

    MetaSong song;
    SongInfo info;
    Database database;
    if (!song.importFile(file.fileName()) || !database.init())
        return 1;
    song.getSongInfo(info);
    info.filename = file.fileName();

    DataEditDialog dialog;
    dialog.setArtistsCombo(database.artistsList());
    dialog.setGenresCombo(database.genresList());
    dialog.setKeysCombo(MetaSong::getKeysList());
    dialog.setOtherInfo(info);
    dialog.show();
    return app.exec();
}
