#include "database.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace
{

// A catalogue row in column order: title, artist, genre, author, length, bpm,
// key, filename, markers, altartist.
QVariantList song(const QString &title, const QString &filename)
{
    return { title, QStringLiteral("Artist"), QStringLiteral("POP"), QStringLiteral("Author"), 180,
        120, QStringLiteral("C"), filename, QVariant(), QStringLiteral("Artist") };
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
    QList<QVariantList> rows;
    const char *const songs[][2] = { { "'O sole mio", "OSOLE" }, { "Santa Lucia", "SANTA1" },
        { "Santa Lucia", "SANTA2" }, { "Habanera", "HAB1" }, { "HABANERA", "HAB2" },
        { "Funiculì funiculà", "FUNI" }, { "Èrba nova", "ERBA" }, { "Il \"Bel\" Paese", "BEL" },
        { "100% Swing", "SWING" }, { "1000 Swing", "SWING2" }, { "key", "K_!" } };
    for (const auto &entry : songs)
        rows << song(QString::fromUtf8(entry[0]), QString::fromUtf8(entry[1]));
    return rows;
}

const char multipleWarning[]
    = "[getRecordByTitle] WARNING: multiple reusults in query, aborting !!!";

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    // Each test in a folder of its own, so no local catalogue reaches the next.
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid() && QDir::setCurrent(m_dir->path()));
    }
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

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
            QVariantList r = song(QStringLiteral("t"), QLatin1String(filename));
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

    void recordFromRow()
    {
        QFETCH(QVariant, length);
        QFETCH(QVariant, bpm);
        QFETCH(int, expectedLength);
        QFETCH(int, expectedBpm);
        const QVariantList row = { QStringLiteral("  Rose del sud "), QStringLiteral(" Strauss"),
            QStringLiteral("BALLO LISCIO "), QStringLiteral(" J. S. "), length, bpm,
            QStringLiteral(" G #"), QStringLiteral("ROSE"), QStringLiteral(" 1;Intro;19;Verse 1; "),
            QStringLiteral("J. S. II ") };
        Database db;
        QVERIFY(openLocal(db, { row }));
        SongsDbRecord byName;
        SongsDbRecord byTitle;
        QVERIFY(db.getRecordByFilename(QStringLiteral("ROSE"), byName));
        QVERIFY(db.getRecordByTitle(QStringLiteral("  Rose del sud "), byTitle));
        for (const SongsDbRecord &record : { byName, byTitle }) {
            QCOMPARE(QStringList({ record.title, record.artist, record.genre, record.author,
                         record.key, record.altArtist }),
                QStringList({ QStringLiteral("Rose del sud"), QStringLiteral("Strauss"),
                    QStringLiteral("BALLO LISCIO"), QStringLiteral("J. S."), QStringLiteral("G #"),
                    QStringLiteral("J. S. II") }));
            QCOMPARE(record.length, expectedLength);
            QCOMPARE(record.bpm, expectedBpm);
            QCOMPARE(record.markers,
                QList<Marker>(
                    { Marker(QStringLiteral("Intro"), 1), Marker(QStringLiteral("Verse 1"), 19) }));
        }
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
        QStringList pairs;
        for (const Marker &marker : std::as_const(markers))
            pairs << QString::number(marker.bar) + QLatin1Char(':') + marker.text;
        QCOMPARE(pairs.join(QLatin1Char(' ')), expected);
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
