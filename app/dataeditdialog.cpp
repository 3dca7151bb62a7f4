#include "dataeditdialog.h"
#include "ui_dataeditdialog.h"

#include "manualedit.h"

#include <QEvent>
#include <QMessageBox>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace
{
// Empty or unreadable fields count as 0.
qint32 number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}
} // namespace

DataEditDialog::DataEditDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DataEditDialog)
    // Digits only: at most three for the tempo, two each for minutes and
    // seconds.
    , m_bpmValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9]{3}")), this))
    , m_lengthValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9]{2}")), this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Modifica dati song"));
    ui->bpmLineEdit->setValidator(m_bpmValidator);
    ui->lenMmLineEdit->setValidator(m_lengthValidator);
    ui->lenSsLineEdit->setValidator(m_lengthValidator);
}

DataEditDialog::~DataEditDialog()
{
    delete ui;
}

void DataEditDialog::setArtistsCombo(const QStringList &artists)
{
    ui->artistComboBox->clear();
    ui->artistComboBox->insertItems(0, artists);
}

void DataEditDialog::setGenresCombo(const QStringList &genres)
{
    ui->genreComboBox->clear();
    ui->genreComboBox->insertItems(0, genres);
}

void DataEditDialog::setKeysCombo(const QStringList &keys)
{
    ui->keyComboBox->clear();
    ui->keyComboBox->addItem(QString());
    ui->keyComboBox->insertItems(1, keys);
}

void DataEditDialog::setOtherInfo(const SongInfo &info)
{
    ui->fileNameLabel->setText(info.filename);
    ui->formatLabel->setText(info.format);
    ui->titleLineEdit->setText(info.title);
    ui->authorLineEdit->setText(info.author);
    ui->artistComboBox->setEditText(info.artist);
    ui->genreComboBox->setEditText(info.genre);
    ui->lenMmLineEdit->setText(QString::number(info.length / 60));
    ui->lenSsLineEdit->setText(QString::number(info.length % 60));
    // A key the list does not know leaves no key chosen.
    ui->keyComboBox->setCurrentIndex(
        ui->keyComboBox->findText(info.key, Qt::MatchExactly | Qt::MatchCaseSensitive));
    ui->bpmLineEdit->setText(QString::number(info.userBpm));
    m_info = info;

    for (QCheckBox *box : { ui->checkBoxToAllAuthor, ui->checkBoxToAllArtist,
             ui->checkBoxToAllGenre, ui->checkBoxToAllTitle })
        box->setChecked(false);
    ui->checkBoxToAllTitle->setEnabled(false);
    ui->radioButtonTitle1->setChecked(true);
    ui->radioButtonTitle2->setChecked(false);
    m_toAllAuthor = m_toAllArtist = m_toAllGenre = m_toAllFname = false;

    // A long path widens the dialog rather than being cut off.
    resize(size().expandedTo(minimumSizeHint()));
}

void DataEditDialog::getInfo(SongInfo &info) const
{
    info.title = ui->titleLineEdit->text().trimmed();
    info.author = ui->authorLineEdit->text().trimmed();
    info.artist = ui->artistComboBox->currentText().trimmed();
    info.genre = ui->genreComboBox->currentText().trimmed();
    info.key = ui->keyComboBox->currentText().trimmed();
    info.length = number(ui->lenMmLineEdit->text()) * 60 + number(ui->lenSsLineEdit->text());
    info.userBpm = number(ui->bpmLineEdit->text());
}

void DataEditDialog::on_savePushButton_clicked()
{
    accept();
}

void DataEditDialog::on_exitPushButton_clicked()
{
    reject();
}

void DataEditDialog::on_radioButtonTitle2_clicked()
{
    if (!ui->radioButtonTitle2->isChecked())
        return;
    ui->checkBoxToAllTitle->setEnabled(true);
    ui->titleLineEdit->setText(ManualEdit::titleFromFileName(m_info.filename));
}

void DataEditDialog::on_radioButtonTitle1_clicked()
{
    if (!ui->radioButtonTitle1->isChecked())
        return;
    ui->checkBoxToAllTitle->setChecked(false);
    ui->checkBoxToAllTitle->setEnabled(false);
    m_toAllFname = false;
    ui->titleLineEdit->setText(m_info.title);
}

bool DataEditDialog::confirmToAll(QCheckBox *box, const QString &question)
{
    if (box->isChecked()
        && QMessageBox::question(this, tr("ATTENZIONE"), question,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
            != QMessageBox::Yes)
        box->setChecked(false);
    return box->isChecked();
}

void DataEditDialog::on_checkBoxToAllTitle_clicked()
{
    m_toAllFname = ui->checkBoxToAllTitle->isEnabled()
        && confirmToAll(ui->checkBoxToAllTitle,
            tr("Il titolo di tutte le song della lista verrà sovrascritto non il nome del file, "
               "sei sicuro?"));
}

void DataEditDialog::on_checkBoxToAllArtist_clicked()
{
    m_toAllArtist = confirmToAll(ui->checkBoxToAllArtist,
        tr("L'interprete inserito verrà applicato a tutte le song della lista, sei sicuro?"));
}

void DataEditDialog::on_checkBoxToAllGenre_clicked()
{
    m_toAllGenre = confirmToAll(ui->checkBoxToAllGenre,
        tr("Il genere inserito verrà applicato a tutte le song della lista, sei sicuro?"));
}

void DataEditDialog::on_checkBoxToAllAuthor_clicked()
{
    m_toAllAuthor = confirmToAll(ui->checkBoxToAllAuthor,
        tr("L'autore inserito verrà applicato a tutte le song della lista, sei sicuro?"));
}

void DataEditDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
