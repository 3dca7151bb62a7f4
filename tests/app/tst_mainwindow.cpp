#include "appsettings.h"
#include "helpdialog.h"
#include "mainwindow.h"
#include "startup.h"
#include "widgetlookup.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSettings>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace
{

QString checkedLanguage(QWidget &window)
{
    QString checked;
    for (const char *name : { "actionItalian", "actionEnglish", "actionGerman" })
        if (child<QAction>(window, name)->isChecked())
            checked += QLatin1String(name);
    return checked;
}

QString helpText(HelpDialog &dialog)
{
    return dialog.findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText();
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

    // From each language start-up can install, switched to the others: the
    // program's and the framework's texts of the chosen language only, and
    // the columns fitted to the new headers. No song command but the choice
    // of songs until songs are chosen.
    void languageSwitch_data()
    {
        QTest::addColumn<QString>("languages"); // the stored one first
        QTest::newRow("Italian start") << "it en de it";
        QTest::newRow("English start") << "en it en";
        QTest::newRow("German start") << "de it de";
        QTest::newRow("unknown language") << "fr it";
    }

    void languageSwitch()
    {
        QFETCH(QString, languages);
        const QStringList steps = languages.split(QLatin1Char(' '));
        {
            QSettings store(AppSettings::organisation, AppSettings::application);
            store.setValue(AppSettings::languageKey, steps.first());
            store.setValue(AppSettings::logEnabledKey, true);
            store.setValue(AppSettings::copyrightAskKey, false);
        }
        QTranslator program;
        QTranslator framework;
        Startup::installTranslations(steps.first(), program, framework);
        MainWindow window;
        QVERIFY(child<QCheckBox>(window, "dbgLogEnableCheckBox")->isChecked());
        QVERIFY(!child<QAction>(window, "actionCopyrightYes")->isChecked());
        QVERIFY(child<QAction>(window, "actionCopyrightNo")->isChecked());
        QCOMPARE(window.windowIcon().availableSizes().size(), 4);
        QVERIFY(!child<QAction>(window, "actionGerman")->isVisible());
        QVERIFY(child<QWidget>(window, "debugGroupBox")->isHidden());
        QVERIFY(child<QWidget>(window, "debugZevioGroupBox")->isHidden());
        QVERIFY(child<QToolButton>(window, "selectDirToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(!child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
        auto *view = child<QTableView>(window, "userLibraryTableView");
        for (int step = 0; step < steps.size(); ++step) {
            const bool italian = steps.at(step) == QLatin1String("it");
            const char *action = italian                ? "actionItalian"
                : steps.at(step) == QLatin1String("de") ? "actionGerman"
                                                        : "actionEnglish";
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
                QVariant(steps.at(step)));
        }
    }

    // The help page of the stored language, reloaded when the language changes.
    void helpPage_data()
    {
        QTest::addColumn<QString>("language"); // empty: nothing stored
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QString() << QStringLiteral("La procedura normale");
        QTest::newRow("de") << QStringLiteral("de") << QStringLiteral("Schließen Sie den Quenor");
        QTest::newRow("other") << QStringLiteral("fr") << QStringLiteral("The normal procedure");
    }

    void helpPage()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        if (!language.isEmpty())
            storeLanguage(language);
        HelpDialog dialog(nullptr);
        QVERIFY2(helpText(dialog).contains(text), qPrintable(helpText(dialog).left(300)));
        // What the window's language actions do: store, then install.
        storeLanguage(QStringLiteral("it"));
        QTranslator italian;
        QVERIFY(italian.load(QStringLiteral(":/trans/quenorpc_it")));
        QCoreApplication::installTranslator(&italian);
        QTRY_VERIFY(helpText(dialog).contains(QStringLiteral("non è stato possibile")));
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Aiuto Quenor PC"));
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
