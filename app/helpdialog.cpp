#include "helpdialog.h"
#include "ui_helpdialog.h"

#include "appsettings.h"

#include <QEvent>
#include <QFile>
#include <QSettings>

HelpDialog::HelpDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::HelpDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Aiuto"));
    loadHelp();
}

HelpDialog::~HelpDialog()
{
    delete ui;
}

QString HelpDialog::pagePath(const QString &language)
{
    if (language == QLatin1String("it"))
        return QStringLiteral(":/help/help_it.html");
    if (language == QLatin1String("de"))
        return QStringLiteral(":/help/help_de.html");
    return QStringLiteral(":/help/help_en.html");
}

void HelpDialog::loadHelp()
{
    QSettings settings(AppSettings::organisation, AppSettings::application);
    const QString language
        = settings.value(AppSettings::languageKey, QStringLiteral("it")).toString();
    QFile page(pagePath(language));
    if (!page.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = page.readAll();
    page.close();
    // The pages are ISO 8859-1; a zero byte ends the text.
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    ui->textEdit->setHtml(QString::fromLatin1(bytes));
}

void HelpDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        loadHelp();
    }
}
