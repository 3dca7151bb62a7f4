#include "appsettings.h"
#include "cataloguebuilder.h"
#include "database.h"
#include "index.h"
#include "mainwindow.h"
#include "memorybuilder.h"
#include "memorywindow.h"
#include "scripteduser.h"
#include "songbuilders.h"
#include "widgetlookup.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace
{

QByteArray zevioSong(const QByteArray &title)
{
    return MidiBuilder(1).track().meta(0, 3, title).meta(0, 2, "Zevio").note(0, 60).build();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList list(std::initializer_list<const char *> texts)
{
    QStringList strings;
    for (const char *text : texts)
        strings << QString::fromUtf8(text);
    return strings;
}

// Column 2 (title) of every row a view model shows.
QStringList titles(const QAbstractItemModel *model)
{
    QStringList list;
    for (int row = 0; row < model->rowCount(); ++row)
        list << model->index(row, 2).data().toString();
    return list;
}

// The first column of a tree's items, children indented by two spaces.
QStringList treeText(QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = tree->topLevelItem(i);
        lines << item->text(0);
        for (int c = 0; c < item->childCount(); ++c)
            lines << QStringLiteral("  ") + item->child(c)->text(0);
    }
    return lines;
}

} // namespace

class TestBeyondWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(),
            { { QStringLiteral("Città di mare"), QStringLiteral("Mario"), QStringLiteral("POP"),
                  QStringLiteral("Verdi"), 200, 110, QStringLiteral("C"), QStringLiteral("MARE"),
                  QVariant(), QString() },
                { QStringLiteral("Rosa"), QStringLiteral("Élia"), QStringLiteral("POP"),
                    QStringLiteral("Verdi"), 200, 110, QStringLiteral("C"), QStringLiteral("ROSA"),
                    QVariant(), QString() } }));
    }
    void init() { QSettings(AppSettings::organisation, AppSettings::application).clear(); }

    // The menu's folder import and a drop feed the same import as the
    // button: the tree walked in name order ignoring case, hidden entries and
    // links out of the tree left out, a file reached twice listed once.
    void importFolderAndDrop_data()
    {
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("menu") << false
                              << list({ "tree/a.MID", "tree/B.mid", "tree/c/d.Kar", "tree/c/E.mf3",
                                     "tree/Z.mp3" });
        QTest::newRow("drop") << true
                              << list({ "tree/c/d.Kar", "tree/c/E.mf3", "other/y.mf5",
                                     "tree/a.MID" });
    }
    void importFolderAndDrop()
    {
        QFETCH(bool, drop);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString tree = dir.filePath(QStringLiteral("tree"));
        for (const char *name :
            { "tree/B.mid", "tree/a.MID", "tree/c/d.Kar", "tree/c/E.mf3", "tree/Z.mp3",
                "tree/.hidden.mid", "tree/.secret/x.mid", "other/y.mf5", "outside/o.mid" })
            QVERIFY(writeFile(dir.filePath(QLatin1String(name)), zevioSong("Song")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("tree/notes.txt")), "text"));
        QVERIFY(
            QFile::link(dir.filePath(QStringLiteral("outside")), tree + QStringLiteral("/out")));
        QVERIFY(QFile::link(
            dir.filePath(QStringLiteral("outside/o.mid")), tree + QStringLiteral("/o.mid")));
        QVERIFY(QFile::link(tree + QStringLiteral("/c"), tree + QStringLiteral("/d")));

        MainWindow window;
        ScriptedUser user({ tree, QStringLiteral("No") });
        window.setUserInteraction(&user);
        if (drop) {
            // Two folders and a file dropped on the table.
            QMimeData data;
            data.setUrls({ QUrl::fromLocalFile(tree + QStringLiteral("/c")),
                QUrl::fromLocalFile(dir.filePath(QStringLiteral("other"))),
                QUrl::fromLocalFile(tree + QStringLiteral("/a.MID")) });
            user.answers.removeFirst();
            QWidget *table = child<QTableView>(window, "userLibraryTableView")->viewport();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&window, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(table, &dropped);
            QTRY_COMPARE(window.selectedFiles().size(), expected.size());
        } else {
            child<QAction>(window, "actionImportFolder")->trigger();
        }
        QStringList relative;
        for (const QString &path : window.selectedFiles())
            relative << QDir(dir.path()).relativeFilePath(path);
        QCOMPARE(relative, expected);
        QCOMPARE(child<QTableView>(window, "userLibraryTableView")->model()->rowCount(),
            expected.size());
        QCOMPARE(user.shownOf(QStringLiteral("summary")).size(), 1);
        QVERIFY(child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
        QCOMPARE(user.missing, 0);
    }

    // The search narrows the rows shown, ignoring case and accents; the
    // synchronisation still goes over every row, and the shown rows follow
    // the texts it writes; a double click opens the row clicked.
    void filterWhileSynchronising()
    {
        QTemporaryDir dir;
        QStringList files;
        for (const auto &[name, title] :
            QList<QPair<const char *, QByteArray>> { { "rosa.mid", "CITT\xC0 vecchia" },
                { "viola.mid", "Viola" }, { "mare.mid", "Mare" }, { "citta.mid", "Citta" } }) {
            files << dir.filePath(QLatin1String(name));
            QVERIFY(writeFile(files.last(), zevioSong(title)));
        }
        MainWindow window;
        ScriptedUser user({ files.join(QLatin1Char('|')), QStringLiteral("No") });
        window.setUserInteraction(&user);
        child<QToolButton>(window, "selectDirToolButton")->click();
        auto *view = child<QTableView>(window, "userLibraryTableView");
        auto *search = child<QLineEdit>(window, "searchLineEdit");
        QTest::keyClicks(search, QStringLiteral("citta"));
        QCOMPARE(titles(view->model()), list({ "CITTÀ vecchia", "Citta" }));
        search->setText(QStringLiteral("ÉLIA Rosa"));
        QCOMPARE(view->model()->rowCount(), 0);
        search->setText(QStringLiteral("ELIA"));
        QCOMPARE(view->model()->rowCount(), 0);

        // Rosa and mare are in the catalogue and get its artists (Élia,
        // Mario); viola and citta are not found. The rows hidden by the
        // search are synchronised too, and rosa now matches.
        user.answers = QStringList { QStringLiteral("Prosegui senza backup") };
        child<QToolButton>(window, "updateDataToolButton")->click();
        QCOMPARE(titles(view->model()), list({ "CITTÀ vecchia" }));
        search->clear();
        QString statuses;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            statuses += view->model()->index(row, 11).data().toString();
        QCOMPARE(statuses, QStringLiteral("1313"));

        // A double click opens the row clicked, not the library's row of
        // the same number.
        search->setText(QStringLiteral("mario"));
        QCOMPARE(titles(view->model()), list({ "Mare" }));
        user.answers = QStringList { QStringLiteral("Annulla") };
        emit view->doubleClicked(view->model()->index(0, 2));
        QCOMPARE(user.shownOf(QStringLiteral("edit")).value(0).section(QLatin1Char('|'), 1, 1),
            files.at(2));
        // A header click still sorts the library itself.
        search->clear();
        view->sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(titles(view->model()), list({ "Viola", "Mare", "Citta", "CITTÀ vecchia" }));
        QCOMPARE(user.missing, 0);
    }

    // The memory's view: what a build wrote, an unprepared memory and a
    // damaged one (findings listed, nothing written); the update button.
    void memoryView_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<QString>("finding");
        QTest::newRow("prepared") << QString::fromUtf8("")
                                  << QString::fromUtf8("4 song, di cui 1 MP3; 2 playlist.")
                                  << list({ "ALFA (2)", "  ALBA", "  CANTO", "ZETA (2)", "  BELLA",
                                         "  DOLCE" })
                                  << QString::fromUtf8("Nessun problema trovato");
        QTest::newRow("unprepared")
            << QString::fromUtf8("fsinfos.idx")
            << QString::fromUtf8("La memoria non è preparata: mancano i file dell'indice. "
                                 "\"Aggiorna indice\" la prepara.")
            << QStringList() << QString::fromUtf8("fsinfos.idx");
        QTest::newRow("damaged")
            << QString::fromUtf8("title.idx")
            << QString::fromUtf8("L'indice della memoria è danneggiato e non si può leggere. "
                                 "Rigenerarlo con \"Rigenera il database delle song\".")
            << QStringList() << QString::fromUtf8("cannot be read back");
    }
    void memoryView()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        MemoryBuilder memory(dir.path());
        QVERIFY(memory.add(QStringLiteral("a.mf3"),
                    MemoryBuilder::indexedContainer("_MF3", "alba", "Alfa", "Pop", 90, 0))
            && memory.add(QStringLiteral("Rock/b.mf4"),
                MemoryBuilder::indexedContainer("_MF4", "Bella", "Zeta", "Rock", 120, 1))
            && memory.add(QStringLiteral("c.mp3"),
                MemoryBuilder::mp3File({ MemoryBuilder::id3Frame("TIT2", "Canto"),
                    MemoryBuilder::id3Frame("TPE1", "Alfa"),
                    MemoryBuilder::id3Frame("TCON", "Pop") }))
            && memory.add(QStringLiteral("d.mf5"),
                MemoryBuilder::indexedContainer("_MF5", "dolce", "zeta", "Pop", 100, 0)));
        QVERIFY(Index().createIndex(dir.path()));
        QVERIFY(memory.writePlaylistList({ 7, 2 })
            && memory.writePlaylist(7, { 1, 3, SongInfoIndex::NoId })
            && memory.writePlaylist(2, { 0 }));
        if (damage == QLatin1String("fsinfos.idx"))
            QVERIFY(memory.remove(damage));
        else if (!damage.isEmpty())
            QVERIFY(memory.add(damage, memory.read(damage).left(40)));
        const auto before = memory.snapshot();

        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::mediaRootKey, dir.path());
        ScriptedUser user;
        MemoryWindow window(user);
        QTEST(child<QLabel>(window, "summaryLabel")->text(), "summary");
        QTEST(treeText(child<QTreeWidget>(window, "artistTree")), "artists");
        QFETCH(QString, finding);
        QVERIFY2(window.findings().join(QLatin1Char('\n')).contains(finding),
            qPrintable(window.findings().join(QLatin1Char('\n'))));
        QCOMPARE(memory.snapshot(), before);
        if (!damage.isEmpty())
            return;

        // Each song's path, tempo, type and markers; the MP3 set; playlists.
        auto *titleTree = child<QTreeWidget>(window, "titleTree");
        QCOMPARE(titleTree->topLevelItemCount(), 4);
        QTreeWidgetItem *bella = titleTree->topLevelItem(1);
        QCOMPARE(QStringList({ bella->text(0), bella->text(1), bella->text(2), bella->text(3),
                     bella->text(4) }),
            list({ "BELLA", "/Rock/b.mf4", "120", "MF4", "Sì" }));
        QCOMPARE(treeText(child<QTreeWidget>(window, "playlistTree")),
            list({ "Playlist 7", "  CANTO", "  BELLA", "  nessuna song", "Playlist 2", "  ALBA" }));
        child<QComboBox>(window, "setComboBox")->setCurrentIndex(1);
        QCOMPARE(treeText(child<QTreeWidget>(window, "genreTree")), list({ "POP (1)", "  CANTO" }));

        // A song added, then the update button: the new song is listed.
        child<QComboBox>(window, "setComboBox")->setCurrentIndex(0);
        QVERIFY(memory.add(QStringLiteral("e.mf3"),
            MemoryBuilder::indexedContainer("_MF3", "Eco", "Alfa", "Pop", 90, 0)));
        child<QPushButton>(window, "updatePushButton")->click();
        QCOMPARE(user.shownOf(QStringLiteral("information")).size(), 1);
        QCOMPARE(treeText(child<QTreeWidget>(window, "artistTree")).mid(0, 4),
            list({ "ALFA (3)", "  ALBA", "  CANTO", "  ECO" }));
    }
};

QTEST_MAIN(TestBeyondWindow)
#include "tst_beyondwindow.moc"
