#include "appsettings.h"
#include "cataloguebuilder.h"
#include "database.h"
#include "indexdialog.h"
#include "mainwindow.h"
#include "memorybuilder.h"
#include "scripteduser.h"

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
