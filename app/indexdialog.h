#pragma once

#include <QDialog>
#include <QSettings>

class QEvent;
class UserInteraction;

namespace Ui
{
class IndexDialog;
}

// "Ottimizza memoria": the user picks the folder of a Compact Flash card or
// USB pen, chooses between updating and rebuilding its index and starts; the
// dialog shows the songs found, the file being read, the progress and a
// report of the files the index refused. The run itself is MemoryIndexRun;
// questions and message boxes go through the user interaction.
class IndexDialog : public QDialog
{
    Q_OBJECT

public:
    explicit IndexDialog(UserInteraction &user, QWidget *parent = nullptr);
    ~IndexDialog() override;

    // The folder of the memory holding path; empty on the computer's disk.
    static QString getRootDrivePath(const QString &path);
    bool isRunning() const { return m_running; }

public slots:
    // A plain press of "Inizia" optimises the memory holding the chosen
    // folder (toVolumeRoot), a press with Shift held the folder itself.
    void start(bool toVolumeRoot);
    void errorFromIndexReceived(const QString &text);
    void updateLabelCurrPath(const QString &path);
    void updateLabelNum(int n);
    void initProgress(int max);
    void setProgressValue(int value);
    void browseDir();

private slots:
    void on_pushButtonClose_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing is refused while the index is being written.
    void reject() override;

private:
    void clearIndexErrors();
    void runStarted();
    void setButtonsEnabled(bool enabled);

    Ui::IndexDialog *ui;
    UserInteraction &m_user;
    QSettings m_settings;
    int errorCount = 0;
    bool m_running = false;
};
