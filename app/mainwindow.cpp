#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "appsettings.h"
#include "helpdialog.h"
#include "libraryview.h"
#include "startup.h"
#include "usersongsreltablemodel.h"

#include <QApplication>
#include <QEvent>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_settings(AppSettings::organisation, AppSettings::application)
{
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

// The library commands below are connected by name already; the song
// workflows they start are added with the catalogue and the song table.

void MainWindow::on_selectDirToolButton_clicked() { }

void MainWindow::on_updateDataToolButton_clicked() { }

void MainWindow::onSongsTableViewDoubleClicked(const QModelIndex &) { }

void MainWindow::on_optimizeMemory_triggered() { }

void MainWindow::on_transferFilesToolButton_clicked() { }

void MainWindow::on_actionSongsList_triggered() { }

void MainWindow::onSongsTableViewShowContextMenu(const QPoint &) { }

void MainWindow::on_dbgImportPushButton_clicked() { }

void MainWindow::on_dbgSavePushButton_clicked() { }

void MainWindow::on_dbgAddMarkerPushButton_clicked() { }

void MainWindow::on_dbgShowDialogPushButton_clicked() { }

void MainWindow::on_dbgBackupPushButton_clicked() { }
