#include "appsettings.h"
#include "helpdialog.h"

#include <QSettings>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>

namespace
{

void storeLanguage(const QString &language)
{
    QSettings store(AppSettings::organisation, AppSettings::application);
    if (language.isEmpty())
        store.remove(AppSettings::languageKey);
    else
        store.setValue(AppSettings::languageKey, language);
}

QString pageText(HelpDialog &dialog)
{
    return dialog.findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText();
}

} // namespace

class TestHelpDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pageFollowsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QString() << QStringLiteral("La procedura normale");
        QTest::newRow("it") << QStringLiteral("it") << QStringLiteral("non è stato possibile");
        QTest::newRow("en") << QStringLiteral("en") << QStringLiteral("The normal procedure");
        QTest::newRow("de") << QStringLiteral("de") << QStringLiteral("Schließen Sie den Quenor");
        QTest::newRow("other") << QStringLiteral("fr") << QStringLiteral("Editing a song by hand");
    }

    void pageFollowsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        storeLanguage(language);
        HelpDialog dialog(nullptr);
        QVERIFY2(pageText(dialog).contains(text), qPrintable(pageText(dialog).left(300)));
    }

    void reloadsOnLanguageChange()
    {
        storeLanguage(QStringLiteral("it"));
        HelpDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(pageText(dialog).contains(QStringLiteral("La procedura normale")));

        // What the main window's language action does: store, then install.
        storeLanguage(QStringLiteral("en"));
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/trans/quenorpc_en")));
        QCoreApplication::installTranslator(&english);
        QTRY_VERIFY(pageText(dialog).contains(QStringLiteral("The normal procedure")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Help for Quenor PC"));

        storeLanguage(QStringLiteral("de"));
        QCoreApplication::removeTranslator(&english);
        QTRY_VERIFY(pageText(dialog).contains(QStringLiteral("Übersicht des Imports")));
    }
};

QTEST_MAIN(TestHelpDialog)
#include "tst_helpdialog.moc"
