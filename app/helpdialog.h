#pragma once

#include <QDialog>
#include <QString>

class QEvent;

namespace Ui
{
class HelpDialog;
}

// The help viewer: a short user guide in the language of the user interface.
class HelpDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HelpDialog(QWidget *parent = nullptr);
    ~HelpDialog() override;

    // The resource holding the page for a "language" setting.
    static QString pagePath(const QString &language);

    // Shows the page of the stored language; leaves the viewer as it is when
    // the page cannot be opened.
    void loadHelp();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::HelpDialog *ui;
};
