#pragma once

#include <QDialog>

class QEvent;

namespace Ui
{
class ProceedDialog;
}

// The summary after an import: how many files were examined, how many songs
// were found and how many of them are Zevio's, and the offer to synchronise
// them with the catalogue at once.
class ProceedDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ProceedDialog(QWidget *parent = nullptr);
    ~ProceedDialog() override;

    void setFilesCount(int songs, int makerSongs, int badFiles);
    // True while "Non mostrare più messaggi sul copyright" is not ticked.
    bool getShowAgainValue() const;

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_yesPushButton_clicked();
    void on_noPushButton_clicked();

private:
    void showCounts();

    Ui::ProceedDialog *ui;
    int m_songs = -1;
    int m_makerSongs = 0;
    int m_badFiles = 0;
};
