#include "appsettings.h"
#include "helpdialog.h"

#include <QSettings>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>

namespace
{

void storeLanguage(const QVariant &language)
{
    QSettings store(AppSettings::organisation, AppSettings::application);
    if (language.isValid())
        store.setValue(AppSettings::languageKey, language);
    else
        store.remove(AppSettings::languageKey);
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

    void init()
    {
        QSettings store(AppSettings::organisation, AppSettings::application);
        store.clear();
    }

    void pageFollowsLanguage_data()
    {
        QTest::addColumn<QVariant>("language");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("accented");
        QTest::newRow("nothing stored") << QVariant() << "La procedura normale"
                                        << "tonalità";
        QTest::newRow("Italian") << QVariant(QStringLiteral("it")) << "La procedura normale"
                                 << "non è stato possibile";
        QTest::newRow("English") << QVariant(QStringLiteral("en")) << "The normal procedure"
                                 << "Which data it writes";
        QTest::newRow("German") << QVariant(QStringLiteral("de")) << "Der normale Ablauf"
                                << "Übersicht des Imports";
        QTest::newRow("German umlauts")
            << QVariant(QStringLiteral("de")) << "Playbacks für den Quenor"
            << "Schließen Sie den Quenor-Speicher";
        QTest::newRow("other value") << QVariant(QStringLiteral("fr")) << "The normal procedure"
                                     << "Editing a song by hand";
        QTest::newRow("never chosen") << QVariant(QStringLiteral("--")) << "The normal procedure"
                                      << "Rebuild songs database";
    }

    void pageFollowsLanguage()
    {
        QFETCH(QVariant, language);
        QFETCH(QString, heading);
        QFETCH(QString, accented);
        storeLanguage(language);
        HelpDialog dialog(nullptr);
        const QString text = pageText(dialog);
        QVERIFY2(text.contains(heading), qPrintable(text.left(200)));
        QVERIFY2(text.contains(accented), qPrintable(accented));
        // Every page says what the program writes and how it is used.
        QVERIFY(text.contains(QStringLiteral("BPM")));
        QVERIFY(text.contains(QStringLiteral("backup_zevio_")));
    }

    void pagesAreStoredAsDocumented_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("ascii");
        QTest::newRow("Italian") << "it" << true;
        QTest::newRow("English") << "en" << true;
        QTest::newRow("German") << "de" << false;
    }

    void pagesAreStoredAsDocumented()
    {
        QFETCH(QString, language);
        QFETCH(bool, ascii);
        QFile page(HelpDialog::pagePath(language));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        bool allAscii = true;
        for (const char c : bytes)
            allAscii = allAscii && static_cast<unsigned char>(c) < 0x80;
        QCOMPARE(allAscii, ascii);
        if (!ascii) {
            // ISO 8859-1, not UTF-8: "ü" is the single byte 0xFC.
            QVERIFY(bytes.contains("f\xfcr"));
            QVERIFY(!bytes.contains("f\xc3\xbcr"));
        }
    }

    void titleFollowsCatalogue_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("atStart");
        QTest::addColumn<QString>("afterChange");
        QTest::newRow("Italian") << ":/trans/quenorpc_it"
                                 << "Aiuto Quenor PC"
                                 << "Aiuto Quenor PC";
        QTest::newRow("English") << ":/trans/quenorpc_en"
                                 << "Help for Quenor PC"
                                 << "Help for Quenor PC";
        QTest::newRow("no catalogue") << QString() << "Aiuto"
                                      << "Aiuto Quenor PC";
    }

    void titleFollowsCatalogue()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, atStart);
        QFETCH(QString, afterChange);
        QTranslator translator;
        if (!catalogue.isEmpty()) {
            QVERIFY(translator.load(catalogue));
            QCoreApplication::installTranslator(&translator);
        }
        HelpDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), atStart);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&dialog, &change);
        QCOMPARE(dialog.windowTitle(), afterChange);
        QCoreApplication::removeTranslator(&translator);
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
        QTRY_VERIFY(pageText(dialog).contains(QStringLiteral("Der normale Ablauf")));
        QVERIFY(pageText(dialog).contains(QStringLiteral("Übersicht")));
    }
};

QTEST_MAIN(TestHelpDialog)
#include "tst_helpdialog.moc"
