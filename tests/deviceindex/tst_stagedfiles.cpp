// A set of files replaced all together: every step of the commit made to
// fail in turn, over targets that exist and one that does not yet.

#include "memorybuilder.h"
#include "stagedfiles.h"

#include <QLoggingCategory>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// Every file under the memory with its bytes.
QMap<QString, QByteArray> contents(const MemoryBuilder &memory)
{
    QMap<QString, QByteArray> files;
    const auto snapshot = memory.snapshot();
    for (auto it = snapshot.cbegin(); it != snapshot.cend(); ++it)
        files.insert(it.key(), it.value().first);
    return files;
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
        const auto prepare = [](MemoryBuilder &memory, StagedFiles &files) {
            files.stage(memory.absolute(QStringLiteral("a.idx")), "first a");
            files.stage(memory.absolute(QStringLiteral("b.idx")), "new b");
            files.stage(memory.absolute(QStringLiteral("sub/c.dat")), "new c");
            files.stage(memory.absolute(QStringLiteral("a.idx")), "new a");
            // b.idx.new is left over by a commit cut off earlier.
            return memory.add(QStringLiteral("b.idx.new"), "half")
                && memory.add(QStringLiteral("a.idx"), "old a")
                && memory.add(QStringLiteral("sub/c.dat"), "old c");
        };

        QTemporaryDir cleanDir;
        MemoryBuilder cleanMemory(cleanDir.path());
        StagedFiles clean;
        QVERIFY(prepare(cleanMemory, clean));
        const auto before = contents(cleanMemory);
        QCOMPARE(clean.count(), 3);
        int steps = 0;
        QVERIFY(clean.commit([&steps] { return ++steps > 0; }));
        QVERIFY(clean.isEmpty());
        const QMap<QString, QByteArray> after { { QStringLiteral("/a.idx"), "new a" },
            { QStringLiteral("/b.idx"), "new b" }, { QStringLiteral("/sub/c.dat"), "new c" } };
        QCOMPARE(contents(cleanMemory), after);
        // Three written beside their targets, two old ones moved aside, three
        // put in place.
        QCOMPARE(steps, 3 + 2 + 3);

        for (int failing = 1; failing <= steps; ++failing) {
            QTemporaryDir dir;
            MemoryBuilder memory(dir.path());
            StagedFiles files;
            QVERIFY(prepare(memory, files));
            int step = 0;
            QVERIFY(!files.commit([&step, failing] { return ++step != failing; }));
            const auto now = contents(memory);
            auto expected = before;
            // The leftover is cleared whether the commit goes through or not.
            expected.remove(QStringLiteral("/b.idx.new"));
            QVERIFY2(now == expected, qPrintable(QString::number(failing)));
        }
    }

    // The memory pulled out before each step of a commit, and after its
    // last: the recovery finds the targets whole, old or new.
    void cutOffAtEachStep()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QStringList targets;
        StagedFiles files;
        for (const char *name : { "a.idx", "b.idx", "sub/c.dat" }) {
            const QString path = QString::fromLatin1(name);
            QVERIFY(memory.add(path, "old " + QByteArray(name)));
            targets << memory.absolute(path);
            files.stage(targets.last(), "new " + QByteArray(name));
        }
        const auto oldFiles = contents(memory);
        QList<QMap<QString, QByteArray>> cutOff;
        QVERIFY(files.commit([&] {
            cutOff << contents(memory);
            return true;
        }));
        const auto newFiles = contents(memory);
        cutOff << newFiles;
        // Before each of the nine steps, and at the end.
        QCOMPARE(cutOff.size(), 3 * 3 + 1);

        for (int i = 0; i < cutOff.size(); ++i) {
            QTemporaryDir copyDir;
            MemoryBuilder copy(copyDir.path());
            for (auto it = cutOff.at(i).cbegin(); it != cutOff.at(i).cend(); ++it)
                QVERIFY(copy.add(it.key(), it.value()));
            QStringList copyTargets = targets;
            copyTargets.replaceInStrings(dir.path(), copyDir.path());
            QVERIFY(StagedFiles::recover(copyTargets));
            const auto now = contents(copy);
            // Up to the last rename the old set is complete somewhere.
            QVERIFY2(now == (i < cutOff.size() - 1 ? oldFiles : newFiles),
                qPrintable(QString::number(i)));
        }
        // Half-removed .old files after the last rename: the new set stays.
        QVERIFY(memory.add(QStringLiteral("b.idx.old"), "old b.idx"));
        QVERIFY(StagedFiles::recover(targets));
        QCOMPARE(contents(memory), newFiles);
    }

    // A folder in the place of a target is the user's: the commit is refused
    // before anything changes.
    void folderInPlaceRefused()
    {
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(
            memory.mkdir(QStringLiteral("b.idx")) && memory.add(QStringLiteral("a.idx"), "old a"));
        StagedFiles files;
        files.stage(memory.absolute(QStringLiteral("a.idx")), "new a");
        files.stage(memory.absolute(QStringLiteral("b.idx")), "new b");
        QVERIFY(!files.commit());
        QCOMPARE(contents(memory),
            (QMap<QString, QByteArray> { { QStringLiteral("/a.idx"), "old a" } }));
        QVERIFY(QFileInfo(memory.absolute(QStringLiteral("b.idx"))).isDir());
    }
};

QTEST_GUILESS_MAIN(TestStagedFiles)
#include "tst_stagedfiles.moc"
