#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

class UserInteraction;

// The backup proposed before the synchronisation rewrites the user's song
// files: a flat copy of the chosen files into a new time-stamped folder.
class LibraryBackup
{
    Q_DECLARE_TR_FUNCTIONS(LibraryBackup)

public:
    explicit LibraryBackup(UserInteraction &user);

    // Asks for the backup and makes it. True lets the synchronisation go on
    // (no backup wanted, or the backup ran, even when it failed); false
    // stops it (cancelled, or no backup folder could be made).
    bool suggestBackup(const QStringList &files);

    // "backup_zevio_yyyy_MM_dd_hh-mm-ss".
    static QString folderName(const QDateTime &when);

private:
    void failed();

    UserInteraction &m_user;
};
