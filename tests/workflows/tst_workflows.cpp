#include "appsettings.h"
#include "cataloguebuilder.h"
#include "cataloguesync.h"
#include "database.h"
#include "filecopy.h"
#include "librarybackup.h"
#include "libraryimport.h"
#include "libraryrows.h"
#include "metasong.h"
#include "scripteduser.h"
#include "songbuilders.h"
#include "testfiles.h"
#include "usersongsreltablemodel.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace
{

QByteArray midi(int format, const char *title, bool zevio)
{
    MidiBuilder builder(format);
    builder.track();
    if (title)
        builder.meta(0, 3, title);
    if (zevio)
        builder.meta(0, 2, "(c) Zevio");
    return builder.note(0, 60).build();
}

QByteArray container(const char *magic, const char *longName)
{
    return ContainerBuilder(magic)
        .fields("-", "-", "-", "-")
        .text(ContainerBuilder::LongName, longName)
        .midi(MidiBuilder(0).note(0, 60).build())
        .build();
}

QByteArray mp3(const char *frames)
{
    return Mp3Builder(3).texts(frames).padding(256).tag() + Mp3Builder::audio(3);
}

// Answers and names written "a|b|c".
QStringList list(const char *items)
{
    return QString::fromLatin1(items).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

} // namespace

class TestWorkflows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        auto row = [](const char *title, const char *filename) {
            return CatalogueRow { QString::fromLatin1(title), QStringLiteral("Mario Rossi"),
                QStringLiteral("POP"), QStringLiteral("Verdi"), 200, 110, QStringLiteral("A-"),
                QString::fromLatin1(filename), QStringLiteral("1;Intro;9;Strofa;"), QString() };
        };
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(),
            { row("Rosa Rossa", "ROSSA"), row("Lungo Nome", "LUNGO"), row("Titolo Unico", "XYZ"),
                row("Canzone", "CANZONE.MPEG") }));
        QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
        QVERIFY(m_db.init());
        m_model.emplace(nullptr, m_db.userLibraryDb());
    }

    void init()
    {
        QSettings(AppSettings::organisation, AppSettings::application).clear();
        m_dir.emplace();
    }

    // Rows keep their key when the table is sorted under a running workflow.
    void rowsByKey()
    {
        importFiles(
            { write("b.mid", midi(1, "Banana", false)), write("c.mid", midi(1, "Ciliegia", false)),
                write("a.mid", midi(1, "Albicocca", false)) });
        LibraryRows rows(*m_model);
        const QList<qint64> keys = rows.keys();
        QCOMPARE(keys.size(), 3);
        m_model->sort(2, Qt::AscendingOrder);
        QCOMPARE(m_model->shortName(rows.rowOf(keys.at(0))), QStringLiteral("b.mid"));
        QCOMPARE(rows.rowOf(keys.at(2)), 0);
        QCOMPARE(rows.rowOf(-5), -1);
    }

    // Every format, found by file name, long name or title, filled in by the
    // automatic-mode rules; a song the catalogue lacks, or whose file cannot
    // be rewritten, turns red, keeps its bytes and its row shows the file.
    void synchronise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("song");
        QTest::addColumn<QString>("expected"); // the file's fields afterwards
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("writeLimit");
        const QString filled = QStringLiteral("Rosa Rossa|Mario Rossi|POP|Verdi|200|110|A-");
        QTest::newRow("MIDI 0") << "rossa.mid" << midi(0, nullptr, true) << filled << 1 << -1;
        QTest::newRow("MIDI 1") << "Rossa.kar" << midi(1, nullptr, true) << filled << 1 << -1;
        QTest::newRow("MF3") << "rossa.mf3" << container("_MF3", "") << filled << 1 << -1;
        QTest::newRow("MF4") << "rossa.mf4" << container("_MF4", "") << filled << 1 << -1;
        QTest::newRow("MF5") << "rossa.mf5" << container("_MF5", "") << filled << 1 << -1;
        QTest::newRow("MP3") << "rossa.mp3" << mp3("TCOP=Zevio") << filled << 1 << -1;
        QTest::newRow("by long name") << "x1.mf3" << container("_MF3", "LUNGO.MF3")
                                      << "Lungo Nome|Mario Rossi|POP|Verdi|200|110|A-" << 1 << -1;
        QTest::newRow("by title") << "abc.mid" << midi(1, "Titolo Unico", true)
                                  << "Titolo Unico|Mario Rossi|POP|Verdi|200|110|A-" << 1 << -1;
        QTest::newRow("cannot be rewritten")
            << "rossa.mid" << midi(1, "Rosa", true) << "" << 3 << 0;
        QTest::newRow("not in the catalogue")
            << "nope.mid" << midi(1, "Nessuno", true) << "" << 3 << -1;
    }
    void synchronise()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, song);
        QFETCH(QString, expected);
        QFETCH(int, status);
        QFETCH(int, writeLimit);
        const QString file = write(name, song);
        importFiles({ file });
        ScriptedUser user({ QStringLiteral("Prosegui senza backup") });
        if (writeLimit >= 0) // found in the catalogue, then the save fails
            QTest::ignoreMessage(QtWarningMsg,
                QRegularExpression(QStringLiteral("^\\[UPDATE\\] WARNING: unable to write")));
        MetaSong::setWriteLimitForTesting(writeLimit);
        const bool ran = CatalogueSync(m_db, *m_model, user).updateUserLibrary({ file });
        MetaSong::setWriteLimitForTesting(-1);
        QVERIFY(ran);
        QCOMPARE(m_model->status(0), status);
        if (status == 3) {
            QCOMPARE(fileBytes(file), song);
            QCOMPARE(m_model->data(m_model->index(0, 2)).toString(),
                songFields(file).section(QLatin1Char('|'), 0, 0));
            return;
        }
        QCOMPARE(songFields(file), expected);
        QCOMPARE(m_model->data(m_model->index(0, 2)).toString(),
            expected.section(QLatin1Char('|'), 0, 0));
        QCOMPARE(m_model->data(m_model->index(0, 3)).toString(), QStringLiteral("Mario Rossi"));
        QVERIFY(user.shownOf(QStringLiteral("fourway")).isEmpty());
    }

    // The question before songs not published by Zevio, and its answers for
    // the rest of the run.
    void publisher_data()
    {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<int>("questions");
        QTest::newRow("Si tutti") << true << list("Si tutti") << "1111" << 1;
        QTest::newRow("No tutti") << true << list("No tutti") << "3313" << 1;
        QTest::newRow("No, Si, No") << true << list("No|Si|No") << "3113" << 3;
        QTest::newRow("setting off") << false << QStringList() << "1111" << 0;
    }
    void publisher()
    {
        QFETCH(bool, ask);
        QFETCH(QStringList, answers);
        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::copyrightAskKey, ask);
        const QStringList files = { write("rossa.mid", midi(1, nullptr, false)),
            write("lungo.mid", midi(1, nullptr, false)), write("xyz.mid", midi(1, nullptr, true)),
            write("canzone.mpeg.mid", midi(1, nullptr, false)) };
        importFiles(files);
        answers.prepend(QStringLiteral("Prosegui senza backup"));
        ScriptedUser user(answers);
        QVERIFY(CatalogueSync(m_db, *m_model, user).updateUserLibrary(files));
        QString statuses;
        for (int row = 0; row < 4; ++row)
            statuses += QString::number(m_model->status(row));
        QTEST(statuses, "statuses");
        QTEST(int(user.shownOf(QStringLiteral("fourway")).size()), "questions");
        QCOMPARE(user.missing, 0);
    }

    // "Interrompi" between rows: the rows done keep their status, the others
    // stay as they were; the backup refused or failing to start stops early.
    void syncStops_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("statuses");
        QTest::newRow("stopped after a row") << list("Prosegui senza backup") << false << "100";
        QTest::newRow("backup cancelled") << list("Annulla") << false << "000";
        QTest::newRow("no backup folder") << list("Esegui backup:") << false << "000";
    }
    void syncStops()
    {
        QFETCH(QStringList, answers);
        const QStringList files = { write("rossa.mid", midi(1, nullptr, true)),
            write("lungo.mid", midi(1, nullptr, true)), write("xyz.mid", midi(1, nullptr, true)) };
        importFiles(files);
        ScriptedUser user(answers);
        user.stopIn = QStringLiteral("Aggiornamento file");
        user.stopAfterSteps = 1;
        QTEST(CatalogueSync(m_db, *m_model, user).updateUserLibrary(files), "result");
        QString statuses;
        for (int row = 0; row < 3; ++row)
            statuses += QString::number(m_model->status(row));
        QTEST(statuses, "statuses");
        QCOMPARE(fileBytes(files.at(2)), midi(1, nullptr, true));
    }

    // The backup: messages, result and what lands in the backup folder.
    void backup_data()
    {
        QTest::addColumn<QStringList>("names"); // files made in folders a/ and b/
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("copied");
        QTest::newRow("same name twice, No tutti")
            << list("a/x.mid|b/x.mid|b/y.mid|a/y.mid") << list("No tutti") << -1
            << "information|Backup|Backup eseguito correttamente"
            << "x.mid:a y.mid:b";
        QTest::newRow("mp3 with and without cdg")
            << list("a/k.mp3|a/k.cdg|a/m.MP3") << QStringList() << -1
            << "information|Backup|Backup eseguito correttamente"
            << "k.cdg:a k.mp3:a m.MP3:a";
        QTest::newRow("stopped") << list("a/x.mid|a/y.mid") << QStringList() << 1
                                 << "critical|Backup|Backup FALLITO !!!"
                                 << "x.mid:a";
        QTest::newRow("nothing chosen") << QStringList() << QStringList() << -1
                                        << "information|Backup|Backup eseguito correttamente"
                                        << "";
    }
    void backup()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, answers);
        QFETCH(int, stopAfter);
        QStringList files;
        for (const QString &name : names) {
            // The content names the folder the file came from.
            const QString file = write(name, name.left(1).toLatin1());
            if (!name.endsWith(QLatin1String(".cdg")))
                files << file;
        }
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("backup")));
        answers.prepend(QStringLiteral("Esegui backup:") + path("backup"));
        ScriptedUser user(answers);
        user.stopAfterSteps = stopAfter;
        QVERIFY(LibraryBackup(user).suggestBackup(files));

        QTEST(user.shown.last().section(QLatin1Char('|'), 0, 2), "message");
        const QStringList made = QDir(path("backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QVERIFY(QRegularExpression(
            QStringLiteral("^backup_zevio_\\d{4}_\\d\\d_\\d\\d_\\d\\d-\\d\\d-\\d\\d$"))
                    .match(made.first())
                    .hasMatch());
        const QDir folder(path(QStringLiteral("backup/") + made.first()));
        QStringList copied;
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
            copied << name + QLatin1Char(':')
                    + QString::fromLatin1(fileBytes(folder.filePath(name)));
        QTEST(copied.join(QLatin1Char(' ')), "copied");
        QCOMPARE(user.missing, 0);
    }

    // Replacing a song replaces its companion; a copy that fails leaves the
    // file it was to replace as it was, and no partial file anywhere.
    void copyReplaces()
    {
        const QStringList files
            = { write("src/k.mp3", "new song"), write("src/bad.mid", QByteArray()) };
        write("src/k.cdg", "new graphics");
        write("dst/k.mp3", "old song");
        write("dst/k.cdg", "old graphics");
        write("dst/bad.mid", "old bad");
        // A folder where a song should be: it cannot be read.
        QVERIFY(QFile::remove(files.at(1)) && QDir().mkdir(files.at(1)));
        ScriptedUser user({ QStringLiteral("Si"), QStringLiteral("Si") });
        int count = -1;
        QVERIFY(!FileCopy(user).copyFiles(files, path("dst"), count));
        QCOMPARE(count, 1);
        QCOMPARE(fileBytes(path("dst/k.mp3")), QByteArray("new song"));
        QCOMPARE(fileBytes(path("dst/k.cdg")), QByteArray("new graphics"));
        QCOMPARE(fileBytes(path("dst/bad.mid")), QByteArray("old bad"));
        QCOMPARE(QDir(path("dst")).entryList(QDir::Files | QDir::Hidden).size(), 3);
        QCOMPARE(user.shownOf(QStringLiteral("fourway")).first(),
            QStringLiteral("fourway|%1|esiste già, vuoi sostituirlo?|Si").arg(path("dst/k.mp3")));
    }

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString path(const char *name) const { return path(QString::fromLatin1(name)); }
    QString write(const char *name, const QByteArray &content)
    {
        return write(QString::fromLatin1(name), content);
    }

    QString write(const QString &name, const QByteArray &content)
    {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qWarning() << "cannot write" << file;
        return file;
    }

    void importFiles(const QStringList &files)
    {
        ScriptedUser user;
        LibraryImport(m_db, *m_model, user).run(files);
    }

    Database m_db;
    std::optional<UserSongsRelTableModel> m_model;
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
