#pragma once

#include "database.h"
#include "dataeditdialog.h"
#include "metasong.h"
#include "songinfo.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QPoint>
#include <QSettings>
#include <QStringList>
#include <QTranslator>

#include <memory>

class DialogInteraction;
class LibraryFilter;
class QDragEnterEvent;
class QDropEvent;
class QEvent;
class UserInteraction;
class UserSongsRelTableModel;

namespace Ui
{
class MainWindow;
}

// The program's only top-level window: the three workflow buttons, the song
// table, the menus and two hidden panels for diagnostics. It owns the
// settings store it reads at construction and its own pair of translators
// for switching the language while the program runs.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Fits the library table's columns to their contents.
    void adjustUserLibraryHeaders();

    // Stores the copyright-question setting and moves the check mark of the
    // "Messaggi Copyright" menu to "Si" (enable) or "No".
    void enableCopyrightMessage(bool enable);

    // The library workflows, run on the selected files and the library
    // table, with the questions going to the window's dialogs (or to the
    // user set with setUserInteraction).
    void importUserLibrary();
    bool updateUserLibrary();
    // One row as the table shows it now.
    bool updateFileWithDb(int row);
    bool suggestBackup();
    bool copyFiles(const QString &destination, int &count);
    // Writes info into fileName in manual mode and refreshes row from the
    // file; true when the file was saved.
    bool manualModifySong(MetaSong song, SongInfo info, QString fileName, int row);
    // The transfer of the selected files onto a device memory, and the
    // index update that ends it.
    bool transferFiles();
    bool updateQuenorIndex(const QString &path);
    // "%1 di %2" on the running workflow's progress, and its value.
    void updateProgress(int value);

    // Imports the song files under the folders and among the files of
    // paths (folders walked in name order), as the choose-songs button
    // imports the files it is given; false when none was found.
    bool importPaths(const QStringList &paths);

    QStringList selectedFiles() const { return m_selectedFiles; }
    // Replaces the dialogs for the workflows' questions (nullptr: the
    // dialogs again); the caller keeps ownership.
    void setUserInteraction(UserInteraction *user);

protected:
    void changeEvent(QEvent *event) override;
    // Files and folders dropped onto the window or the table are imported.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void on_selectDirToolButton_clicked();
    void on_updateDataToolButton_clicked();
    void on_actionItalian_triggered();
    void on_actionEnglish_triggered();
    void on_actionGerman_triggered();
    void on_actionAbout_triggered();
    void on_actionAbout_QT_triggered();
    void on_actionContents_triggered();
    void on_actionCopyrightYes_triggered();
    void on_actionCopyrightNo_triggered();
    void onSongsTableViewDoubleClicked(const QModelIndex &index);
    void on_optimizeMemory_triggered();
    void on_transferFilesToolButton_clicked();
    void on_actionSongsList_triggered();
    void onSongsTableViewShowContextMenu(const QPoint &pos);
    void on_dbgImportPushButton_clicked();
    void on_dbgSavePushButton_clicked();
    void on_dbgAddMarkerPushButton_clicked();
    void on_dbgShowDialogPushButton_clicked();
    void on_dbgHidePushButton_clicked();
    void on_dbgBackupPushButton_clicked();
    void on_dbgLogEnableCheckBox_toggled(bool checked);
    void on_dbgLogClearCheckBox_toggled(bool checked);
    void on_actionImportFolder_triggered();
    void on_actionShowMemory_triggered();
    void on_searchLineEdit_textChanged(const QString &text);

private:
    // Stores language ("it", "en", "de"), marks its action only and installs
    // the window's translators for it.
    void switchLanguage(const QString &language);
    void markLanguage(const QString &language);
    void retranslateTexts();
    // Opens the catalogue and the user library and sets up the song table;
    // when the databases cannot be opened the three workflow buttons stay
    // disabled and the user is told once.
    void setupLibrary();
    void initUserLibraryModel();
    // Brings row into the middle of the song table.
    void scrollToRow(int row);
    // The library row of a cell of the table as shown (-1 for none).
    int libraryRow(const QModelIndex &shown) const;

    Ui::MainWindow *ui;
    // The dialogs the workflows ask through; they also keep the running
    // workflow's progress dialog.
    std::unique_ptr<DialogInteraction> m_dialogs;
    UserInteraction *m_user = nullptr;
    UserSongsRelTableModel *m_libraryModel = nullptr;
    // Between the library model and the table: the rows the search matches.
    LibraryFilter *m_libraryFilter = nullptr;
    Database m_database;
    // The manual edit form, loaded anew for every edit.
    DataEditDialog m_editDialog;
    int m_selectedFilesCount = 0;
    bool m_copyrightAskDefault = true;
    QStringList m_selectedFiles;
    QSettings m_settings;
    QTranslator m_programTranslator;
    QTranslator m_frameworkTranslator;
};
