#include "appsettings.h"
#include "cataloguebuilder.h"
#include "database.h"
#include "index.h"
#include "indexdialog.h"
#include "mainwindow.h"
#include "memorybuilder.h"
#include "scripteduser.h"
#include "songslistdialog.h"

#include <QComboBox>
#include <QLabel>
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

template <typename T> T *child(QWidget &parent, const char *name)
{
    T *object = parent.findChild<T *>(QLatin1String(name));
    if (!object)
        qFatal("no child %s", name);
    return object;
}

} // namespace

class TestDeviceDialogs : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString volumes() const { return m_dir->filePath(QStringLiteral("Volumes")); }

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
        qputenv("QUENOR_VOLUMES", volumes().toUtf8());
    }

    // "Inizia" pressed plainly optimises the memory holding the chosen
    // folder, with Shift the folder itself; the report lists the refused
    // files and always ends the run with "Operazione completata".
    void optimiseDialog_data()
    {
        QTest::addColumn<QString>("chosen"); // below the volumes folder
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("indexedAt"); // "": nothing indexed
        QTest::addColumn<int>("found");
        QTest::addColumn<QString>("report");
        const char *const done = "Ottimizzazione memoria in corso...|Operazione completata";
        QTest::newRow("plain") << "/CARD/SONGS" << false << "/CARD" << 1 << done;
        QTest::newRow("shift") << "/CARD/SONGS" << true << "/CARD/SONGS" << 1 << done;
        QTest::newRow("missing") << "/CARD/NONE" << true << "" << 0 << "";
        QTest::newRow("too long") << "/CARD/SONGS/abcdefgh/abcdefgh/abcdefgh/abcdefgh" << false
                                  << "/CARD" << 2
                                  << "Ottimizzazione memoria in corso...|File non importato, path "
                                     "troppo lungo: %1/b.mid|Operazione completata";
    }
    void optimiseDialog()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, shift);
        QFETCH(QString, indexedAt);
        QFETCH(QString, report);
        MemoryBuilder card(volumes() + QStringLiteral("/CARD"));
        QVERIFY(card.songs("SONGS/a.mid") && card.mkdir(chosen.mid(6)));
        if (QTest::currentDataTag() == QByteArray("too long"))
            QVERIFY(card.songs(chosen.mid(6).toLatin1().append("/b.mid").constData()));
        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::mediaRootKey, QString(volumes() + chosen));
        ScriptedUser user;
        IndexDialog dialog(user);
        dialog.show();
        QCOMPARE(child<QLineEdit>(dialog, "lineEditPath")->text(), volumes() + chosen);
        if (chosen.endsWith(QLatin1String("NONE")))
            QVERIFY(QDir(volumes() + chosen).removeRecursively());

        QTest::mousePress(child<QPushButton>(dialog, "pushButtonStart"), Qt::LeftButton,
            shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(child<QPlainTextEdit>(dialog, "plainTextReport")->toPlainText(),
            report.arg(volumes() + chosen).replace(QLatin1Char('|'), QLatin1Char('\n')));
        QCOMPARE(user.shown.size(), 1);
        QVERIFY(child<QPushButton>(dialog, "pushButtonStart")->isEnabled());
        QVERIFY(child<QPushButton>(dialog, "pushButtonClose")->isEnabled());
        QCOMPARE(QFileInfo::exists(volumes() + indexedAt + QStringLiteral("/index.idx")),
            !indexedAt.isEmpty());
        QTEST(child<QLabel>(dialog, "labelFileFound")->text().toInt(), "found");
    }

    // "Sfoglia" fills the path and keeps it as the memory folder of both tools.
    void browse()
    {
        ScriptedUser user(QStringList { volumes() + QStringLiteral("/CARD") });
        IndexDialog dialog(user);
        child<QPushButton>(dialog, "pushButtonBrowse")->click();
        QCOMPARE(
            child<QLineEdit>(dialog, "lineEditPath")->text(), volumes() + QStringLiteral("/CARD"));
        QCOMPARE(QSettings(AppSettings::organisation, AppSettings::application)
                     .value(AppSettings::mediaRootKey)
                     .toString(),
            volumes() + QStringLiteral("/CARD"));
    }

    // The form's defaults: the remembered memory, the desktop list, the
    // three sort orders.
    void songsListDefaults()
    {
        QSettings(AppSettings::organisation, AppSettings::application)
            .setValue(AppSettings::mediaRootKey, volumes());
        ScriptedUser user;
        SongsListDialog dialog(user);
        QCOMPARE(child<QLineEdit>(dialog, "lineEditSrc")->text(), volumes());
        QCOMPARE(child<QLineEdit>(dialog, "lineEditDest")->text(),
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                + QStringLiteral("/SongsList.csv"));
        auto *sort = child<QComboBox>(dialog, "comboBoxSort");
        QCOMPARE(QStringList({ sort->itemText(0), sort->itemText(1), sort->itemText(2) }),
            QStringList(
                { QStringLiteral("Titolo"), QStringLiteral("Artista"), QStringLiteral("Genere") }));
    }

    // "Salva": the list of the memory's index in the chosen order, the file
    // column relative to the root as typed; a failed export keeps the old list.
    void songsList_data()
    {
        QTest::addColumn<QString>("memory"); // "index", "empty" (prepared, no songs), "none"
        QTest::addColumn<QString>("root"); // typed after the memory folder
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("list"); // lines joined by "|"
        QTest::addColumn<QString>("message");
        const char *const done = "information|Salva lista song|Operazione completata|";
        QTest::newRow("artist")
            << "index"
            << "" << 1 << "\"A;Z\";X;<UNKNOWN>;/c.mid;|B;X;<UNKNOWN>;/b.mid;|A;Y;<UNKNOWN>;/a.mid;"
            << done;
        QTest::newRow("title, slash")
            << "index"
            << "/" << 0 << "A;Y;<UNKNOWN>;a.mid;|\"A;Z\";X;<UNKNOWN>;c.mid;|B;X;<UNKNOWN>;b.mid;"
            << done;
        QTest::newRow("empty") << "empty"
                               << "" << 0 << "" << done;
        QTest::newRow("not prepared")
            << "none"
            << "" << 0 << "old"
            << "warning|Salva lista song|Impossibile proseguire, la memoria "
               "non è preparata per Quenor|";
        QTest::newRow("sub-folder")
            << "index"
            << "/sfx" << 0 << "old"
            << "warning|Salva lista song|Impossibile proseguire, la memoria "
               "non è preparata per Quenor|";
        QTest::newRow("no source")
            << "index"
            << "/none" << 0 << "old"
            << "warning|Salva lista song|Il percorso selezionato non esiste|";
    }
    void songsList()
    {
        QFETCH(QString, memory);
        QFETCH(QString, root);
        QFETCH(int, mode);
        QFETCH(QString, list);
        QFETCH(QString, message);
        MemoryBuilder card(volumes() + QStringLiteral("/CARD"));
        auto song = [&card](const char *name, const char *title, const char *artist) {
            return !card.write(QLatin1String(name),
                            MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x03, title),
                                MemoryBuilder::tagEvent(2, artist) }))
                        .isEmpty();
        };
        QVERIFY(song("a.mid", "A", "Y") && song("b.mid", "B", "X") && song("c.mid", "A;Z", "X"));
        if (memory == QLatin1String("index"))
            QVERIFY(Index().createIndex(card.root()));
        for (const QString &name :
            memory == QLatin1String("empty") ? Index::indexFileNames() : QStringList())
            QVERIFY(!card.write(name, QByteArray()).isNull());
        MemoryBuilder desk(m_dir->filePath(QStringLiteral("desk")));
        QVERIFY(!desk.write(QStringLiteral("list.csv"), "old").isEmpty());

        ScriptedUser user({ card.root() + root, desk.absolute(QStringLiteral("list.csv")) });
        SongsListDialog dialog(user);
        child<QPushButton>(dialog, "pushButtonBrowseSrc")->click();
        child<QPushButton>(dialog, "pushButtonBrowseDest")->click();
        child<QComboBox>(dialog, "comboBoxSort")->setCurrentIndex(mode);
        child<QPushButton>(dialog, "pushButtonStart")->click();
        QCOMPARE(user.shown.last(), message);
        QCOMPARE(QString::fromUtf8(desk.read(QStringLiteral("list.csv"))),
            list == QLatin1String("old") ? list
                                         : QString(QStringLiteral("TITOLO;ARTISTA;GENERE;FILE;|")
                                             + list + QLatin1String(list.isEmpty() ? "" : "|"))
                                               .replace(QLatin1Char('|'), QLatin1Char('\n')));
        QVERIFY(child<QPushButton>(dialog, "pushButtonStart")->isEnabled());
    }

    // The transfer button copies the chosen songs onto the memory and
    // indexes them; afterwards only the transfer button can be pressed.
    void transferButton()
    {
        MemoryBuilder source(m_dir->filePath(QStringLiteral("src")));
        const QString song = source.write(QStringLiteral("rosa.mid"),
            MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x03, "Rosa") }));
        QVERIFY(QDir().mkpath(volumes() + QStringLiteral("/CARD")));
        MainWindow window;
        ScriptedUser user({ song, QStringLiteral("No"), volumes() + QStringLiteral("/CARD") });
        window.setUserInteraction(&user);
        child<QToolButton>(window, "selectDirToolButton")->click();
        child<QToolButton>(window, "transferFilesToolButton")->click();
        QCOMPARE(user.shown.last(),
            QStringLiteral(
                "information|Trasferimento|Tutti i file sono stati copiati correttamente|"));
        QCOMPARE(MemoryBuilder(volumes() + QStringLiteral("/CARD")).indexRecords(),
            QStringList { QStringLiteral("0:/songs/rosa.mid") });
        QVERIFY(!child<QToolButton>(window, "updateDataToolButton")->isEnabled());
        QVERIFY(child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
    }
};

QTEST_MAIN(TestDeviceDialogs)
#include "tst_devicedialogs.moc"
