// Saving a song of each format with the disk filling up at every point of
// the new file in turn.

#include "metasong.h"
#include "songbuilders.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

class TestFaultsSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.debug=false\ndefault.warning=false"));
    }
    void cleanup() { MetaSong::setWriteLimitForTesting(-1); }

    void eachWriteFails_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray midi
            = MidiBuilder(1).meta(0, 0x03, "Volare").note(0, 60).track().note(0, 64).build();
        QTest::newRow("midi 0") << "a.mid" << MidiBuilder(0).meta(0, 0x03, "Volare").build();
        QTest::newRow("midi 1") << "a.kar" << midi;
        for (const char *magic : { "_MF3", "_MF4", "_MF5" })
            QTest::newRow(magic)
                << "a.mf" << ContainerBuilder(magic).fields("V", "M", "A", "P").midi(midi).build();
        // Audio over one copy block, so that it goes in several writes.
        QTest::newRow("mp3 tagged")
            << "a.mp3"
            << Mp3Builder(4).texts("TIT2=Volare;TPE1=Modugno").tag() + Mp3Builder::audio(300);
        QTest::newRow("mp3 untagged") << "a.mp3" << Mp3Builder::audio(300);
    }

    // Every save cut short fails, leaves the song byte for byte as it was
    // and no other file beside it.
    void eachWriteFails()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        SongInfo info;
        info.title = QStringLiteral("Nel blu dipinto di blu");
        info.artist = QStringLiteral("Domenico Modugno");
        info.genre = QStringLiteral("Canzone");
        info.userBpm = 120;

        // The size of the complete new file, saved elsewhere.
        QTemporaryDir scratch;
        MetaSong song;
        QVERIFY(song.importFile(path));
        song.setSongInfo(info, true);
        QVERIFY(song.saveToFile(scratch.filePath(name)));
        const qint64 full = QFileInfo(scratch.filePath(name)).size();
        QVERIFY(full > 0);

        QList<qint64> limits;
        for (qint64 limit = 0; limit < full; limit += qMax<qint64>(1, full / 50))
            limits << limit;
        for (qint64 around : { qint64(bytes.indexOf("\xff\xfb")), qint64(100000), full - 1 })
            for (qint64 limit = around - 1; limit <= around + 1; ++limit)
                if (limit >= 0 && limit < full)
                    limits << limit;
        for (qint64 limit : std::as_const(limits)) {
            MetaSong again;
            QVERIFY(again.importFile(path));
            again.setSongInfo(info, true);
            MetaSong::setWriteLimitForTesting(limit);
            QVERIFY2(!again.saveToFile(path), qPrintable(QString::number(limit)));
            MetaSong::setWriteLimitForTesting(-1);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes);
            file.close();
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList(name));
        }
        QVERIFY(song.saveToFile(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), [&] {
            QFile saved(scratch.filePath(name));
            return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
        }());
    }
};

QTEST_GUILESS_MAIN(TestFaultsSave)
#include "tst_faultssave.moc"
