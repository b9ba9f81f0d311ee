// Changes made by another program appear in the open window without a reload: a second store on
// the window's database (the same file in a temporary folder, or a database of a real server
// the test starts) adds, changes and deletes persons and renames and deletes trees, and the
// window's open tree, chart, panel, title and tree box follow, keeping the selection.
#include "LiveChanges.h"
#include "PgServer.h"
#include "ScriptedMessageService.h"
#include "StoreWatcher.h"
#include "support_TreeFixture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

const QString kTree = QStringLiteral("Family");

} // namespace

class TestLiveChanges : public QObject
{
    Q_OBJECT

    std::unique_ptr<PgServer> m_server;
    int m_made = 0;

    bool onServer() const { return QByteArray(QTest::currentDataTag()) == "server"; }

    // The window on the engine of the test row, showing the tree "Family" (R1 with children C1
    // and C2), and a second store (`other`) on the same database.
    bool setUp(TreeFixture &f, mDatabase &other)
    {
        if (onServer()) {
            const QString name = QStringLiteral("live%1").arg(++m_made);
            if (!m_server->createDatabase(name).isEmpty())
                return false;
            const Result<ServerAddress> address = ParseServerAddress(m_server->keywords(name));
            if (!address)
                return false;
            for (mDatabase *store : {&f.store, &other}) {
                store->SetServer(*address);
                store->SetCreateTables(true);
                if (!store->OpenDatabase())
                    return false;
            }
        } else {
            other.SetPaths(f.state.DataPath, f.store.DatabasePath());
            if (!other.OpenDatabase())
                return false;
        }
        if (!f.addTree(kTree,
                       {Person("R1", "ROOT", "Rose", "Reed"), Person("C1", "R1", "Carl", "Reed"),
                        Person("C2", "R1", "Cora", "Reed")}))
            return false;
        f.main->Watcher().Check(); // the window's own changes are no news
        return f.main->LoadTree(kTree);
    }

    void engines()
    {
        QTest::addColumn<bool>("unused");
        QTest::newRow("file");
        QTest::newRow("server");
    }

private slots:
    void initTestCase() { m_server = std::make_unique<PgServer>(); }
    void cleanupTestCase() { m_server.reset(); }

    // Persons another user adds, changes and deletes appear in the window; the selected person
    // and the opened rows of the chart stay; the selected person deleted moves the selection up
    // to its parent, as a deletion here does.
    void personsFollowKeepingTheSelection_data() { engines(); }
    void personsFollowKeepingTheSelection()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        mDatabase other;
        QVERIFY(setUp(f, other));
        f.menu("mnuViewInfo");
        f.click(1, QStringLiteral("R1"));
        f.click(2, QStringLiteral("C1"));
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("C1"));
        QCOMPARE(f.row(2), (QStringList{"C1", "C2"}));

        QSignalSpy records(&f.tree, &OpenTree::RecordsChanged);
        QVERIFY(other.UpdatePerson(kTree, QStringLiteral("C1"),
                                   Person("C1", "R1", "Carlos", "Reed-Ortiz")));
        QTRY_COMPARE_WITH_TIMEOUT(f.tree.People().Item(QStringLiteral("C1"))->Fname(),
                                  QStringLiteral("Carlos"), 5000);
        // Only the person changed was read again (on either engine), not the whole tree.
        QCOMPARE(records.count(), 1);
        QCOMPARE(records.first().first().toStringList(), QStringList{"C1"});
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("C1"));
        QCOMPARE(f.main->pnlInfo().findChild<QLineEdit *>(QStringLiteral("txtFname"))->text(),
                 QStringLiteral("Carlos"));
        QVERIFY(f.status1().contains(QStringLiteral("Carlos")));
        QCOMPARE(f.row(2), (QStringList{"C1", "C2"}));

        QVERIFY(other.InsertPerson(kTree, Person("C3", "R1", "Cleo", "Reed")));
        QVERIFY(other.InsertPerson(kTree, Person("G1", "C1", "Gus", "Reed")));
        QTRY_VERIFY_WITH_TIMEOUT(f.tree.People().Item(QStringLiteral("G1")), 5000);
        QVERIFY(f.tree.People().Item(QStringLiteral("C3")));
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("C1"));
        QCOMPARE(f.tree.Children(QStringLiteral("R1")).size(), size_t(3));

        QVERIFY(other.DeletePerson(kTree, QStringLiteral("C1")));
        QTRY_VERIFY_WITH_TIMEOUT(!f.tree.People().Item(QStringLiteral("C1")), 5000);
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("R1"));
        QCOMPARE(f.panelKey(), QStringLiteral("R1"));
        QVERIFY(!f.node(2, QStringLiteral("C1")));
        QCOMPARE(f.tree.CurrentTree(), kTree);
    }

    // A tree another user makes is listed; the open tree renamed elsewhere goes on under its new
    // name (title, tree box) with its persons and selection; deleted elsewhere, the user is told
    // and it is closed.
    void treesFollowRenameAndDeletion_data() { engines(); }
    void treesFollowRenameAndDeletion()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        mDatabase other;
        QVERIFY(setUp(f, other));
        f.click(1, QStringLiteral("R1"));

        QVERIFY(other.CreateTree(QStringLiteral("Cousins")));
        QTRY_VERIFY_WITH_TIMEOUT(f.main->Trees().Names().contains(QStringLiteral("Cousins")), 5000);
        QCOMPARE(f.cboTrees->currentText(), kTree);

        const QString renamed = QStringLiteral("Family \"Reed\"");
        QVERIFY(other.RenameTree(kTree, renamed));
        QTRY_COMPARE_WITH_TIMEOUT(f.tree.CurrentTree(), renamed, 5000);
        QCOMPARE(f.cboTrees->currentText(), renamed);
        QVERIFY(!f.main->Trees().Names().contains(kTree));
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("R1"));
        QCOMPARE(f.tree.People().Count(), 3);
        QCOMPARE(msgs.count(), 0);

        QVERIFY(other.DeleteTree(renamed));
        QTRY_VERIFY_WITH_TIMEOUT(!f.tree.IsOpen(), 5000);
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text, LiveChanges::DeletedText(renamed));
        QCOMPARE(f.tree.People().Count(), 0);
        QCOMPARE(f.main->Trees().Names(), (QStringList{"Example", "Cousins"}));
        QCOMPARE(f.cboTrees->currentIndex(), -1);
    }

    // Notices that arrive together are taken in order: a change named by the tree's new name
    // after its rename is one of the open tree.
    void renameThenChangeTogether()
    {
        TreeFixture f;
        mDatabase other;
        QVERIFY(setUp(f, other));
        const QString renamed = QStringLiteral("Reeds");
        QVERIFY(other.RenameTree(kTree, renamed));
        QVERIFY(other.UpdatePerson(renamed, QStringLiteral("C2"), Person("C2", "R1", "Coral", "")));
        f.main->Live().Apply(
            {ChangeNotice::renamed(kTree, renamed), ChangeNotice::persons(renamed, {"C2"})});
        QCOMPARE(f.tree.CurrentTree(), renamed);
        QCOMPARE(f.tree.People().Item(QStringLiteral("C2"))->Fname(), QStringLiteral("Coral"));
    }

    // Much of the tree changed at once (as a tree read again from a GEDCOM file): it is loaded
    // again as a whole, and the selected person stays selected.
    void manyChangesLoadAgainKeepingTheSelection()
    {
        TreeFixture f;
        mDatabase other;
        QVERIFY(setUp(f, other));
        f.click(1, QStringLiteral("R1"));
        f.click(2, QStringLiteral("C2"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "bulk");
            db.setDatabaseName(f.store.DatabasePath());
            QVERIFY(db.open());
            QVERIFY(db.transaction());
            QSqlQuery insert(db);
            QVERIFY(insert.prepare(
                QStringLiteral("INSERT INTO \"Family\" (ID, PrntKey, Fname) VALUES (?, 'C1', ?)")));
            for (int i = 0; i < 300; ++i) {
                insert.addBindValue(QStringLiteral("N%1").arg(i));
                insert.addBindValue(QStringLiteral("New %1").arg(i));
                QVERIFY(insert.exec());
            }
            QVERIFY(db.commit());
            insert = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bulk"));
        QSignalSpy replaced(&f.tree, &OpenTree::PeopleReplaced);
        QSignalSpy added(&f.tree, &OpenTree::PersonAdded);
        QTRY_COMPARE_WITH_TIMEOUT(f.tree.People().Count(), 303, 5000);
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(added.count(), 0);
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("C2"));
        QCOMPARE(f.tree.CurrentTree(), kTree);
    }

    // The window's own changes are not read again; a hidden window hears nothing until it is
    // shown, then catches up.
    void ownChangesAndHiddenWindow()
    {
        TreeFixture f;
        mDatabase other;
        QVERIFY(setUp(f, other));
        QSignalSpy applied(&f.main->Live(), &LiveChanges::Applied);
        QVERIFY(f.store.UpdatePerson(kTree, QStringLiteral("C2"), Person("C2", "R1", "X", "Y")));
        f.main->Watcher().Check();
        QCoreApplication::processEvents();
        QCOMPARE(applied.count(), 0);
        QCOMPARE(f.tree.People().Item(QStringLiteral("C2"))->Fname(), QStringLiteral("Cora"));

        f.main->hide();
        QVERIFY(!f.main->Watcher().IsWatching());
        QVERIFY(other.InsertPerson(kTree, Person("C9", "R1", "Hidden", "Reed")));
        f.main->Watcher().Check();
        QCoreApplication::processEvents();
        QVERIFY(!f.tree.People().Item(QStringLiteral("C9")));
        f.main->show();
        QVERIFY(f.main->Watcher().IsWatching());
        QTRY_VERIFY_WITH_TIMEOUT(f.tree.People().Item(QStringLiteral("C9")), 5000);
    }
};

QTEST_MAIN(TestLiveChanges)
#include "tst_livechanges.moc"
