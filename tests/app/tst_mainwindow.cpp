#include "appsettings.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QSettings>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace
{

template <typename T> T *child(QWidget &window, const char *name)
{
    T *object = window.findChild<T *>(QLatin1String(name));
    if (!object)
        qFatal("no child %s", name);
    return object;
}

QStringList visibleHeaders(QTableView *view)
{
    QStringList headers;
    for (int column = 0; view->model() && column < view->model()->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            headers << view->model()->headerData(column, Qt::Horizontal).toString();
    return headers;
}

QString checkedLanguage(QWidget &window)
{
    QString checked;
    for (const char *name : { "actionItalian", "actionEnglish", "actionGerman" })
        if (child<QAction>(window, name)->isChecked())
            checked += QLatin1String(name);
    return checked;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings(AppSettings::organisation, AppSettings::application).clear(); }

    void startState()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(child<QGroupBox>(window, "debugGroupBox")->isHidden());
        QVERIFY(child<QGroupBox>(window, "debugZevioGroupBox")->isHidden());
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
        QVERIFY(child<QToolButton>(window, "selectDirToolButton")->isEnabled());
        QVERIFY(!child<QAction>(window, "actionGerman")->isVisible());
    }

    // The stored settings as start-up finds them: translations and check marks.
    void storedSettings_data()
    {
        QTest::addColumn<QString>("language"); // empty: nothing stored
        QTest::addColumn<bool>("logEnabled");
        QTest::addColumn<bool>("logClear");
        QTest::addColumn<bool>("copyrightAsk");
        QTest::addColumn<QString>("preferences");
        QTest::addColumn<QString>("checked");
        auto row = [](const char *name, const char *language, bool logEnabled, bool logClear,
                       bool copyrightAsk, const char *preferences, const char *checked) {
            QTest::newRow(name) << QString::fromLatin1(language) << logEnabled << logClear
                                << copyrightAsk << QString::fromLatin1(preferences)
                                << QString::fromLatin1(checked);
        };
        row("nothing stored", "", false, false, true, "Preferenze", "actionItalian");
        row("Italian, log on", "it", true, false, false, "Preferenze", "actionItalian");
        row("English, log cleared", "en", true, true, true, "Preferences", "actionEnglish");
        row("German gives English", "de", false, true, true, "Preferences", "actionGerman");
        row("unknown language", "fr", false, false, true, "Preferences", "actionEnglish");
    }

    void storedSettings()
    {
        QFETCH(QString, language);
        QFETCH(bool, logEnabled);
        QFETCH(bool, logClear);
        QFETCH(bool, copyrightAsk);
        QFETCH(QString, preferences);
        QFETCH(QString, checked);
        {
            QSettings store(AppSettings::organisation, AppSettings::application);
            if (!language.isEmpty())
                store.setValue(AppSettings::languageKey, language);
            store.setValue(AppSettings::logEnabledKey, logEnabled);
            store.setValue(AppSettings::logClearKey, logClear);
            if (!copyrightAsk)
                store.setValue(AppSettings::copyrightAskKey, false);
        }
        QTranslator program;
        QTranslator framework;
        if (!language.isEmpty())
            Startup::installTranslations(language, program, framework);

        MainWindow window;
        QCOMPARE(child<QMenu>(window, "menuPreferences")->title(), preferences);
        QCOMPARE(checkedLanguage(window), checked);
        QCOMPARE(
            QCoreApplication::translate("QProgressDialog", "Cancel") == QLatin1String("Annulla"),
            language == QLatin1String("it"));
        QCOMPARE(child<QCheckBox>(window, "dbgLogEnableCheckBox")->isChecked(), logEnabled);
        QCOMPARE(child<QCheckBox>(window, "dbgLogClearCheckBox")->isChecked(), logClear);
        QCOMPARE(child<QCheckBox>(window, "dbgLogClearCheckBox")->isEnabled(), logEnabled);
        QCOMPARE(child<QAction>(window, "actionCopyrightYes")->isChecked(), copyrightAsk);
        QCOMPARE(child<QAction>(window, "actionCopyrightNo")->isChecked(), !copyrightAsk);
        QCoreApplication::removeTranslator(&program);
        QCoreApplication::removeTranslator(&framework);
    }

    void languageSwitchAtRunTime()
    {
        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::languageKey, QStringLiteral("it"));
        QTranslator program;
        QTranslator framework;
        Startup::installTranslations(QStringLiteral("it"), program, framework);
        MainWindow window;
        auto *menu = child<QMenu>(window, "menuPreferences");
        auto *sync = child<QToolButton>(window, "updateDataToolButton");
        const QString english = QStringLiteral("Sync your songs with the Zevio database");
        const struct {
            const char *action, *stored, *preferences;
        } steps[] = { { "actionEnglish", "en", "Preferences" },
            { "actionGerman", "de", "Preferences" }, { "actionItalian", "it", "Preferenze" } };
        for (const auto &step : steps) {
            child<QAction>(window, step.action)->trigger();
            QTRY_COMPARE(menu->title(), QString::fromLatin1(step.preferences));
            QCOMPARE(sync->text() == english, qstrcmp(step.stored, "it") != 0);
            QCOMPARE(window.windowTitle(), QStringLiteral("Quenor PC"));
            QCOMPARE(QSettings(AppSettings::organisation, AppSettings::application)
                         .value(AppSettings::languageKey),
                QVariant(QString::fromLatin1(step.stored)));
            QCOMPARE(checkedLanguage(window), QString::fromLatin1(step.action));
            QVERIFY(!sync->isEnabled());
        }
        QCoreApplication::removeTranslator(&program);
        QCoreApplication::removeTranslator(&framework);
    }

    // The window opens the catalogue at construction and shows the library
    // table; its headers follow a language switch.
    void libraryTable()
    {
        MainWindow window;
        auto *view = child<QTableView>(window, "userLibraryTableView");
        QVERIFY(view->model());
        QCOMPARE(view->model()->rowCount(), 0);
        QCOMPARE(visibleHeaders(view).join(QLatin1Char('|')),
            QStringLiteral("Formato|Titolo|Artista|Genere|Autore|Durata|Bpm|Tonalita'|Nome file"));
        QVERIFY(child<QToolButton>(window, "selectDirToolButton")->isEnabled());

        child<QAction>(window, "actionEnglish")->trigger();
        QTRY_COMPARE(visibleHeaders(view).value(1), QStringLiteral("Title"));
        QCOMPARE(visibleHeaders(view).value(8), QStringLiteral("File name"));
        child<QAction>(window, "actionItalian")->trigger();
        QTRY_COMPARE(visibleHeaders(view).value(1), QStringLiteral("Titolo"));
    }

    // A catalogue that cannot be opened (here a folder where the developers'
    // local catalogue file would be) leaves every song command disabled and
    // tells the user exactly once.
    void databaseUnavailable()
    {
        QVERIFY(QDir().mkdir(QStringLiteral("songsdb_debug")));
        const auto cleanup = qScopeGuard([] { QDir().rmdir(QStringLiteral("songsdb_debug")); });
        QStringList boxes;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&boxes] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->accept();
            }
        });
        closer.start(20);

        MainWindow window;
        window.show();
        for (const char *name :
            { "selectDirToolButton", "updateDataToolButton", "transferFilesToolButton" })
            QVERIFY2(!child<QToolButton>(window, name)->isEnabled(), name);
        QTRY_COMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().contains(QStringLiteral("database")));
        QTest::qWait(200);
        QCOMPARE(boxes.size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
