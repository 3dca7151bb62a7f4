#pragma once

#include "songinfo.h"

#include <QString>
#include <QStringList>

// The progress of one workflow: a window-modal progress dialog in the
// program, a line on the terminal, a record in the tests.
class ProgressReporter
{
public:
    virtual ~ProgressReporter() = default;

    // Starts a new progress (replacing the one before) at 0 of maximum, with
    // the "Interrompi" button. With autoClose the progress ends by itself when
    // it reaches its maximum.
    virtual void begin(
        const QString &label, const QString &title, int maximum, bool autoClose = true)
        = 0;
    // "%1 di %2" with value and the maximum, and the value itself.
    virtual void step(int value) = 0;
    // For progresses whose size is known only later (the device index): 0
    // shows a busy indicator.
    virtual void setMaximum(int maximum) { (void)maximum; }
    // Moves the value without touching the label.
    virtual void setValue(int value) { (void)value; }
    // True once the user pressed "Interrompi"; workflows look at it between
    // files.
    virtual bool wasStopped() const = 0;
    virtual void end() = 0;
};

// Everything a workflow needs from the person in front of the program. The
// window answers with its dialogs, the tests with a script, the command line
// with the terminal. Each question returns the answer as the dialog's own
// result would give it.
class UserInteraction
{
public:
    // The four answers of the confirmation dialog, as its result codes.
    enum class FourWayAnswer { Yes = 0, YesAll = 1, No = 2, NoAll = 3 };

    // The backup dialog's results: "Annulla" (or closed), "Esegui backup",
    // "Prosegui senza backup".
    enum BackupChoice { BackupCancelled = 0, BackupToFolder = 1, BackupSkipped = 2 };
    struct BackupAnswer {
        BackupChoice choice = BackupCancelled;
        // The folder chosen with "Sfoglia..."; empty when none was chosen.
        QString folder;
    };

    // The import summary: "Si" to synchronise now, and the state of "Non
    // mostrare più messaggi sul copyright" (showAgain is true while it is
    // not ticked).
    struct SummaryAnswer {
        bool synchronise = false;
        bool showAgain = true;
    };

    enum class MessageKind { Information, Warning, Critical, Question };
    enum Button { OkButton = 0x1, YesButton = 0x2, NoButton = 0x4, CancelButton = 0x8 };

    // The manual edit form: the record shown, the lists its combo boxes
    // offer, and what the user left in it.
    struct EditRequest {
        SongInfo info;
        QStringList artists;
        QStringList genres;
        QStringList keys;
    };
    struct EditAnswer {
        bool accepted = false;
        SongInfo info;
        bool toAllArtist = false;
        bool toAllGenre = false;
        bool toAllAuthor = false;
        bool toAllTitleFromFileName = false;
    };

    virtual ~UserInteraction() = default;

    // Several existing files; an empty list when the user cancelled.
    virtual QStringList chooseFiles(
        const QString &title, const QString &startFolder, const QString &filter)
        = 0;
    // One existing folder; empty when the user cancelled.
    virtual QString chooseFolder(const QString &caption, const QString &startFolder) = 0;
    // The name of a file to write (it may exist already); empty when the
    // user cancelled. Front ends without a chooser keep the proposed name.
    virtual QString chooseSaveFile(
        const QString &caption, const QString &proposed, const QString &filter)
    {
        (void)caption;
        (void)filter;
        return proposed;
    }
    virtual BackupAnswer chooseBackup() = 0;
    virtual SummaryAnswer showImportSummary(int songs, int makerSongs, int badFiles) = 0;
    // The confirmation about fileName; an empty message keeps the dialog's
    // own question about songs not published by Zevio.
    virtual FourWayAnswer askFourWay(const QString &fileName, const QString &message) = 0;
    // A message box; buttons is an OR of Button values, the result the one
    // pressed (OkButton, or the first of buttons, when the box was just closed).
    virtual Button showMessage(
        MessageKind kind, const QString &title, const QString &text, int buttons = OkButton)
        = 0;
    virtual ProgressReporter &progress() = 0;

    // Called once per file by the loops so a window stays responsive.
    virtual void processEvents() { }

    // The manual edit form. Front ends without one leave the song as it is.
    virtual EditAnswer editSong(const EditRequest &request)
    {
        EditAnswer answer;
        answer.info = request.info;
        return answer;
    }

    // Dialogs of the device memory tools are added here as further virtual
    // functions with a default, so every front end keeps compiling.
};
