#pragma once

#include <QIcon>
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

// Loads and installs the translators for language, at start-up and at every
// switch: "it" installs the program's Italian catalogue and the framework's
// Italian texts; any other value ("en", "de", ...) the program's English
// catalogue only. The translators installed by the previous call (start-up's
// pair included) are removed first: the Italian catalogue holds only the texts
// that differ from the source, so any other language left installed would
// show through it. A catalogue that fails to load leaves the Italian source
// texts.
void installTranslations(const QString &language, QTranslator &program, QTranslator &framework);

// The program's icon, in every size it is drawn at.
QIcon programIcon();

} // namespace Startup
