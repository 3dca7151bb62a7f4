#include "cataloguebuilder.h"
#include "database.h"
#include "usersongsreltablemodel.h"

#include <QColor>
#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <memory>

class TestUserSongsRelTableModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lengthText_data();
    void lengthText();
    void addSongWritesEveryColumn();
    void updateRow_data();
    void updateRow();
    void statusRoundTrip();
    void rowsBeyondOneFetchBatch();
    void rowOutsideTable();
    void removeRow_data();
    void removeRow();
    void sortAfterChanges();
    void colours_data();
    void colours();
    void headers_data();
    void headers();

private:
    static SongInfo song(int n);
    QVariantList tableRow(int id);

    std::unique_ptr<QTemporaryDir> m_workDir;
    QString m_previousDir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<UserSongsRelTableModel> m_model;
};

void TestUserSongsRelTableModel::init()
{
    m_workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_workDir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_workDir->path()));
    // A small local catalogue keeps each test from copying the built-in one.
    CatalogueBuilder builder;
    builder.add(CatalogueBuilder::song(QStringLiteral("x"), QStringLiteral("X")));
    QCOMPARE(builder.write(Database::localCatalogueFileName()), QString());

    m_db = std::make_unique<Database>();
    QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
    QVERIFY(m_db->init());
    m_model = std::make_unique<UserSongsRelTableModel>(nullptr, m_db->userLibraryDb());
    m_model->setHeaderLabels();
}

void TestUserSongsRelTableModel::cleanup()
{
    // The model holds the library connection: it goes before the database.
    m_model.reset();
    m_db.reset();
    QDir::setCurrent(m_previousDir);
    m_workDir.reset();
}

SongInfo TestUserSongsRelTableModel::song(int n)
{
    SongInfo info;
    info.format = n % 2 ? QStringLiteral("MP3") : QStringLiteral("MF5");
    info.title = QStringLiteral("Title %1").arg(n);
    info.artist = QStringLiteral("Artist %1").arg(n);
    info.genre = QStringLiteral("LATIN");
    info.author = QStringLiteral("Author %1").arg(n);
    info.length = 100 + n;
    info.userBpm = 60 + n;
    info.key = QStringLiteral("A -");
    info.filename = QStringLiteral("/songs/folder %1/song%1.mid").arg(n);
    info.shortname = QStringLiteral("song%1.mid").arg(n);
    return info;
}

// The row of the usersongs table itself, read past the model.
QVariantList TestUserSongsRelTableModel::tableRow(int id)
{
    QSqlQuery query(m_db->userLibraryDb());
    query.prepare(QStringLiteral("select * from usersongs where id = ?"));
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return {};
    QVariantList values;
    for (int i = 0; i < query.record().count(); ++i)
        values << query.value(i);
    return values;
}

void TestUserSongsRelTableModel::lengthText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << QStringLiteral("00:00");
    QTest::newRow("59 s") << 59 << QStringLiteral("00:59");
    QTest::newRow("60 s") << 60 << QStringLiteral("01:00");
    QTest::newRow("187 s") << 187 << QStringLiteral("03:07");
    QTest::newRow("hundred minutes") << 6000 << QStringLiteral("100:00");
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("most negative") << std::numeric_limits<qint32>::min() << QString();
}

void TestUserSongsRelTableModel::lengthText()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(UserSongsRelTableModel::lengthText(seconds), text);
    // and as the table stores it
    SongInfo info = song(1);
    info.length = seconds;
    QVERIFY(m_model->addSong(info));
    QCOMPARE(tableRow(1).value(6).toString(), text);
    QCOMPARE(m_model->data(m_model->index(0, 6)).toString(), text);
}

void TestUserSongsRelTableModel::addSongWritesEveryColumn()
{
    QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
    SongInfo first = song(1);
    first.userBpm = -5; // written unchanged by addSong
    QVERIFY(m_model->addSong(first));
    QVERIFY(m_model->addSong(song(2)));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(m_model->goodRowCount(), 2);

    const QVariantList expected = { 1, QStringLiteral("MP3"), QStringLiteral("Title 1"),
        QStringLiteral("Artist 1"), QStringLiteral("LATIN"), QStringLiteral("Author 1"),
        QStringLiteral("01:41"), -5, QStringLiteral("A -"),
        QStringLiteral("/songs/folder 1/song1.mid"), QStringLiteral("song1.mid"), 0 };
    const QVariantList stored = tableRow(1);
    QCOMPARE(stored.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(stored.at(i).toString(), expected.at(i).toString());

    // The model shows the rows at once, with their row keys.
    QCOMPARE(m_model->data(m_model->index(1, 0)).toInt(), 2);
    QCOMPARE(m_model->fileName(1), QStringLiteral("/songs/folder 2/song2.mid"));
    QCOMPARE(m_model->shortName(0), QStringLiteral("song1.mid"));
    QCOMPARE(m_model->status(1), int(Database::statusNotSynced));
    QCOMPARE(m_model->rowIndex(1), m_model->index(1, 0));
}

void TestUserSongsRelTableModel::updateRow_data()
{
    QTest::addColumn<int>("bpm");
    QTest::addColumn<int>("storedBpm");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("storedLength");
    QTest::newRow("plain") << 132 << 132 << 245 << QStringLiteral("04:05");
    QTest::newRow("negative tempo") << -1 << 0 << 59 << QStringLiteral("00:59");
    QTest::newRow("negative length") << 0 << 0 << -1 << QString();
}

void TestUserSongsRelTableModel::updateRow()
{
    QFETCH(int, bpm);
    QFETCH(int, storedBpm);
    QFETCH(int, length);
    QFETCH(QString, storedLength);

    for (int n = 1; n <= 3; ++n)
        QVERIFY(m_model->addSong(song(n)));
    m_model->setStatus(1, Database::statusEdited);

    SongInfo info;
    info.format = QStringLiteral("MIDI");
    info.title = QStringLiteral("Nuovo titolo");
    info.artist = QStringLiteral("Nuovo artista");
    info.genre = QStringLiteral("DANCE");
    info.author = QStringLiteral("Nuovo autore");
    info.length = length;
    info.userBpm = bpm;
    info.key = QStringLiteral("F#");
    info.filename = QStringLiteral("/other/path.mp3");
    info.shortname = QStringLiteral("path.mp3");
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    m_model->updateRow(1, info);
    QVERIFY(!changed.isEmpty());

    const QVariantList stored = tableRow(2);
    QCOMPARE(stored.value(1).toString(), QStringLiteral("MF5")); // type untouched
    QCOMPARE(stored.value(2).toString(), QStringLiteral("Nuovo titolo"));
    QCOMPARE(stored.value(3).toString(), QStringLiteral("Nuovo artista"));
    QCOMPARE(stored.value(4).toString(), QStringLiteral("DANCE"));
    QCOMPARE(stored.value(5).toString(), QStringLiteral("Nuovo autore"));
    QCOMPARE(stored.value(6).toString(), storedLength);
    QCOMPARE(stored.value(7).toInt(), storedBpm);
    QCOMPARE(stored.value(8).toString(), QStringLiteral("F#"));
    QCOMPARE(stored.value(9).toString(), QStringLiteral("/songs/folder 2/song2.mid"));
    QCOMPARE(stored.value(10).toString(), QStringLiteral("song2.mid"));
    QCOMPARE(stored.value(11).toInt(), int(Database::statusEdited));

    // The model shows the new values; the neighbours are unchanged.
    QCOMPARE(m_model->data(m_model->index(1, 2)).toString(), QStringLiteral("Nuovo titolo"));
    QCOMPARE(m_model->data(m_model->index(1, 7)).toInt(), storedBpm);
    QCOMPARE(tableRow(1).value(2).toString(), QStringLiteral("Title 1"));
    QCOMPARE(tableRow(3).value(2).toString(), QStringLiteral("Title 3"));
}

void TestUserSongsRelTableModel::statusRoundTrip()
{
    for (int n = 0; n < 4; ++n)
        QVERIFY(m_model->addSong(song(n)));
    const Database::statusEnum states[] = { Database::statusSyncFailed, Database::statusSynced,
        Database::statusEdited, Database::statusNotSynced };
    for (int row = 0; row < 4; ++row)
        m_model->setStatus(row, states[row]);
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(m_model->status(row), int(states[row]));
        QCOMPARE(tableRow(row + 1).value(11).toInt(), int(states[row]));
    }
    // After a reload from the table, still the same.
    QVERIFY(m_model->select());
    for (int row = 0; row < 4; ++row)
        QCOMPARE(m_model->status(row), int(states[row]));
}

void TestUserSongsRelTableModel::rowsBeyondOneFetchBatch()
{
    // Written past the model, as a previous session would leave the table.
    const int rows = 700;
    QSqlQuery query(m_db->userLibraryDb());
    QVERIFY(m_db->userLibraryDb().transaction());
    QVERIFY(query.prepare(QStringLiteral("insert into usersongs (type, title, filename, shortname, "
                                         "status) values (?, ?, ?, ?, ?)")));
    for (int n = 0; n < rows; ++n) {
        query.addBindValue(QStringLiteral("MIDI"));
        query.addBindValue(QStringLiteral("Song %1").arg(n));
        query.addBindValue(QStringLiteral("/s/%1.mid").arg(n));
        query.addBindValue(QStringLiteral("%1.mid").arg(n));
        query.addBindValue(n % 4);
        QVERIFY(query.exec());
    }
    QVERIFY(m_db->userLibraryDb().commit());
    QVERIFY(m_model->select());
    QVERIFY(m_model->rowCount() < rows); // the framework loads a first batch only
    QVERIFY(m_model->canFetchMore());

    QCOMPARE(m_model->fileName(rows - 1), QStringLiteral("/s/699.mid"));
    QCOMPARE(m_model->goodRowCount(), rows);

    QVERIFY(m_model->select());
    QCOMPARE(m_model->shortName(rows - 2), QStringLiteral("698.mid"));
    QVERIFY(m_model->select());
    QCOMPARE(m_model->status(rows - 1), (rows - 1) % 4);
    QVERIFY(m_model->select());
    QCOMPARE(m_model->rowIndex(rows - 1).data().toInt(), rows);
    QVERIFY(m_model->select());
    m_model->setStatus(rows - 1, Database::statusSynced);
    QCOMPARE(tableRow(rows).value(11).toInt(), int(Database::statusSynced));
    QVERIFY(m_model->select());
    SongInfo info = song(5);
    m_model->updateRow(rows - 1, info);
    QCOMPARE(tableRow(rows).value(2).toString(), QStringLiteral("Title 5"));
}

void TestUserSongsRelTableModel::rowOutsideTable()
{
    QVERIFY(m_model->addSong(song(1)));
    for (int row : { -1, 1, 1000 }) {
        QCOMPARE(m_model->fileName(row), QString());
        QCOMPARE(m_model->shortName(row), QString());
        QCOMPARE(m_model->status(row), 0);
        QVERIFY(!m_model->rowIndex(row).isValid());
        m_model->setStatus(row, Database::statusSynced);
        m_model->updateRow(row, song(9));
    }
    QCOMPARE(m_model->goodRowCount(), 1);
    QCOMPARE(tableRow(1).value(2).toString(), QStringLiteral("Title 1"));
    QCOMPARE(tableRow(1).value(11).toInt(), 0);
}

void TestUserSongsRelTableModel::removeRow_data()
{
    QTest::addColumn<bool>("selectFirst"); // the row comes from a select, not from addSong
    QTest::addColumn<int>("row");
    QTest::newRow("added, middle") << false << 1;
    QTest::newRow("added, last") << false << 3;
    QTest::newRow("selected, first") << true << 0;
    QTest::newRow("selected, middle") << true << 2;
}

// "Remove from list": the row leaves the table at once and does not come
// back with the next reload (sorting by a header reloads the table).
void TestUserSongsRelTableModel::removeRow()
{
    QFETCH(bool, selectFirst);
    QFETCH(int, row);
    for (int n = 0; n < 4; ++n)
        QVERIFY(m_model->addSong(song(n)));
    if (selectFirst)
        QVERIFY(m_model->select());
    m_model->setStatus(row, Database::statusEdited);

    QVERIFY(m_model->removeRow(row));
    QCOMPARE(m_model->goodRowCount(), 3);
    QVERIFY(tableRow(row + 1).isEmpty());
    QStringList expected;
    for (int n = 0; n < 4; ++n) {
        if (n != row)
            expected << QStringLiteral("song%1.mid").arg(n);
    }
    for (int pass = 0; pass < 2; ++pass) {
        QStringList names;
        for (int r = 0; r < m_model->goodRowCount(); ++r)
            names << m_model->shortName(r);
        QCOMPARE(names, expected);
        QVERIFY(m_model->select());
    }
    QVERIFY(!m_model->removeRow(3));
    QVERIFY(!m_model->removeRows(0, 0));
    // Rows are added only with addSong.
    QVERIFY(!m_model->insertRow(0));
    QCOMPARE(m_model->goodRowCount(), 3);
}

// Added and edited rows, then a reload in another order: the view shows the
// table as it is, in the new order.
void TestUserSongsRelTableModel::sortAfterChanges()
{
    for (int n = 0; n < 3; ++n)
        QVERIFY(m_model->addSong(song(n)));
    QVERIFY(m_model->select());
    QVERIFY(m_model->addSong(song(3)));
    m_model->setStatus(0, Database::statusSyncFailed);
    SongInfo info = song(0);
    info.title = QStringLiteral("Zeta");
    m_model->updateRow(3, info);

    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    m_model->sort(2, Qt::DescendingOrder); // by title
    QCOMPARE(reset.count(), 1);
    QCOMPARE(m_model->goodRowCount(), 4);
    const QStringList titles = { QStringLiteral("Zeta"), QStringLiteral("Title 2"),
        QStringLiteral("Title 1"), QStringLiteral("Title 0") };
    for (int r = 0; r < 4; ++r)
        QCOMPARE(m_model->index(r, 2).data().toString(), titles.at(r));
    QCOMPARE(m_model->status(3), int(Database::statusSyncFailed));
    QCOMPARE(m_model->shortName(0), QStringLiteral("song3.mid"));
    // The header texts survive the reload.
    QCOMPARE(m_model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Titolo"));
    QCOMPARE(m_model->headerData(m_model->colIdxFilename(), Qt::Horizontal).toString(), QString());
}

void TestUserSongsRelTableModel::colours_data()
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

void TestUserSongsRelTableModel::colours()
{
    QFETCH(int, status);
    QFETCH(QColor, even);
    QFETCH(QColor, odd);

    for (int n = 0; n < 4; ++n)
        QVERIFY(m_model->addSong(song(n)));
    for (int row = 0; row < 4; ++row)
        m_model->setStatus(row, Database::statusEnum(status));

    const int statusColumn = m_model->colIdxStatus();
    for (int row = 0; row < 4; ++row) {
        const QColor expected = row % 2 ? odd : even;
        const QModelIndex cell = m_model->index(row, statusColumn);
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(), expected);
        QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>(), expected);
        QCOMPARE(cell.data(Qt::DisplayRole).toInt(), status);

        // Every other cell: grey stripes behind the framework's own text.
        const QColor grey = row % 2 ? QColor(230, 230, 230) : QColor(200, 200, 200);
        for (int column = 0; column < m_model->columnCount(); ++column) {
            if (column == statusColumn)
                continue;
            const QModelIndex other = m_model->index(row, column);
            QCOMPARE(other.data(Qt::BackgroundRole).value<QColor>(), grey);
            QVERIFY(!other.data(Qt::ForegroundRole).isValid());
        }
        QCOMPARE(m_model->index(row, 2).data().toString(), QStringLiteral("Title %1").arg(row));
    }
}

void TestUserSongsRelTableModel::headers_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("source") << QString()
                            << QStringList { QStringLiteral("Num"), QStringLiteral("Formato"),
                                   QStringLiteral("Titolo"), QStringLiteral("Artista"),
                                   QStringLiteral("Genere"), QStringLiteral("Autore"),
                                   QStringLiteral("Durata"), QStringLiteral("Bpm"),
                                   QStringLiteral("Tonalita'"), QString(),
                                   QStringLiteral("Nome file"), QString() };
    QTest::newRow("english") << QStringLiteral(":/trans/quenorpc_en")
                             << QStringList { QStringLiteral("Num"), QStringLiteral("Format"),
                                    QStringLiteral("Title"), QStringLiteral("Artist"),
                                    QStringLiteral("Genre"), QStringLiteral("Author"),
                                    QStringLiteral("Length"), QStringLiteral("Bpm"),
                                    QStringLiteral("Key"), QString(), QStringLiteral("File name"),
                                    QString() };
    QTest::newRow("italian") << QStringLiteral(":/trans/quenorpc_it")
                             << QStringList { QStringLiteral("Num"), QStringLiteral("Formato"),
                                    QStringLiteral("Titolo"), QStringLiteral("Artista"),
                                    QStringLiteral("Genere"), QStringLiteral("Autore"),
                                    QStringLiteral("Durata"), QStringLiteral("Bpm"),
                                    QStringLiteral("Tonalità"), QString(),
                                    QStringLiteral("Nome file"), QString() };
}

void TestUserSongsRelTableModel::headers()
{
    QFETCH(QString, catalogue);
    QFETCH(QStringList, texts);

    // Start from the other language, as a run-time switch does.
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/trans/quenorpc_en")));
    QCoreApplication::installTranslator(&english);
    m_model->setHeaderLabels();
    QCoreApplication::removeTranslator(&english);

    QTranslator translator;
    if (!catalogue.isEmpty()) {
        QVERIFY(translator.load(catalogue));
        QCoreApplication::installTranslator(&translator);
    }
    QSignalSpy headerChanged(m_model.get(), &QAbstractItemModel::headerDataChanged);
    m_model->setHeaderLabels();
    if (!catalogue.isEmpty())
        QCoreApplication::removeTranslator(&translator);

    QVERIFY(!headerChanged.isEmpty());
    QCOMPARE(m_model->columnCount(), int(texts.size()));
    for (int column = 0; column < texts.size(); ++column)
        QCOMPARE(m_model->headerData(column, Qt::Horizontal).toString(), texts.at(column));
}

QTEST_GUILESS_MAIN(TestUserSongsRelTableModel)
#include "tst_usersongsreltablemodel.moc"
