#pragma once

#include <QByteArray>
#include <QDialog>
#include <QLocale>
#include <QString>

class QEvent;

namespace Ui
{
class AboutDialog;
}

// The about box: program name, version, build date and the maker's notice.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    // The compiler's date text ("Oct  1 2012") as a short date of locale
    // ("10/1/12" in the United States); empty when the text is not a date.
    static QString formatBuildDate(const QByteArray &compilerDate, const QLocale &locale);

    // text as a one-paragraph rich-text document in the given font.
    static QString richTextDocument(const QString &text, const QString &fontFamily, int pointSize);

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::AboutDialog *ui;
};
