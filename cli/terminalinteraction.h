#pragma once

#include "userinteraction.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// The workflows' questions answered on the terminal: the four-way question
// is asked on standard error and read from standard input (or answered by a
// policy given on the command line), messages go to standard error, and the
// progress is one line that is rewritten, shown only on a terminal.
class TerminalInteraction : public UserInteraction, public ProgressReporter
{
    Q_DECLARE_TR_FUNCTIONS(TerminalInteraction)

public:
    // How the four-way question is answered.
    enum Policy { Ask, AlwaysYes, AlwaysNo };

    TerminalInteraction();

    void setPolicy(Policy policy) { m_policy = policy; }
    // The answer to the file copy's "already exists, replace it?" alone;
    // without it that question follows the policy above.
    void setOverwritePolicy(Policy policy) { m_overwritePolicy = policy; }
    // Where the backup before a synchronisation goes; empty: no backup.
    void setBackupFolder(const QString &folder) { m_backupFolder = folder; }
    // The answers to the file and folder choosers.
    void setFiles(const QStringList &files) { m_files = files; }
    void setFolder(const QString &folder) { m_folder = folder; }
    // A progress line is drawn only when standard error is a terminal.
    bool showsProgress() const { return m_showProgress; }
    // Warning and critical messages shown so far: a workflow that reports
    // its outcome only in a message box has failed when there is one.
    int problemsShown() const { return m_problems; }

    // Parses "ask", "yes" or "no"; false for anything else.
    static bool parsePolicy(const QString &text, Policy &policy);

    QStringList chooseFiles(
        const QString &title, const QString &startFolder, const QString &filter) override;
    QString chooseFolder(const QString &caption, const QString &startFolder) override;
    BackupAnswer chooseBackup() override;
    SummaryAnswer showImportSummary(int songs, int makerSongs, int badFiles) override;
    FourWayAnswer askFourWay(const QString &fileName, const QString &message) override;
    Button showMessage(
        MessageKind kind, const QString &title, const QString &text, int buttons) override;
    ProgressReporter &progress() override { return *this; }

    void begin(const QString &label, const QString &title, int maximum, bool autoClose) override;
    void step(int value) override;
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    bool wasStopped() const override { return false; }
    void end() override;

private:
    void drawProgress();

    Policy m_policy = Ask;
    std::optional<Policy> m_overwritePolicy;
    int m_problems = 0;
    QString m_backupFolder;
    QStringList m_files;
    QString m_folder;
    bool m_showProgress = false;
    bool m_progressDrawn = false;
    QString m_label;
    int m_maximum = 0;
    int m_value = 0;
};
