// A set of files replaced all together: every step of the commit made to
// fail in turn, over targets that exist and one that does not yet.

#include "stagedfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QLoggingCategory>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// Every file under the folder with its bytes.
QMap<QString, QByteArray> contents(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(it.filePath().mid(root.size()),
            file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestStagedFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    }

    void eachStepFails()
    {
        const auto prepare = [](const QDir &dir, StagedFiles &files) {
            // Left over by a commit cut off earlier.
            writeFile(dir.filePath(QStringLiteral("b.idx.new")), "half");
            dir.mkdir(QStringLiteral("sub"));
            const bool ok = writeFile(dir.filePath(QStringLiteral("a.idx")), "old a")
                && writeFile(dir.filePath(QStringLiteral("sub/c.dat")), "old c");
            files.stage(dir.filePath(QStringLiteral("a.idx")), "first a");
            files.stage(dir.filePath(QStringLiteral("b.idx")), "new b");
            files.stage(dir.filePath(QStringLiteral("sub/c.dat")), "new c");
            files.stage(dir.filePath(QStringLiteral("a.idx")), "new a");
            return ok;
        };

        QTemporaryDir cleanDir;
        StagedFiles clean;
        QVERIFY(prepare(QDir(cleanDir.path()), clean));
        const auto before = contents(cleanDir.path());
        QCOMPARE(clean.count(), 3);
        int steps = 0;
        QVERIFY(clean.commit([&steps] { return ++steps > 0; }));
        QVERIFY(clean.isEmpty());
        const QMap<QString, QByteArray> after { { QStringLiteral("/a.idx"), "new a" },
            { QStringLiteral("/b.idx"), "new b" }, { QStringLiteral("/sub/c.dat"), "new c" } };
        QCOMPARE(contents(cleanDir.path()), after);
        // Three written beside their targets, two old ones moved aside, three
        // put in place.
        QCOMPARE(steps, 3 + 2 + 3);

        for (int failing = 1; failing <= steps; ++failing) {
            QTemporaryDir dir;
            StagedFiles files;
            QVERIFY(prepare(QDir(dir.path()), files));
            int step = 0;
            QVERIFY(!files.commit([&step, failing] { return ++step != failing; }));
            auto now = contents(dir.path());
            auto expected = before;
            // The leftover is cleared whether the commit goes through or not.
            expected.remove(QStringLiteral("/b.idx.new"));
            QVERIFY2(now == expected, qPrintable(QString::number(failing)));
        }
    }

    // A folder in the place of a target is the user's: the commit is refused
    // before anything changes.
    void folderInPlaceRefused()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("b.idx")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("a.idx")), "old a"));
        StagedFiles files;
        files.stage(dir.filePath(QStringLiteral("a.idx")), "new a");
        files.stage(dir.filePath(QStringLiteral("b.idx")), "new b");
        QVERIFY(!files.commit());
        QCOMPARE(contents(dir.path()),
            (QMap<QString, QByteArray> { { QStringLiteral("/a.idx"), "old a" } }));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("b.idx"))).isDir());
    }
};

QTEST_GUILESS_MAIN(TestStagedFiles)
#include "tst_stagedfiles.moc"
