#include "appsettings.h"
#include "mainwindow.h"
#include "messagelog.h"
#include "startup.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

int main(int argc, char *argv[])
{
    auto *settings = new QSettings(AppSettings::organisation, AppSettings::application);
    const bool logEnabled = settings->value(AppSettings::logEnabledKey, false).toBool();
    const bool logClear = settings->value(AppSettings::logClearKey, false).toBool();

    // The log is chosen before the application object exists, so that
    // nothing it says is lost.
    MessageLog::install(logEnabled, logClear);

    auto *app = new QApplication(argc, argv);
    // The about and help boxes show it as well as the main window.
    QApplication::setWindowIcon(Startup::programIcon());
    auto *programTranslator = new QTranslator;
    auto *frameworkTranslator = new QTranslator;

    const QString language = Startup::resolveLanguage(*settings, QLocale::system());
    Startup::installTranslations(language, *programTranslator, *frameworkTranslator);

    auto *window = new MainWindow;
    window->show();
    const int exitCode = app->exec();

    delete window;
    delete frameworkTranslator;
    delete programTranslator;
    delete app;
    delete settings;
    return exitCode;
}
