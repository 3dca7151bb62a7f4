#pragma once

#include "userinteraction.h"

#include <QCoreApplication>
#include <QPointer>

#include <QProgressDialog>
class DataEditDialog;
class QWidget;

// The workflows' questions answered with the program's dialogs, over the
// main window. It keeps the one progress dialog of the running workflow.
class DialogInteraction : public UserInteraction, public ProgressReporter
{
    Q_DECLARE_TR_FUNCTIONS(DialogInteraction)

public:
    explicit DialogInteraction(QWidget *window);
    ~DialogInteraction() override;

    QStringList chooseFiles(
        const QString &title, const QString &startFolder, const QString &filter) override;
    QString chooseFolder(const QString &caption, const QString &startFolder) override;
    QString chooseSaveFile(
        const QString &caption, const QString &proposed, const QString &filter) override;
    BackupAnswer chooseBackup() override;
    SummaryAnswer showImportSummary(int songs, int makerSongs, int badFiles) override;
    FourWayAnswer askFourWay(const QString &fileName, const QString &message) override;
    Button showMessage(
        MessageKind kind, const QString &title, const QString &text, int buttons) override;
    ProgressReporter &progress() override { return *this; }
    void processEvents() override;
    EditAnswer editSong(const EditRequest &request) override;
    // The window's own edit form, used by editSong (not owned).
    void setEditDialog(DataEditDialog *dialog) { m_editDialog = dialog; }

    void begin(const QString &label, const QString &title, int maximum, bool autoClose) override;
    void step(int value) override;
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    bool wasStopped() const override;
    void end() override;

    QProgressDialog *progressDialog() const { return m_progress; }

private:
    QWidget *m_window;
    DataEditDialog *m_editDialog = nullptr;
    QPointer<QProgressDialog> m_progress;
};
