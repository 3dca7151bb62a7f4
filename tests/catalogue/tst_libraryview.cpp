#include "cataloguebuilder.h"
#include "database.h"
#include "libraryview.h"
#include "usersongsreltablemodel.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

// How the main window shows the library: the set-up on a bare table view.
class TestLibraryView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setUpConfiguresTheView();
    void columnsFitTheirContents();
    void headerClickSortsAndKeepsHiddenColumns();
    void databaseUnavailableMessage();

private:
    std::unique_ptr<QTemporaryDir> m_workDir;
    QString m_previousDir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<QTableView> m_view;
    std::unique_ptr<UserSongsRelTableModel> m_model;
};

void TestLibraryView::init()
{
    m_workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_workDir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_workDir->path()));
    CatalogueBuilder builder;
    builder.add(CatalogueBuilder::song(QStringLiteral("x"), QStringLiteral("X")));
    QCOMPARE(builder.write(Database::localCatalogueFileName()), QString());
    m_db = std::make_unique<Database>();
    QTest::ignoreMessage(QtDebugMsg, "Using local file: 'songsdb_debug' as database");
    QVERIFY(m_db->init());
    m_view = std::make_unique<QTableView>();
    m_model = std::make_unique<UserSongsRelTableModel>(nullptr, m_db->userLibraryDb());
    m_model->setHeaderLabels();
}

void TestLibraryView::cleanup()
{
    m_view.reset();
    m_model.reset();
    m_db.reset();
    QDir::setCurrent(m_previousDir);
    m_workDir.reset();
}

void TestLibraryView::setUpConfiguresTheView()
{
    LibraryView::setUp(m_view.get(), m_model.get());

    QCOMPARE(m_view->model(), m_model.get());
    QCOMPARE(m_view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(m_view->isSortingEnabled());
    QCOMPARE(m_view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(m_view->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(m_view->showGrid());
    QVERIFY(m_view->verticalHeader()->isHidden());
    QVERIFY(!m_view->alternatingRowColors());
    QCOMPARE(m_view->contextMenuPolicy(), Qt::CustomContextMenu);

    // The empty library shows exactly these columns.
    QStringList shown;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (!m_view->isColumnHidden(column))
            shown << m_model->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(shown,
        QStringList(
            { QStringLiteral("Formato"), QStringLiteral("Titolo"), QStringLiteral("Artista"),
                QStringLiteral("Genere"), QStringLiteral("Autore"), QStringLiteral("Durata"),
                QStringLiteral("Bpm"), QStringLiteral("Tonalita'"), QStringLiteral("Nome file") }));
    QVERIFY(m_view->isColumnHidden(0));
    QVERIFY(m_view->isColumnHidden(m_model->colIdxFilename()));
    QVERIFY(m_view->isColumnHidden(m_model->colIdxStatus()));
}

void TestLibraryView::columnsFitTheirContents()
{
    LibraryView::setUp(m_view.get(), m_model.get());
    m_view->resize(800, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    const int titleBefore = m_view->columnWidth(2);
    const int pathBefore = m_view->columnWidth(9);

    SongInfo info;
    info.format = QStringLiteral("MIDI");
    info.title = QStringLiteral("A title much longer than any header text of the table, really");
    info.filename = QStringLiteral("/a/very/long/path/that/would/widen/the/column/if/fitted.mid");
    info.shortname = QStringLiteral("fitted.mid");
    QVERIFY(m_model->addSong(info));
    LibraryView::fitColumns(m_view.get());

    QVERIFY(m_view->columnWidth(2) > titleBefore);
    // The full path and the status keep their width (and stay hidden).
    QCOMPARE(m_view->columnWidth(9), pathBefore);
    QVERIFY(m_view->isColumnHidden(9));
}

void TestLibraryView::headerClickSortsAndKeepsHiddenColumns()
{
    LibraryView::setUp(m_view.get(), m_model.get());
    for (const QString &title :
        { QStringLiteral("Beta"), QStringLiteral("Alfa"), QStringLiteral("Gamma") }) {
        SongInfo info;
        info.title = title;
        info.filename = QStringLiteral("/s/") + title;
        QVERIFY(m_model->addSong(info));
    }
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->horizontalHeader()->setSortIndicator(2, Qt::AscendingOrder);
    QCOMPARE(m_model->index(0, 2).data().toString(), QStringLiteral("Alfa"));
    QCOMPARE(m_model->fileName(2), QStringLiteral("/s/Gamma"));
    QVERIFY(m_view->isColumnHidden(0));
    QVERIFY(m_view->isColumnHidden(9));
    QVERIFY(m_view->isColumnHidden(11));
}

void TestLibraryView::databaseUnavailableMessage()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/trans/quenorpc_en")));
    QCoreApplication::installTranslator(&english);
    m_view->show();

    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget *parent = nullptr;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        parent = box->parentWidget();
        box->accept();
    });
    LibraryView::tellDatabaseUnavailable(m_view.get());
    QCoreApplication::removeTranslator(&english);

    QCOMPARE(title, QStringLiteral("Songs database"));
    QVERIFY2(
        text.startsWith(QStringLiteral("Unable to open the songs database.")), qPrintable(text));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(parent, m_view.get());
}

QTEST_MAIN(TestLibraryView)
#include "tst_libraryview.moc"
