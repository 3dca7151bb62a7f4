#pragma once

// The screenshot tools start in the language the settings hold, Italian when
// none is stored, exactly as the program does at start-up.

#include "appsettings.h"
#include "startup.h"

#include <QSettings>
#include <QTranslator>

class ShotLanguage
{
public:
    ShotLanguage()
    {
        QSettings settings(AppSettings::organisation, AppSettings::application);
        Startup::installTranslations(
            settings.value(AppSettings::languageKey, QStringLiteral("it")).toString(), m_program,
            m_framework);
    }

private:
    QTranslator m_program;
    QTranslator m_framework;
};
