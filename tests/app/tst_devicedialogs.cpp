#include "appsettings.h"
#include "cataloguebuilder.h"
#include "database.h"
#include "index.h"
#include "indexdialog.h"
#include "mainwindow.h"
#include "memorybuilder.h"
#include "scripteduser.h"
#include "songslistdialog.h"
#include "widgetlookup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <optional>

namespace
{

} // namespace

class TestDeviceDialogs : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString card() const { return m_dir->filePath(QStringLiteral("Volumes/CARD")); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(), {}));
    }
    void init()
    {
        QSettings(AppSettings::organisation, AppSettings::application).clear();
        m_dir.emplace();
        qputenv("QUENOR_VOLUMES", m_dir->filePath(QStringLiteral("Volumes")).toUtf8());
    }

    // "Inizia" pressed plainly optimises the memory holding the chosen
    // folder, with Shift the folder itself; the report lists the refused
    // files and ends the run with "Operazione completata".
    void optimiseDialog_data()
    {
        QTest::addColumn<QString>("chosen"); // below the memory
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("indexedAt"); // "-": nothing indexed
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("message");
        const char *const report = "Ottimizzazione memoria in corso...|Operazione completata";
        const char *const done
            = "information|Ottimizza memoria|Operazione completata con successo|";
        QTest::newRow("plain") << "/SONGS" << false << "" << report << done;
        QTest::newRow("shift") << "/SONGS" << true << "/SONGS" << report << done;
        QTest::newRow("missing") << "/NONE" << true << "-"
                                 << ""
                                 << "warning|Ottimizza memoria|Il percorso selezionato non esiste|";
        QTest::newRow("no songs")
            << "/EMPTY" << true << "-" << report
            << "critical|Ottimizza memoria|Operazione non riuscita.\nAssicurarsi "
               "che il disco abbia sufficiente spazio libero e che non sia "
               "protetto da scrittura.|";
        QTest::newRow("too long")
            << "/SONGS/abcdefgh/abcdefgh/abcdefgh/abcdefgh" << false << ""
            << "Ottimizzazione memoria in corso...|File non importato, path troppo "
               "lungo: %1/b.mid|Operazione completata"
            << "critical|Ottimizza memoria|Durante l'operazione si sono verificati "
               "alcuni errori.\nConsultare il report per maggiori informazioni.|";
    }
    void optimiseDialog()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, shift);
        QFETCH(QString, indexedAt);
        QFETCH(QString, report);
        MemoryBuilder memory(card());
        QVERIFY(memory.songs("SONGS/a.mid") && memory.mkdir(QStringLiteral("EMPTY")));
        if (chosen.contains(QLatin1String("abcd")))
            QVERIFY(memory.songs(chosen.mid(1).toLatin1().append("/b.mid").constData()));
        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::mediaRootKey, QString(card() + chosen));
        ScriptedUser user;
        IndexDialog dialog(user);
        dialog.show();
        QCOMPARE(child<QLineEdit>(dialog, "lineEditPath")->text(), card() + chosen);

        QTest::mousePress(child<QPushButton>(dialog, "pushButtonStart"), Qt::LeftButton,
            shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(child<QPlainTextEdit>(dialog, "plainTextReport")->toPlainText(),
            report.arg(card() + chosen).replace(QLatin1Char('|'), QLatin1Char('\n')));
        QTEST(user.shown.join(QLatin1Char('\n')), "message");
        QVERIFY(child<QPushButton>(dialog, "pushButtonStart")->isEnabled()
            && child<QPushButton>(dialog, "pushButtonClose")->isEnabled());
        QCOMPARE(QLatin1String(memory.exists(QStringLiteral("index.idx"))   ? ""
                         : memory.exists(QStringLiteral("SONGS/index.idx")) ? "/SONGS"
                                                                            : "-"),
            indexedAt);
    }

    // The list of the memory's index in the chosen order, the file column
    // relative to the root as typed; a failed export keeps the old list.
    void songsList_data()
    {
        QTest::addColumn<QString>("memory"); // "index", "empty" (prepared, no songs), "none"
        QTest::addColumn<QString>("root"); // typed after the memory folder
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("list"); // lines joined by "|", or the old "old"
        QTest::addColumn<QString>("message");
        const char *const done = "information|Salva lista song|Operazione completata|";
        const char *const unprepared = "warning|Salva lista song|Impossibile proseguire, la "
                                       "memoria non è preparata per Quenor|";
        auto row = [](const char *name, const char *memory, const char *root, int mode,
                       const char *list, const char *message) {
            QTest::newRow(name) << memory << root << mode << list << message;
        };
        row("artist", "index", "", 1,
            "\"A;Z\";X;<UNKNOWN>;/c.mid;|B;X;<UNKNOWN>;/b.mid;|A;Y;<UNKNOWN>;/a.mid;", done);
        row("title, slash", "index", "/", 0,
            "A;Y;<UNKNOWN>;a.mid;|\"A;Z\";X;<UNKNOWN>;c.mid;|B;X;<UNKNOWN>;b.mid;", done);
        row("empty", "empty", "", 0, "", done);
        row("not prepared", "none", "", 0, "old", unprepared);
        row("no source", "index", "/none", 0, "old",
            "warning|Salva lista song|Il percorso selezionato non esiste|");
    }
    void songsList()
    {
        QFETCH(QString, memory);
        QFETCH(QString, root);
        QFETCH(int, mode);
        QFETCH(QString, list);
        MemoryBuilder songs(card());
        for (const char *name : { "a.mid|A|Y", "b.mid|B|X", "c.mid|A;Z|X" }) {
            const QList<QByteArray> tags = QByteArray(name).split('|');
            const QByteArray bytes = MemoryBuilder::midiFile(
                { MemoryBuilder::metaEvent(0x03, tags[1]), MemoryBuilder::tagEvent(2, tags[2]) });
            QVERIFY(!songs.write(QLatin1String(tags[0]), bytes).isEmpty());
        }
        if (memory == QLatin1String("index"))
            QVERIFY(Index().createIndex(card()));
        for (const QString &name :
            memory == QLatin1String("empty") ? Index::indexFileNames() : QStringList())
            QVERIFY(!songs.write(name, QByteArray()).isNull());
        MemoryBuilder desk(m_dir->filePath(QStringLiteral("desk")));
        QVERIFY(!desk.write(QStringLiteral("list.csv"), "old").isEmpty());

        ScriptedUser user({ card() + root, desk.absolute(QStringLiteral("list.csv")) });
        SongsListDialog dialog(user);
        QCOMPARE(child<QLineEdit>(dialog, "lineEditDest")->text(),
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                + QStringLiteral("/SongsList.csv"));
        child<QPushButton>(dialog, "pushButtonBrowseSrc")->click();
        child<QPushButton>(dialog, "pushButtonBrowseDest")->click();
        QCOMPARE(QSettings(AppSettings::organisation, AppSettings::application)
                     .value(AppSettings::mediaRootKey),
            child<QLineEdit>(dialog, "lineEditSrc")->text());
        child<QComboBox>(dialog, "comboBoxSort")->setCurrentIndex(mode);
        child<QPushButton>(dialog, "pushButtonStart")->click();
        QTEST(user.shown.last(), "message");
        if (list != QLatin1String("old"))
            list = QStringLiteral("TITOLO;ARTISTA;GENERE;FILE;\n")
                + QString(list).replace(QLatin1Char('|'), QLatin1Char('\n'))
                + QLatin1String(list.isEmpty() ? "" : "\n");
        QCOMPARE(QString::fromUtf8(desk.read(QStringLiteral("list.csv"))), list);
        QVERIFY(child<QPushButton>(dialog, "pushButtonStart")->isEnabled());
    }

    // The transfer button copies the chosen songs onto the memory and
    // indexes them, asking before shortening a long name; afterwards only
    // the transfer button can be pressed.
    void transferButton()
    {
        const QString song
            = MemoryBuilder(m_dir->filePath(QStringLiteral("src")))
                  .write(QStringLiteral("Lunghissimo.mid"), MemoryBuilder::midiFile({}));
        QVERIFY(QDir().mkpath(card()));
        MainWindow window;
        ScriptedUser user({ song, QStringLiteral("No"), card(), QStringLiteral("No") });
        window.setUserInteraction(&user);
        child<QToolButton>(window, "selectDirToolButton")->click();
        child<QToolButton>(window, "transferFilesToolButton")->click();
        QVERIFY(user.shownOf(QStringLiteral("fourway"))
                    .value(0)
                    .contains(QString::fromUtf8("verrà rinominato: ")));
        QCOMPARE(user.shown.last(),
            QStringLiteral(
                "information|Trasferimento|Tutti i file sono stati copiati correttamente|"));
        QCOMPARE(MemoryBuilder(card()).indexRecords(),
            QStringList(QStringLiteral("0:/songs/Lunghissimo.mid")));
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
    }
};

QTEST_MAIN(TestDeviceDialogs)
#include "tst_devicedialogs.moc"
