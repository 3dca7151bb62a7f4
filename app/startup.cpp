#include "startup.h"

#include "appsettings.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSettings>
#include <QTranslator>

namespace Startup
{

namespace
{
// The translators of the language shown now, whoever owns them.
QPointer<QTranslator> shownProgram;
QPointer<QTranslator> shownFramework;
} // namespace

QString languageForLocale(const QLocale &locale)
{
    if (QLocale::languageToString(locale.language()) == QLatin1String("Italian"))
        return QStringLiteral("it");
    return QStringLiteral("en");
}

QString resolveLanguage(QSettings &settings, const QLocale &systemLocale)
{
    QString language
        = settings.value(AppSettings::languageKey, QString(AppSettings::noLanguage)).toString();
    if (language == AppSettings::noLanguage) {
        language = languageForLocale(systemLocale);
        settings.setValue(AppSettings::languageKey, language);
    }
    return language;
}

void installTranslations(const QString &language, QTranslator &program, QTranslator &framework)
{
    for (QTranslator *shown : { shownProgram.data(), shownFramework.data(), &program, &framework })
        if (shown)
            QCoreApplication::removeTranslator(shown);
    shownFramework = nullptr;

    if (language == QLatin1String("it")) {
        // A catalogue that is missing simply leaves the source texts.
        (void)program.load(QStringLiteral(":/trans/quenorpc_it"));
        (void)framework.load(QStringLiteral(":/trans/qt_it"));
        QCoreApplication::installTranslator(&program);
        QCoreApplication::installTranslator(&framework);
        shownFramework = &framework;
    } else {
        // German has no catalogue of its own and shows the English texts.
        (void)program.load(QStringLiteral(":/trans/quenorpc_en"));
        QCoreApplication::installTranslator(&program);
    }
    shownProgram = &program;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : { 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/imgs/quenorpc-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace Startup
