// The song edit dialog in Italian, filled from the song file given, shown
// until the window system has drawn it and saved from the screen as a PNG.
// Run by scripts/screenshot.sh --edit-dialog under a virtual display.
#include "database.h"
#include "dataeditdialog.h"
#include "metasong.h"
#include "startup.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        qCritical("usage: editdialogshot SONG OUTPUT.png");
        return 2;
    }
    QTranslator program;
    QTranslator framework;
    Startup::installTranslations(QStringLiteral("it"), program, framework);
    const QString song = QString::fromLocal8Bit(argv[1]);
    MetaSong file;
    SongInfo info;
    Database database;
    if (!file.importFile(song) || !database.init()) {
        qCritical("cannot read the song or open the catalogue");
        return 1;
    }
    file.getSongInfo(info);
    info.filename = song;

    DataEditDialog dialog;
    dialog.setArtistsCombo(database.artistsList());
    dialog.setGenresCombo(database.genresList());
    dialog.setKeysCombo(MetaSong::getKeysList());
    dialog.setOtherInfo(info);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    QTest::qWait(500);
    const QRect area = dialog.frameGeometry();
    const QPixmap shot
        = dialog.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return shot.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
