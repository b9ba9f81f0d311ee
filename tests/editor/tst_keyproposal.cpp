// The keys the program proposes for a new person: in the style of the tree's keys, never one
// that a tree or a photo folder has in any letter case.
#include "KeyProposal.h"

#include <QTest>

class TestKeyProposal : public QObject
{
    Q_OBJECT

private slots:
    void propose_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty tree") << QStringList() << QStringList() << "I1";
        QTest::newRow("next after the highest")
            << QStringList{"I3", "I12", "I7"} << QStringList() << "I13";
        QTest::newRow("numbers") << QStringList{"7", "12", "3"} << QStringList() << "13";
        QTest::newRow("taken elsewhere, any case")
            << QStringList{"I3"} << QStringList{"i4", "I5"} << "I6";
        QTest::newRow("most keys decide the style")
            << QStringList{"P1", "F2", "F9", "ROOTLESS", "F3"} << QStringList() << "F10";
        QTest::newRow("prefix kept as written")
            << QStringList{"ab7", "AB8"} << QStringList() << "ab9";
        QTest::newRow("keys of another shape only")
            << QStringList{"Smith", "Jones-1"} << QStringList{"I1"} << "I2";
        QTest::newRow("leading zeros read as numbers")
            << QStringList{"I007"} << QStringList() << "I8";
    }

    void propose()
    {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        QCOMPARE(KeyProposal::Propose(tree, taken), expected);
    }

    // A very large number in a key does not wrap around into a taken key.
    void hugeNumbers()
    {
        const QString proposed =
            KeyProposal::Propose({"I999999999999999999"}, {"I1000000000000000000"});
        QVERIFY(proposed.startsWith('I'));
        QVERIFY(proposed != "I999999999999999999");
        QVERIFY(proposed != "I1000000000000000000");
    }
};

QTEST_MAIN(TestKeyProposal)
#include "tst_keyproposal.moc"
