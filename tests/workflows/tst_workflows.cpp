#include "cataloguebuilder.h"
#include "database.h"
#include "libraryrows.h"
#include "scripteduser.h"
#include "usersongsreltablemodel.h"

#include <QStandardPaths>
#include <QTest>

#include <optional>

class TestWorkflows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(), {}));
        QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
        QVERIFY(m_db.init());
        m_model.emplace(nullptr, m_db.userLibraryDb());
    }

    // Rows keep their key when the table is sorted under a running workflow.
    void rowsByKey()
    {
        QVERIFY(m_db.clearUserLibraryDb());
        QVERIFY(m_model->select());
        for (const char *title : { "Banana", "Ciliegia", "Albicocca" }) {
            SongInfo info;
            info.title = QString::fromLatin1(title);
            info.filename = QStringLiteral("/songs/") + info.title;
            QVERIFY(m_model->addSong(info));
        }
        LibraryRows rows(*m_model);
        const QList<qint64> keys = rows.keys();
        QCOMPARE(keys.size(), 3);
        QCOMPARE(rows.rowOf(keys.at(0)), 0);
        m_model->sort(2, Qt::AscendingOrder);
        QCOMPARE(m_model->fileName(rows.rowOf(keys.at(0))), QStringLiteral("/songs/Banana"));
        QCOMPARE(rows.rowOf(keys.at(2)), 0);
        QCOMPARE(rows.rowOfPath(QStringLiteral("/songs/Ciliegia")), 2);
        QCOMPARE(rows.rowOf(12345), -1);
    }

private:
    Database m_db;
    std::optional<UserSongsRelTableModel> m_model;
};

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
