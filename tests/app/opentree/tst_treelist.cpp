// The list of trees that feeds the tree box, the tree dialogs and the command line: filled from
// the store with nothing chosen, brought up to date keeping what is chosen, a new tree listed
// last, names found exactly or as the database tells tables apart; and the main window's tree
// box showing it.
#include "TreeList.h"
#include "mDatabase.h"
#include "support_MainWindowFixture.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestTreeList : public QObject
{
    Q_OBJECT

private slots:
    void listsTheStoresTrees()
    {
        QTemporaryDir dir;
        mDatabase store;
        store.SetPaths(dir.path() + "/", dir.filePath("people.db"));
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.CreateTree("Amain"));
        TreeList trees(store);
        QCOMPARE(trees.Count(), 0);
        QSignalSpy chosen(&trees, &TreeList::ChosenChanged);

        trees.Refill();
        QCOMPARE(trees.Names(), store.ListTrees());
        QCOMPARE(trees.rowCount(), trees.Count());
        QCOMPARE(trees.data(trees.index(trees.Find("Amain"))).toString(), QString("Amain"));
        QCOMPARE(trees.Chosen(), -1);

        trees.Choose("Amain");
        QCOMPARE(trees.Chosen(), trees.Find("Amain"));
        QCOMPARE(chosen.last().first().toInt(), trees.Chosen());
        trees.Choose("nothing");
        QCOMPARE(trees.Chosen(), -1);
        trees.Choose("Amain");

        // Unchanged: nothing happens; another program's new tree: listed, the choice kept.
        QSignalSpy reset(&trees, &QAbstractItemModel::modelReset);
        trees.Update();
        QCOMPARE(reset.count(), 0);
        QVERIFY(store.CreateTree("Zeta"));
        trees.Update();
        QCOMPARE(reset.count(), 1);
        QVERIFY(trees.Find("Zeta") >= 0);
        QCOMPARE(trees.Names().at(trees.Chosen()), QString("Amain"));

        // Refilled: nothing chosen.
        trees.Refill();
        QCOMPARE(trees.Chosen(), -1);

        // Made here: listed last, without a new read.
        QSignalSpy inserted(&trees, &QAbstractItemModel::rowsInserted);
        trees.Append("Neu");
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(trees.Names().last(), QString("Neu"));

        // The name as listed: exact first, else the one equal without regard to case.
        QCOMPARE(trees.Listed("Zeta"), QString("Zeta"));
        QCOMPARE(trees.Listed("ZETA"), QString("Zeta"));
        QCOMPARE(trees.Listed("Nobody"), QString());
    }

    void treeBoxShowsTheListAndItsChoice()
    {
        MainWindowFixture w([](mDatabase &db) { QVERIFY(db.CreateTree("Amain")); });
        QComboBox &box = w.main->cboTrees();
        QCOMPARE(box.count(), w.main->Trees().Count());
        QCOMPARE(box.currentIndex(), -1);
        w.main->Trees().Choose("Amain");
        QCOMPARE(box.currentText(), QString("Amain"));
        // Filled again with nothing chosen.
        w.main->Trees().Refill();
        QCOMPARE(box.count(), w.main->Trees().Count());
        QCOMPARE(box.currentIndex(), -1);
    }
};

QTEST_MAIN(TestTreeList)
#include "tst_treelist.moc"
