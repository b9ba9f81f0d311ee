// The tree and person commands of the main window that need no edit window: new, open, modify
// and close tree, the tree box, delete person (with its photo folder), refresh, and the layout
// of the window's parts. The commands ask the open tree for changes; the chart, the title, the
// status bar, the information panel and the tree box follow it.
#include "ChangeLog.h"
#include "HelpWindow.h"
#include "MainLayout.h"
#include "ModalSeam.h"
#include "PhotoFolders.h"
#include "ScriptedMessageService.h"
#include "dlgModify.h"
#include "dlgNew.h"
#include "dlgOpen.h"
#include "support_TreeFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

QList<PersonRecord> family()
{
    return {
        Person("A", "ROOT", "Adam", "Smith"), Person("B1", "A", "Bert", "Smith"),
        Person("B2", "A", "Bea", "Smith"),    Person("D1", "B1", "Dora", "Smith"),
        Person("C", "ROOT", "Carl", "Jones"),
    };
}

QStringList keysIn(const mDatabase &store, const QString &tree)
{
    QStringList keys;
    for (const PersonRecord &r : store.ReadTree(tree).value())
        keys << r.ID;
    return keys;
}

// Makes a photo folder with one file for the key.
QString makePhotos(const TreeFixture &f, const QString &key)
{
    const QString folder = PhotoFolders::FolderOf(f.state.DataPath, key);
    QDir().mkpath(folder);
    QFile file(folder + "a.jpg");
    file.open(QIODevice::WriteOnly);
    file.write("x");
    return folder;
}

int indexOf(QListWidget *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text)
            return i;
    }
    return -1;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void refreshWithoutTreeDoesNothing()
    {
        TreeFixture f;
        const int draws = f.chart->DrawCount();
        f.menu("mnuToolsRefresh");
        QCOMPARE(f.chart->DrawCount(), draws);
    }

    void refreshRedrawsAndReopensTheSelection()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        // A person added in memory only (the database is not read again).
        f.tree.AddPerson(Person("D2", "B1", "Dan", "Smith"));
        const int draws = f.chart->DrawCount();
        f.menu("mnuToolsRefresh");
        QVERIFY(f.chart->DrawCount() > draws);
        QCOMPARE(f.row(3), (QStringList{"D1", "D2"}));
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("B1"));
    }

    void deletingRootPersonAsksCrucialQuestion()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        int helpTopic = 0;
        MessageService::setHelpHandler([&](const QString &, int topic) { helpTopic = topic; });

        // Help first (the question stays), then No: nothing changes.
        msgs.enqueue(MsgResult::Help);
        msgs.enqueue(MsgResult::No);
        f.persons->mnuPersonDelete();
        MessageService::setHelpHandler({});
        QCOMPARE(helpTopic, 1020);
        QCOMPARE(msgs.count(), 1);
        const MessageRequest q = msgs.last();
        QCOMPARE(q.text, QStringLiteral("You are about to delete a 'Root' person from the tree.\r\n"
                                        "Are you sure you wish to do it?\r\n\r\n"
                                        "If you are not sure, click 'Help' for more details "
                                        "about Root persons."));
        QCOMPARE(q.title, QStringLiteral("Crucial!"));
        QCOMPARE(q.icon, MsgIcon::Exclamation);
        QCOMPARE(q.buttons, MsgButtons::YesNo);
        QCOMPARE(q.helpTopic, HelpWindow::kTopicRootPersons);
        QCOMPARE(keysIn(f.store, "Fam").size(), 5);
        QCOMPARE(f.row(1), (QStringList{"A", "C"}));
        QCOMPARE(f.chart->Levels().Count(), 2);

        // Yes: the root goes; its children stay in the table, out of reach.
        msgs.enqueue(MsgResult::Yes);
        f.persons->mnuPersonDelete();
        QCOMPARE(keysIn(f.store, "Fam"), (QStringList{"B1", "B2", "D1", "C"}));
        QVERIFY(!f.tree.People().Item("A"));
        QCOMPARE(f.row(1), QStringList{"C"});
        QCOMPARE(f.chart->Levels().Count(), 1);
        QVERIFY(!f.chart->SelectedNode());
        QCOMPARE(f.tree.SelectedKey(), QString());
        QCOMPARE(f.status1(), QString());
    }

    void rootTestForDeletionIgnoresCase()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", {Person("A", "ROOT", "a", "b"), Person("r", "Root", "c", "d")}));
        QVERIFY(f.main->LoadTree("Fam"));
        f.tree.Select(QStringLiteral("r")); // not in the chart, but in People
        msgs.enqueue(MsgResult::No);
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.last().title, QStringLiteral("Crucial!"));
    }

    void deletingPersonWithChildren()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.menu("mnuViewInfo");
        f.click(1, "A");
        f.click(2, "B1");
        QCOMPARE(f.chart->Levels().Count(), 3);
        QCOMPARE(f.panelKey(), QStringLiteral("B1"));

        msgs.enqueue(MsgResult::Cancel);
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Are you sure you wish to delete the selected person 'B1'?"));
        QCOMPARE(msgs.last().title, QStringLiteral("Confirmation"));
        QCOMPARE(msgs.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(keysIn(f.store, "Fam").size(), 5);

        f.persons->mnuPersonDelete();
        QCOMPARE(keysIn(f.store, "Fam"), (QStringList{"A", "B2", "D1", "C"}));
        // The parent's children are shown again without the deleted person.
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.row(2), QStringList{"B2"});
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("A"));
        QCOMPARE(f.chart->SelectedNode(), f.node(1, "A"));
        // The panel let go of the deleted person and shows the parent, as the title does.
        QCOMPARE(f.panelKey(), QStringLiteral("A"));
        QCOMPARE(f.title(), QStringLiteral("Smith Adam"));

        // Nothing selected any more in People: the command does nothing.
        f.tree.Select(QStringLiteral("B1"));
        const int asked = msgs.count();
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), asked);
    }

    void photoFolderGoesOnlyWithTheLastPersonOfItsKey()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.addTree("Other", {Person("B1", "ROOT", "Namesake", "Key")}));
        const QString shared = makePhotos(f, "B1");
        const QString own = makePhotos(f, "B2");

        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        f.persons->mnuPersonDelete();
        QVERIFY2(QFileInfo::exists(shared + "/a.jpg"), "another tree's person still has the key");
        f.click(2, "B2");
        f.persons->mnuPersonDelete();
        QVERIFY(!QFileInfo::exists(own));

        // The last person with key B1 goes: so does the folder.
        QVERIFY(f.main->LoadTree("Other"));
        f.click(1, "B1");
        msgs.enqueue(MsgResult::Yes);
        f.persons->mnuPersonDelete();
        QVERIFY(!QFileInfo::exists(shared));
        QVERIFY(QFileInfo::exists(PhotoFolders::Root(f.state.DataPath)));
    }

    void keyThatIsNotAFolderNameDeletesNoFolder()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", {Person("..", "ROOT", "Dot", "Dot")}));
        const QString photos = makePhotos(f, "keep");
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "..");
        msgs.enqueue(MsgResult::Yes);
        f.persons->mnuPersonDelete();
        QCOMPARE(keysIn(f.store, "Fam"), QStringList());
        QVERIFY(QFileInfo::exists(photos + "/a.jpg"));
    }

    void renamingTheOpenTreeKeepsItOpen()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        QString oldName, newName;
        ScopedModalDriver driver([&](QDialog &d) {
            auto &dlg = static_cast<dlgModify &>(d);
            dlg.lstTrees()->setCurrentRow(indexOf(dlg.lstTrees(), "Fam"));
            dlg.txtNew()->setText(QStringLiteral("Family"));
            dlg.cmdRename()->click();
            oldName = dlg.ModifyOldName();
            newName = dlg.ModifyNewName();
            return dlg.result();
        });
        f.commands->mnuFileModify();
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Are you sure you wish to rename the tree Fam to Family?"));
        QVERIFY(f.store.TreeExists("Family"));
        QVERIFY(!f.store.TreeExists("Fam"));
        // The tree box is filled again with nothing selected; the chart stays.
        QCOMPARE(f.cboTrees->currentIndex(), -1);
        QVERIFY(f.cboTrees->findText("Family") >= 0);
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Family"));
        QCOMPARE(f.state.LastOpen, QStringLiteral("Family"));
        QCOMPARE(oldName, QStringLiteral("Fam"));
        QCOMPARE(newName, QStringLiteral("Family"));

        // The open tree is still usable: deleting a person reaches the renamed table.
        f.click(2, "B2");
        const int before = msgs.count();
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), before + 1); // the question only, no error
        QCOMPARE(keysIn(f.store, "Family"), (QStringList{"A", "B1", "D1", "C"}));
    }

    // A database an older version made holds "Ärzte" and "ärzte": renaming the one that is
    // not open leaves the open one as it is, and changes keep reaching the open one.
    void renamingTheOtherOfAPairLeavesTheOpenTree()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        const QString upper = QStringLiteral("Ärzte");
        const QString lower = QStringLiteral("ärzte");
        QVERIFY(f.addTree(upper, family()));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "older");
            db.setDatabaseName(f.state.DataPath + QStringLiteral("people.db"));
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(
                QStringLiteral("CREATE TABLE \"%1\" AS SELECT * FROM \"%2\"").arg(lower, upper)));
            QVERIFY(query.exec(QStringLiteral("UPDATE \"%1\" SET \"Fname\" = 'Lower'").arg(lower)));
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase("older");
        f.main->Trees().Refill();
        QVERIFY(f.main->LoadTree(lower));
        ScopedModalDriver driver([&](QDialog &d) {
            auto &dlg = static_cast<dlgModify &>(d);
            dlg.lstTrees()->setCurrentRow(indexOf(dlg.lstTrees(), upper));
            dlg.txtNew()->setText(QStringLiteral("Doctors"));
            dlg.cmdRename()->click();
            return dlg.result();
        });
        f.commands->mnuFileModify();
        QCOMPARE(f.tree.CurrentTree(), lower);
        QCOMPARE(keysIn(f.store, "Doctors"), (QStringList{"A", "B1", "B2", "D1", "C"}));

        f.click(1, "C");
        msgs.clear();
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), 1); // the question only
        QCOMPARE(keysIn(f.store, lower), (QStringList{"A", "B1", "B2", "D1"}));
        QCOMPARE(keysIn(f.store, "Doctors"), (QStringList{"A", "B1", "B2", "D1", "C"}));
    }

    // The refused delete says who changed the person and when, as the history of the database
    // says it.
    void deletingSaysWhoChangedThePerson()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B2");
        mDatabase other;
        other.SetPaths(f.state.DataPath, f.state.DataPath + QStringLiteral("people.db"));
        QVERIFY(other.OpenDatabase());
        QVERIFY(other.UpdatePerson("Fam", "B2", Person("B2", "A", "Beatrice", "Smith")));
        ChangeLog::Entry entry;
        entry.tree = QStringLiteral("Fam");
        entry.record = ChangeLog::personRecord(QStringLiteral("B2"));
        entry.command = QStringLiteral("Edit Person Beatrice Smith");
        entry.user = QStringLiteral("bert");
        QVERIFY(ChangeLog::add(other, entry));

        msgs.enqueue(MsgResult::Ok);     // delete B2?
        msgs.enqueue(MsgResult::Cancel); // leave it
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), 2);
        const QString text = msgs.last().text;
        QVERIFY2(text.startsWith(QStringLiteral("Another program changed the person 'B2' after "
                                                "Velkin Tree read it. It was last changed by "
                                                "bert on ")) &&
                     text.contains(QStringLiteral("(Edit Person Beatrice Smith). The person has "
                                                  "not been deleted.")),
                 qPrintable(text));
        QVERIFY(keysIn(f.store, "Fam").contains("B2"));
    }

    // Another program changed the person after the tree was read: the delete is refused and
    // offers to show the person as it is now; a person it deleted is said to be gone.
    void deletingAPersonAnotherProgramChanged()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B2");
        mDatabase other;
        other.SetPaths(f.state.DataPath, f.state.DataPath + QStringLiteral("people.db"));
        QVERIFY(other.OpenDatabase());
        QVERIFY(other.UpdatePerson("Fam", "B2", Person("B2", "A", "Beatrice", "Smith")));

        msgs.enqueue(MsgResult::Ok);    // delete B2?
        msgs.enqueue(MsgResult::Retry); // Reload
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), 2);
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Another program changed the person 'B2' after Velkin Tree read "
                                "it. The person has not been deleted.\r\n\r\nReload shows the "
                                "person as it is now, so that you can decide again. Cancel leaves "
                                "everything as it is."));
        QCOMPARE(msgs.last().buttonTexts, (QStringList{"Reload", "Cancel"}));
        QVERIFY(keysIn(f.store, "Fam").contains("B2"));
        QCOMPARE(f.tree.People().Item("B2")->Fname(), QStringLiteral("Beatrice"));
        QCOMPARE(f.node(2, "B2")->CaptionA(), QStringLiteral("Smith Beatrice"));

        // Now as it is stored, the person goes.
        f.persons->mnuPersonDelete();
        QVERIFY(!keysIn(f.store, "Fam").contains("B2"));

        QVERIFY(other.DeletePerson("Fam", "B1"));
        f.click(2, "B1");
        msgs.clear();
        f.persons->mnuPersonDelete();
        QCOMPARE(msgs.count(), 2);
        QCOMPARE(msgs.last().text, QStringLiteral("The person 'B1' is no longer in the tree 'Fam': "
                                                  "another program deleted it."));
        QVERIFY(!f.tree.People().Item("B1"));
        QVERIFY(!f.node(2, "B1"));
    }

    void deletingAnotherTreeClosesTheOpenOne()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.addTree("Other", {Person("O", "ROOT", "o", "o")}));
        QVERIFY(f.main->LoadTree("Fam"));
        ScopedModalDriver driver([](QDialog &d) {
            auto &dlg = static_cast<dlgModify &>(d);
            dlg.lstTrees()->setCurrentRow(indexOf(dlg.lstTrees(), "Other"));
            dlg.cmdDelete()->click();
            return dlg.result();
        });
        f.commands->mnuFileModify();
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Are you sure you wish to remove the tree Other?"));
        QVERIFY(!f.store.TreeExists("Other"));
        QVERIFY(f.store.TreeExists("Fam"));
        QCOMPARE(f.tree.CurrentTree(), QString());
        QCOMPARE(f.chart->Levels().Count(), 0);
        QCOMPARE(f.cboTrees->findText("Other"), -1);
        QCOMPARE(f.cboTrees->currentIndex(), -1);
    }

    void newTreeIsCreatedAndOpened()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        QString typed = QStringLiteral("Neu");
        QString named;
        ScopedModalDriver driver([&](QDialog &d) {
            auto &dlg = static_cast<dlgNew &>(d);
            dlg.txtNew()->setText(typed);
            dlg.cmdOpen()->click();
            named = dlg.NewTreeName();
            return dlg.result();
        });
        f.commands->mnuFileNew();
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Velkin tree 'Neu' has been successfully created"));
        QCOMPARE(msgs.last().title, QStringLiteral("Successful"));
        QCOMPARE(msgs.last().icon, MsgIcon::None);
        QCOMPARE(msgs.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(named, QStringLiteral("Neu"));
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Neu"));
        QCOMPARE(f.tree.SelectedKey(), QString());
        QCOMPARE(f.cboTrees->currentText(), QStringLiteral("Neu"));
        QCOMPARE(f.chart->Levels().Count(), 0);
        QCOMPARE(f.tree.People().Count(), 0);

        // A name in use: the message of the store, and the open tree stays as it was.
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        typed = QStringLiteral("fam");
        f.commands->mnuFileNew();
        QCOMPARE(msgs.last().text,
                 QStringLiteral("The tree 'fam' already exists. Please select a unique name."));
        QCOMPARE(msgs.last().title, QStringLiteral("Error: Record exists."));
        QCOMPARE(msgs.last().icon, MsgIcon::Critical);
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Fam"));
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.tree.People().Count(), 5);
    }

    void cancelledNewTreeCreatesNothing()
    {
        TreeFixture f;
        QString named = QStringLiteral("?");
        ScopedModalDriver driver([&named](QDialog &d) {
            auto &dlg = static_cast<dlgNew &>(d);
            dlg.txtNew()->setText(QStringLiteral("Never"));
            dlg.cmdCancel()->click();
            named = dlg.NewTreeName();
            return dlg.result();
        });
        QSignalSpy replaced(&f.tree, &OpenTree::PeopleReplaced);
        f.commands->mnuFileNew();
        QVERIFY(!f.store.TreeExists("Never"));
        QCOMPARE(named, QString());
        QCOMPARE(replaced.count(), 0);
    }

    void openTreeThroughDialog()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QString count, chosen;
        ScopedModalDriver driver([&](QDialog &d) {
            auto &dlg = static_cast<dlgOpen &>(d);
            count = dlg.lblCount()->text();
            dlg.lstTrees()->setCurrentRow(indexOf(dlg.lstTrees(), "Fam"));
            dlg.cmdOpen()->click();
            chosen = dlg.OpenTreeName();
            return dlg.result();
        });
        f.commands->mnuFileOpen();
        // The example tree of a new database and ours.
        QCOMPARE(count, QStringLiteral("%1 velkin tree(s) found").arg(f.store.ListTrees().size()));
        QCOMPARE(chosen, QStringLiteral("Fam"));
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Fam"));
        QCOMPARE(f.cboTrees->currentText(), QStringLiteral("Fam"));
        QCOMPARE(f.row(1), (QStringList{"A", "C"}));
    }

    void treeBoxLoadsOnlyAnotherTree()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        const int fam = f.cboTrees->findText("Fam");
        f.commands->cboTrees_Click(fam);
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Fam"));
        f.click(1, "A");
        f.commands->cboTrees_Click(fam);
        QCOMPARE(f.chart->Levels().Count(), 2); // not loaded again

        f.commands->mnuFileClose();
        QCOMPARE(f.tree.CurrentTree(), QString());
        QCOMPARE(f.cboTrees->currentIndex(), -1);
    }

    void layoutFollowsTheViewOptions()
    {
        MainLayoutInput in;
        in.twipsPerPixel = 15;
        in.innerWidth = 12000;
        in.innerHeight = 9000;
        in.toolBarHeight = 450;
        in.statusBarHeight = 300;
        in.infoWidth = 4000;
        in.infoHeight = 8000;
        in.notesFrameTop = 5000;
        in.notesBoxTop = 200;

        MainLayoutResult out = ComputeMainLayout(in);
        QCOMPARE(out.chartTop, 450);
        QCOMPARE(out.chartHeight, 9000 - 450 - 300 - 15);
        QCOMPARE(out.chartWidth, 12000 - 30);
        QVERIFY(!out.infoVisible);

        in.showToolBar = false;
        in.showStatusBar = false;
        out = ComputeMainLayout(in);
        QCOMPARE(out.chartTop, 0);
        QCOMPARE(out.chartHeight, 9000 - 15);

        in.showInfo = true;
        out = ComputeMainLayout(in);
        QVERIFY(out.infoVisible);
        QCOMPARE(out.chartWidth, 12000 - 4000 - 30);
        QVERIFY(!out.stretchNotes);

        in.innerHeight = 9360;
        QVERIFY(!ComputeMainLayout(in).stretchNotes);
        in.innerHeight = 9361;
        out = ComputeMainLayout(in);
        QVERIFY(out.stretchNotes);
        QCOMPARE(out.notesFrameHeight, 8000 - 5000 - 150);
        QCOMPARE(out.notesBoxHeight, 8000 - 5000 - 150 - 200 - 150);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
