#include "startup.h"

#include "appsettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

namespace Startup
{

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
    if (language == QLatin1String("it")) {
        // A catalogue that is missing simply leaves the source texts.
        (void)program.load(QStringLiteral(":/trans/quenorpc_it"));
        (void)framework.load(QStringLiteral(":/trans/qt_it"));
        QCoreApplication::installTranslator(&program);
        QCoreApplication::installTranslator(&framework);
    } else {
        // German has no catalogue of its own and shows the English texts.
        (void)program.load(QStringLiteral(":/trans/quenorpc_en"));
        QCoreApplication::installTranslator(&program);
    }
}

} // namespace Startup
