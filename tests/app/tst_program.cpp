// Starts the real program in a sandbox (its own settings, home and working
// folder, off-screen) and checks what start-up leaves behind.
#include <QtTest>

namespace
{

QString settingsFile(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("config/zevio/quenor_pc.conf"));
}

void writeSettings(const QTemporaryDir &dir, const QByteArray &general)
{
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("config/zevio"))));
    QFile file(settingsFile(dir));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + general);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the program until its window is up (the settings it stores at start
// are on disk by then), then stops it.
void runProgram(const QTemporaryDir &dir, const QString &locale, QProcess &program)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANG", "LANGUAGE" })
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("work"))));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("home"))));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.filePath(QStringLiteral("work")));
    program.start(QStringLiteral(QUENOR_PROGRAM), QStringList());
    QVERIFY(program.waitForStarted());
}

void stop(QProcess &program)
{
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
    }
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void firstRunStoresLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("Italian system") << "it_IT.UTF-8" << QByteArray("language=it");
        QTest::newRow("German system") << "de_DE.UTF-8" << QByteArray("language=en");
        QTest::newRow("American system") << "en_US.UTF-8" << QByteArray("language=en");
    }

    void firstRunStoresLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, stored);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess program;
        runProgram(dir, locale, program);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(settingsFile(dir)).contains("language="), 20000);
        stop(program);
        QVERIFY(readFile(settingsFile(dir)).contains(stored));
        // Logging is off unless asked for: no log is created.
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("work/log.txt"))));
    }

    void logEnabledWritesBannerFirst()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeSettings(dir, "language=en\nlogenabled=true\nlogclear=true\n");
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("work"))));
        QFile old(dir.filePath(QStringLiteral("work/log.txt")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[01-01-2026 10:00:00]D| last run\n");
        old.close();

        QProcess program;
        runProgram(dir, QStringLiteral("it_IT.UTF-8"), program);
        const QString logPath = dir.filePath(QStringLiteral("work/log.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(logPath).contains("Build:"), 20000);
        stop(program);

        const QByteArray log = readFile(logPath);
        QVERIFY2(!log.contains("last run"), log.constData());
        const QList<QByteArray> lines = log.split('\n');
        QVERIFY(lines.size() >= 6);
        QVERIFY(lines.at(0).endsWith(
            "]D| "
            "|==============================================================================|"));
        QVERIFY(lines.at(1).contains("]D| V ========================  Log start  "));
        QVERIFY(lines.at(3).endsWith("]D| Version:  1.76"));
        // A stored language is kept whatever the system says.
        QVERIFY(readFile(settingsFile(dir)).contains("language=en"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
