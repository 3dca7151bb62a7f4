#include "aboutdialog.h"
#include "ui_aboutdialog.h"

#include "buildinfo.h"

#include <QDate>
#include <QEvent>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);

    const QString buildDate = formatBuildDate(BuildInfo::compilerDate(), QLocale::system());
    const QString version
        = tr("Version:&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; %1<br/>Build date: %2<br/>")
              .arg(BuildInfo::version(), buildDate);
    ui->versionLabel->setText(richTextDocument(version, QStringLiteral("Sans Serif"), 12));

    const QString notice
        = tr("&copy; 2012 <a href=\"https://www.zevio.it\">Zevio</a><br/>"
             "Assistenza: <a href=\"mailto:assistenza@zevio.it\">assistenza@zevio.it</a><br/>");
    ui->infoLabel->setText(richTextDocument(notice, QStringLiteral("Bitstream Vera Sans"), 10));
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QString AboutDialog::formatBuildDate(const QByteArray &compilerDate, const QLocale &locale)
{
    // The compiler pads the day with a space ("Oct  1 2012"); the month name
    // is English whatever the user's locale.
    const QString text = QString::fromLatin1(compilerDate).simplified();
    const QDate date = QLocale(QStringLiteral("en_US")).toDate(text, QStringLiteral("MMM d yyyy"));
    if (!date.isValid())
        return QString();
    return locale.toString(date, QLocale::ShortFormat);
}

QString AboutDialog::richTextDocument(const QString &text, const QString &fontFamily, int pointSize)
{
    return QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
                          "\"http://www.w3.org/TR/REC-html40/strict.dtd\">"
                          "<html><head><meta name=\"qrichtext\" content=\"1\" />"
                          "<style type=\"text/css\">p, li { white-space: pre-wrap; }</style>"
                          "</head><body style=\" font-family:'%1'; font-size:%2pt; "
                          "font-weight:400; font-style:normal;\">"
                          "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
                          "margin-right:0px; -qt-block-indent:0; text-indent:0px;\">%3</p>"
                          "</body></html>")
        .arg(fontFamily, QString::number(pointSize), text);
}

void AboutDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        // The version and notice were worked out once; only the title and
        // the name follow the new language.
        setWindowTitle(tr("Informazioni"));
        ui->label->setText(tr("Quenor PC"));
    }
}
