#include "buildinfo.h"
#include "messagelog.h"

#include <QtTest>

#include <sys/resource.h>

namespace
{

QByteArray readLog(const QString &folder)
{
    QFile log(folder + QStringLiteral("/log.txt"));
    if (!log.open(QIODevice::ReadOnly))
        return QByteArray();
    return log.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lines of the log without their time stamps, which are checked on their own.
QList<QByteArray> stripTimestamps(const QByteArray &log)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\[\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\\]"));
    QList<QByteArray> lines = log.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        const QRegularExpressionMatch match = stamp.match(QString::fromLatin1(line));
        line
            = match.hasMatch() ? line.mid(match.capturedLength()) : QByteArray("NO STAMP: " + line);
    }
    return lines;
}

const QByteArray bannerBar
    = "D| |==============================================================================|";
const QByteArray bannerStart
    = "D| V ========================  Log start  ======================================= V";

void checkBanner(const QList<QByteArray> &lines, int first)
{
    QVERIFY(lines.size() >= first + 6);
    QCOMPARE(lines.at(first), bannerBar);
    QCOMPARE(lines.at(first + 1), bannerStart);
    QCOMPARE(lines.at(first + 2), QByteArray("D| "));
    QCOMPARE(lines.at(first + 3), QByteArray("D| Version:  1.76"));
    QCOMPARE(lines.at(first + 4),
        "D| Build:    " + BuildInfo::compilerDate() + " - " + BuildInfo::compilerTime());
    QCOMPARE(lines.at(first + 5), QByteArray("D| "));
}

// The child side of the abort tests: install a handler, log, die.
int runChild(const QByteArray &mode)
{
    // No core file for an abort that is expected.
    const rlimit noCore = { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);
    if (mode == "discard")
        qInstallMessageHandler(MessageLog::discardMessageHandler);
    else
        qInstallMessageHandler(MessageLog::fileMessageHandler);
    qWarning("[Child] before the end");
    qFatal("[Child] FATAL: cannot go on !!!");
    qWarning("[Child] after the end");
    return 0;
}

} // namespace

class TestMessageLog : public QObject
{
    Q_OBJECT

private slots:
    void formatLine_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("debug") << int(QtDebugMsg) << QByteArray("DB initialized correctly ")
                               << QByteArray("[05-12-2026 07:52:37]D| DB initialized correctly \n");
        QTest::newRow("warning") << int(QtWarningMsg) << QByteArray("[Database::init] WARNING: x")
                                 << QByteArray(
                                        "[05-12-2026 07:52:37]W| [Database::init] WARNING: x\n");
        QTest::newRow("critical") << int(QtCriticalMsg) << QByteArray("c")
                                  << QByteArray("[05-12-2026 07:52:37]C| c\n");
        QTest::newRow("fatal") << int(QtFatalMsg) << QByteArray("f")
                               << QByteArray("[05-12-2026 07:52:37]F| f\n");
        QTest::newRow("empty text")
            << int(QtDebugMsg) << QByteArray() << QByteArray("[05-12-2026 07:52:37]D| \n");
        QTest::newRow("info is not logged") << int(QtInfoMsg) << QByteArray("i") << QByteArray();
    }

    void formatLine()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, line);
        const QDateTime when(QDate(2026, 12, 5), QTime(7, 52, 37));
        QCOMPARE(MessageLog::formatLine(QtMsgType(type), text, when), line);
    }

    void timestampIsZeroPadded()
    {
        const QDateTime when(QDate(987, 1, 2), QTime(3, 4, 5));
        QCOMPARE(MessageLog::formatLine(QtWarningMsg, "x", when),
            QByteArray("[02-01-0987 03:04:05]W| x\n"));
    }

    void fileHandlerAppendsEachMessage()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        writeFile(dir.filePath(QStringLiteral("log.txt")), "earlier line\n");

        const QtMessageHandler previous = qInstallMessageHandler(MessageLog::fileMessageHandler);
        qDebug() << "DB initialized correctly";
        // On disk as soon as the handler returns.
        const QByteArray afterFirst = readLog(dir.path());
        qWarning() << "[MetaSong::saveToFile] WARNING: cannot write"
                   << "\"a.mid\"";
        qCritical("[Database::init] cannot open");
        qInfo("not logged");
        qInstallMessageHandler(previous);

        QVERIFY(afterFirst.endsWith("D| DB initialized correctly\n"));
        const QByteArray log = readLog(dir.path());
        QVERIFY(log.startsWith("earlier line\n"));
        const QList<QByteArray> lines = stripTimestamps(log.mid(13));
        QCOMPARE(lines,
            QList<QByteArray>({ "D| DB initialized correctly",
                "W| [MetaSong::saveToFile] WARNING: cannot write \"a.mid\"",
                "C| [Database::init] cannot open" }));
        QVERIFY(!log.contains('\r'));
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void startUpChoice_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("clear");
        QTest::addColumn<bool>("oldLog");
        QTest::addColumn<bool>("keepsOld");
        QTest::addColumn<bool>("banner");
        QTest::newRow("off, no log") << false << false << false << false << false;
        QTest::newRow("off, clear ignored") << false << true << true << true << false;
        QTest::newRow("off, old log untouched") << false << false << true << true << false;
        QTest::newRow("on, appends") << true << false << true << true << true;
        QTest::newRow("on, clears") << true << true << true << false << true;
        QTest::newRow("on, first log") << true << false << false << false << true;
        QTest::newRow("on, clear without log") << true << true << false << false << true;
    }

    void startUpChoice()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, clear);
        QFETCH(bool, oldLog);
        QFETCH(bool, keepsOld);
        QFETCH(bool, banner);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        const QByteArray old = "[01-01-2026 10:00:00]D| last run\n";
        if (oldLog)
            writeFile(dir.filePath(QStringLiteral("log.txt")), old);

        const QtMessageHandler previous = qInstallMessageHandler(nullptr);
        MessageLog::install(enabled, clear);
        qDebug("after the banner");
        qInstallMessageHandler(previous);
        QVERIFY(QDir::setCurrent(QDir::tempPath()));

        const bool exists = QFile::exists(dir.filePath(QStringLiteral("log.txt")));
        QCOMPARE(exists, oldLog || enabled);
        QByteArray log = readLog(dir.path());
        QCOMPARE(log.startsWith(old), keepsOld);
        if (keepsOld)
            log = log.mid(old.size());
        if (!banner) {
            QCOMPARE(log, QByteArray());
            return;
        }
        const QList<QByteArray> lines = stripTimestamps(log);
        QCOMPARE(lines.size(), 7);
        checkBanner(lines, 0);
        QCOMPARE(lines.at(6), QByteArray("D| after the banner"));
    }

    void secondStartAppendsSecondBanner()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        const QtMessageHandler previous = qInstallMessageHandler(nullptr);
        MessageLog::install(true, false);
        qWarning("first run");
        MessageLog::install(true, false);
        qInstallMessageHandler(previous);
        QVERIFY(QDir::setCurrent(QDir::tempPath()));

        const QList<QByteArray> lines = stripTimestamps(readLog(dir.path()));
        QCOMPARE(lines.size(), 13);
        checkBanner(lines, 0);
        QCOMPARE(lines.at(6), QByteArray("W| first run"));
        checkBanner(lines, 7);
    }

    void fatalAborts_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("logFolder");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("file handler writes, then aborts")
            << QByteArray("file") << false
            << QByteArray("W| [Child] before the end\nF| [Child] FATAL: cannot go on !!!\n");
        QTest::newRow("file handler without a log still aborts")
            << QByteArray("file") << true << QByteArray();
        QTest::newRow("discard handler aborts silently")
            << QByteArray("discard") << false << QByteArray();
    }

    void fatalAborts()
    {
        QFETCH(QByteArray, mode);
        QFETCH(bool, logFolder);
        QFETCH(QByteArray, expected);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
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

        const QString logPath = dir.filePath(QStringLiteral("log.txt"));
        if (expected.isEmpty()) {
            QVERIFY(!QFileInfo(logPath).isFile());
            return;
        }
        QByteArray withoutStamps;
        for (const QByteArray &line : stripTimestamps(readLog(dir.path())))
            withoutStamps += line + '\n';
        QCOMPARE(withoutStamps, expected);
    }
};

int main(int argc, char *argv[])
{
    const QByteArray childMode = qgetenv("QUENOR_LOG_CHILD");
    if (!childMode.isEmpty())
        return runChild(childMode);
    QCoreApplication app(argc, argv);
    TestMessageLog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagelog.moc"
