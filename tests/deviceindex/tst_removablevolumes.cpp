#include "removablevolumes.h"

#include <QtTest>

class TestRemovableVolumes : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("QUENOR_VOLUMES", "/Volumes:/media/anna/"); }

    void prefixesEndInSlash()
    {
        QCOMPARE(RemovableVolumes::mountPrefixes(),
            QStringList({ QStringLiteral("/Volumes/"), QStringLiteral("/media/anna/") }));
    }

    void systemDisk_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("system");
        QTest::addColumn<QString>("root");
        QTest::newRow("volume folder") << "/Volumes/USBPEN/songs/pop" << false << "/Volumes/USBPEN";
        QTest::newRow("volume root") << "/Volumes/USBPEN" << false << "/Volumes/USBPEN";
        QTest::newRow("mount point itself") << "/Volumes/" << true << "";
        QTest::newRow("mount point no slash") << "/Volumes" << true << "";
        QTest::newRow("other case") << "/volumes/USBPEN/songs" << false << "/volumes/USBPEN";
        QTest::newRow("home") << "/home/anna/songs" << true << "";
        QTest::newRow("linux media") << "/media/anna/CARD/SONGS" << false << "/media/anna/CARD";
        QTest::newRow("prefix as a name part") << "/VolumesX/CARD" << true << "";
    }

    void systemDisk()
    {
        QFETCH(QString, path);
        QFETCH(bool, system);
        QFETCH(QString, root);
        QCOMPARE(RemovableVolumes::isSystemDisk(path), system);
        QCOMPARE(RemovableVolumes::volumeRoot(path), root);
    }

    void longestPrefixWins()
    {
        qputenv("QUENOR_VOLUMES", "/media/:/media/anna/");
        QCOMPARE(RemovableVolumes::volumeRoot(QStringLiteral("/media/anna/CARD/x")),
            QStringLiteral("/media/anna/CARD"));
        QCOMPARE(RemovableVolumes::volumeRoot(QStringLiteral("/media/CARD/x")),
            QStringLiteral("/media/CARD"));
    }
};

QTEST_GUILESS_MAIN(TestRemovableVolumes)
#include "tst_removablevolumes.moc"
