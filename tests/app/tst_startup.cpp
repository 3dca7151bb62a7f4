#include "appsettings.h"
#include "buildinfo.h"
#include "messagelog.h"
#include "startup.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QSettings>
#include <QtTest>

#include <sys/resource.h>

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

// The child side of the abort test: install a handler, log, die.
int runChild(const QByteArray &mode)
{
    const rlimit noCore = { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);
    qInstallMessageHandler(
        mode == "discard" ? MessageLog::discardMessageHandler : MessageLog::fileMessageHandler);
    qWarning("[Child] before the end");
    qFatal("[Child] FATAL: cannot go on !!!");
    qWarning("[Child] after the end");
    return 0;
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
        QTest::newRow("on, first log") << true << false << false << run;
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

    void fatalAborts_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("logFolder");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("file handler writes, then aborts")
            << QByteArray("file") << false
            << QByteArray("W| [Child] before the end\nF| [Child] FATAL: cannot go on !!!\n");
        QTest::newRow("unwritable log still aborts") << QByteArray("file") << true << QByteArray();
        QTest::newRow("discard handler") << QByteArray("discard") << false << QByteArray();
    }

    void fatalAborts()
    {
        QFETCH(QByteArray, mode);
        QFETCH(bool, logFolder);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        if (logFolder)
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("log.txt")));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENOR_LOG_CHILD"), QString::fromLatin1(mode));
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(dir.path());
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString log = dir.filePath(QStringLiteral("log.txt"));
        QCOMPARE(QFileInfo(log).isFile(), !expected.isEmpty());
        QCOMPARE(withoutStamps(readFile(log)), expected);
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

int main(int argc, char *argv[])
{
    const QByteArray childMode = qgetenv("QUENOR_LOG_CHILD");
    if (!childMode.isEmpty())
        return runChild(childMode);
    QGuiApplication app(argc, argv);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
