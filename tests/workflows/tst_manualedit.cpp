#include "cataloguebuilder.h"
#include "database.h"
#include "libraryimport.h"
#include "manualedit.h"
#include "scripteduser.h"
#include "songbuilders.h"
#include "testfiles.h"
#include "usersongsreltablemodel.h"

#include <QtTest>

#include <optional>

namespace
{

// A song titled "Vecchio" in the format its name ends with.
QByteArray song(const QString &name)
{
    const int format = name.endsWith(QLatin1String(".kar")) ? 1 : 0;
    if (name.endsWith(QLatin1String(".mp3")))
        return Mp3Builder(3).texts("TIT2=Vecchio;TPE1=Vecchio").padding(64).tag()
            + Mp3Builder::audio(3);
    if (name.contains(QLatin1String(".mf")))
        return ContainerBuilder(
            (QStringLiteral("_") + name.right(3).toUpper()).toLatin1().constData())
            .fields("Vecchio", "-", "-", "-")
            .midi(MidiBuilder(0).note(0, 60).build())
            .build();
    return MidiBuilder(format).track().meta(0, 3, "Vecchio").note(0, 60).build();
}

} // namespace

class TestManualEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(),
            { { QStringLiteral("Rosa"), QStringLiteral("Mario"), QStringLiteral("POP"), {}, 200,
                110, {}, QStringLiteral("ROSA"), {}, {} } }));
        QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
        QVERIFY(m_db.init());
        m_model.emplace(nullptr, m_db.userLibraryDb());
    }
    void init() { m_dir.emplace(); }

    // The form saved into every format and read back; cancelled, the bytes stay.
    void edit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("answer");
        const QString all = QStringLiteral(
            "Salva;title=Nuovo;artist=Anna;genre=ROCK;author=Bianchi;length=65;bpm=120;key=A-");
        for (const char *name : { "s.mid", "s.kar", "s.mf3", "s.mf4", "s.mf5", "s.mp3" })
            QTest::newRow(name) << name << all;
        QTest::newRow("cancelled") << "s.mid"
                                   << "Annulla";
    }
    void edit()
    {
        QFETCH(QString, name);
        QFETCH(QString, answer);
        const QString file = importSongs({ name }).first();
        ScriptedUser user({ answer });
        const bool saved = answer != QLatin1String("Annulla");
        QCOMPARE(ManualEdit(m_db, *m_model, user).editRow(0), saved ? 0 : -1);
        QCOMPARE(user.lastEdit.keys, MetaSong::getKeysList());
        QCOMPARE(
            m_model->status(0), int(saved ? Database::statusEdited : Database::statusNotSynced));
        if (!saved)
            QCOMPARE(fileBytes(file), song(name));
        else
            QCOMPARE(songFields(file), QStringLiteral("Nuovo|Anna|ROCK|Bianchi|65|120|A-"));
        QCOMPARE(m_model->data(m_model->index(0, 2)).toString(),
            songFields(file).section(QLatin1Char('|'), 0, 0));
    }

    // "Applica a tutti" over a list with an unreadable file; "Interrompi"
    // after the first song; files that cannot be rewritten keep their bytes
    // and status and are named together at the end.
    void applyToAll_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("others"); // b.mf3 and the mp3 afterwards
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<QString>("progress");
        const QString all = QStringLiteral("begin|Aggiorno la libreria...|Aggiornamento "
                                           "file|4 2 di 4 4 di 4 end");
        QTest::newRow("artist, genre, author")
            << "Salva;artist=Anna;genre=ROCK;author=Bianchi;+artist;+genre;+author" << -1
            << "Vecchio|Anna|ROCK|Bianchi Vecchio|Anna|ROCK|Bianchi"
            << "2202" << all;
        QTest::newRow("title from file name")
            << "Salva;artist=Anna;+title" << -1 << "b|-|-|- Mia Canzone|Vecchio||"
            << "2202" << all;
        QTest::newRow("stopped") << "Salva;genre=ROCK;+genre" << 1
                                 << "Vecchio|-|ROCK|- Vecchio|Vecchio||"
                                 << "2200" << all.left(all.size() - 11) + QStringLiteral(" end");
        QTest::newRow("none saved")
            << "Salva;artist=Anna;+artist" << -1 << "Vecchio|-|-|- Vecchio|Vecchio||"
            << "0000" << all;
        QTest::newRow("no box") << "Salva;artist=Anna" << -1 << "Vecchio|-|-|- Vecchio|Vecchio||"
                                << "2000"
                                << "";
    }
    void applyToAll()
    {
        QFETCH(QString, answer);
        QFETCH(int, stopAfter);
        const QStringList files = importSongs({ QStringLiteral("a.mid"), QStringLiteral("b.mf3"),
            QStringLiteral("bad.mid"), QStringLiteral("Mia Canzone.mp3") });
        write(QStringLiteral("bad.mid"), "not a song any more");
        ScriptedUser user({ answer });
        user.stopAfterSteps = stopAfter;
        const bool failing = QTest::currentDataTag() == QByteArray("none saved");
        MetaSong::setWriteLimitForTesting(failing ? 0 : -1);
        QCOMPARE(ManualEdit(m_db, *m_model, user).editRow(0), 0);
        MetaSong::setWriteLimitForTesting(-1);

        QTEST(QString(songFields(files.at(1)).section(QLatin1Char('|'), 0, 3) + QLatin1Char(' ')
                  + songFields(files.at(3)).section(QLatin1Char('|'), 0, 3)),
            "others");
        QString statuses;
        for (int row = 0; row < 4; ++row)
            statuses += QString::number(m_model->status(row));
        QTEST(statuses, "statuses");
        QTEST(user.progressLog.join(QLatin1Char(' ')), "progress");
        QCOMPARE(fileBytes(files.at(2)), QByteArray("not a song any more"));
        if (failing)
            QCOMPARE(fileBytes(files.at(0)), song(files.at(0)));
        // One message names the three files.
        QCOMPARE(user.shownOf(QStringLiteral("critical")).join(QString()).count(m_dir->path()),
            failing ? 3 : 0);
    }

    // The context menu's choices: rows, file, chosen files and messages after.
    void listActions_data()
    {
        QTest::addColumn<QString>("answer"); // empty: "Remove from list"
        QTest::addColumn<bool>("undeletable");
        QTest::addColumn<QString>("after");
        QTest::newRow("remove from list") << "" << false << "1 1 2 0";
        QTest::newRow("delete, No") << "No" << false << "2 1 2 1";
        QTest::newRow("delete, Si") << "Si" << false << "1 0 1 1";
        QTest::newRow("delete fails") << "Si" << true << "2 1 2 2";
    }
    void listActions()
    {
        QFETCH(QString, answer);
        QFETCH(bool, undeletable);
        QStringList chosen = importSongs({ QStringLiteral("a.mid"), QStringLiteral("b.mid") });
        // A folder in the song's place cannot be deleted as a file.
        if (undeletable)
            QVERIFY(
                QFile::remove(chosen.at(0)) && QDir().mkpath(chosen.at(0) + QStringLiteral("/x")));
        ScriptedUser user({ answer });
        ManualEdit edit(m_db, *m_model, user);
        QCOMPARE(answer.isEmpty() ? edit.removeFromList(0) : edit.deleteFile(0, chosen),
            answer.isEmpty() || (answer == QLatin1String("Si") && !undeletable));
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(m_model->goodRowCount())
                  .arg(int(QFile::exists(m_dir->filePath(QStringLiteral("a.mid")))))
                  .arg(chosen.size())
                  .arg(user.shown.size()),
            "after");
        QCOMPARE(m_model->shortName(m_model->goodRowCount() - 1), QStringLiteral("b.mid"));
        QCOMPARE(user.shown.value(user.shown.size() - 1)
                     .startsWith(QLatin1String("warning|Attenzione|")),
            undeletable);
    }

private:
    QString write(const QString &name, const QByteArray &content)
    {
        QFile out(m_dir->filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qWarning() << "cannot write" << name;
        return out.fileName();
    }
    QStringList importSongs(const QStringList &names)
    {
        QStringList files;
        for (const QString &name : names)
            files << write(name, song(name));
        ScriptedUser user;
        LibraryImport(m_db, *m_model, user).run(files);
        return files;
    }

    Database m_db;
    std::optional<UserSongsRelTableModel> m_model;
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestManualEdit)
#include "tst_manualedit.moc"
