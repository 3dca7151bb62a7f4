#include "index.h"
#include "memorybuilder.h"
#include "memoryindexrun.h"
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
QStringList list(const char *items)
{
    return list(QString::fromUtf8(items));
}

QByteArray song(const QByteArray &title)
{
    return MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x03, title) });
}

const char *const systemDisk
    = "warning|Trasferimento|Non è possibile copiare i file sul disco di sistema|";
const char *const reserved
    = "warning|Trasferimento|Non è possibile utilizzare le cartelle BRIDGE, SFX e "
      "PLAYLIST perchè sono riservate per funzionalità specifiche di Quenor, "
      "selezionare un'altra cartella|";
const char *const allCopied
    = "information|Trasferimento|Tutti i file sono stati copiati correttamente|";
const char *const notCopied
    = "critical|Trasferimento|Non è stato possibile copiare uno o più file|";

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    // "V/" stands for the folder where memories are mounted, "S/" for a
    // folder of the computer's own disk holding the songs to copy.
    QString path(const QString &text) const
    {
        if (text.startsWith(QLatin1String("V/")))
            return m_dir->filePath(QStringLiteral("Volumes/")) + text.mid(2);
        if (text.startsWith(QLatin1String("S/")))
            return m_dir->filePath(QStringLiteral("src/")) + text.mid(2);
        return text;
    }
    QStringList sources(const QString &names)
    {
        QStringList files;
        for (const QString &name : list(names))
            files << MemoryBuilder(path(QStringLiteral("S/"))).write(name, song(name.toLatin1()));
        return files;
    }

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(QDir().mkpath(path(QStringLiteral("V/CARD/SONGS")))
            && QDir().mkpath(path(QStringLiteral("V/CARD/SFX2"))));
        qputenv("QUENOR_VOLUMES", path(QStringLiteral("V/")).toUtf8());
    }

    void memoryRules_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("root"); // empty: the computer's own disk
        QTest::addColumn<bool>("isRoot");
        QTest::addColumn<bool>("reserved");
        QTest::newRow("volumes folder") << "V/"
                                        << "" << false << false;
        QTest::newRow("climbing out") << "V/CARD/../../etc"
                                      << "" << false << false;
        QTest::newRow("system") << "/etc/songs"
                                << "" << false << false;
        QTest::newRow("sub-folder") << "V/CARD/songs/pop"
                                    << "V/CARD" << false << false;
        QTest::newRow("root") << "V/CARD"
                              << "V/CARD" << true << false;
        QTest::newRow("root, slash") << "V/CARD/"
                                     << "V/CARD" << true << false;
        QTest::newRow("sfx") << "V/CARD/sfx"
                             << "V/CARD" << false << true;
        QTest::newRow("Bridge") << "V/CARD/Bridge"
                                << "V/CARD" << false << true;
        QTest::newRow("PLAYLIST deep") << "V/CARD/music/PLAYLIST"
                                       << "V/CARD" << false << true;
        QTest::newRow("inside sfx") << "V/CARD/sfx/pop"
                                    << "V/CARD" << false << true;
        QTest::newRow("SFX2") << "V/CARD/SFX2"
                              << "V/CARD" << false << false;
        QTest::newRow("below playlist") << "V/CARD/playlist/pop"
                                        << "V/CARD" << false << false;
    }
    void memoryRules()
    {
        QFETCH(QString, given);
        QFETCH(QString, root);
        QFETCH(bool, isRoot);
        QFETCH(bool, reserved);
        QCOMPARE(Transfer::getRoot(path(given)), path(root));
        QCOMPARE(Transfer::isSystemDisk(path(given)), root.isEmpty());
        QCOMPARE(Transfer::isRoot(path(given)), isRoot);
        QCOMPARE(Transfer::isReservedFolder(path(given)), reserved);
        // The mount folder is found whatever the letter case of the path.
        QCOMPARE(Transfer::getRoot(path(given).toUpper()), path(root).toUpper());
    }

    // The whole transfer: what the user saw, what lies on the memory and
    // what its index holds afterwards.
    void transfer_data()
    {
        QTest::addColumn<QString>("prepare"); // files already on the memory
        QTest::addColumn<QString>("files");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("onMemory");
        QTest::addColumn<QString>("indexed"); // "-": no index written
        auto row = [](const char *name, const char *prepare, const char *files, const char *answers,
                       std::initializer_list<const char *> shownTexts, const char *onMemory,
                       const char *indexed) {
            QStringList shown;
            for (const char *text : shownTexts)
                shown << QString::fromUtf8(text);
            // No answer at all: the folder chooser is cancelled.
            QTest::newRow(name) << prepare << files
                                << (*answers ? list(answers) : QStringList { QString() }) << shown
                                << onMemory << indexed;
        };
        row("cancelled", "", "a.mid", "", {}, "", "-");
        row("system disk", "", "a.mid", "S/", { systemDisk }, "", "-");
        row("volumes folder", "", "a.mid", "V/", { systemDisk }, "", "-");
        row("sfx", "", "a.mid", "V/CARD/sfx", { reserved }, "", "-");
        row("Bridge", "", "a.mid", "V/CARD/Bridge", { reserved }, "", "-");
        row("PLAYLIST", "", "a.mid", "V/CARD/x/PLAYLIST", { reserved }, "", "-");
        row("root gets songs", "", "a.mid|b.mid", "V/CARD/", { allCopied },
            "songs/a.mid|songs/b.mid", "0:/songs/a.mid|1:/songs/b.mid");
        row("songs is a file", "songs", "a.mid", "V/CARD",
            { "warning|Trasferimento|Non è possibile copiare i file sulla cartella principale, "
              "creare o selezionare una sottocartella|" },
            "", "-");
        row("SFX2", "", "a.mid", "V/CARD/SFX2", { allCopied }, "SFX2/a.mid", "0:/SFX2/a.mid");
        row("no all", "SONGS/a.mid|SONGS/b.mid", "a.mid|b.mid", "V/CARD/SONGS|No tutti",
            { "fourway|V/CARD/SONGS/a.mid|esiste già, vuoi sostituirlo?|No tutti", allCopied },
            "SONGS/a.mid|SONGS/b.mid", "-");
        row("nothing chosen", "", "", "V/CARD/SONGS", { allCopied }, "", "-");
        row("one missing", "", "a.mid|gone.mid", "V/CARD/SONGS", { notCopied }, "SONGS/a.mid",
            "0:/SONGS/a.mid");
    }
    void transfer()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, files);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, shown);
        QFETCH(QString, onMemory);
        QFETCH(QString, indexed);
        MemoryBuilder card(path(QStringLiteral("V/CARD")));
        for (const QString &name : list(prepare))
            QVERIFY(!card.write(name, "old").isEmpty());
        QStringList chosen = sources(files);
        if (files.contains(QLatin1String("gone")))
            QVERIFY(QFile::remove(chosen.last()));
        for (QString &answer : answers)
            answer = path(answer);
        ScriptedUser user(answers);

        Transfer(user).transferFiles(chosen);
        QCOMPARE(user.shown.mid(1),
            QStringList(shown).replaceInStrings(QLatin1String("V/"), path(QStringLiteral("V/"))));
        QCOMPARE(user.missing, 0);
        for (const QString &name : list(onMemory))
            QCOMPARE(card.read(name),
                prepare.isEmpty() ? song(name.section(QLatin1Char('/'), -1).toLatin1()) : "old");
        QCOMPARE(card.exists(QStringLiteral("index.idx")), indexed != QLatin1String("-"));
        if (indexed != QLatin1String("-")) {
            QCOMPARE(card.indexRecords(), list(indexed));
            // A fresh index reads the memory back with the new songs.
            Index index;
            index.setRootPath(card.root());
            QCOMPARE(index.loadAllIndexFile(), 0);
            QCOMPARE(index.songs().constFirst().title, QStringLiteral("A.MID"));
        }
    }

    // "Interrompi" during the index update: the songs stay copied, the old
    // index is kept byte for byte and the user learns how to update it.
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
        QCOMPARE(card.read(QStringLiteral("SONGS/new.mid")), song("new.mid"));
        auto after = card.snapshot();
        after.remove(QStringLiteral("/SONGS/new.mid"));
        QVERIFY(after == before);
        QCOMPARE(user.shown.mid(1),
            QStringList(QString::fromUtf8(
                "warning|Trasferimento|I file sono stati copiati, ma il database delle song della "
                "memoria non è stato aggiornato.\nPer aggiornarlo usare \"Rigenera il database "
                "delle "
                "song\" dal menu Strumenti.|")));
    }

    // The optimise command: the plain press indexes the whole memory, the
    // Shift press the chosen folder; a missing folder is refused; an update
    // of an unprepared memory builds its index; a refused file is reported
    // while the others are indexed.
    void optimise_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("toVolumeRoot");
        QTest::addColumn<QString>("songs");
        QTest::addColumn<QString>("indexedAt");
        QTest::addColumn<QString>("records");
        QTest::addColumn<int>("refused");
        QTest::addColumn<QString>("shown");
        const char *const done
            = "information|Ottimizza memoria|Operazione completata con successo|";
        const char *const missing = "warning|Ottimizza memoria|Il percorso selezionato non esiste|";
        QTest::newRow("plain") << "V/CARD/SONGS" << true << "SONGS/a.mid"
                               << "V/CARD"
                               << "0:/SONGS/a.mid" << 0 << done;
        QTest::newRow("shift") << "V/CARD/SONGS/" << false << "SONGS/a.mid"
                               << "V/CARD/SONGS"
                               << "0:/a.mid" << 0 << done;
        QTest::newRow("missing") << "V/CARD/NONE" << false << ""
                                 << "-"
                                 << "" << 0 << missing;
        QTest::newRow("system disk") << "S/" << true << ""
                                     << "-"
                                     << "" << 0 << missing;
        QTest::newRow("too long")
            << "V/CARD" << true << "a.mid SONGS/abcdefgh/abcdefgh/abcdefgh/abcdefgh/b.mid"
            << "V/CARD"
            << "0:/a.mid" << 1
            << "critical|Ottimizza memoria|Durante l'operazione si sono verificati "
               "alcuni errori.\nConsultare il report per maggiori informazioni.|";
    }
    void optimise()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, toVolumeRoot);
        QFETCH(QString, songs);
        QFETCH(QString, indexedAt);
        QFETCH(QString, records);
        QFETCH(int, refused);
        QFETCH(QString, shown);
        MemoryBuilder card(path(QStringLiteral("V/CARD")));
        QVERIFY(songs.isEmpty() || card.songs(songs.toUtf8().constData()));
        ScriptedUser user;
        MemoryIndexRun run(user);
        QStringList report;
        connect(
            &run, &MemoryIndexRun::errorFromIndex, [&report](const QString &m) { report << m; });

        run.optimise(path(chosen), toVolumeRoot, MemoryIndexRun::UpdateIndex);
        QCOMPARE(user.shown, QStringList { shown });
        QCOMPARE(report.size(), refused);
        if (indexedAt != QLatin1String("-"))
            QCOMPARE(MemoryBuilder(path(indexedAt)).indexRecords(), list(records));
        QCOMPARE(QFileInfo::exists(path(QStringLiteral("V/CARD/index.idx"))),
            indexedAt == QLatin1String("V/CARD"));
    }

    // The rename question of long names is the four-way question.
    void renameQuestion()
    {
        MemoryBuilder card(path(QStringLiteral("V/CARD")));
        QVERIFY(card.songs("Lunghissimo.mid"));
        ScriptedUser user(list("No"));
        MemoryIndexRun run(user);
        QVERIFY(run.run(card.root(), MemoryIndexRun::CreateIndex));
        QCOMPARE(user.shownOf(QStringLiteral("fourway")).size(), 1);
        QVERIFY(user.shown.first().contains(QString::fromUtf8("verrà rinominato: ")));
        QCOMPARE(card.indexRecords(), list("0:/Lunghissimo.mid"));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
