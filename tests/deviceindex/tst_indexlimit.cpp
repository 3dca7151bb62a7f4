#include "index.h"
#include "memorybuilder.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The index files number their records with 16 bits: a memory of more than
// 65535 songs cannot be described, and its index must not be written.
class TestIndexLimit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tooManySongsLeaveTheIndexAsItWas();
    void exactlyTheLimitIsBuilt();

private:
    // Links to one song file, so that a memory of this size is quick to make.
    bool addSongs(int from, int to);
    bool removeSong(int number);
    QString songPath(int number) const;

    QTemporaryDir m_dir;
    // ext4 allows 65000 links to one file: a few sources share the load.
    QStringList m_sources;
};

void TestIndexLimit::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QVERIFY(m_dir.isValid());
    MemoryBuilder memory(m_dir.path());
    // The bridge folder is never scanned.
    for (int i = 0; i < 4; ++i) {
        m_sources << memory.write(QStringLiteral("bridge/song%1.mid").arg(i),
                                  MemoryBuilder::midiFile({MemoryBuilder::metaEvent(0x03, "Same"),
                                                           MemoryBuilder::tagEvent(1, "Pop")}));
        QVERIFY(!m_sources.constLast().isEmpty());
    }
}

QString TestIndexLimit::songPath(int number) const
{
    return m_dir.path() + QStringLiteral("/F%1/S%2.MID").arg(number / 256, 3, 10, QLatin1Char('0')).arg(number % 256, 3, 10, QLatin1Char('0'));
}

bool TestIndexLimit::addSongs(int from, int to)
{
    for (int i = from; i < to; ++i) {
        const QByteArray target = QFile::encodeName(m_sources.at(i % m_sources.size()));
        const QString path = songPath(i);
        if (i % 256 == 0 && !QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        if (::link(target.constData(), QFile::encodeName(path).constData()) != 0)
            return false;
    }
    return true;
}

bool TestIndexLimit::removeSong(int number)
{
    return QFile::remove(songPath(number));
}

void TestIndexLimit::tooManySongsLeaveTheIndexAsItWas()
{
    QVERIFY(addSongs(0, 10));
    QVERIFY(Index().createIndex(m_dir.path()));
    MemoryBuilder memory(m_dir.path());
    QMap<QString, QByteArray> before;
    for (const QString &name : Index::indexFileNames())
        before.insert(name, memory.read(name));

    QVERIFY(addSongs(10, Index::MaxSongs + 1));
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        Index index;
        QSignalSpy errors(&index, &Index::errorFromIndex);
        const bool ok = rebuild ? index.createIndex(m_dir.path()) : index.updateIndex(m_dir.path());
        QVERIFY(!ok);
        QCOMPARE(errors.count(), 1);
        const QString message = errors.at(0).at(0).toString();
        QVERIFY2(message.contains(QStringLiteral("65536")) && message.contains(QStringLiteral("65535")), qPrintable(message));
        for (const QString &name : Index::indexFileNames())
            QCOMPARE(memory.read(name), before.value(name));
    }
}

void TestIndexLimit::exactlyTheLimitIsBuilt()
{
    if (!QFileInfo::exists(songPath(Index::MaxSongs)))
        QVERIFY(addSongs(0, Index::MaxSongs + 1));
    QVERIFY(removeSong(Index::MaxSongs));
    Index index;
    QSignalSpy errors(&index, &Index::errorFromIndex);
    QVERIFY(index.createIndex(m_dir.path()));
    QCOMPARE(errors.count(), 0);
    MemoryBuilder memory(m_dir.path());
    QCOMPARE(QFileInfo(memory.absolute(QStringLiteral("index.idx"))).size(), qint64(Index::MaxSongs) * 64);
    // Every count of fsinfos.idx fits: 65535 titles, one artist group, one genre group.
    QCOMPARE(memory.read(QStringLiteral("fsinfos.idx")), QByteArray::fromHex("ffff01000100000000000000"));
    const QByteArray ord = memory.read(QStringLiteral("ordfile.idx"));
    QCOMPARE(ord.size(), 2 * Index::MaxSongs);
    QCOMPARE(ord.right(2), QByteArray::fromHex("feff"));
    // The group header counts its 65535 songs.
    QCOMPARE(memory.read(QStringLiteral("genre.idx")).left(4), QByteArray::fromHex("0000ffff"));
}

QTEST_GUILESS_MAIN(TestIndexLimit)
#include "tst_indexlimit.moc"
