#include "appsettings.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSettings>
#include <QTableView>
#include <QTimer>
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

QString checkedLanguage(QWidget &window)
{
    QString checked;
    for (const char *name : { "actionItalian", "actionEnglish", "actionGerman" })
        if (child<QAction>(window, name)->isChecked())
            checked += QLatin1String(name);
    return checked;
}

void storeLanguage(const QString &language)
{
    QSettings(AppSettings::organisation, AppSettings::application)
        .setValue(AppSettings::languageKey, language);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings(AppSettings::organisation, AppSettings::application).clear(); }

    // The stored settings as the window finds them; no song command but the
    // choice of songs until songs are chosen.
    void storedSettings_data()
    {
        QTest::addColumn<QString>("language"); // empty: nothing stored
        QTest::addColumn<bool>("logEnabled");
        QTest::addColumn<bool>("copyrightAsk");
        QTest::addColumn<QString>("checked");
        QTest::newRow("nothing stored") << QString() << false << true << "actionItalian";
        QTest::newRow("Italian, log on") << "it" << true << false << "actionItalian";
        QTest::newRow("German") << "de" << false << true << "actionGerman";
        QTest::newRow("unknown language") << "fr" << true << true << "actionEnglish";
    }

    void storedSettings()
    {
        QFETCH(QString, language);
        QFETCH(bool, logEnabled);
        QFETCH(bool, copyrightAsk);
        QFETCH(QString, checked);
        {
            QSettings store(AppSettings::organisation, AppSettings::application);
            if (!language.isEmpty())
                store.setValue(AppSettings::languageKey, language);
            store.setValue(AppSettings::logEnabledKey, logEnabled);
            if (!copyrightAsk)
                store.setValue(AppSettings::copyrightAskKey, false);
        }
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(checkedLanguage(window), checked);
        QVERIFY(!child<QAction>(window, "actionGerman")->isVisible());
        QCOMPARE(child<QCheckBox>(window, "dbgLogEnableCheckBox")->isChecked(), logEnabled);
        QCOMPARE(child<QAction>(window, "actionCopyrightYes")->isChecked(), copyrightAsk);
        QCOMPARE(child<QAction>(window, "actionCopyrightNo")->isChecked(), !copyrightAsk);
        QVERIFY(child<QGroupBox>(window, "debugGroupBox")->isHidden());
        QVERIFY(child<QGroupBox>(window, "debugZevioGroupBox")->isHidden());
        QVERIFY(child<QToolButton>(window, "selectDirToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
    }

    // From each starting language, as start-up installs it, to the others:
    // texts, headers and the framework's texts of the chosen language only,
    // and the columns fitted to the new headers.
    void languageSwitch_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("Italian start")
            << "it"
            << QStringList { QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("it") };
        QTest::newRow("English start")
            << "en" << QStringList { QStringLiteral("it"), QStringLiteral("en") };
        QTest::newRow("German start")
            << "de" << QStringList { QStringLiteral("it"), QStringLiteral("de") };
    }

    void languageSwitch()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        storeLanguage(start);
        QTranslator program;
        QTranslator framework;
        Startup::installTranslations(start, program, framework);
        MainWindow window;
        window.show();
        auto *view = child<QTableView>(window, "userLibraryTableView");
        const char *actions[] = { "actionItalian", "actionEnglish", "actionGerman" };
        steps.prepend(start); // as the window opens, then after each switch
        for (int step = 0; step < steps.size(); ++step) {
            const QString &language = steps.at(step);
            const bool italian = language == QLatin1String("it");
            const char *action = actions[italian ? 0 : language == QLatin1String("en") ? 1 : 2];
            if (step > 0)
                child<QAction>(window, action)->trigger();
            QTRY_COMPARE(child<QMenu>(window, "menuPreferences")->title(),
                italian ? QStringLiteral("Preferenze") : QStringLiteral("Preferences"));
            QCOMPARE(child<QToolButton>(window, "updateDataToolButton")->text(),
                italian ? QStringLiteral("Sincronizza song con il database Zevio")
                        : QStringLiteral("Sync your songs with the Zevio database"));
            QCOMPARE(QCoreApplication::translate("QProgressDialog", "Cancel"),
                italian ? QStringLiteral("Annulla") : QStringLiteral("Cancel"));
            QStringList headers;
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                if (view->isColumnHidden(column))
                    continue;
                headers << view->model()->headerData(column, Qt::Horizontal).toString();
                const int width = view->columnWidth(column);
                view->resizeColumnToContents(column);
                QCOMPARE(width, view->columnWidth(column));
            }
            QCOMPARE(headers.join(QLatin1Char('|')),
                italian
                    ? QStringLiteral(
                        "Formato|Titolo|Artista|Genere|Autore|Durata|Bpm|Tonalità|Nome file")
                    : QStringLiteral("Format|Title|Artist|Genre|Author|Length|Bpm|Key|File name"));
            QCOMPARE(checkedLanguage(window), QLatin1String(action));
            QCOMPARE(QSettings(AppSettings::organisation, AppSettings::application)
                         .value(AppSettings::languageKey),
                QVariant(language));
        }
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
