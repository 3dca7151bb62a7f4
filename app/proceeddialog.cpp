#include "proceeddialog.h"
#include "ui_proceeddialog.h"

#include <QEvent>

ProceedDialog::ProceedDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ProceedDialog)
{
    ui->setupUi(this);
}

ProceedDialog::~ProceedDialog()
{
    delete ui;
}

void ProceedDialog::setFilesCount(int songs, int makerSongs, int badFiles)
{
    m_songs = songs;
    m_makerSongs = makerSongs;
    m_badFiles = badFiles;
    showCounts();
}

void ProceedDialog::showCounts()
{
    if (m_songs < 0)
        return;
    ui->msgLabel->setText(tr("Sono stati esaminti %1 files, trovate %2 songs di cui %3 di (c)Zevio")
                              .arg(m_songs + m_badFiles)
                              .arg(m_songs)
                              .arg(m_makerSongs));
}

bool ProceedDialog::getShowAgainValue() const
{
    return !ui->checkBoxShowAgain->isChecked();
}

void ProceedDialog::on_yesPushButton_clicked()
{
    accept();
}

void ProceedDialog::on_noPushButton_clicked()
{
    reject();
}

void ProceedDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        showCounts();
    }
}
