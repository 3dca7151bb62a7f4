#pragma once

#include <QDialog>
#include <QString>

class QEvent;

namespace Ui
{
class BackupDialog;
}

// Proposes a backup of the chosen songs before the synchronisation rewrites
// them. exec() returns 0 "Annulla" (or closed), 1 "Esegui backup" (possible
// once a folder was chosen), 2 "Prosegui senza backup".
class BackupDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BackupDialog(QWidget *parent = nullptr);
    ~BackupDialog() override;

    // The chosen folder; empty when none was chosen.
    QString directory() const { return m_directory; }
    void setDirectory(const QString &folder);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_browsePushButton_clicked();
    void on_abortPushButton_clicked();
    void on_exitPushButton_clicked();
    void on_doBackupPushButton_clicked();

private:
    Ui::BackupDialog *ui;
    QString m_directory;
};
