#include "index.h"
#include "memorybuilder.h"
#include "scripteduser.h"
#include "transfer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace
{

QStringList list(const QString &items)
{
    return items.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QByteArray song(const QString &name)
{
    return MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x03, name.toLatin1()) });
}

const char *const copied
    = "information|Trasferimento|Tutti i file sono stati copiati correttamente|";
const char *const systemDisk
    = "warning|Trasferimento|Non è possibile copiare i file sul disco di sistema|";
const char *const reserved
    = "warning|Trasferimento|Non è possibile utilizzare le cartelle BRIDGE, SFX e PLAYLIST "
      "perchè sono riservate per funzionalità specifiche di Quenor, selezionare "
      "un'altra cartella|";

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    // A leading "V/" stands for the folder where memories are mounted, "S/"
    // for a folder of the computer's own disk.
    QString path(const QString &text) const
    {
        const bool memory = text.startsWith(QLatin1String("V/"));
        return memory || text.startsWith(QLatin1String("S/"))
            ? m_dir->filePath(QLatin1String(memory ? "Volumes/" : "src/") + text.mid(2))
            : text;
    }
    QStringList sources(const QString &names) const
    {
        QStringList files;
        for (const QString &name : list(names))
            files << MemoryBuilder(path(QStringLiteral("S/"))).write(name, song(name));
        return files;
    }

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("Volumes/CARD/SONGS"))));
        qputenv("QUENOR_VOLUMES", path(QStringLiteral("V/")).toUtf8());
    }

    // Paths are cleaned first; the mount folder is found in any letter case.
    void memoryRules_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("root"); // empty: the computer's own disk
        QTest::addColumn<bool>("isRoot");
        QTest::addColumn<bool>("reserved");
        auto row = [](const char *given, const char *root, bool isRoot, bool reserved) {
            QTest::newRow(given) << given << root << isRoot << reserved;
        };
        row("V/", "", false, false);
        row("V/CARD/../../etc", "", false, false);
        row("/etc/songs", "", false, false);
        row("V/CARD/songs/pop", "V/CARD", false, false);
        row("V/CARD", "V/CARD", true, false);
        row("V/CARD/", "V/CARD", true, false);
        row("V/CARD/sfx", "V/CARD", false, true);
        row("V/CARD/Bridge", "V/CARD", false, true);
        row("V/CARD/music/PLAYLIST", "V/CARD", false, true);
        row("V/CARD/sfx/pop", "V/CARD", false, true);
        row("V/CARD/SFX2", "V/CARD", false, false);
        row("V/CARD/playlist/pop", "V/CARD", false, false);
    }
    void memoryRules()
    {
        QFETCH(QString, given);
        QFETCH(QString, root);
        QCOMPARE(Transfer::getRoot(path(given)), path(root));
        QCOMPARE(Transfer::getRoot(path(given).toUpper()), path(root).toUpper());
        QCOMPARE(Transfer::isSystemDisk(path(given)), root.isEmpty());
        QTEST(Transfer::isRoot(path(given)), "isRoot");
        QFETCH(bool, reserved);
        QCOMPARE(Transfer::isReservedFolder(path(given)), reserved);
        // Transferring nothing there: refused, or told all went well.
        ScriptedUser user;
        Transfer(user).transferFilesTo({}, path(given));
        QCOMPARE(user.shown.join(QString()),
            QString::fromUtf8(root.isEmpty() ? systemDisk
                    : reserved               ? ::reserved
                                             : copied));
    }

    // What the user saw, what lies on the memory and what its index holds.
    void transfer_data()
    {
        QTest::addColumn<QString>("prepare"); // files already on the memory
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("shown"); // lines after the folder choice
        QTest::addColumn<QString>("onMemory");
        QTest::addColumn<QString>("indexed"); // "": no index written
        auto row = [](const char *name, const char *prepare, const char *files, const char *answers,
                       const char *shown, const char *onMemory, const char *indexed) {
            QTest::newRow(name) << prepare << files << answers << shown << onMemory << indexed;
        };
        row("root gets songs", "", "a.mid|b.mid", "V/CARD/", copied, "songs/a.mid|songs/b.mid",
            "0:/songs/a.mid|1:/songs/b.mid");
        row("songs is a file", "songs", "a.mid", "V/CARD",
            "warning|Trasferimento|Non è possibile copiare i file sulla cartella principale, "
            "creare o selezionare una sottocartella|",
            "", "");
        row("no all", "SONGS/a.mid|SONGS/b.mid", "a.mid|b.mid", "V/CARD/SONGS|No tutti",
            "fourway|V/CARD/SONGS/a.mid|esiste già, vuoi sostituirlo?|No tutti\ninformation|"
            "Trasferimento|Tutti i file sono stati copiati correttamente|",
            "SONGS/a.mid|SONGS/b.mid", "");
        row("one missing", "", "a.mid|gone.mid", "V/CARD/SONGS",
            "critical|Trasferimento|Non è stato possibile copiare uno o più file|", "SONGS/a.mid",
            "0:/SONGS/a.mid");
    }
    void transfer()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, files);
        QFETCH(QString, answers);
        QFETCH(QString, onMemory);
        QFETCH(QString, indexed);
        MemoryBuilder card(path(QStringLiteral("V/CARD")));
        for (const QString &name : list(prepare))
            QVERIFY(!card.write(name, "old").isEmpty());
        QStringList chosen = sources(files);
        if (files.contains(QLatin1String("gone")))
            QVERIFY(QFile::remove(chosen.last()));
        ScriptedUser user(list(answers));
        for (QString &answer : user.answers)
            answer = path(answer);

        Transfer(user).transferFiles(chosen);
        QTEST(user.shown.mid(1)
                  .join(QLatin1Char('\n'))
                  .replace(path(QStringLiteral("V/")), QStringLiteral("V/")),
            "shown");
        QCOMPARE(user.missing, 0);
        for (const QString &name : list(onMemory)) // what was there stays
            QCOMPARE(card.read(name),
                prepare.isEmpty() ? song(name.section(QLatin1Char('/'), -1)) : "old");
        QCOMPARE(card.indexRecords(), list(indexed));
        Index index; // a fresh index reads the new songs back
        index.setRootPath(card.root());
        QCOMPARE(index.loadAllIndexFile() == 0 ? index.songs().size() : 0, list(indexed).size());
    }

    // "Interrompi" during the index update: the songs stay copied, the old
    // index and playlists are kept byte for byte, the user learns what to do.
    void stopIndexUpdate()
    {
        MemoryBuilder card(path(QStringLiteral("V/CARD")));
        QVERIFY(card.songs("SONGS/old.mid") && card.writePlaylistList({ 1 })
            && card.writePlaylist(1, { 0 }));
        QVERIFY(Index().createIndex(card.root()));
        const auto before = card.snapshot();
        ScriptedUser user({ path(QStringLiteral("V/CARD/SONGS")) });
        user.stopIn = QStringLiteral("Aggiornamento");
        user.stopAfterSteps = 0;

        Transfer(user).transferFiles(sources(QStringLiteral("new.mid")));
        QCOMPARE(card.read(QStringLiteral("SONGS/new.mid")), song(QStringLiteral("new.mid")));
        auto after = card.snapshot();
        after.remove(QStringLiteral("/SONGS/new.mid"));
        QVERIFY(after == before);
        QVERIFY(user.shown.value(1).startsWith(QString::fromUtf8(
            "warning|Trasferimento|I file sono stati copiati, ma il database delle song")));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
