#pragma once

#include <QDialog>
#include <QSettings>

class QEvent;
class UserInteraction;

namespace Ui
{
class SongsListDialog;
}

// "Salva lista delle song": writes the song list of a prepared memory, read
// from its own index, as a semicolon-separated file sorted by title, artist
// or genre. The export itself is MemoryIndexRun's; choosers and message boxes
// go through the user interaction.
class SongsListDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SongsListDialog(UserInteraction &user, QWidget *parent = nullptr);
    ~SongsListDialog() override;

    // The desktop folder, with "/" separators and a final "/", and
    // "SongsList.csv".
    static QString defaultDestination();

public slots:
    void start();
    void browseDir();
    void browseFile();
    void initProgress(int max);
    void setProgressValue(int value);

private slots:
    void on_pushButtonClose_clicked();

protected:
    void changeEvent(QEvent *event) override;
    // Closing is refused while the list is being written.
    void reject() override;

private:
    void fillSortModes();
    void setButtonsEnabled(bool enabled);

    Ui::SongsListDialog *ui;
    UserInteraction &m_user;
    QSettings m_settings;
    bool m_running = false;
};
