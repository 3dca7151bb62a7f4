#include "backupdialog.h"
#include "ui_backupdialog.h"

#include <QEvent>
#include <QFileDialog>

BackupDialog::BackupDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BackupDialog)
{
    ui->setupUi(this);
    ui->backupLabel->setText(
        tr("Si consiglia di effettuare un backup della libreria prima di procedere con "
           "l'aggiornamento.\nSelezionare una cartella di destinazione per il backup oppure "
           "premere 'Prosegui senza backup'."));
}

BackupDialog::~BackupDialog()
{
    delete ui;
}

void BackupDialog::setDirectory(const QString &folder)
{
    if (folder.isEmpty())
        return;
    m_directory = folder;
    ui->directoryLineEdit->setText(folder);
    ui->doBackupPushButton->setEnabled(true);
}

void BackupDialog::on_browsePushButton_clicked()
{
    setDirectory(QFileDialog::getExistingDirectory(this, tr("Scegli cartella"),
        QStringLiteral("/home"), QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks));
}

void BackupDialog::on_abortPushButton_clicked()
{
    done(0);
}

void BackupDialog::on_exitPushButton_clicked()
{
    done(2);
}

void BackupDialog::on_doBackupPushButton_clicked()
{
    done(1);
}

void BackupDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
