// The copy shared by the backup and the transfer to the device memory, with
// every write made to fail in turn.

#include "filecopy.h"
#include "scripteduser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

namespace
{

using Files = QMap<QString, QByteArray>;

Files files(std::initializer_list<std::pair<const char *, QByteArray>> list)
{
    Files result;
    for (const auto &item : list)
        result.insert(QString::fromLatin1(item.first), item.second);
    return result;
}

Files readAll(const QString &folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        QFile file(it.next());
        // An unreadable file shows as "?".
        files.insert(
            it.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

bool writeAll(const QString &folder, const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(folder + QLatin1Char('/') + it.key());
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

} // namespace

class TestFaultsCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.debug=false\ndefault.warning=false"));
    }
    void cleanup() { FileCopy::setFailingWriteForTesting(0); }

    void eachWriteFails_data()
    {
        QTest::addColumn<Files>("existing");
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("backup into an empty folder") << Files() << QStringList();
        QTest::newRow("transfer replacing older copies")
            << files({ { "a.mid", "old a" }, { "b.MP3", "old b" }, { "b.cdg", "old graphics" } })
            << QStringList(QStringLiteral("Si tutti"));
    }

    // Each failure is reported; the sources stay as they are; in the
    // destination every file is the old one, the complete new one or absent
    // (when there was none), and nothing else lies there.
    void eachWriteFails()
    {
        QFETCH(Files, existing);
        QFETCH(QStringList, answers);
        // The large song goes in two writes.
        const Files sources
            = files({ { "a.mid", QByteArray(3000, 'a') }, { "b.MP3", QByteArray(5000, 'b') },
                { "b.cdg", QByteArray(700, 'g') }, { "c.kar", QByteArray(1536 * 1024, 'c') } });
        const QStringList songs = QStringLiteral("a.mid b.MP3 c.kar").split(QLatin1Char(' '));

        int writes = 0;
        const auto copy = [&](int failing, bool &ok) {
            QTemporaryDir from;
            QTemporaryDir to;
            QStringList paths;
            for (const QString &song : songs)
                paths << from.filePath(song);
            if (!writeAll(from.path(), sources) || !writeAll(to.path(), existing))
                return Files();
            ScriptedUser user(answers);
            int count = 0;
            FileCopy::setFailingWriteForTesting(failing);
            ok = FileCopy(user).copyFiles(paths, to.path(), count);
            writes = FileCopy::writesCountedForTesting();
            FileCopy::setFailingWriteForTesting(0);
            return readAll(from.path()) == sources ? readAll(to.path()) : files({ { "?", {} } });
        };

        bool ok = false;
        QCOMPARE(copy(INT_MAX, ok), sources);
        QVERIFY(ok);
        QCOMPARE(writes, 5);
        for (int failing = 1; failing <= 5; ++failing) {
            const Files after = copy(failing, ok);
            QVERIFY2(!ok, qPrintable(QString::number(failing)));
            QVERIFY(!after.contains(QStringLiteral("?")));
            for (auto it = after.cbegin(); it != after.cend(); ++it) {
                QVERIFY2(
                    it.value() == sources.value(it.key()) || it.value() == existing.value(it.key()),
                    qPrintable(QStringLiteral("write %1: %2").arg(failing).arg(it.key())));
                QVERIFY(sources.contains(it.key()));
            }
            for (const QString &name : existing.keys())
                QVERIFY(after.contains(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestFaultsCopy)
#include "tst_faultscopy.moc"
