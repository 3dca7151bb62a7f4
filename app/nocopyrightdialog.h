#pragma once

#include <QDialog>

class QEvent;

namespace Ui
{
class NoCopyrightDialog;
}

// The question with four answers asked per file during a run over many
// files. exec() returns 0 "Si", 1 "Si tutti", 2 "No", 3 "No tutti"; closing
// the dialog otherwise returns 0, as "Si".
class NoCopyrightDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NoCopyrightDialog(QWidget *parent = nullptr);
    ~NoCopyrightDialog() override;

    void setFilename(const QString &text);
    // Replaces the question about songs not published by Zevio.
    void setMessage(const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_yesPushButton_clicked();
    void on_yesAllPushButton_clicked();
    void on_noPushButton_clicked();
    void on_noAllPushButton_clicked();

private:
    Ui::NoCopyrightDialog *ui;
    QString m_fileName;
    QString m_message;
};
