#include "nocopyrightdialog.h"
#include "ui_nocopyrightdialog.h"

#include <QEvent>

NoCopyrightDialog::NoCopyrightDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::NoCopyrightDialog)
{
    ui->setupUi(this);
}

NoCopyrightDialog::~NoCopyrightDialog()
{
    delete ui;
}

void NoCopyrightDialog::setFilename(const QString &text)
{
    m_fileName = text;
    ui->fileNameLabel->setText(text);
}

void NoCopyrightDialog::setMessage(const QString &text)
{
    m_message = text;
    ui->label_2->setText(text);
}

void NoCopyrightDialog::on_yesPushButton_clicked()
{
    done(0);
}

void NoCopyrightDialog::on_yesAllPushButton_clicked()
{
    done(1);
}

void NoCopyrightDialog::on_noPushButton_clicked()
{
    done(2);
}

void NoCopyrightDialog::on_noAllPushButton_clicked()
{
    done(3);
}

void NoCopyrightDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The caller's texts were already translated when they were set.
        if (!m_fileName.isNull())
            ui->fileNameLabel->setText(m_fileName);
        if (!m_message.isNull())
            ui->label_2->setText(m_message);
    }
}
