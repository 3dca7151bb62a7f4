#include "cataloguebuilder.h"
#include "containerbuilder.h"
#include "database.h"
#include "libraryimport.h"
#include "manualedit.h"
#include "metasong.h"
#include "midibuilder.h"
#include "mp3builder.h"
#include "scripteduser.h"
#include "usersongsreltablemodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace
{

QByteArray midi(int format, const char *title)
{
    return MidiBuilder(format).track().meta(0, 3, title).note(0, 60).build();
}

QByteArray container(const char *magic)
{
    return ContainerBuilder(magic)
        .fields("Vecchio", "-", "-", "-")
        .midi(MidiBuilder(0).note(0, 60).build())
        .build();
}

QByteArray mp3()
{
    return Mp3Builder(3).texts("TIT2=Vecchio;TPE1=Vecchio").padding(64).tag()
        + Mp3Builder::audio(3);
}

// title|artist|genre|author|length|bpm|key as the file holds them now.
QString fileFields(const QString &path)
{
    MetaSong song;
    SongInfo info;
    if (!song.importFile(path))
        return QStringLiteral("unreadable");
    song.getSongInfo(info);
    return QStringList { info.title, info.artist, info.genre, info.author,
        QString::number(info.length), QString::number(info.userBpm), info.key }
        .join(QLatin1Char('|'));
}

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
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
            { { QStringLiteral("Rosa"), QStringLiteral("Mario"), QStringLiteral("POP"),
                QStringLiteral("Verdi"), 200, 110, QString(), QStringLiteral("ROSA"), QVariant(),
                QString() } }));
        QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
        QVERIFY(m_db.init());
        m_model.emplace(nullptr, m_db.userLibraryDb());
    }
    void init() { m_dir.emplace(); }

    // A form saved into every format, read back by the song-file layer; a
    // cancelled form leaves the file's bytes alone.
    void edit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("song");
        QTest::addColumn<QString>("answer");
        const QString all = QStringLiteral(
            "Salva;title=Nuovo;artist=Anna;genre=ROCK;author=Bianchi;length=65;bpm=120;key=A-");
        QTest::newRow("MIDI 0") << "s.mid" << midi(0, "Vecchio") << all;
        QTest::newRow("MIDI 1") << "s.kar" << midi(1, "Vecchio") << all;
        QTest::newRow("MF3") << "s.mf3" << container("_MF3") << all;
        QTest::newRow("MF4") << "s.mf4" << container("_MF4") << all;
        QTest::newRow("MF5") << "s.mf5" << container("_MF5") << all;
        QTest::newRow("MP3") << "s.mp3" << mp3() << all;
        QTest::newRow("cancelled") << "s.mid" << midi(0, "Vecchio") << "Annulla";
    }
    void edit()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, song);
        QFETCH(QString, answer);
        const QString file = importSongs({ { name, song } }).first();
        ScriptedUser user({ answer });
        const int row = ManualEdit(m_db, *m_model, user).editRow(0);
        QCOMPARE(user.lastEdit.info.title, QStringLiteral("Vecchio"));
        QCOMPARE(user.lastEdit.keys, MetaSong::getKeysList());
        QCOMPARE(user.lastEdit.artists, m_db.artistsList());
        if (answer == QLatin1String("Annulla")) {
            QCOMPARE(row, -1);
            QCOMPARE(bytes(file), song);
            QCOMPARE(m_model->status(0), int(Database::statusNotSynced));
            return;
        }
        QCOMPARE(row, 0);
        QCOMPARE(fileFields(file), QStringLiteral("Nuovo|Anna|ROCK|Bianchi|65|120|A-"));
        QCOMPARE(m_model->data(m_model->index(0, 2)).toString(), QStringLiteral("Nuovo"));
        QCOMPARE(m_model->status(0), int(Database::statusEdited));
        QCOMPARE(user.shown.size(), 1);
    }

    // "Applica a tutti" over a list holding an unreadable file, and
    // "Interrompi" after the first other song.
    void applyToAll_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("others"); // b.mf3 and d.mp3 afterwards
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<QString>("progress");
        const QString full = QStringLiteral("begin|Aggiorno la libreria...|Aggiornamento file|4 "
                                            "2 di 4 4 di 4 end");
        QTest::newRow("artist, genre, author")
            << "Salva;artist=Anna;genre=ROCK;author=Bianchi;+artist;+genre;+author" << -1
            << "Vecchio|Anna|ROCK|Bianchi Vecchio|Anna|ROCK|Bianchi"
            << "2202" << full;
        QTest::newRow("title from file name")
            << "Salva;artist=Anna;+title" << -1 << "b|-|-|- Mia Canzone|Vecchio||"
            << "2202" << full;
        QTest::newRow("stopped") << "Salva;genre=ROCK;+genre" << 1
                                 << "Vecchio|-|ROCK|- Vecchio|Vecchio||"
                                 << "2200"
                                 << "begin|Aggiorno la libreria...|Aggiornamento file|4 2 di 4 end";
        QTest::newRow("no box") << "Salva;artist=Anna" << -1 << "Vecchio|-|-|- Vecchio|Vecchio||"
                                << "2000"
                                << "";
    }
    void applyToAll()
    {
        QFETCH(QString, answer);
        const QStringList files = importSongs({ { QStringLiteral("a.mid"), midi(1, "Vecchio") },
            { QStringLiteral("b.mf3"), container("_MF3") },
            { QStringLiteral("bad.mid"), midi(1, "Vecchio") },
            { QStringLiteral("Mia Canzone.mp3"), mp3() } });
        write(QStringLiteral("bad.mid"), "not a song any more");
        ScriptedUser user({ answer });
        QFETCH(int, stopAfter);
        user.stopAfterSteps = stopAfter;
        QCOMPARE(ManualEdit(m_db, *m_model, user).editRow(0), 0);

        QStringList others;
        for (const QString &file : { files.at(1), files.at(3) })
            others << fileFields(file).section(QLatin1Char('|'), 0, 3);
        QTEST(others.join(QLatin1Char(' ')), "others");
        QString statuses;
        for (int row = 0; row < 4; ++row)
            statuses += QString::number(m_model->status(row));
        QTEST(statuses, "statuses");
        QTEST(user.progressLog.join(QLatin1Char(' ')), "progress");
        QCOMPARE(bytes(files.at(2)), QByteArray("not a song any more"));
    }

    // A file that cannot be rewritten keeps its bytes and its status; the
    // failures are named together at the end.
    void saveFails()
    {
        const QStringList files = importSongs({ { QStringLiteral("a.mid"), midi(1, "Uno") },
            { QStringLiteral("b.mid"), midi(1, "Due") } });
        ScriptedUser user({ QStringLiteral("Salva;title=Tre;artist=Anna;+artist") });
        MetaSong::setWriteLimitForTesting(0);
        ManualEdit(m_db, *m_model, user).editRow(1);
        MetaSong::setWriteLimitForTesting(-1);
        QCOMPARE(bytes(files.at(0)), midi(1, "Uno"));
        QCOMPARE(bytes(files.at(1)), midi(1, "Due"));
        QCOMPARE(m_model->status(0) * 10 + m_model->status(1), 0);
        QCOMPARE(m_model->data(m_model->index(1, 2)).toString(), QStringLiteral("Due"));
        QCOMPARE(user.shownOf(QStringLiteral("critical")),
            QStringList(QStringLiteral("critical|Modifica dati song|Impossibile salvare le "
                                       "modifiche nei file:\n%1\n%2|")
                            .arg(files.at(1), files.at(0))));
    }

    // The context menu: the rows, files and chosen files left after each
    // choice; a file that cannot be deleted keeps its row.
    void listActions_data()
    {
        QTest::addColumn<QString>("answer"); // empty: "Remove from list"
        QTest::addColumn<bool>("undeletable");
        QTest::addColumn<QString>("after"); // rows, file kept, chosen files, messages
        QTest::newRow("remove from list") << "" << false << "1 1 2 0";
        QTest::newRow("delete, No") << "No" << false << "2 1 2 1";
        QTest::newRow("delete, Si") << "Si" << false << "1 0 1 1";
        QTest::newRow("delete fails") << "Si" << true << "2 1 2 2";
    }
    void listActions()
    {
        QFETCH(QString, answer);
        QStringList chosen = importSongs({ { QStringLiteral("a.mid"), midi(1, "Uno") },
            { QStringLiteral("b.mid"), midi(1, "Due") } });
        QFETCH(bool, undeletable);
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
                  .arg(int(QFileInfo::exists(path(QStringLiteral("a.mid")))))
                  .arg(chosen.size())
                  .arg(user.shown.size()),
            "after");
        QCOMPARE(m_model->fileName(m_model->goodRowCount() - 1), path(QStringLiteral("b.mid")));
        if (undeletable)
            QVERIFY(user.shown.last().startsWith(QStringLiteral("warning|Attenzione|")));
    }

    void titleFromFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("folder and extension") << "/a/b/My Song.mid"
                                              << "My Song";
        QTest::newRow("two dots") << "/a/y.z.kar"
                                  << "y.z";
        QTest::newRow("no dot, dotted folder") << "/a.b/Song"
                                               << "Song";
    }
    void titleFromFileName()
    {
        QFETCH(QString, path);
        QTEST(ManualEdit::titleFromFileName(path), "title");
    }

    // The hidden panel writes a copy with the marker; the song stays.
    void debugMarker()
    {
        const QString file = importSongs({ { QStringLiteral("a.mid"), midi(1, "Uno") } }).first();
        ScriptedUser user;
        QVERIFY(
            ManualEdit(m_db, *m_model, user)
                .debugAddMarker(0, path(QStringLiteral("m.bin")), QStringLiteral(" Intro "), 5));
        QCOMPARE(bytes(file), midi(1, "Uno"));
        MetaSong copy;
        SongInfo info;
        QVERIFY(copy.importFile(path(QStringLiteral("m.bin"))));
        copy.getSongInfo(info);
        QCOMPARE(info.markers, QList<Marker>({ Marker(QStringLiteral("Intro"), 5) }));
    }

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QString &name, const QByteArray &content)
    {
        QFile out(path(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qWarning() << "cannot write" << name;
        return path(name);
    }
    QStringList importSongs(const QList<QPair<QString, QByteArray>> &songs)
    {
        QStringList files;
        for (const auto &song : songs)
            files << write(song.first, song.second);
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
