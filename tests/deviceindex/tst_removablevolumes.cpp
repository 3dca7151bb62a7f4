#include "removablevolumes.h"

#include <QtTest>

class TestRemovableVolumes : public QObject
{
    Q_OBJECT

private slots:
    void volumes_data()
    {
        QTest::addColumn<QByteArray>("mounts");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("root"); // empty: the system disk
        const QByteArray two = "/Volumes:/media/anna/";
        QTest::newRow("volume folder") << two << "/Volumes/USBPEN/songs/pop"
                                       << "/Volumes/USBPEN";
        QTest::newRow("volume root") << two << "/Volumes/USBPEN"
                                     << "/Volumes/USBPEN";
        QTest::newRow("mount point itself") << two << "/Volumes/"
                                            << "";
        QTest::newRow("mount point no slash") << two << "/Volumes"
                                              << "";
        QTest::newRow("other case") << two << "/volumes/USBPEN/songs"
                                    << "/volumes/USBPEN";
        QTest::newRow("home") << two << "/home/anna/songs"
                              << "";
        QTest::newRow("linux media") << two << "/media/anna/CARD/SONGS"
                                     << "/media/anna/CARD";
        QTest::newRow("prefix as a name part") << two << "/VolumesX/CARD"
                                               << "";
        QTest::newRow("longest prefix wins")
            << QByteArray("/media/:/media/anna/") << "/media/anna/CARD/x"
            << "/media/anna/CARD";
        QTest::newRow("shorter prefix") << QByteArray("/media/:/media/anna/") << "/media/CARD/x"
                                        << "/media/CARD";
    }

    void volumes()
    {
        QFETCH(QByteArray, mounts);
        QFETCH(QString, path);
        QFETCH(QString, root);
        qputenv("QUENOR_VOLUMES", mounts);
        QCOMPARE(RemovableVolumes::isSystemDisk(path), root.isEmpty());
        QCOMPARE(RemovableVolumes::volumeRoot(path), root);
    }
};

QTEST_GUILESS_MAIN(TestRemovableVolumes)
#include "tst_removablevolumes.moc"
