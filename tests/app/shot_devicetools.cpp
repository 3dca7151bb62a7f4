// The device memory tools for "make screenshot": with the argument
// "optimise" the optimise dialog after a run over a memory holding one file
// the index refuses, with "songslist" the song list export after saving the
// list of a prepared memory. The memory is made in a temporary folder; the
// closing message box is left out of the picture.

#include "appsettings.h"
#include "dialoginteraction.h"
#include "index.h"
#include "indexdialog.h"
#include "memorybuilder.h"
#include "shotlanguage.h"
#include "songslistdialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

namespace
{

class NoMessageBoxes : public DialogInteraction
{
public:
    using DialogInteraction::DialogInteraction;
    Button showMessage(MessageKind, const QString &, const QString &, int) override
    {
        return OkButton;
    }
};

QByteArray song(const char *title, const char *artist)
{
    return MemoryBuilder::midiFile(
        { MemoryBuilder::metaEvent(0x03, title), MemoryBuilder::tagEvent(2, artist) });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ShotLanguage language;
    QSettings settings(AppSettings::organisation, AppSettings::application);

    QTemporaryDir dir;
    qputenv("QUENOR_VOLUMES", dir.filePath(QStringLiteral("Volumes")).toUtf8());
    MemoryBuilder card(dir.filePath(QStringLiteral("Volumes/QUENOR")));
    card.write(QStringLiteral("BALLI/Mazurka.mid"), song("Mazurka di periferia", "Casadei"));
    card.write(QStringLiteral("BALLI/Valzer.mid"), song("Valzer delle candele", "Vari"));
    card.write(QStringLiteral("BALLI/Liscio/Romagna/Anni70/Orchestr/Mix/Polka.mid"),
        song("Polka", "Casadei"));
    settings.setValue(AppSettings::mediaRootKey, card.root());

    NoMessageBoxes user(nullptr);
    if (app.arguments().value(1) == QLatin1String("songslist")) {
        Index().createIndex(card.root());
        QDir().mkpath(QFileInfo(SongsListDialog::defaultDestination()).absolutePath());
        SongsListDialog dialog(user);
        dialog.show();
        QTimer::singleShot(500, &dialog, &SongsListDialog::start);
        return dialog.exec();
    }
    IndexDialog dialog(user);
    dialog.show();
    QTimer::singleShot(500, &dialog, [&dialog] { dialog.start(true); });
    return dialog.exec();
}
