#pragma once

#include "songinfo.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QEvent;
class QRegularExpressionValidator;

namespace Ui
{
class DataEditDialog;
}

// The form for editing one song by hand: title (typed, or taken from the
// file name), artist, genre, author, length, key and tempo, and the four
// "Applica a tutti" boxes that carry a field over to every song of the list.
// The main window keeps one for its whole life and loads it before each use.
class DataEditDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DataEditDialog(QWidget *parent = nullptr);
    ~DataEditDialog() override;

    void setArtistsCombo(const QStringList &artists);
    void setGenresCombo(const QStringList &genres);
    // An empty first item stands for a song without key.
    void setKeysCombo(const QStringList &keys);
    // Loads info into the form and unticks every "Applica a tutti" box.
    void setOtherInfo(const SongInfo &info);
    // Writes the form into info; the fields the form does not show stay.
    void getInfo(SongInfo &info) const;

    bool isApplyToAllAuthor() const { return m_toAllAuthor; }
    bool isApplyToAllArtist() const { return m_toAllArtist; }
    bool isApplyToAllGenre() const { return m_toAllGenre; }
    bool isApplyToAllFname() const { return m_toAllFname; }

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_savePushButton_clicked();
    void on_exitPushButton_clicked();
    void on_radioButtonTitle1_clicked();
    void on_radioButtonTitle2_clicked();
    void on_checkBoxToAllTitle_clicked();
    void on_checkBoxToAllArtist_clicked();
    void on_checkBoxToAllGenre_clicked();
    void on_checkBoxToAllAuthor_clicked();

private:
    // A ticked box stays ticked only when the user confirms question.
    bool confirmToAll(QCheckBox *box, const QString &question);

    Ui::DataEditDialog *ui;
    SongInfo m_info;
    QRegularExpressionValidator *m_bpmValidator;
    QRegularExpressionValidator *m_lengthValidator;
    bool m_toAllAuthor = false;
    bool m_toAllArtist = false;
    bool m_toAllGenre = false;
    bool m_toAllFname = false;
};
