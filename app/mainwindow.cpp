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
#include "libraryfilter.h"
#include "libraryimport.h"
#include "libraryrows.h"
#include "libraryview.h"
#include "manualedit.h"
#include "memorywindow.h"
#include "songfolders.h"
#include "songslistdialog.h"
#include "startup.h"
#include "transfer.h"
#include "usersongsreltablemodel.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_dialogs(std::make_unique<DialogInteraction>(this))
    , m_user(m_dialogs.get())
    , m_settings(AppSettings::organisation, AppSettings::application)
{
    m_dialogs->setEditDialog(&m_editDialog);
    ui->setupUi(this);
    setWindowTitle(tr("Quenor PC"));
    setWindowIcon(Startup::programIcon());

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

    // Files and folders dropped anywhere on the window, the table included
    // (its viewport takes no drops of its own), are imported.
    setAcceptDrops(true);

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
    m_libraryFilter = new LibraryFilter(this);
    m_libraryFilter->setSourceModel(m_libraryModel);
    m_libraryFilter->setFilterColumns({ m_libraryModel->fieldIndex(QStringLiteral("title")),
        m_libraryModel->fieldIndex(QStringLiteral("artist")),
        m_libraryModel->fieldIndex(QStringLiteral("genre")),
        m_libraryModel->fieldIndex(QStringLiteral("author")),
        m_libraryModel->fieldIndex(QStringLiteral("shortname")) });
    LibraryView::setUp(ui->userLibraryTableView, m_libraryModel, m_libraryFilter);
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
    if (m_libraryModel) {
        m_libraryModel->setHeaderLabels();
        // The new headers may be wider or narrower than the old ones.
        adjustUserLibraryHeaders();
    }
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
    // Takes the place of the translators shown so far, start-up's included;
    // each change sends the language-change event.
    Startup::installTranslations(language, m_programTranslator, m_frameworkTranslator);
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

void MainWindow::onSongsTableViewDoubleClicked(const QModelIndex &index)
{
    if (!m_libraryModel)
        return;
    const int row = ManualEdit(m_database, *m_libraryModel, *m_user).editRow(libraryRow(index));
    if (row >= 0)
        scrollToRow(row);
}

bool MainWindow::manualModifySong(MetaSong song, SongInfo info, QString fileName, int row)
{
    return m_libraryModel
        && ManualEdit(m_database, *m_libraryModel, *m_user)
               .manualModifySong(song, info, fileName, row);
}

void MainWindow::scrollToRow(int row)
{
    // The view does not scroll to a hidden cell, and the row key in column
    // 0 is hidden: the first column shown stands for the row.
    QTableView *view = ui->userLibraryTableView;
    const QHeaderView *header = view->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column)) {
            const QModelIndex shown
                = m_libraryFilter->mapFromSource(m_libraryModel->index(row, column));
            // A row the search hides stays where it is.
            if (shown.isValid())
                view->scrollTo(shown, QAbstractItemView::PositionAtCenter);
            return;
        }
    }
}

void MainWindow::onSongsTableViewShowContextMenu(const QPoint &pos)
{
    if (!m_libraryModel)
        return;
    QTableView *view = ui->userLibraryTableView;
    const int row = libraryRow(view->indexAt(pos));
    QMenu menu(this);
    QAction *remove = menu.addAction(tr("Remove from list"));
    QAction *erase = menu.addAction(tr("Delete file"));
    remove->setEnabled(row >= 0);
    erase->setEnabled(row >= 0);
    QAction *chosen = menu.exec(view->viewport()->mapToGlobal(pos));
    ManualEdit edit(m_database, *m_libraryModel, *m_user);
    if (chosen == remove) {
        edit.removeFromList(row);
    } else if (chosen == erase) {
        edit.deleteFile(row, m_selectedFiles);
        m_selectedFilesCount = int(m_selectedFiles.size());
    }
}

void MainWindow::on_dbgSavePushButton_clicked()
{
    if (m_libraryModel)
        ManualEdit(m_database, *m_libraryModel, *m_user)
            .debugSave(libraryRow(ui->userLibraryTableView->currentIndex()),
                QStringLiteral("test_save.bin"));
}

void MainWindow::on_dbgAddMarkerPushButton_clicked()
{
    if (m_libraryModel)
        ManualEdit(m_database, *m_libraryModel, *m_user)
            .debugAddMarker(libraryRow(ui->userLibraryTableView->currentIndex()),
                QStringLiteral("test_addmarker.bin"), ui->dbgMarkerTextLineEdit->text(),
                ui->dbgMarkerBarSpinBox->value());
}

void MainWindow::on_dbgShowDialogPushButton_clicked()
{
    m_editDialog.setArtistsCombo(m_database.artistsList());
    m_editDialog.setGenresCombo(m_database.genresList());
    qDebug().noquote() << (m_editDialog.exec() == QDialog::Accepted ? QStringLiteral("Accettato")
                                                                    : QStringLiteral("Rifiutato"));
}

int MainWindow::libraryRow(const QModelIndex &shown) const
{
    if (!shown.isValid() || !m_libraryFilter)
        return -1;
    return m_libraryFilter->mapToSource(shown).row();
}

void MainWindow::on_searchLineEdit_textChanged(const QString &text)
{
    if (m_libraryFilter)
        m_libraryFilter->setFilterText(text);
}

bool MainWindow::importPaths(const QStringList &paths)
{
    if (!m_libraryModel || !ui->selectDirToolButton->isEnabled())
        return false;
    const QStringList files = SongFolders::collect(paths);
    if (files.isEmpty()) {
        m_user->showMessage(UserInteraction::MessageKind::Warning, tr("Importa cartella"),
            tr("Nessuna song trovata in:\n%1").arg(paths.join(QLatin1Char('\n'))));
        return false;
    }
    // From here on exactly as after the choose-songs button.
    m_selectedFiles = files;
    ui->updateDataToolButton->setEnabled(false);
    ui->transferFilesToolButton->setEnabled(false);
    importUserLibrary();
    ui->transferFilesToolButton->setEnabled(true);
    return true;
}

void MainWindow::on_actionImportFolder_triggered()
{
    const QString folder
        = m_user->chooseFolder(tr("Seleziona la cartella da importare"), QStringLiteral("/"));
    if (!folder.isEmpty())
        importPaths({ folder });
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Only local files and folders, and only while the song commands work.
    if (m_libraryModel && ui->selectDirToolButton->isEnabled() && event->mimeData()->hasUrls()) {
        for (const QUrl &url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
    event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The import opens its own dialogs: run it once the drop has ended, so
    // the source of the drag is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, paths] { importPaths(paths); }, Qt::QueuedConnection);
}

void MainWindow::on_actionShowMemory_triggered()
{
    MemoryWindow window(*m_user, this);
    window.exec();
}
