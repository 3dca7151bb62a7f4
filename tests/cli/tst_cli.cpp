#include "cataloguebuilder.h"
#include "memorybuilder.h"
#include "songbuilders.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace
{

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// A MIDI file with a title, optionally marked as published by the maker.
QByteArray midi(int format, const char *title, bool zevio, const char *artist = "")
{
    MidiBuilder builder(format);
    builder.track().meta(0, 3, title);
    if (zevio)
        builder.meta(0, 2, "(c) Zevio");
    if (*artist)
        builder.tag(0, 2, artist);
    return builder.note(0, 60).build();
}

QByteArray container(const char *magic, const char *title)
{
    return ContainerBuilder(magic)
        .fields(title, "-", "-", "-")
        .midi(MidiBuilder(0).note(0, 60).build())
        .build();
}

QByteArray mp3(const char *frames)
{
    return Mp3Builder(3).texts(frames).padding(64).tag() + Mp3Builder::audio(2);
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_volumes;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QString &name, const QByteArray &content)
    {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qWarning() << "cannot write" << file;
        return file;
    }

    Run cli(const QStringList &arguments, const QByteArray &input = QByteArray())
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENOR_VOLUMES"), m_volumes + QLatin1Char('/'));
        // English texts whatever the machine's language.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir->path());
        process.start(QStringLiteral(QUENOR_CLI), arguments);
        process.write(input);
        process.closeWriteChannel();
        Run run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.status = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QJsonArray infoJson(const QStringList &files)
    {
        const Run run
            = cli(QStringList { QStringLiteral("info"), QStringLiteral("--json") } + files);
        return QJsonDocument::fromJson(run.out.toUtf8()).array();
    }

    // A memory on the fake removable volumes, its index built.
    QString preparedMemory(const QList<QPair<QString, QByteArray>> &songs)
    {
        const QString root = m_volumes + QStringLiteral("/CARD");
        MemoryBuilder memory(root);
        for (const auto &song : songs)
            memory.write(song.first, song.second);
        const Run run = cli({ QStringLiteral("index"), QStringLiteral("build"), root });
        if (run.status != 0)
            qWarning() << "index build failed:" << run.err;
        return root;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dir.emplace();
        m_volumes = m_dir->filePath(QStringLiteral("volumes"));
        QDir().mkpath(m_volumes);
        write(QStringLiteral("config/zevio/quenor_pc.conf"), "[General]\nlanguage=en\n");
    }

    // Every format read as the library table shows it.
    void info_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("song");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("published");
        QTest::newRow("MIDI 0") << "a.mid" << midi(0, "Alba", true) << "MIDI"
                                << "Alba" << true;
        QTest::newRow("MIDI 1") << "a.kar" << midi(1, "Alba", false) << "MIDI"
                                << "Alba" << false;
        QTest::newRow("MF3") << "a.mf3" << container("_MF3", "Tre") << "MF3"
                             << "Tre" << true;
        QTest::newRow("MF4") << "a.mf4" << container("_MF4", "Quattro") << "MF4"
                             << "Quattro" << true;
        QTest::newRow("MF5") << "a.mf5" << container("_MF5", "Cinque") << "MF5"
                             << "Cinque" << true;
        QTest::newRow("MP3") << "a.mp3" << mp3("TIT2=Brano;TPE1=Nico;TCOP=Zevio") << "MP3"
                             << "Brano" << true;
    }
    void info()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, song);
        const QJsonArray objects = infoJson({ write(name, song) });
        QCOMPARE(objects.size(), 1);
        const QJsonObject object = objects.at(0).toObject();
        QTEST(object.value(QStringLiteral("format")).toString(), "format");
        QTEST(object.value(QStringLiteral("title")).toString(), "title");
        QTEST(object.value(QStringLiteral("published")).toBool(), "published");
        QCOMPARE(object.value(QStringLiteral("file")).toString(), path(name));
    }

    // The given fields are written; the others keep the file's values.
    void setThenInfo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("song");
        QTest::newRow("MIDI") << "s.mid" << midi(1, "Alba", true, "Nico");
        QTest::newRow("MF4") << "s.mf4" << container("_MF4", "Alba");
        QTest::newRow("MP3") << "s.mp3" << mp3("TIT2=Alba;TPE1=Nico");
    }
    void setThenInfo()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, song);
        const QString file = write(name, song);
        const QJsonObject before = infoJson({ file }).at(0).toObject();
        const Run run = cli({ QStringLiteral("set"), file, QStringLiteral("--title"),
            QStringLiteral("Tramonto"), QStringLiteral("--bpm"), QStringLiteral("96"),
            QStringLiteral("--key"), QStringLiteral("A-") });
        QCOMPARE(run.status, 0);
        QJsonObject after = infoJson({ file }).at(0).toObject();
        QCOMPARE(after.take(QStringLiteral("title")).toString(), QStringLiteral("Tramonto"));
        QCOMPARE(after.take(QStringLiteral("tempo")).toInt(), 96);
        QCOMPARE(after.take(QStringLiteral("key")).toString(), QStringLiteral("A-"));
        for (auto it = after.constBegin(); it != after.constEnd(); ++it)
            QCOMPARE(it.value(), before.value(it.key()));
    }

    // Each answer about songs not published by Zevio; the published song
    // is written whatever the answer, the one the catalogue lacks never.
    void sync_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("notPublishedWritten");
        QTest::newRow("yes") << MemoryBuilder::words("--not-published yes") << QByteArray() << true;
        QTest::newRow("no") << MemoryBuilder::words("--not-published no") << QByteArray() << false;
        QTest::newRow("ask: 1") << MemoryBuilder::words("--not-published ask")
                                << QByteArray("x\n1\n") << true;
        QTest::newRow("ask: no answer")
            << MemoryBuilder::words("--not-published ask") << QByteArray() << false;
    }
    void sync()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, input);
        QFETCH(bool, notPublishedWritten);
        auto row = [](const char *title, const char *filename) {
            return CatalogueRow { QString::fromLatin1(title), QStringLiteral("Mario Rossi"),
                QStringLiteral("POP"), QStringLiteral("Verdi"), 200, 110, QStringLiteral("A-"),
                QString::fromLatin1(filename), QStringLiteral("1;Intro;"), QString() };
        };
        const QString catalogue = path(QStringLiteral("test.db"));
        QVERIFY(writeTestCatalogue(catalogue, { row("Rosa", "ROSA"), row("Viola", "XYZ") }));
        const QByteArray others = midi(1, "Nessuno", true);
        const QByteArray notPublished = midi(1, "Viola", false);
        const QStringList files = { write(QStringLiteral("rosa.mid"), midi(1, "Rosa", true)),
            write(QStringLiteral("viola.mid"), notPublished),
            write(QStringLiteral("other.mid"), others) };
        QDir().mkpath(path(QStringLiteral("backups")));

        const Run run
            = cli(QStringList { QStringLiteral("sync"), QStringLiteral("--catalogue"), catalogue,
                      QStringLiteral("--backup"), path(QStringLiteral("backups")) }
                    + options + files,
                input);
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), files.at(0) + QStringLiteral(": found by FILENAME: ROSA, written"));
        QCOMPARE(lines.at(1).startsWith(files.at(1) + QStringLiteral(": ")), true);
        QCOMPARE(lines.at(1).endsWith(QStringLiteral("written")), notPublishedWritten);
        QCOMPARE(lines.at(2),
            files.at(2) + QStringLiteral(": not found in the catalogue, left as it was"));

        const QJsonArray after = infoJson(files);
        QCOMPARE(after.at(0).toObject().value(QStringLiteral("artist")).toString(),
            QStringLiteral("Mario Rossi"));
        QCOMPARE(fileBytes(files.at(1)) != notPublished, notPublishedWritten);
        QCOMPARE(fileBytes(files.at(2)), others);
        // The backup holds the files as they were before.
        const QStringList backups
            = QDir(path(QStringLiteral("backups"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(fileBytes(path(
                     QStringLiteral("backups/") + backups.at(0) + QStringLiteral("/other.mid"))),
            others);
    }

    // The transferred songs are on the memory and indexed; each damage is
    // found by the check.
    void transferThenCheck_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("problem");
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("song removed") << "remove"
                                      << "is in the index but not on the memory";
        QTest::newRow("song added") << "add"
                                    << "is on the memory but not in the index";
        QTest::newRow("count wrong") << "count"
                                     << "fsinfos.idx counts 3 in title.idx";
        QTest::newRow("playlist") << "playlist"
                                  << "names the id 77, which is not in the index";
        QTest::newRow("cut off") << "cutoff"
                                 << "cut off while writing (title.idx.old left)";
    }
    void transferThenCheck()
    {
        QFETCH(QString, damage);
        QFETCH(QString, problem);
        MemoryBuilder memory(m_volumes + QStringLiteral("/CARD"));
        QVERIFY(QDir().mkpath(memory.root()));
        const Run transfer = cli({ QStringLiteral("transfer"), QStringLiteral("--to"),
            memory.root(), write(QStringLiteral("a.mid"), midi(1, "Alba", true)),
            write(QStringLiteral("b.mp3"), mp3("TIT2=Brano")) });
        QVERIFY2(transfer.status == 0, qPrintable(transfer.err));
        QVERIFY(memory.exists(QStringLiteral("songs/b.mp3")));
        QCOMPARE(memory.indexRecords().size(), 2);

        if (damage == QLatin1String("remove"))
            memory.remove(QStringLiteral("songs/a.mid"));
        else if (damage == QLatin1String("add"))
            memory.write(QStringLiteral("pop/c.mid"), midi(0, "C", false));
        else if (damage == QLatin1String("count"))
            memory.write(
                QStringLiteral("fsinfos.idx"), QByteArray::fromHex("030001000100010001000100"));
        else if (damage == QLatin1String("cutoff"))
            memory.write(QStringLiteral("title.idx.old"), "old");
        else if (damage == QLatin1String("playlist"))
            QVERIFY(
                memory.writePlaylistList({ 1 }) && memory.writePlaylist(1, { 0, 77, 0xFFFFFFFF }));

        const Run check = cli({ QStringLiteral("index"), QStringLiteral("check"), memory.root() });
        QCOMPARE(check.status, problem.isEmpty() ? 0 : 1);
        QVERIFY2(check.out.contains(problem), qPrintable(check.out));
    }

    // The song list in each order, on standard output and into a file.
    void indexList_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("titles");
        QTest::newRow("title") << "title"
                               << "ALBA|BRANO|CIELO";
        QTest::newRow("artist") << "artist"
                                << "CIELO|BRANO|ALBA";
        QTest::newRow("genre") << "genre"
                               << "BRANO|ALBA|CIELO";
    }
    void indexList()
    {
        QFETCH(QString, sort);
        QFETCH(QString, titles);
        auto song = [](const char *title, const char *artist, const char *genre) {
            return MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(3, title),
                MemoryBuilder::tagEvent(2, artist), MemoryBuilder::tagEvent(1, genre) });
        };
        const QString root
            = preparedMemory({ { QStringLiteral("s/a.mid"), song("Alba", "Zeta", "Pop") },
                { QStringLiteral("s/b.mid"), song("Brano", "Mu", "Jazz") },
                { QStringLiteral("s/c.mid"), song("Cielo", "Alfa", "Rock") } });
        const Run run = cli({ QStringLiteral("index"), QStringLiteral("list"), root,
            QStringLiteral("--sort"), sort });
        QCOMPARE(run.status, 0);
        QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        lines.removeFirst();
        QStringList got;
        for (const QString &line : lines)
            got.append(line.section(QLatin1Char(';'), 0, 0));
        QCOMPARE(got.join(QLatin1Char('|')), titles);
        QVERIFY(lines.at(0).endsWith(
            QStringLiteral(";/s/") + got.at(0).left(1).toLower() + QStringLiteral(".mid;")));

        const QString csv = path(QStringLiteral("list.csv"));
        QCOMPARE(cli({ QStringLiteral("index"), QStringLiteral("list"), root,
                         QStringLiteral("--sort"), sort, QStringLiteral("-o"), csv })
                     .status,
            0);
        QCOMPARE(QString::fromUtf8(fileBytes(csv)), run.out);
    }

    // An index that cannot be written: the command fails and says the old
    // index is still there, as it is.
    void indexBuildFailureKeepsTheOldIndex()
    {
        const QString root
            = preparedMemory({ { QStringLiteral("a.mid"), midi(1, "Alba", false) } });
        MemoryBuilder memory(root);
        const QByteArray oldIndex = memory.read(QStringLiteral("index.idx"));
        QVERIFY(!oldIndex.isEmpty());
        // A folder where the new index.idx is to be written first.
        QVERIFY(memory.mkdir(QStringLiteral("index.idx.new")));
        QVERIFY(memory.add(QStringLiteral("b.mid"), midi(1, "Brano", false)));
        for (const char *command : { "build", "update" }) {
            const Run run = cli({ QStringLiteral("index"), QLatin1String(command), root });
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(QLatin1String("keeps its old one")), qPrintable(run.err));
            QCOMPARE(memory.read(QStringLiteral("index.idx")), oldIndex);
            // Still read whole: only the song added since is missing from it.
            const Run check = cli({ QStringLiteral("index"), QStringLiteral("check"), root });
            const QString said = check.out + check.err;
            QVERIFY2(said.contains(QLatin1String("b.mid"))
                    && said.contains(QLatin1String("1 problem"))
                    && !said.contains(QLatin1String("not prepared")),
                qPrintable(said));
        }
    }

    // Every failure is named on standard error and ends with a non-zero
    // status; nothing is written to a file the command refused.
    void errors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file")
            << MemoryBuilder::words("info $DIR/nope.mid") << 1 << "no such file";
        QTest::newRow("unreadable file")
            << MemoryBuilder::words("info $DIR/bad.mid") << 1 << "not a song file that can be read";
        QTest::newRow("set unreadable") << MemoryBuilder::words("set $DIR/bad.mid --title X") << 1
                                        << "not a song file that can be read";
        QTest::newRow("check unprepared")
            << MemoryBuilder::words("index check $VOL/EMPTY") << 1 << "not prepared";
        QTest::newRow("list unprepared")
            << MemoryBuilder::words("index list $VOL/EMPTY") << 1 << "not prepared";
        QTest::newRow("bad option")
            << MemoryBuilder::words("info --bogus $DIR/bad.mid") << 2 << "Unknown option 'bogus'";
        QTest::newRow("bad key") << MemoryBuilder::words("set $DIR/bad.mid --key H") << 2
                                 << "unknown key";
        QTest::newRow("bad sort") << MemoryBuilder::words("index list $VOL/EMPTY --sort year") << 2
                                  << "--sort wants";
        QTest::newRow("unknown command") << MemoryBuilder::words("play") << 2 << "unknown command";
        QTest::newRow("system disk") << MemoryBuilder::words("transfer --to $DIR $DIR/a.mid") << 1
                                     << "^(Trasferimento|Transfer): ";
        QTest::newRow("transfer unreadable")
            << MemoryBuilder::words("transfer --to $VOL/EMPTY $DIR/a.mid $DIR/bad.mid") << 1
            << "bad.mid: not a song file";
        QTest::newRow("reserved folder")
            << MemoryBuilder::words("transfer --to $VOL/EMPTY/sfx $DIR/a.mid") << 1 << "BRIDGE";
        QTest::newRow("missing catalogue")
            << MemoryBuilder::words("sync --catalogue $DIR/no.db $DIR/a.mid") << 1
            << "no such catalogue";
    }
    void errors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        write(QStringLiteral("bad.mid"), "MThd broken");
        const QByteArray song = midi(1, "Alba", false);
        write(QStringLiteral("a.mid"), song);
        QDir().mkpath(m_volumes + QStringLiteral("/EMPTY/sfx"));
        arguments.replaceInStrings(QStringLiteral("$DIR"), m_dir->path());
        arguments.replaceInStrings(QStringLiteral("$VOL"), m_volumes);
        const Run run = cli(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(QRegularExpression(message)), qPrintable(run.err));
        QCOMPARE(fileBytes(path(QStringLiteral("bad.mid"))), QByteArray("MThd broken"));
        QCOMPARE(fileBytes(path(QStringLiteral("a.mid"))), song);
        QCOMPARE(QDir(m_volumes + QStringLiteral("/EMPTY"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("sfx") });
        QVERIFY(QDir(m_volumes + QStringLiteral("/EMPTY/sfx")).isEmpty());
    }

    void helpAndVersion()
    {
        const Run version = cli({ QStringLiteral("--version") });
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("quenor-cli 1.76\n"));
        for (const char *command : { "info", "set", "sync", "transfer" }) {
            const Run help = cli({ QString::fromLatin1(command), QStringLiteral("--help") });
            QCOMPARE(help.status, 0);
            QVERIFY(
                help.out.startsWith(QStringLiteral("Usage: quenor-cli ") + QLatin1String(command)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
