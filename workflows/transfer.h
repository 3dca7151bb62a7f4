#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class UserInteraction;

// Puts the chosen songs onto a Quenor memory (Compact Flash card or USB pen):
// the destination folder is checked against the memory rules, the songs are
// copied with the shared file copy, and the memory's index is brought up to
// date so that the device finds them.
class Transfer
{
    Q_DECLARE_TR_FUNCTIONS(Transfer)

public:
    // How the index update after the copy ended.
    enum IndexUpdateEnum {
        IndexUpdated,
        IndexFailed,
        // "Interrompi" was pressed: the index on the memory was left as it was.
        IndexStopped,
    };

    explicit Transfer(UserInteraction &user);

    // Asks for the destination folder, then transferFilesTo. False when the
    // user cancelled the choice or the folder was refused.
    bool transferFiles(const QStringList &files);
    // The whole transfer into destination; true when the copy was attempted.
    bool transferFilesTo(const QStringList &files, const QString &destination);

    // Brings the index of the memory holding path up to date (a memory
    // without an index gets a new one), on a progress with "Interrompi".
    IndexUpdateEnum updateQuenorIndex(const QString &path);

    // Memory rules. Every path is made absolute and cleaned first, so
    // "/media/u/../../etc" is the computer's own disk.
    static QString cleanPath(const QString &path);
    // True unless path lies strictly inside a folder where removable volumes
    // are mounted.
    static bool isSystemDisk(const QString &path);
    // The memory's top folder, the one the device sees as its root (for
    // example /Volumes/USBPEN for /Volumes/USBPEN/songs/pop); empty for a
    // path on the computer's own disk.
    static QString getRoot(const QString &path);
    // path is the top folder of a memory.
    static bool isRoot(const QString &path);
    // path is or lies in a folder the device keeps for itself: a folder
    // named PLAYLIST, or one named SFX or BRIDGE at any depth (the index
    // never looks inside those, so songs there would stay invisible).
    static bool isReservedFolder(const QString &path);

    // The folder created under a memory root picked as destination.
    static const QLatin1String songsFolder;

private:
    void refuse(const QString &destination, const QString &text);

    UserInteraction &m_user;
};
