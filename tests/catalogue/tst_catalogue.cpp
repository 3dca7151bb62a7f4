#include "database.h"
#include "usersongsreltablemodel.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

namespace
{

// A catalogue row in column order: title, artist, genre, author, length, bpm,
// key, filename, markers, altartist.
QVariantList song(const char *title, const char *filename)
{
    return { QString::fromUtf8(title), QStringLiteral("Artist"), QStringLiteral("POP"),
        QStringLiteral("Author"), 180, 120, QStringLiteral("C"), QString::fromUtf8(filename),
        QVariant(), QStringLiteral("Artist") };
}

// Opens db on a local override catalogue ("songsdb_debug") holding rows.
bool openLocal(Database &db, const QList<QVariantList> &rows)
{
    {
        QSqlDatabase file
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
        file.setDatabaseName(Database::localCatalogueFileName());
        QSqlQuery query(file);
        bool written = file.open()
            && query.exec(QStringLiteral("CREATE TABLE Songs(title varchar, artist varchar, "
                                         "genre varchar, author varchar, length integer, bpm "
                                         "integer, key varchar, filename varchar primary key, "
                                         "markers varchar, altartist varchar)"));
        for (const QVariantList &row : rows) {
            query.prepare(QStringLiteral("INSERT INTO Songs VALUES(?,?,?,?,?,?,?,?,?,?)"));
            for (const QVariant &value : row)
                query.addBindValue(value);
            written = written && query.exec();
        }
        if (!written)
            return false;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));
    QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
    return db.init();
}

// Markers as "bar:text bar:text".
QString pairs(const QList<Marker> &markers)
{
    QStringList texts;
    for (const Marker &marker : markers)
        texts << QString::number(marker.bar) + QLatin1Char(':') + marker.text;
    return texts.join(QLatin1Char(' '));
}

SongInfo songInfo(int n)
{
    SongInfo info;
    info.format = n % 2 ? QStringLiteral("MP3") : QStringLiteral("MF5");
    info.title = QStringLiteral("Title %1").arg(n);
    info.artist = QStringLiteral("Artist %1").arg(n);
    info.genre = QStringLiteral("LATIN");
    info.length = 100 + n;
    info.userBpm = 60 + n;
    info.filename = QStringLiteral("/f/song%1.mid").arg(n);
    info.shortname = QStringLiteral("song%1.mid").arg(n);
    return info;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    // Each test in a folder of its own, so no local catalogue reaches the next.
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid() && QDir::setCurrent(m_dir->path()));
    }
    void cleanup()
    {
        m_model.reset(); // holds the library connection: goes before the database
        m_db.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // The copy of the built-in catalogue loses its name as soon as SQLite has
    // it open, so a killed program leaves nothing behind; it is read whole.
    void builtInCatalogue()
    {
        Database db;
        QTest::ignoreMessage(QtDebugMsg,
            QRegularExpression(
                QStringLiteral("^\\[Database::init\\] Created temporary db file: \".+\"$")));
        QVERIFY(db.init());
        const QSqlDatabase catalogue = QSqlDatabase::database(Database::catalogueConnectionName());
        QVERIFY2(!QFile::exists(catalogue.databaseName()), qPrintable(catalogue.databaseName()));
        QSqlQuery check(catalogue);
        QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        QVERIFY(!db.genresList().isEmpty());
    }

    // Lists in query order, trimmed, blanks dropped (distinct runs before
    // trimming); record texts trimmed, numbers that are not integers read as -1.
    void localCatalogue()
    {
        auto row = [](const char *filename, const char *genre, const char *altartist,
                       const QVariant &number) {
            return QVariantList { QStringLiteral(" Rose "), QStringLiteral(" Strauss"),
                QLatin1String(genre), QStringLiteral(" J. S. "), number, number,
                QStringLiteral(" G #"), QLatin1String(filename),
                QStringLiteral(" 1;Intro;19;Verse 1; "), QLatin1String(altartist) };
        };
        Database db;
        QVERIFY(openLocal(db,
            { row("A", "LATIN", "Zeta", 187), row("B", "LATIN", "Alfa ", QStringLiteral("3:07")),
                row("C", " DANCE ", "Zeta", QVariant()), row("D", "DANCE", " ", 187.5),
                row("E", "", "", 120) }));
        QCOMPARE(db.genresList().join(QLatin1Char('|')), QStringLiteral("LATIN|DANCE|DANCE"));
        QCOMPARE(db.artistsList().join(QLatin1Char('|')), QStringLiteral("Zeta|Alfa"));
        QStringList numbers;
        for (const char *name : { "A", "B", "C", "D", "E" }) {
            SongsDbRecord record;
            QVERIFY(db.getRecordByFilename(QLatin1String(name), record));
            numbers << QStringLiteral("%1/%2").arg(record.length).arg(record.bpm);
            if (*name == 'A')
                QCOMPARE(QStringList({ record.title, record.artist, record.genre, record.author,
                                         record.key, record.altArtist, pairs(record.markers) })
                             .join(QLatin1Char('|')),
                    QStringLiteral("Rose|Strauss|LATIN|J. S.|G #|Zeta|1:Intro 19:Verse 1"));
        }
        QCOMPARE(
            numbers.join(QLatin1Char(' ')), QStringLiteral("187/187 -1/-1 -1/-1 -1/-1 120/120"));
    }

    void lookup_data()
    {
        QTest::addColumn<bool>("byTitle");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("found"); // empty: no record
        QTest::addColumn<bool>("multiple");
        auto row = [](const char *name, bool byTitle, const char *key, const char *found,
                       bool multiple = false) {
            QTest::newRow(name) << byTitle << QString::fromUtf8(key) << QString::fromUtf8(found)
                                << multiple;
        };
        row("title", true, "'O sole mio", "'O sole mio");
        row("title, ascii case ignored", true, "'o SOLE Mio", "'O sole mio");
        row("title twice", true, "Santa Lucia", "", true);
        row("titles differing in case", true, "habanera", "", true);
        row("non-ascii other case", true, "Funiculì funiculÀ", "");
        row("percent wildcard", true, "Funic%", "Funiculì funiculà");
        row("double quote", true, "Il \"Bel\" Paese", "Il \"Bel\" Paese");
        row("title naming a column", true, "key", "key");
        row("file name", false, "FUNI", "Funiculì funiculà");
        row("file name, wildcard", false, "SANTA_", "Santa Lucia");
        row("file name, column name", false, "filename", "");
        row("no file name", false, "NOPE", "");
    }

    void lookup()
    {
        QFETCH(bool, byTitle);
        QFETCH(QString, key);
        QFETCH(QString, found);
        QFETCH(bool, multiple);
        Database db;
        QVERIFY(openLocal(db,
            { song("'O sole mio", "OSOLE"), song("Santa Lucia", "SANTA1"),
                song("Santa Lucia", "SANTA2"), song("Habanera", "HAB1"), song("HABANERA", "HAB2"),
                song("Funiculì funiculà", "FUNI"), song("Il \"Bel\" Paese", "BEL"),
                song("key", "K_!") }));
        SongsDbRecord record;
        record.title = QStringLiteral("untouched");
        if (multiple)
            QTest::ignoreMessage(QtWarningMsg,
                "[getRecordByTitle] WARNING: multiple reusults in query, aborting !!!");
        QCOMPARE(byTitle ? db.getRecordByTitle(key, record) : db.getRecordByFilename(key, record),
            !found.isEmpty());
        QCOMPARE(record.title, found.isEmpty() ? QStringLiteral("untouched") : found);
    }

    void splitMarkers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // bar:text pairs
        auto row = [](const char *name, const char *text, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("bad bar keeps pairing", "1;Intro;x;Bad;5;Ok;", "1:Intro 5:Ok");
        row("unpaired tail", "1;Intro;7", "1:Intro");
        row("negative bar", "-3;Neg;", "");
        row("bar zero", "0;Start;", "0:Start");
        row("empty parts dropped", ";;1;Intro;;;9;Chorus;;", "1:Intro 9:Chorus");
        row("text not trimmed", "3; Verse;", "3: Verse");
    }

    void splitMarkers()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QList<Marker> markers = { Marker(QStringLiteral("stale"), 99) };
        Database::splitMarkers(text, markers);
        QCOMPARE(pairs(markers), expected);
    }

    void updateRow_data()
    {
        QTest::addColumn<int>("bpm");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("stored"); // length text, tempo
        QTest::newRow("plain") << 132 << 187 << QStringLiteral("03:07|132");
        QTest::newRow("negative tempo") << -1 << 59 << QStringLiteral("00:59|0");
        QTest::newRow("hundred minutes") << 60 << 6000 << QStringLiteral("100:00|60");
        QTest::newRow("negative length") << 60 << -1 << QStringLiteral("|60");
    }

    // addSong fills every column; updateRow keeps type, paths and status.
    void updateRow()
    {
        QVERIFY(openModel());
        QFETCH(int, bpm);
        QFETCH(int, length);
        QFETCH(QString, stored);
        for (int n = 1; n <= 3; ++n)
            QVERIFY(m_model->addSong(songInfo(n)));
        QCOMPARE(tableRow(1),
            QStringLiteral("1|MP3|Title 1|Artist 1|LATIN||01:41|61||/f/song1.mid|song1.mid|0"));
        QCOMPARE(m_model->goodRowCount(), 3);
        QCOMPARE(m_model->fileName(1), QStringLiteral("/f/song2.mid"));
        QCOMPARE(m_model->shortName(0), QStringLiteral("song1.mid"));
        QCOMPARE(m_model->rowIndex(2).data().toInt(), 3);
        QCOMPARE(m_model->fileName(3), QString());
        m_model->setStatus(1, Database::statusEdited);
        SongInfo info = songInfo(7);
        info.userBpm = bpm;
        info.length = length;
        m_model->updateRow(1, info);
        QCOMPARE(tableRow(2),
            QStringLiteral("2|MF5|Title 7|Artist 7|LATIN||%1||/f/song2.mid|song2.mid|2")
                .arg(stored));
        QCOMPARE(
            m_model->data(m_model->index(1, 7)).toString(), stored.section(QLatin1Char('|'), 1));
        // An odd row: its status cell painted for the edited status, the others grey.
        const QModelIndex status = m_model->index(1, m_model->colIdxStatus());
        QCOMPARE(status.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 130));
        QCOMPARE(
            m_model->index(1, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(230, 230, 230));
        QVERIFY(tableRow(3).contains(QLatin1String("Title 3")));
    }

    // Each call reaches rows the framework has not fetched yet.
    void rowsBeyondOneFetchBatch()
    {
        QVERIFY(openModel());
        const int rows = 700;
        QSqlQuery query(m_db->userLibraryDb());
        QVERIFY(m_db->userLibraryDb().transaction());
        for (int n = 0; n < rows; ++n)
            QVERIFY(query.exec(QStringLiteral("insert into usersongs (title, filename, shortname, "
                                              "status) values ('S', '/s/%1', '%1', %2)")
                                   .arg(n)
                                   .arg(n % 4)));
        QVERIFY(m_db->userLibraryDb().commit());
        const std::function<bool()> checks[] = {
            [&] { return m_model->rowCount() < rows; }, // the framework's first batch only
            [&] { return m_model->fileName(rows - 1) == QLatin1String("/s/699"); },
            [&] { return m_model->goodRowCount() == rows; },
            [&] { return m_model->shortName(rows - 2) == QLatin1String("698"); },
            [&] { return m_model->status(rows - 1) == 3; },
            [&] { return m_model->rowIndex(rows - 1).data().toInt() == rows; },
            [&] {
                m_model->setStatus(rows - 1, Database::statusSynced);
                return tableRow(rows).endsWith(QLatin1String("|1"));
            },
            [&] {
                m_model->updateRow(rows - 1, songInfo(5));
                return tableRow(rows).contains(QLatin1String("Title 5"));
            },
        };
        for (const auto &check : checks) {
            QVERIFY(m_model->select());
            QVERIFY(check());
        }
        // The last row is odd and now synced: text and background in its colour.
        const QModelIndex status = m_model->index(rows - 1, m_model->colIdxStatus());
        QCOMPARE(status.data(Qt::ForegroundRole).value<QColor>(), QColor(130, 255, 130));
        QCOMPARE(status.data(Qt::BackgroundRole).value<QColor>(), QColor(130, 255, 130));
    }

    // Rows added before and after a reload, a header click, a removal.
    void sortAndRemove()
    {
        QVERIFY(openModel());
        for (int n = 0; n < 4; ++n) {
            QVERIFY(m_model->addSong(songInfo(n)));
            if (n == 2)
                QVERIFY(m_model->select());
        }
        m_model->sort(2, Qt::DescendingOrder);
        QVERIFY(m_model->removeRow(1));
        QVERIFY(tableRow(3).isEmpty());
        QStringList titles;
        for (int row = 0; row < m_model->goodRowCount(); ++row)
            titles << m_model->index(row, 2).data().toString();
        QCOMPARE(titles.join(QLatin1Char('|')), QStringLiteral("Title 3|Title 1|Title 0"));
    }

private:
    bool openModel()
    {
        m_db.emplace();
        if (!openLocal(*m_db, {}))
            return false;
        m_model.emplace(nullptr, m_db->userLibraryDb());
        return true;
    }

    // The row of the usersongs table itself, read past the model.
    QString tableRow(int id)
    {
        QSqlQuery query(m_db->userLibraryDb());
        QStringList values;
        if (query.exec(QStringLiteral("select * from usersongs where id = %1").arg(id))
            && query.next())
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
        return values.join(QLatin1Char('|'));
    }

    std::optional<QTemporaryDir> m_dir;
    std::optional<Database> m_db;
    std::optional<UserSongsRelTableModel> m_model;
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
