#pragma once

#include <QLocale>
#include <QString>

class QSettings;
class QTranslator;

// The language steps of start-up, apart from main() so they can be checked.
namespace Startup
{

// The first-run choice: "it" when the locale's language is Italian, "en"
// for any other.
QString languageForLocale(const QLocale &locale);

// The stored "language"; on the first run (nothing stored, or "--") the
// choice for systemLocale, stored at once.
QString resolveLanguage(QSettings &settings, const QLocale &systemLocale);

// Loads and installs the start-up translators for language: "it" installs
// the program's Italian catalogue and the framework's Italian texts; any
// other value ("en", "de", ...) the program's English catalogue only. A
// catalogue that fails to load leaves the Italian source texts.
void installTranslations(const QString &language, QTranslator &program, QTranslator &framework);

} // namespace Startup
