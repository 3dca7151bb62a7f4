#include "librarybackup.h"

#include "filecopy.h"
#include "userinteraction.h"

#include <QDebug>
#include <QDir>

LibraryBackup::LibraryBackup(UserInteraction &user)
    : m_user(user)
{
}

QString LibraryBackup::folderName(const QDateTime &when)
{
    return QStringLiteral("backup_zevio_") + when.toString(QStringLiteral("yyyy_MM_dd_hh-mm-ss"));
}

void LibraryBackup::failed()
{
    m_user.showMessage(
        UserInteraction::MessageKind::Critical, tr("Backup"), tr("Backup FALLITO !!!"));
}

bool LibraryBackup::suggestBackup(const QStringList &files)
{
    const UserInteraction::BackupAnswer answer = m_user.chooseBackup();
    if (answer.choice == UserInteraction::BackupSkipped)
        return true;
    if (answer.choice != UserInteraction::BackupToFolder)
        return false;
    if (answer.folder.isEmpty()) {
        failed();
        return false;
    }

    const QString rule(44, QLatin1Char('='));
    qDebug().noquote() << rule;
    qDebug().noquote() << QStringLiteral("          BACKUP USER LIBRARY");
    qDebug().noquote() << rule;

    const QString name = folderName(QDateTime::currentDateTime());
    const QString root = answer.folder + QLatin1Char('/') + name;
    qDebug().noquote() << QStringLiteral("Making new root backup dir:")
                       << QLatin1Char('"') + root + QLatin1Char('"');
    if (!QDir(answer.folder).mkdir(name)) {
        qDebug().noquote() << QStringLiteral("Dest root dir creation failed");
        failed();
        return false;
    }

    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Eseguo backup dellla libreria..."), tr("Backup"), int(files.size()));
    int copied = 0;
    const bool ok = FileCopy(m_user).copyFiles(files, root, copied);
    progress.end();
    if (ok) {
        m_user.showMessage(UserInteraction::MessageKind::Information, tr("Backup"),
            tr("Backup eseguito correttamente"));
    } else {
        failed();
    }
    qDebug().noquote() << QString();
    return true;
}
