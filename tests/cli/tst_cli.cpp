#include <QTest>
class TestCli : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
