#include "database.h"
#include "libraryview.h"
#include "usersongsreltablemodel.h"

#include <QColor>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <functional>
#include <optional>

namespace
{

SongInfo song(int n)
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

class TestUserSongsRelTableModel : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_db.emplace();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Created temporary")));
        QVERIFY(m_db->init());
        m_model.emplace(nullptr, m_db->userLibraryDb());
        m_model->setHeaderLabels();
    }

    void cleanup()
    {
        m_model.reset(); // holds the library connection: goes before the database
        m_db.reset();
    }

    void lengthText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << QStringLiteral("00:00");
        QTest::newRow("59 s") << 59 << QStringLiteral("00:59");
        QTest::newRow("187 s") << 187 << QStringLiteral("03:07");
        QTest::newRow("hundred minutes") << 6000 << QStringLiteral("100:00");
        QTest::newRow("negative") << -1 << QString();
    }

    void lengthText()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(UserSongsRelTableModel::lengthText(seconds), text);
        SongInfo info = song(1);
        info.length = seconds;
        QVERIFY(m_model->addSong(info));
        QCOMPARE(tableRow(1).section(QLatin1Char('|'), 6, 6), text);
        QCOMPARE(m_model->data(m_model->index(0, 6)).toString(), text);
    }

    void addSong()
    {
        QVERIFY(m_model->addSong(song(1)));
        QVERIFY(m_model->addSong(song(2)));
        QCOMPARE(tableRow(1),
            QStringLiteral("1|MP3|Title 1|Artist 1|LATIN||01:41|61||/f/song1.mid|song1.mid|0"));
        QCOMPARE(m_model->goodRowCount(), 2);
        QCOMPARE(m_model->fileName(1), QStringLiteral("/f/song2.mid"));
        QCOMPARE(m_model->shortName(0), QStringLiteral("song1.mid"));
        QCOMPARE(m_model->rowIndex(1).data().toInt(), 2);
        QCOMPARE(m_model->fileName(2), QString());
    }

    void updateRow_data()
    {
        QTest::addColumn<int>("bpm");
        QTest::addColumn<QString>("row");
        QTest::newRow("plain")
            << 132 << "2|MF5|Title 7|Artist 7|LATIN||01:47|132||/f/song2.mid|song2.mid|2";
        QTest::newRow("negative tempo")
            << -1 << "2|MF5|Title 7|Artist 7|LATIN||01:47|0||/f/song2.mid|song2.mid|2";
    }

    // Type, paths and status stay; the neighbours are untouched.
    void updateRow()
    {
        QFETCH(int, bpm);
        QFETCH(QString, row);
        for (int n = 1; n <= 3; ++n)
            QVERIFY(m_model->addSong(song(n)));
        m_model->setStatus(1, Database::statusEdited);
        SongInfo info = song(7);
        info.userBpm = bpm;
        m_model->updateRow(1, info);
        QCOMPARE(tableRow(2), row);
        QCOMPARE(
            m_model->data(m_model->index(1, 7)).toString(), row.section(QLatin1Char('|'), 7, 7));
        QVERIFY(tableRow(1).contains(QLatin1String("Title 1")));
        QVERIFY(tableRow(3).contains(QLatin1String("Title 3")));
    }

    // Each call reaches rows the framework has not fetched yet.
    void rowsBeyondOneFetchBatch()
    {
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
                m_model->updateRow(rows - 1, song(5));
                return tableRow(rows).contains(QLatin1String("Title 5"));
            },
        };
        for (const auto &check : checks) {
            QVERIFY(m_model->select());
            QVERIFY(check());
        }
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
        QFETCH(int, status);
        QFETCH(QColor, even);
        QFETCH(QColor, odd);
        const int statusColumn = m_model->colIdxStatus();
        for (int row = 0; row < 2; ++row) {
            QVERIFY(m_model->addSong(song(row)));
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

    void headers_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("texts");
        QTest::newRow("to English")
            << ":/trans/quenorpc_it"
            << ":/trans/quenorpc_en"
            << "Num|Format|Title|Artist|Genre|Author|Length|Bpm|Key||File name|";
        QTest::newRow("to Italian")
            << ":/trans/quenorpc_en"
            << ":/trans/quenorpc_it"
            << "Num|Formato|Titolo|Artista|Genere|Autore|Durata|Bpm|Tonalità||Nome file|";
    }

    void headers()
    {
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
        QCOMPARE(headerTexts(), texts);
    }

    // How the main window shows the library.
    void view()
    {
        QTableView view;
        LibraryView::setUp(&view, &*m_model);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(view.verticalHeader()->isHidden());
        QCOMPARE(headerTexts(&view),
            QStringLiteral("Formato|Titolo|Artista|Genere|Autore|Durata|Bpm|Tonalita'|Nome file"));
    }

private:
    // The header texts of the columns view shows (all without a view).
    QString headerTexts(QTableView *view = nullptr)
    {
        QStringList shown;
        for (int column = 0; column < m_model->columnCount(); ++column)
            if (!view || !view->isColumnHidden(column))
                shown << m_model->headerData(column, Qt::Horizontal).toString();
        return shown.join(QLatin1Char('|'));
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

    std::optional<Database> m_db;
    std::optional<UserSongsRelTableModel> m_model;
};

QTEST_MAIN(TestUserSongsRelTableModel)
#include "tst_usersongsreltablemodel.moc"
