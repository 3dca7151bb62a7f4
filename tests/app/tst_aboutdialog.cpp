#include "aboutdialog.h"
#include "buildinfo.h"

#include <QLabel>
#include <QTranslator>
#include <QtTest>

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void formatBuildDate_data()
    {
        QTest::addColumn<QByteArray>("compilerDate");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shortDate");
        QTest::newRow("United States") << QByteArray("Oct  1 2012") << "en_US"
                                       << "10/1/12";
        QTest::newRow("Italy") << QByteArray("Oct  1 2012") << "it_IT"
                               << "01/10/12";
        QTest::newRow("Germany") << QByteArray("Oct  1 2012") << "de_DE"
                                 << "01.10.12";
        QTest::newRow("two-digit day") << QByteArray("Dec 25 2026") << "en_US"
                                       << "12/25/26";
        QTest::newRow("May, Italy") << QByteArray("May 31 2024") << "it_IT"
                                    << "31/05/24";
        QTest::newRow("not a date") << QByteArray("??? ?? ????") << "en_US"
                                    << "";
    }

    void formatBuildDate()
    {
        QFETCH(QByteArray, compilerDate);
        QFETCH(QString, locale);
        QFETCH(QString, shortDate);
        QCOMPARE(AboutDialog::formatBuildDate(compilerDate, QLocale(locale)), shortDate);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("versionWord");
        QTest::addColumn<QString>("helpWord");
        QTest::newRow("Italian") << ":/trans/quenorpc_it"
                                 << "Informazioni"
                                 << "Versione:"
                                 << "Assistenza:";
        QTest::newRow("English") << ":/trans/quenorpc_en"
                                 << "About"
                                 << "Version:"
                                 << "Help:";
    }

    void texts()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, title);
        QFETCH(QString, versionWord);
        QFETCH(QString, helpWord);
        QTranslator translator;
        QVERIFY(translator.load(catalogue));
        QCoreApplication::installTranslator(&translator);

        AboutDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), title);
        auto *version = dialog.findChild<QLabel *>(QStringLiteral("versionLabel"));
        auto *info = dialog.findChild<QLabel *>(QStringLiteral("infoLabel"));
        const QString date
            = AboutDialog::formatBuildDate(BuildInfo::compilerDate(), QLocale::system());
        QVERIFY(!date.isEmpty());
        QVERIFY(version->text().contains(versionWord));
        QVERIFY(version->text().contains(QStringLiteral(" 1.76<br/>")));
        QVERIFY(version->text().contains(date));
        QVERIFY(
            version->text().contains(QStringLiteral("font-family:'Sans Serif'; font-size:12pt")));
        QVERIFY(info->text().contains(helpWord));
        QVERIFY(info->text().contains(QStringLiteral("mailto:")));
        QVERIFY(info->text().contains(
            QStringLiteral("font-family:'Bitstream Vera Sans'; font-size:10pt")));
        QVERIFY(info->textInteractionFlags() & Qt::LinksAccessibleByMouse);

        // A language change while the box is open keeps the computed texts.
        const QString versionBefore = version->text();
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Informazioni"));
        QCOMPARE(version->text(), versionBefore);
        QVERIFY(info->text().contains(helpWord));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
