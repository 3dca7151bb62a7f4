#include "appsettings.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace
{

template <typename T> T *child(QWidget &window, const char *name)
{
    T *object = window.findChild<T *>(QLatin1String(name));
    if (!object)
        qWarning("no child %s", name);
    return object;
}

QVariant storedValue(QLatin1String key)
{
    QSettings store(AppSettings::organisation, AppSettings::application);
    return store.value(key);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QSettings store(AppSettings::organisation, AppSettings::application);
        store.clear();
    }

    void startState()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.windowTitle(), QStringLiteral("Quenor PC"));
        QVERIFY(child<QGroupBox>(window, "debugGroupBox")->isHidden());
        QVERIFY(child<QGroupBox>(window, "debugZevioGroupBox")->isHidden());
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
        QVERIFY(child<QToolButton>(window, "selectDirToolButton")->isEnabled());
        QVERIFY(child<QAction>(window, "actionItalian")->isVisible());
        QVERIFY(!child<QAction>(window, "actionGerman")->isVisible());
        QVERIFY(child<QTableView>(window, "userLibraryTableView")->isVisible());
        QVERIFY(window.statusBar()->isVisible());

        // The menus, in order, with their actions.
        QStringList menus;
        for (QAction *action : window.menuBar()->actions())
            menus << action->menu()->objectName();
        QCOMPARE(menus,
            QStringList({ QStringLiteral("menuFile"), QStringLiteral("menuPreferences"),
                QStringLiteral("menuStrumenti"), QStringLiteral("menuHelp") }));

        // The button images come from the resources; none may be missing.
        for (const char *name :
            { "selectDirToolButton", "updateDataToolButton", "transferFilesToolButton" })
            QVERIFY2(!child<QToolButton>(window, name)->icon().isNull(), name);
        for (const char *image : { "logo-quenor.png", "logo-zevio.png", "logo-zevio_512.png" })
            QVERIFY2(!QPixmap(QStringLiteral(":/imgs/") + QLatin1String(image)).isNull(), image);

        // Each image and the text under it fit the 80-pixel button (the
        // image is drawn at its own size, up to the icon size; the style
        // leaves 4 pixels under it and a frame of about 3 around).
        for (const char *name :
            { "selectDirToolButton", "updateDataToolButton", "transferFilesToolButton" }) {
            auto *button = child<QToolButton>(window, name);
            QCOMPARE(button->height(), 80);
            const int image = button->icon().actualSize(button->iconSize()).height();
            QVERIFY2(image + 4 + button->fontMetrics().height() + 6 <= 80, name);
            QVERIFY2(
                button->width() >= button->fontMetrics().horizontalAdvance(button->text()), name);
        }
    }

    void checkMarksFollowSettings_data()
    {
        QTest::addColumn<QVariant>("language");
        QTest::addColumn<QVariant>("copyrightAsk");
        QTest::addColumn<QVariant>("logEnabled");
        QTest::addColumn<QVariant>("logClear");
        QTest::addColumn<QString>("checkedLanguage");
        QTest::addColumn<bool>("copyrightYes");
        QTest::addColumn<bool>("enableTicked");
        QTest::addColumn<bool>("clearTicked");

        QTest::newRow("nothing stored") << QVariant() << QVariant() << QVariant() << QVariant()
                                        << "actionItalian" << true << false << false;
        QTest::newRow("English, no copyright question, log on")
            << QVariant(QStringLiteral("en")) << QVariant(false) << QVariant(true)
            << QVariant(false) << "actionEnglish" << false << true << false;
        QTest::newRow("German, log on and cleared")
            << QVariant(QStringLiteral("de")) << QVariant(true) << QVariant(true) << QVariant(true)
            << "actionGerman" << true << true << true;
        QTest::newRow("unknown language marks English")
            << QVariant(QStringLiteral("fr")) << QVariant() << QVariant(false) << QVariant(true)
            << "actionEnglish" << true << false << true;
        QTest::newRow("never chosen marks English")
            << QVariant(QStringLiteral("--")) << QVariant() << QVariant() << QVariant()
            << "actionEnglish" << true << false << false;
    }

    void checkMarksFollowSettings()
    {
        QFETCH(QVariant, language);
        QFETCH(QVariant, copyrightAsk);
        QFETCH(QVariant, logEnabled);
        QFETCH(QVariant, logClear);
        QFETCH(QString, checkedLanguage);
        QFETCH(bool, copyrightYes);
        QFETCH(bool, enableTicked);
        QFETCH(bool, clearTicked);
        {
            QSettings store(AppSettings::organisation, AppSettings::application);
            const QList<QPair<QLatin1String, QVariant>> values
                = { { AppSettings::languageKey, language },
                      { AppSettings::copyrightAskKey, copyrightAsk },
                      { AppSettings::logEnabledKey, logEnabled },
                      { AppSettings::logClearKey, logClear } };
            for (const auto &value : values)
                if (value.second.isValid())
                    store.setValue(value.first, value.second);
        }

        MainWindow window;
        for (const char *name : { "actionItalian", "actionEnglish", "actionGerman" })
            QCOMPARE(
                child<QAction>(window, name)->isChecked(), checkedLanguage == QLatin1String(name));
        QCOMPARE(child<QAction>(window, "actionCopyrightYes")->isChecked(), copyrightYes);
        QCOMPARE(child<QAction>(window, "actionCopyrightNo")->isChecked(), !copyrightYes);
        QCOMPARE(child<QCheckBox>(window, "dbgLogEnableCheckBox")->isChecked(), enableTicked);
        QCOMPARE(child<QCheckBox>(window, "dbgLogClearCheckBox")->isChecked(), clearTicked);
        // The clear option only means something while the log is enabled.
        QCOMPARE(child<QCheckBox>(window, "dbgLogClearCheckBox")->isEnabled(), enableTicked);
    }

    void copyrightActions()
    {
        MainWindow window;
        auto *yes = child<QAction>(window, "actionCopyrightYes");
        auto *no = child<QAction>(window, "actionCopyrightNo");

        // A checkable action toggles itself before the slot runs; the slot
        // decides the marks whatever the state was.
        for (int round = 0; round < 2; ++round) {
            no->trigger();
            QCOMPARE(storedValue(AppSettings::copyrightAskKey), QVariant(false));
            QVERIFY(!yes->isChecked());
            QVERIFY(no->isChecked());
            yes->trigger();
            QCOMPARE(storedValue(AppSettings::copyrightAskKey), QVariant(true));
            QVERIFY(yes->isChecked());
            QVERIFY(!no->isChecked());
        }
        window.enableCopyrightMessage(false);
        QCOMPARE(storedValue(AppSettings::copyrightAskKey), QVariant(false));
        QVERIFY(no->isChecked());
        QVERIFY(!yes->isChecked());
    }

    void logCheckBoxesStoreForNextStart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));

        MainWindow window;
        auto *enable = child<QCheckBox>(window, "dbgLogEnableCheckBox");
        auto *clear = child<QCheckBox>(window, "dbgLogClearCheckBox");
        QVERIFY(!clear->isEnabled());

        enable->setChecked(true);
        QCOMPARE(storedValue(AppSettings::logEnabledKey), QVariant(true));
        QVERIFY(clear->isEnabled());
        clear->setChecked(true);
        QCOMPARE(storedValue(AppSettings::logClearKey), QVariant(true));
        clear->setChecked(false);
        QCOMPARE(storedValue(AppSettings::logClearKey), QVariant(false));
        enable->setChecked(false);
        QCOMPARE(storedValue(AppSettings::logEnabledKey), QVariant(false));
        QVERIFY(!clear->isEnabled());

        // The running log is not touched: nothing appears until the next start.
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("log.txt"))));
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void languageSwitchAtRunTime()
    {
        QSettings store(AppSettings::organisation, AppSettings::application);
        store.setValue(AppSettings::languageKey, QStringLiteral("it"));
        store.sync();
        QTranslator program;
        QTranslator framework;
        Startup::installTranslations(QStringLiteral("it"), program, framework);

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *preferences = child<QMenu>(window, "menuPreferences");
        auto *help = child<QMenu>(window, "menuHelp");
        auto *sync = child<QToolButton>(window, "updateDataToolButton");
        auto *select = child<QToolButton>(window, "selectDirToolButton");
        auto *quit = child<QAction>(window, "actionQuit");
        QCOMPARE(preferences->title(), QStringLiteral("Preferenze"));

        child<QAction>(window, "actionEnglish")->trigger();
        QTRY_COMPARE(preferences->title(), QStringLiteral("Preferences"));
        QCOMPARE(help->title(), QStringLiteral("Help"));
        QCOMPARE(quit->text(), QStringLiteral("Quit"));
        QCOMPARE(sync->text(), QStringLiteral("Sync your songs with the Zevio database"));
        QCOMPARE(select->text(),
            QStringLiteral("Select the songs you wish to put in the memory dedicated to Quenor"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenor PC"));
        QCOMPARE(storedValue(AppSettings::languageKey), QVariant(QStringLiteral("en")));
        QVERIFY(child<QAction>(window, "actionEnglish")->isChecked());
        QVERIFY(!child<QAction>(window, "actionItalian")->isChecked());
        // The buttons keep their state through a language change.
        QVERIFY(!sync->isEnabled());

        child<QAction>(window, "actionItalian")->trigger();
        QTRY_COMPARE(preferences->title(), QStringLiteral("Preferenze"));
        QCOMPARE(help->title(), QStringLiteral("Aiuto"));
        QCOMPARE(sync->text(), QStringLiteral("Sincronizza song con il database Zevio"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenor PC"));
        QCOMPARE(storedValue(AppSettings::languageKey), QVariant(QStringLiteral("it")));
        QVERIFY(child<QAction>(window, "actionItalian")->isChecked());
        QVERIFY(!child<QAction>(window, "actionEnglish")->isChecked());

        // German selects the English texts.
        child<QAction>(window, "actionGerman")->trigger();
        QTRY_COMPARE(preferences->title(), QStringLiteral("Preferences"));
        QCOMPARE(storedValue(AppSettings::languageKey), QVariant(QStringLiteral("de")));
        QVERIFY(child<QAction>(window, "actionGerman")->isChecked());
        QVERIFY(!child<QAction>(window, "actionEnglish")->isChecked());
        QVERIFY(!child<QAction>(window, "actionItalian")->isChecked());
        QVERIFY(!child<QAction>(window, "actionGerman")->isVisible());

        QCoreApplication::removeTranslator(&program);
        QCoreApplication::removeTranslator(&framework);
    }

    void hideDebugTogglesPanel()
    {
        MainWindow window;
        auto *panel = child<QGroupBox>(window, "debugGroupBox");
        QVERIFY(panel->isHidden());
        child<QPushButton>(window, "dbgHidePushButton")->click();
        QVERIFY(!panel->isHidden());
        child<QPushButton>(window, "dbgHidePushButton")->click();
        QVERIFY(panel->isHidden());
    }

    void quitClosesWindow()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QAction>(window, "actionQuit")->trigger();
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
