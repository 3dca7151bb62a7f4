#include "appsettings.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private:
    static QSettings settings()
    {
        return QSettings(AppSettings::organisation, AppSettings::application);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QSettings store(AppSettings::organisation, AppSettings::application);
        store.clear();
    }

    void cataloguesCompiledIn_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("translation");
        QTest::newRow("program, English") << ":/trans/quenorpc_en"
                                          << "MainWindow"
                                          << "Esci"
                                          << "Quit";
        QTest::newRow("program, Italian") << ":/trans/quenorpc_it"
                                          << "HelpDialog"
                                          << "Aiuto"
                                          << "Aiuto Quenor PC";
        QTest::newRow("framework, Italian") << ":/trans/qt_it"
                                            << "QProgressDialog"
                                            << "Cancel"
                                            << "Annulla";
        // Compiled in although nothing loads it.
        QTest::newRow("framework, German") << ":/trans/qt_de"
                                           << "QProgressDialog"
                                           << "Cancel"
                                           << "Abbrechen";
    }

    void cataloguesCompiledIn()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, translation);
        QTranslator translator;
        QVERIFY(translator.load(catalogue));
        QCOMPARE(
            translator.translate(context.toLatin1().constData(), source.toLatin1().constData()),
            translation);
    }

    void languageForLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("Italy") << "it_IT"
                               << "it";
        QTest::newRow("Switzerland, Italian") << "it_CH"
                                              << "it";
        QTest::newRow("United States") << "en_US"
                                       << "en";
        QTest::newRow("Germany") << "de_DE"
                                 << "en";
        QTest::newRow("Switzerland, German") << "de_CH"
                                             << "en";
        QTest::newRow("C") << "C"
                           << "en";
    }

    void languageForLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QCOMPARE(Startup::languageForLocale(QLocale(locale)), language);
    }

    void resolveLanguage_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("first run, Italian") << QVariant() << "it_IT"
                                            << "it";
        QTest::newRow("first run, French") << QVariant() << "fr_FR"
                                           << "en";
        QTest::newRow("never chosen, Italian") << QVariant(QStringLiteral("--")) << "it_IT"
                                               << "it";
        QTest::newRow("never chosen, English") << QVariant(QStringLiteral("--")) << "en_GB"
                                               << "en";
        QTest::newRow("chosen German kept") << QVariant(QStringLiteral("de")) << "it_IT"
                                            << "de";
        QTest::newRow("chosen English kept") << QVariant(QStringLiteral("en")) << "it_IT"
                                             << "en";
        QTest::newRow("chosen Italian kept") << QVariant(QStringLiteral("it")) << "en_US"
                                             << "it";
    }

    void resolveLanguage()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, locale);
        QFETCH(QString, language);
        {
            QSettings store(AppSettings::organisation, AppSettings::application);
            if (stored.isValid())
                store.setValue(AppSettings::languageKey, stored);
        }
        QSettings store(AppSettings::organisation, AppSettings::application);
        QCOMPARE(Startup::resolveLanguage(store, QLocale(locale)), language);
        store.sync();
        // Stored at once, for every later component to read.
        QSettings other(AppSettings::organisation, AppSettings::application);
        QCOMPARE(other.value(AppSettings::languageKey).toString(), language);
    }

    // What the user sees after the first start: the translation that matches
    // the stored language, with the matching check mark.
    void windowShowsChosenLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("preferences");
        QTest::addColumn<QString>("transfer");
        QTest::addColumn<QString>("checkedAction");
        QTest::addColumn<bool>("frameworkItalian");
        QTest::newRow("first run, Italian locale") << "it_IT" << QString() << "Preferenze"
                                                   << "Trasferisci song nella memoria di Quenor"
                                                   << "actionItalian" << true;
        QTest::newRow("first run, English locale") << "en_US" << QString() << "Preferences"
                                                   << "Transfer songs in the Quenor memory"
                                                   << "actionEnglish" << false;
        QTest::newRow("stored German") << "it_IT"
                                       << "de"
                                       << "Preferences"
                                       << "Transfer songs in the Quenor memory"
                                       << "actionGerman" << false;
    }

    void windowShowsChosenLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, stored);
        QFETCH(QString, preferences);
        QFETCH(QString, transfer);
        QFETCH(QString, checkedAction);
        QFETCH(bool, frameworkItalian);

        QSettings store(AppSettings::organisation, AppSettings::application);
        if (!stored.isEmpty())
            store.setValue(AppSettings::languageKey, stored);
        QTranslator program;
        QTranslator framework;
        const QString language = Startup::resolveLanguage(store, QLocale(locale));
        store.sync();
        Startup::installTranslations(language, program, framework);

        MainWindow window;
        QCOMPARE(
            window.findChild<QMenu *>(QStringLiteral("menuPreferences"))->title(), preferences);
        QCOMPARE(window.findChild<QToolButton *>(QStringLiteral("transferFilesToolButton"))->text(),
            transfer);
        for (const char *name : { "actionItalian", "actionEnglish", "actionGerman" }) {
            auto *action = window.findChild<QAction *>(QLatin1String(name));
            QVERIFY(action);
            QCOMPARE(action->isChecked(), checkedAction == QLatin1String(name));
        }
        // German can only come from the stored setting: its action stays hidden.
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("actionGerman"))->isVisible());
        QCOMPARE(framework.isEmpty(), !frameworkItalian);
        QCOMPARE(
            QCoreApplication::translate("QProgressDialog", "Cancel") == QLatin1String("Annulla"),
            frameworkItalian);

        QCoreApplication::removeTranslator(&program);
        QCoreApplication::removeTranslator(&framework);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
