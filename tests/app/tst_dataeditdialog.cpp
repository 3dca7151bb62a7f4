#include "dataeditdialog.h"
#include "metasong.h"
#include "widgetlookup.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace
{

// Once a T is shown (a modal dialog or a menu), act on it.
template <typename T> void whenShown(const std::function<void(T *)> &act)
{
    QTimer::singleShot(10, [act] {
        QWidget *shown = QApplication::activePopupWidget();
        T *widget = qobject_cast<T *>(shown ? shown : QApplication::activeModalWidget());
        widget ? act(widget) : whenShown<T>(act);
    });
}

void answer(QMessageBox::StandardButton button)
{
    whenShown<QMessageBox>([button](QMessageBox *box) { box->button(button)->click(); });
}

} // namespace

class TestDataEditDialog : public QObject
{
    Q_OBJECT

private slots:
    // The record into the form (minutes and seconds without leading zeros,
    // an unknown key selects nothing), typing and reading back (the
    // validators refuse letters and extra digits, cleared numbers give 0).
    void form_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed"); // into each number field; "-": nothing
        QTest::addColumn<QString>("shown"); // minutes, seconds, key item
        QTest::addColumn<QString>("read"); // length, tempo, key, artist
        QTest::newRow("65 seconds") << 65 << "A-"
                                    << "-"
                                    << "1 5 2"
                                    << "65 0 A- Anna";
        QTest::newRow("unknown key") << 6039 << "H"
                                     << "-"
                                     << "100 39 -1"
                                     << "6039 0  Anna";
        QTest::newRow("cleared") << 65 << ""
                                 << ""
                                 << "1 5 0"
                                 << "0 0  Anna";
        QTest::newRow("typed") << 0 << ""
                               << "12a34"
                               << "0 0 0"
                               << "732 123  Anna";
    }
    void form()
    {
        QFETCH(QString, typed);
        SongInfo info;
        QFETCH(int, length);
        info.length = length;
        QFETCH(QString, key);
        info.key = key;
        info.artist = QStringLiteral("  Anna ");
        m_dialog.setKeysCombo(MetaSong::getKeysList());
        m_dialog.setOtherInfo(info);
        QList<QLineEdit *> numbers;
        for (const char *name : { "lenMmLineEdit", "lenSsLineEdit", "bpmLineEdit" })
            numbers << child<QLineEdit>(m_dialog, name);
        QTEST(QStringLiteral("%1 %2 %3")
                  .arg(numbers.at(0)->text(), numbers.at(1)->text())
                  .arg(child<QComboBox>(m_dialog, "keyComboBox")->currentIndex()),
            "shown");
        for (QLineEdit *field : numbers) {
            if (typed != QLatin1String("-")) {
                field->clear();
                QTest::keyClicks(field, typed);
            }
        }
        m_dialog.getInfo(info);
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(info.length)
                  .arg(info.userBpm)
                  .arg(info.key, info.artist),
            "read");
    }

    // The title source and the "Applica a tutti" questions: a box answered
    // No stays unticked, going back to the title clears its flag.
    void applyToAllBoxes()
    {
        SongInfo info;
        info.title = QStringLiteral("Vecchio");
        info.filename = QStringLiteral("/a.b/My Song.mid");
        m_dialog.setOtherInfo(info);
        auto *title = child<QLineEdit>(m_dialog, "titleLineEdit");
        auto flags = [this] {
            return QStringLiteral("%1%2%3%4")
                .arg(m_dialog.isApplyToAllFname())
                .arg(m_dialog.isApplyToAllArtist())
                .arg(m_dialog.isApplyToAllGenre())
                .arg(child<QCheckBox>(m_dialog, "checkBoxToAllArtist")->isChecked());
        };
        child<QRadioButton>(m_dialog, "radioButtonTitle2")->click();
        QCOMPARE(title->text(), QStringLiteral("My Song"));
        for (const char *box :
            { "checkBoxToAllTitle", "checkBoxToAllArtist", "checkBoxToAllGenre" }) {
            answer(qstrcmp(box, "checkBoxToAllArtist") ? QMessageBox::Yes : QMessageBox::No);
            child<QCheckBox>(m_dialog, box)->click();
        }
        QCOMPARE(flags(), QStringLiteral("1010"));
        child<QRadioButton>(m_dialog, "radioButtonTitle1")->click();
        QCOMPARE(flags() + title->text(), QStringLiteral("0010Vecchio"));
        QVERIFY(!child<QCheckBox>(m_dialog, "checkBoxToAllTitle")->isEnabled());
        m_dialog.setOtherInfo(info);
        QCOMPARE(flags(), QStringLiteral("0000"));
    }

private:
    DataEditDialog m_dialog;
};

QTEST_MAIN(TestDataEditDialog)
#include "tst_dataeditdialog.moc"
