#include "database.h"
#include "usersongsreltablemodel.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

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
        bool written = file.open() && file.transaction()
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
        if (!(written && file.commit()))
            qWarning() << "cannot write the test catalogue:" << query.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));
    QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
    return db.init();
}

QList<QVariantList> lookupRows()
{
    return { song("'O sole mio", "OSOLE"), song("Santa Lucia", "SANTA1"),
        song("Santa Lucia", "SANTA2"), song("Habanera", "HAB1"), song("HABANERA", "HAB2"),
        song("Funiculì funiculà", "FUNI"), song("Èrba nova", "ERBA"),
        song("Il \"Bel\" Paese", "BEL"), song("100% Swing", "SWING"), song("1000 Swing", "SWING2"),
        song("key", "K_!") };
}

const char multipleWarning[]
    = "[getRecordByTitle] WARNING: multiple reusults in query, aborting !!!";

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

    void builtInCatalogue()
    {
        QString copy;
        {
            Database db;
            QTest::ignoreMessage(QtDebugMsg,
                QRegularExpression(
                    QStringLiteral("^\\[Database::init\\] Created temporary db file: \".+\"$")));
            QVERIFY(db.init());
            copy = QSqlDatabase::database(Database::catalogueConnectionName()).databaseName();
            QFile resource(QStringLiteral(":/db/songsdb"));
            QFile copied(copy);
            QVERIFY(resource.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
            QCOMPARE(copied.readAll(), resource.readAll());
            QCOMPARE(db.genresList().size(), 20);
        }
        QVERIFY2(!QFile::exists(copy), qPrintable(copy));
        QVERIFY(!QSqlDatabase::contains(Database::catalogueConnectionName()));
    }

    // Used in place: the developer's file is left as it was.
    void localCatalogue()
    {
        auto row = [](const char *genre, const char *altartist, const char *filename) {
            QVariantList r = song("t", filename);
            r[2] = QLatin1String(genre);
            r[9] = QLatin1String(altartist);
            return r;
        };
        Database db;
        QVERIFY(openLocal(db,
            { row("LATIN", "Zeta", "A"), row("LATIN", "Alfa", "B"), row(" DANCE ", "Zeta", "C"),
                row("DANCE", " ", "D"), row("", "", "E"), row("BLACK MUSIC", "Alfa ", "F") }));
        QFile local(Database::localCatalogueFileName());
        QVERIFY(local.open(QIODevice::ReadOnly));
        const QByteArray before = local.readAll();
        // Query order, trimmed, blanks dropped; distinct runs before trimming.
        QCOMPARE(db.genresList().join(QLatin1Char('|')),
            QStringLiteral("LATIN|DANCE|DANCE|BLACK MUSIC"));
        QCOMPARE(db.artistsList().join(QLatin1Char('|')), QStringLiteral("Zeta|Alfa|Alfa"));
        SongsDbRecord record;
        QVERIFY(db.getRecordByFilename(QStringLiteral("E"), record));
        QVERIFY(!db.getRecordByFilename(QStringLiteral("OSOLEMIO"), record));
        QVERIFY(local.seek(0));
        QCOMPARE(local.readAll(), before);
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
        row("non-ascii same case", true, "FUNICULì FUNICULà", "Funiculì funiculà");
        row("non-ascii other case", true, "Funiculì funiculÀ", "");
        row("non-ascii capital", true, "èrba nova", "");
        row("percent wildcard", true, "Funic%", "Funiculì funiculà");
        row("underscore wildcard", true, "_O sole mio", "'O sole mio");
        row("percent in title", true, "100% Swing", "", true); // also "1000 Swing"
        row("wildcard, two matches", true, "Santa%", "", true);
        row("double quote", true, "Il \"Bel\" Paese", "Il \"Bel\" Paese");
        row("unbalanced double quote", true, "Il \"Bel", "");
        row("title naming a column", true, "title", "");
        row("no title", true, "Volare", "");
        row("file name", false, "FUNI", "Funiculì funiculà");
        row("file name, lower case", false, "funi", "Funiculì funiculà");
        row("file name, special characters", false, "K_!", "key");
        row("file name, wildcard", false, "SANTA_", "Santa Lucia");
        row("file name, column name", false, "filename", "");
        row("file name, double quote", false, "A\"B", "");
        row("no file name", false, "NOPE", "");
    }

    void lookup()
    {
        QFETCH(bool, byTitle);
        QFETCH(QString, key);
        QFETCH(QString, found);
        QFETCH(bool, multiple);
        Database db;
        QVERIFY(openLocal(db, lookupRows()));
        SongsDbRecord record;
        record.title = QStringLiteral("untouched");
        if (multiple)
            QTest::ignoreMessage(QtWarningMsg, multipleWarning);
        QCOMPARE(byTitle ? db.getRecordByTitle(key, record) : db.getRecordByFilename(key, record),
            !found.isEmpty());
        QCOMPARE(record.title, found.isEmpty() ? QStringLiteral("untouched") : found);
    }

    void recordFromRow_data()
    {
        QTest::addColumn<QVariant>("length");
        QTest::addColumn<QVariant>("bpm");
        QTest::addColumn<int>("expectedLength");
        QTest::addColumn<int>("expectedBpm");
        QTest::newRow("integers") << QVariant(187) << QVariant(96) << 187 << 96;
        QTest::newRow("text length")
            << QVariant(QStringLiteral("3:07")) << QVariant(96) << -1 << 96;
        QTest::newRow("text bpm") << QVariant(200) << QVariant(QStringLiteral("fast")) << 200 << -1;
        QTest::newRow("NULL numbers") << QVariant() << QVariant() << -1 << -1;
        QTest::newRow("fraction") << QVariant(187.5) << QVariant(120.0) << -1 << 120;
    }

    // Texts are trimmed; numbers that are not integers read as -1.
    void recordFromRow()
    {
        QFETCH(QVariant, length);
        QFETCH(QVariant, bpm);
        QFETCH(int, expectedLength);
        QFETCH(int, expectedBpm);
        Database db;
        QVERIFY(openLocal(db,
            { { QStringLiteral(" Rose "), QStringLiteral(" Strauss"), QStringLiteral("LISCIO "),
                QStringLiteral(" J. S. "), length, bpm, QStringLiteral(" G #"),
                QStringLiteral("ROSE"), QStringLiteral(" 1;Intro;19;Verse 1; "),
                QStringLiteral("J. S. II ") } }));
        SongsDbRecord record;
        QVERIFY(db.getRecordByTitle(QStringLiteral(" Rose "), record));
        QCOMPARE(QStringList({ record.title, record.artist, record.genre, record.author, record.key,
                                 record.altArtist })
                     .join(QLatin1Char('|')),
            QStringLiteral("Rose|Strauss|LISCIO|J. S.|G #|J. S. II"));
        QCOMPARE(record.length, expectedLength);
        QCOMPARE(record.bpm, expectedBpm);
        QCOMPARE(pairs(record.markers), QStringLiteral("1:Intro 19:Verse 1"));
    }

    void splitMarkers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // bar:text pairs
        auto row = [](const char *name, const char *text, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("two pairs", "1;Intro;19;Verse1;", "1:Intro 19:Verse1");
        row("bad bar keeps pairing", "1;Intro;x;Bad;5;Ok;", "1:Intro 5:Ok");
        row("unpaired tail", "1;Intro;7", "1:Intro");
        row("negative bar", "-3;Neg;", "");
        row("bar zero", "0;Start;", "0:Start");
        row("empty", "", "");
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
        QTest::newRow("zero length") << 60 << 0 << QStringLiteral("00:00|60");
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
        QCOMPARE(
            UserSongsRelTableModel::lengthText(length), stored.section(QLatin1Char('|'), 0, 0));
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

    void colours_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QColor>("even");
        QTest::addColumn<QColor>("odd");
        QTest::newRow("not synced") << 0 << QColor(200, 200, 200) << QColor(230, 230, 230);
        QTest::newRow("synced") << 1 << QColor(100, 225, 100) << QColor(130, 255, 130);
        QTest::newRow("edited") << 2 << QColor(225, 225, 100) << QColor(255, 255, 130);
        QTest::newRow("sync failed") << 3 << QColor(225, 100, 100) << QColor(255, 130, 130);
        QTest::newRow("unknown") << 7 << QColor(200, 200, 200) << QColor(230, 230, 230);
    }

    void colours()
    {
        QVERIFY(openModel());
        QFETCH(int, status);
        QFETCH(QColor, even);
        QFETCH(QColor, odd);
        const int statusColumn = m_model->colIdxStatus();
        for (int row = 0; row < 2; ++row) {
            QVERIFY(m_model->addSong(songInfo(row)));
            m_model->setStatus(row, Database::statusEnum(status));
        }
        QVERIFY(m_model->select()); // the status survives a reload
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(m_model->status(row), status);
            const QModelIndex cell = m_model->index(row, statusColumn);
            QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(), row ? odd : even);
            QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>(), row ? odd : even);
            // Every other cell: grey stripes behind the framework's own text.
            const QModelIndex title = m_model->index(row, 2);
            QCOMPARE(title.data(Qt::BackgroundRole).value<QColor>(),
                row ? QColor(230, 230, 230) : QColor(200, 200, 200));
            QVERIFY(!title.data(Qt::ForegroundRole).isValid());
        }
    }

    // The view the main window shows, and its headers after a language change.
    void view_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("texts");
        QTest::newRow("to English") << ":/trans/quenorpc_it"
                                    << ":/trans/quenorpc_en"
                                    << "Format|Title|Artist|Genre|Author|Length|Bpm|Key|File name";
        QTest::newRow("to Italian")
            << ":/trans/quenorpc_en"
            << ":/trans/quenorpc_it"
            << "Formato|Titolo|Artista|Genere|Autore|Durata|Bpm|Tonalità|Nome file";
    }

    void view()
    {
        QVERIFY(openModel());
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, texts);
        for (const QString &catalogue : { before, after }) {
            QTranslator translator;
            QVERIFY(translator.load(catalogue));
            QCoreApplication::installTranslator(&translator);
            m_model->setHeaderLabels();
            QCoreApplication::removeTranslator(&translator);
        }
        QStringList shown;
        for (int column = 0; column < m_model->columnCount(); ++column)
            if (column != 0 && column != m_model->colIdxFilename()
                && column != m_model->colIdxStatus())
                shown << m_model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(shown.join(QLatin1Char('|')), texts);
    }

private:
    bool openModel()
    {
        m_db.emplace();
        if (!openLocal(*m_db, {}))
            return false;
        m_model.emplace(nullptr, m_db->userLibraryDb());
        m_model->setHeaderLabels();
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
