#include "appsettings.h"
#include "buildinfo.h"
#include "messagelog.h"
#include "startup.h"

#include <QIcon>
#include <QImage>
#include <QSettings>
#include <QtTest>

namespace
{

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log without its "[dd-MM-yyyy hh:mm:ss]" stamps; a line without one is marked.
QByteArray withoutStamps(const QByteArray &log)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\[\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\\]"));
    QString text;
    for (const QString &line :
        QString::fromLatin1(log).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += (stamp.match(line).hasMatch() ? line.mid(21) : QStringLiteral("NO STAMP ") + line)
            + QLatin1Char('\n');
    return text.toLatin1();
}

QByteArray banner()
{
    return "D| |==============================================================================|\n"
           "D| V ========================  Log start  ======================================= V\n"
           "D| \nD| Version:  1.76\nD| Build:    "
        + BuildInfo::compilerDate() + " - " + BuildInfo::compilerTime() + "\nD| \n";
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path())); }
    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());
        QFile::remove(m_dir.filePath(QStringLiteral("log.txt")));
    }

    void install_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("clear");
        QTest::addColumn<bool>("oldLog");
        QTest::addColumn<QByteArray>("expected"); // empty: no log file
        const QByteArray old = "D| last run\n";
        const QByteArray run = banner() + "D| next\nW| [MetaSong] \"a.mid\"\nC| bad\n";
        QTest::newRow("off, no log") << false << false << false << QByteArray();
        QTest::newRow("off, old log untouched") << false << true << true << old;
        QTest::newRow("on, appends") << true << false << true << old + run;
        QTest::newRow("on, clears") << true << true << true << run;
    }

    void install()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, clear);
        QFETCH(bool, oldLog);
        QFETCH(QByteArray, expected);
        const QString path = m_dir.filePath(QStringLiteral("log.txt"));
        if (oldLog) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[01-01-2026 10:00:00]D| last run\n");
        }
        const QtMessageHandler previous = qInstallMessageHandler(nullptr);
        MessageLog::install(enabled, clear);
        qDebug("next");
        const QByteArray atOnce = readFile(path); // written as soon as the handler returns
        qWarning() << "[MetaSong]" << QStringLiteral("a.mid");
        qCritical("bad");
        qInfo("not logged");
        qInstallMessageHandler(previous);

        QCOMPARE(QFile::exists(path), !expected.isEmpty());
        QCOMPARE(atOnce.endsWith("]D| next\n"), enabled);
        QCOMPARE(withoutStamps(readFile(path)), expected);
    }

    void resolveLanguage_data()
    {
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("first run, Italy") << QString() << QStringLiteral("it_IT") << "it";
        QTest::newRow("first run, Swiss Italian") << QString() << QStringLiteral("it_CH") << "it";
        QTest::newRow("first run, Germany") << QString() << QStringLiteral("de_DE") << "en";
        QTest::newRow("never chosen, C") << QStringLiteral("--") << QStringLiteral("C") << "en";
        QTest::newRow("chosen German kept")
            << QStringLiteral("de") << QStringLiteral("it_IT") << "de";
    }

    // The first-run choice is stored at once, for every later component to read.
    void resolveLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QStandardPaths::setTestModeEnabled(true);
        QSettings store(AppSettings::organisation, AppSettings::application);
        store.clear();
        if (!stored.isEmpty())
            store.setValue(AppSettings::languageKey, stored);
        QCOMPARE(Startup::resolveLanguage(store, QLocale(locale)), language);
        store.sync();
        QCOMPARE(QSettings(AppSettings::organisation, AppSettings::application)
                     .value(AppSettings::languageKey),
            QVariant(language));
    }

    // Qt aborts after a fatal message; the handler writes it first, marked.
    void fatalLine()
    {
        const QDateTime when(QDate(987, 1, 2), QTime(3, 4, 5));
        QCOMPARE(MessageLog::formatLine(QtFatalMsg, "x", when),
            QByteArray("[02-01-0987 03:04:05]F| x\n"));
    }

    // The window's and the desktop's icon, at each size it is drawn at.
    void programIcon()
    {
        const QIcon icon = Startup::programIcon();
        for (int size : { 48, 64, 128, 256 }) {
            QCOMPARE(icon.availableSizes().count(QSize(size, size)), 1);
            QCOMPARE(QImage(QStringLiteral(":/imgs/quenorpc-%1.png").arg(size)).size(),
                QSize(size, size));
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
