#include "appsettings.h"
#include "backupdialog.h"
#include "cataloguebuilder.h"
#include "database.h"
#include "dialoginteraction.h"
#include "mainwindow.h"
#include "nocopyrightdialog.h"
#include "proceeddialog.h"
#include "scripteduser.h"
#include "songbuilders.h"
#include "widgetlookup.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace
{

// "sync transfer" enabled states as "10", "01", ...
QString buttons(MainWindow &window)
{
    return QString::number(child<QToolButton>(window, "updateDataToolButton")->isEnabled())
        + QString::number(child<QToolButton>(window, "transferFilesToolButton")->isEnabled());
}

// Runs dialog modally, presses the button called name (none: closes it) and
// returns the dialog's result.
int press(QDialog &dialog, const char *name)
{
    QTimer::singleShot(0, &dialog, [&dialog, name] {
        if (name)
            child<QPushButton>(dialog, name)->click();
        else
            dialog.close();
    });
    return dialog.exec();
}

} // namespace

class TestWorkflowWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(writeTestCatalogue(Database::localCatalogueFileName(),
            { { QStringLiteral("Rosa"), QStringLiteral("Mario"), QStringLiteral("POP"),
                QStringLiteral("Verdi"), 200, 110, QStringLiteral("C"), QStringLiteral("ROSA"),
                QVariant(), QString() } }));
        QVERIFY(m_dir.isValid());
        const QByteArray song = MidiBuilder(1).track().meta(0, 2, "Zevio").note(0, 60).build();
        for (const char *name : { "rosa.mid", "viola.mid", "bianca.mid" }) {
            QFile file(m_dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(song) == song.size());
        }
        QFile text(m_dir.filePath(QStringLiteral("note.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no song") == 7);
    }
    void init() { QSettings(AppSettings::organisation, AppSettings::application).clear(); }

    // The choose-songs button through the summary, the show-again box, the
    // offered synchronisation and a stop, with the button states after each.
    void importFromWindow_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("after"); // buttons, rows, copyrightAsk, selected files
        QTest::addColumn<QString>("statuses");
        QTest::newRow("no") << "No" << -1 << "11 3 ask 4"
                            << "000";
        QTest::newRow("no, hide") << "No nascondi" << -1 << "11 3 quiet 4"
                                  << "000";
        QTest::newRow("synchronised") << "Si|Prosegui senza backup" << -1 << "01 3 ask 4"
                                      << "133";
        QTest::newRow("sync cancelled") << "Si|Annulla" << -1 << "11 3 ask 4"
                                        << "000";
        QTest::newRow("stopped") << "" << 2 << "11 2 ask 2"
                                 << "00";
    }
    void importFromWindow()
    {
        QFETCH(QString, script);
        QFETCH(int, stopAfter);
        const QString files = QStringList { m_dir.filePath(QStringLiteral("rosa.mid")),
            m_dir.filePath(QStringLiteral("viola.mid")), m_dir.filePath(QStringLiteral("note.txt")),
            m_dir.filePath(QStringLiteral("bianca.mid")) }
                                  .join(QLatin1Char('|'));
        MainWindow window;
        ScriptedUser user(QStringList { QString(), files } + script.split(QLatin1Char('|')));
        user.stopAfterSteps = stopAfter;
        user.stopIn = QStringLiteral("Lettura file");
        window.setUserInteraction(&user);
        auto *choose = child<QToolButton>(window, "selectDirToolButton");
        choose->click(); // cancelled: nothing changes
        QCOMPARE(buttons(window), QStringLiteral("00"));
        choose->click();

        auto *model = child<QTableView>(window, "userLibraryTableView")->model();
        const bool ask = QSettings(AppSettings::organisation, AppSettings::application)
                             .value(AppSettings::copyrightAskKey, true)
                             .toBool();
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(buttons(window))
                  .arg(model->rowCount())
                  .arg(QLatin1String(ask ? "ask" : "quiet"))
                  .arg(window.selectedFiles().size()),
            "after");
        QCOMPARE(child<QAction>(window, "actionCopyrightNo")->isChecked(), !ask);
        QString statuses;
        for (int row = 0; row < model->rowCount(); ++row)
            statuses += model->index(row, 11).data().toString();
        QTEST(statuses, "statuses");
        // Examined, songs, Zevio's songs; the progress reached "4 di 4".
        QCOMPARE(user.shownOf(QStringLiteral("summary")).value(0).section(QLatin1Char('|'), 2, 2),
            QLatin1String(stopAfter < 0 ? "4/3/3" : ""));
        QCOMPARE(user.progressLog.contains(QStringLiteral("4 di 4")), stopAfter < 0);
        QCOMPARE(user.missing, 0);

        // A second import empties the table first and, with the question
        // turned off, shows no summary.
        user.answers
            = QStringList { m_dir.filePath(QStringLiteral("viola.mid")), QStringLiteral("No") };
        choose->click();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(buttons(window), QStringLiteral("11"));
        QCOMPARE(user.answers.size(), ask ? 0 : 1);
    }

    void fourWayDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("Si") << "yesPushButton" << 0;
        QTest::newRow("Si tutti") << "yesAllPushButton" << 1;
        QTest::newRow("No") << "noPushButton" << 2;
        QTest::newRow("No tutti") << "noAllPushButton" << 3;
        QTest::newRow("closed") << "" << 0;
    }
    void fourWayDialog()
    {
        QFETCH(QString, button);
        NoCopyrightDialog dialog;
        dialog.setFilename(QStringLiteral("/a/b.mid"));
        QCOMPARE(child<QLabel>(dialog, "label_2")->text(),
            QStringLiteral("Non è stato pubblicato da Zevio. Si vuole procedere comunque con le "
                           "modifiche?"));
        dialog.setMessage(QStringLiteral("esiste già, vuoi sostituirlo?"));
        QCOMPARE(child<QLabel>(dialog, "label_2")->text(),
            QStringLiteral("esiste già, vuoi sostituirlo?"));
        QCOMPARE(child<QLabel>(dialog, "fileNameLabel")->text(), QStringLiteral("/a/b.mid"));
        const QByteArray name = button.toLatin1();
        QTEST(press(dialog, button.isEmpty() ? nullptr : name.constData()), "result");
    }

    void summaryAndBackupDialogs()
    {
        ProceedDialog summary;
        summary.setFilesCount(2, 1, 1);
        QCOMPARE(child<QLabel>(summary, "msgLabel")->text(),
            QStringLiteral("Sono stati esaminti 3 files, trovate 2 songs di cui 1 di (c)Zevio"));
        QCOMPARE(press(summary, "noPushButton"), int(QDialog::Rejected));
        QVERIFY(summary.getShowAgainValue());
        child<QCheckBox>(summary, "checkBoxShowAgain")->setChecked(true);
        QCOMPARE(press(summary, "yesPushButton"), int(QDialog::Accepted));
        QVERIFY(!summary.getShowAgainValue());

        BackupDialog backup;
        auto *doBackup = child<QPushButton>(backup, "doBackupPushButton");
        QVERIFY(!doBackup->isEnabled());
        QCOMPARE(press(backup, "abortPushButton"), 0);
        QCOMPARE(press(backup, "exitPushButton"), 2);
        QCOMPARE(press(backup, nullptr), 0);
        backup.setDirectory(m_dir.path());
        QVERIFY(doBackup->isEnabled());
        QCOMPARE(press(backup, "doBackupPushButton"), 1);
        QCOMPARE(backup.directory(), m_dir.path());
    }

    // The progress dialog's label and "Interrompi"; a question box's answer.
    void dialogInteraction()
    {
        QWidget window;
        DialogInteraction dialogs(&window);
        dialogs.begin(
            QStringLiteral("Aggiorno la libreria..."), QStringLiteral("Backup"), 3, false);
        dialogs.step(2);
        QCOMPARE(dialogs.progressDialog()->labelText(), QStringLiteral("2 di 3"));
        QCOMPARE(dialogs.progressDialog()->windowTitle(), QStringLiteral("Backup"));
        QVERIFY(!dialogs.wasStopped());
        dialogs.progressDialog()->cancel();
        QVERIFY(dialogs.wasStopped());
        dialogs.end();

        QTimer::singleShot(0, &window, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box)
                box->button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.showMessage(UserInteraction::MessageKind::Question, QStringLiteral("T"),
                     QStringLiteral("?"), UserInteraction::YesButton | UserInteraction::NoButton),
            UserInteraction::NoButton);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestWorkflowWindow)
#include "tst_workflowwindow.moc"
