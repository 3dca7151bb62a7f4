#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "appsettings.h"
#include "cataloguesync.h"
#include "dialoginteraction.h"
#include "filecopy.h"
#include "helpdialog.h"
#include "indexdialog.h"
#include "librarybackup.h"
#include "libraryimport.h"
#include "libraryrows.h"
#include "libraryview.h"
#include "songslistdialog.h"
#include "transfer.h"
#include "usersongsreltablemodel.h"

#include <QApplication>
#include <QEvent>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_dialogs(std::make_unique<DialogInteraction>(this))
    , m_user(m_dialogs.get())
    , m_settings(AppSettings::organisation, AppSettings::application)
{
    ui->setupUi(this);
    setWindowTitle(tr("Quenor PC"));

    m_copyrightAskDefault = true;

    // German stays selectable only through a stored setting.
    ui->actionGerman->setVisible(false);
    ui->actionItalian->setVisible(true);

    // The diagnostic panels are never shown to users.
    ui->debugGroupBox->hide();
    ui->debugZevioGroupBox->hide();

    // Nothing to synchronise or transfer until songs are chosen.
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);

    markLanguage(m_settings.value(AppSettings::languageKey, QStringLiteral("it")).toString());

    const bool copyrightAsk
        = m_settings.value(AppSettings::copyrightAskKey, m_copyrightAskDefault).toBool();
    ui->actionCopyrightYes->setChecked(copyrightAsk);
    ui->actionCopyrightNo->setChecked(!copyrightAsk);

    ui->dbgLogEnableCheckBox->setChecked(
        m_settings.value(AppSettings::logEnabledKey, false).toBool());
    ui->dbgLogClearCheckBox->setChecked(m_settings.value(AppSettings::logClearKey, false).toBool());

    setupLibrary();
}

MainWindow::~MainWindow()
{
    delete ui;
    // The model uses the library connection: it goes before the database.
    delete m_libraryModel;
    m_libraryModel = nullptr;
}

void MainWindow::setupLibrary()
{
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);

    if (!m_database.init()) {
        qDebug() << "Error initializing DB !!!";
        // Without the catalogue and the library no song command can work.
        ui->selectDirToolButton->setEnabled(false);
        // Told once, over the window, when the event loop runs.
        QMetaObject::invokeMethod(
            this, [this] { LibraryView::tellDatabaseUnavailable(this); }, Qt::QueuedConnection);
        return;
    }
    qDebug() << "DB initialized correctly";

    connect(ui->userLibraryTableView, &QAbstractItemView::doubleClicked, this,
        &MainWindow::onSongsTableViewDoubleClicked);
    ui->userLibraryTableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->userLibraryTableView, &QWidget::customContextMenuRequested, this,
        &MainWindow::onSongsTableViewShowContextMenu);

    initUserLibraryModel();
    LibraryView::setUp(ui->userLibraryTableView, m_libraryModel);
}

void MainWindow::initUserLibraryModel()
{
    m_libraryModel = new UserSongsRelTableModel(this, m_database.userLibraryDb());
    m_libraryModel->setHeaderLabels();
}

void MainWindow::adjustUserLibraryHeaders()
{
    LibraryView::fitColumns(ui->userLibraryTableView);
}

void MainWindow::enableCopyrightMessage(bool enable)
{
    m_settings.setValue(AppSettings::copyrightAskKey, enable);
    ui->actionCopyrightYes->setChecked(enable);
    ui->actionCopyrightNo->setChecked(!enable);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateTexts();
}

void MainWindow::retranslateTexts()
{
    ui->retranslateUi(this);
    setWindowTitle(tr("Quenor PC"));
    if (m_libraryModel)
        m_libraryModel->setHeaderLabels();
}

void MainWindow::markLanguage(const QString &language)
{
    const bool italian = language == QLatin1String("it");
    const bool german = language == QLatin1String("de");
    ui->actionItalian->setChecked(italian);
    ui->actionGerman->setChecked(german);
    ui->actionEnglish->setChecked(!italian && !german);
}

void MainWindow::switchLanguage(const QString &language)
{
    m_settings.setValue(AppSettings::languageKey, language);
    markLanguage(language);

    // Reinstalling puts the translator in front of the start-up pair, so the
    // newly chosen texts win; each change sends the language-change event.
    QCoreApplication::removeTranslator(&m_programTranslator);
    QCoreApplication::removeTranslator(&m_frameworkTranslator);
    if (language == QLatin1String("it")) {
        (void)m_programTranslator.load(QStringLiteral(":/trans/quenorpc_it"));
        (void)m_frameworkTranslator.load(QStringLiteral(":/trans/qt_it"));
        QCoreApplication::installTranslator(&m_programTranslator);
        QCoreApplication::installTranslator(&m_frameworkTranslator);
    } else {
        (void)m_programTranslator.load(QStringLiteral(":/trans/quenorpc_en"));
        QCoreApplication::installTranslator(&m_programTranslator);
    }
}

void MainWindow::on_actionItalian_triggered()
{
    switchLanguage(QStringLiteral("it"));
}

void MainWindow::on_actionEnglish_triggered()
{
    switchLanguage(QStringLiteral("en"));
}

void MainWindow::on_actionGerman_triggered()
{
    switchLanguage(QStringLiteral("de"));
}

void MainWindow::on_actionCopyrightYes_triggered()
{
    enableCopyrightMessage(true);
}

void MainWindow::on_actionCopyrightNo_triggered()
{
    enableCopyrightMessage(false);
}

void MainWindow::on_actionAbout_triggered()
{
    AboutDialog dialog(nullptr);
    dialog.exec();
}

void MainWindow::on_actionAbout_QT_triggered()
{
    QApplication::aboutQt();
}

void MainWindow::on_actionContents_triggered()
{
    HelpDialog dialog(nullptr);
    dialog.exec();
}

void MainWindow::on_dbgLogEnableCheckBox_toggled(bool checked)
{
    // Takes effect at the next start; the running log is left as it is.
    m_settings.setValue(AppSettings::logEnabledKey, checked);
}

void MainWindow::on_dbgLogClearCheckBox_toggled(bool checked)
{
    m_settings.setValue(AppSettings::logClearKey, checked);
}

void MainWindow::on_dbgHidePushButton_clicked()
{
    ui->debugGroupBox->setHidden(!ui->debugGroupBox->isHidden());
}

void MainWindow::setUserInteraction(UserInteraction *user)
{
    m_user = user ? user : m_dialogs.get();
}

void MainWindow::updateProgress(int value)
{
    m_user->progress().step(value);
}

void MainWindow::on_selectDirToolButton_clicked()
{
    const QStringList files = m_user->chooseFiles(tr("Seleziona i file da importare"),
        QStringLiteral("/"), tr("Songs (*.mid *.kar *.mp3 *.mf3 *.mf4 *.mf5)"));
    if (files.isEmpty())
        return;
    m_selectedFiles = files;
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);
    importUserLibrary();
    ui->transferFilesToolButton->setEnabled(true);
}

void MainWindow::on_dbgImportPushButton_clicked()
{
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);
    importUserLibrary();
    ui->transferFilesToolButton->setEnabled(true);
}

void MainWindow::importUserLibrary()
{
    if (!m_libraryModel)
        return;
    LibraryImport import(m_database, *m_libraryModel, *m_user);
    m_selectedFilesCount = int(m_selectedFiles.size());
    const LibraryImport::Result result = import.run(m_selectedFiles);
    if (!result.cleared)
        return;
    adjustUserLibraryHeaders();
    if (result.stopped) {
        // Backup and transfer copy what the table came from.
        m_selectedFiles = result.examined;
        m_selectedFilesCount = int(m_selectedFiles.size());
        ui->updateDataToolButton->setEnabled(true);
        return;
    }
    const LibraryImport::Offer offer
        = import.offerSynchronisation(result, [this] { return updateUserLibrary(); });
    if (offer.summaryShown)
        enableCopyrightMessage(offer.showAgain);
    if (offer.synchronised && offer.syncSucceeded)
        return;
    ui->updateDataToolButton->setEnabled(true);
}

void MainWindow::on_updateDataToolButton_clicked()
{
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);
    if (!updateUserLibrary())
        ui->updateDataToolButton->setEnabled(true);
    ui->transferFilesToolButton->setEnabled(true);
}

bool MainWindow::updateUserLibrary()
{
    if (!m_libraryModel)
        return false;
    return CatalogueSync(m_database, *m_libraryModel, *m_user).updateUserLibrary(m_selectedFiles);
}

bool MainWindow::updateFileWithDb(int row)
{
    if (!m_libraryModel)
        return false;
    LibraryRows rows(*m_libraryModel);
    return CatalogueSync(m_database, *m_libraryModel, *m_user)
               .updateFileWithDb(rows.keyOf(row), rows)
        == CatalogueSync::Synced;
}

bool MainWindow::suggestBackup()
{
    return LibraryBackup(*m_user).suggestBackup(m_selectedFiles);
}

bool MainWindow::copyFiles(const QString &destination, int &count)
{
    return FileCopy(*m_user).copyFiles(m_selectedFiles, destination, count);
}

void MainWindow::on_dbgBackupPushButton_clicked()
{
    suggestBackup();
}

// The commands below are connected by name already; the workflows they start
// are added with the edit and device tools.

void MainWindow::onSongsTableViewDoubleClicked(const QModelIndex &) { }

void MainWindow::on_optimizeMemory_triggered()
{
    IndexDialog dialog(*m_user, this);
    dialog.exec();
}

void MainWindow::on_transferFilesToolButton_clicked()
{
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);
    transferFiles();
    // Synchronising again waits for the next import.
    ui->transferFilesToolButton->setEnabled(true);
}

bool MainWindow::transferFiles()
{
    return Transfer(*m_user).transferFiles(m_selectedFiles);
}

bool MainWindow::updateQuenorIndex(const QString &path)
{
    return Transfer(*m_user).updateQuenorIndex(path) == Transfer::IndexUpdated;
}

void MainWindow::on_actionSongsList_triggered()
{
    SongsListDialog dialog(*m_user, this);
    dialog.exec();
}

void MainWindow::onSongsTableViewShowContextMenu(const QPoint &) { }

void MainWindow::on_dbgSavePushButton_clicked() { }

void MainWindow::on_dbgAddMarkerPushButton_clicked() { }

void MainWindow::on_dbgShowDialogPushButton_clicked() { }
