#include "songslistdialog.h"
#include "ui_songslistdialog.h"

#include "appsettings.h"
#include "memoryindexrun.h"
#include "removablevolumes.h"
#include "userinteraction.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QStandardPaths>

SongsListDialog::SongsListDialog(UserInteraction &user, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SongsListDialog)
    , m_user(user)
    , m_settings(AppSettings::organisation, AppSettings::application)
{
    ui->setupUi(this);
    fillSortModes();
    ui->lineEditSrc->setText(m_settings.value(AppSettings::mediaRootKey).toString());
    ui->lineEditDest->setText(defaultDestination());
    connect(ui->pushButtonStart, &QPushButton::clicked, this, &SongsListDialog::start);
    connect(ui->pushButtonBrowseSrc, &QPushButton::clicked, this, &SongsListDialog::browseDir);
    connect(ui->pushButtonBrowseDest, &QPushButton::clicked, this, &SongsListDialog::browseFile);
}

SongsListDialog::~SongsListDialog()
{
    delete ui;
}

QString SongsListDialog::defaultDestination()
{
    QString desktop = QDir::fromNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (!desktop.endsWith(QLatin1Char('/')))
        desktop += QLatin1Char('/');
    return desktop + QStringLiteral("SongsList.csv");
}

void SongsListDialog::fillSortModes()
{
    // Row numbers are the sort modes of the export.
    const int current = qMax(0, ui->comboBoxSort->currentIndex());
    ui->comboBoxSort->clear();
    ui->comboBoxSort->addItems({ tr("Titolo"), tr("Artista"), tr("Genere") });
    ui->comboBoxSort->setCurrentIndex(current);
}

void SongsListDialog::start()
{
    if (m_running)
        return;
    MemoryIndexRun run(m_user);
    connect(&run, &MemoryIndexRun::started, this, [this] {
        m_running = true;
        setButtonsEnabled(false);
    });
    connect(&run, &MemoryIndexRun::progressMaxSetup, this, &SongsListDialog::initProgress);
    connect(&run, &MemoryIndexRun::progressValueChanged, this, &SongsListDialog::setProgressValue);
    run.saveSongsList(
        ui->lineEditSrc->text(), ui->lineEditDest->text(), ui->comboBoxSort->currentIndex());
    m_running = false;
    setButtonsEnabled(true);
}

void SongsListDialog::setButtonsEnabled(bool enabled)
{
    ui->pushButtonStart->setEnabled(enabled);
    ui->pushButtonClose->setEnabled(enabled);
}

void SongsListDialog::browseDir()
{
    const QString folder
        = m_user.chooseFolder(tr("Scegli cartella"), RemovableVolumes::defaultFolder());
    if (folder.isEmpty())
        return;
    ui->lineEditSrc->setText(folder);
    m_settings.setValue(AppSettings::mediaRootKey, folder);
}

void SongsListDialog::browseFile()
{
    const QString file = m_user.chooseSaveFile(
        tr("Scegli nome del file"), ui->lineEditDest->text(), tr("File (*.csv)"));
    if (!file.isEmpty())
        ui->lineEditDest->setText(file);
}

void SongsListDialog::initProgress(int max)
{
    ui->progressBar->setMaximum(max);
    ui->progressBar->setMinimum(0);
    ui->progressBar->setValue(0);
    QCoreApplication::processEvents();
}

void SongsListDialog::setProgressValue(int value)
{
    ui->progressBar->setValue(value);
    QCoreApplication::processEvents();
}

void SongsListDialog::on_pushButtonClose_clicked()
{
    done(0);
}

void SongsListDialog::reject()
{
    if (!m_running)
        QDialog::reject();
}

void SongsListDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillSortModes();
    }
}
