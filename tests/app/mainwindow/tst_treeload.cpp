// Loading a tree into the chart and walking it down click by click: the rows, the boxes made
// for persons, the window title, the status bar, and the children index behind the clicks.
#include "ChildIndex.h"
#include "ScriptedMessageService.h"
#include "support_TreeFixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Three generations below two root couples, in an order that is not sorted.
QList<PersonRecord> family()
{
    return {
        Person("A", "ROOT", "Adam", "Smith", "Eve", "Smith", "1901", "1950"),
        Person("B1", "A", "Bert", "Smith", "", "", "about 1900", "1950"),
        Person("C", "ROOT", "Carl", "Jones", "Cora", "Jones"),
        Person("B2", "A", "Bea", "Smith", "Bob", "Brown", "", "1980"),
        Person("D1", "B1", "Dora", "Smith", "", "", "12 March 1931"),
        Person("lc", "root", "Low", "Case"),
        Person("E1", "D1", "Emil", "Smith"),
        Person("D2", "B1", "Dan", "Smith"),
        Person("X", "C", "Xaver", "Jones"),
        Person("S", "X", "Self", "Loop"),
        Person("Q", "a", "Other", "Case"),
    };
}

} // namespace

class TestTreeLoad : public QObject
{
    Q_OBJECT

private slots:
    void loadShowsRootPersonsInFirstRow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        f.state.SelectedKey = QStringLiteral("A"); // left over from another tree

        QVERIFY(f.browser->LoadTree("Fam"));
        QCOMPARE(msgs.count(), 0);
        QCOMPARE(f.state.CurrentTree, QStringLiteral("Fam"));
        QCOMPARE(f.people.Count(), 11);
        QCOMPARE(f.chart->Levels().Count(), 1);
        // Exact "ROOT" only, in the order of the table.
        QCOMPARE(f.row(1), (QStringList{"A", "C"}));
        QCOMPARE(f.cboTrees->currentText(), QStringLiteral("Fam"));
        QCOMPARE(f.infoCleared, 1);
        QCOMPARE(f.state.SelectedKey, QString());
        QCOMPARE(f.title, TreeBrowser::TreeTitle("Fam"));

        const cNodePtr a = f.node(1, "A");
        QCOMPARE(a->CaptionA(), QStringLiteral("Smith Adam"));
        QCOMPARE(a->CaptionB(), QStringLiteral("Smith Eve"));
        QCOMPARE(a->Index(), 1);
        QCOMPARE(a->Level(), 1);
        QVERIFY(!a->ParentNode());
        QCOMPARE(a->BgColorA(), kInheritColor);
        QCOMPARE(a->SelShadowColor(), kInheritColor);
        QCOMPARE(a->FrameColor(), kInheritColor);
    }

    void personWithoutPartnerGetsOneBlank()
    {
        const cNode node =
            TreeBrowser::MakeNode(cPerson(Person("K", "ROOT", "Kim", "Lee")), 3, nullptr);
        QCOMPARE(node.CaptionA(), QStringLiteral("Lee Kim"));
        QCOMPARE(node.CaptionB(), QStringLiteral(" "));
        QCOMPARE(node.Level(), 3);
    }

    void clicksOpenOneGenerationEach()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.browser->LoadTree("Fam"));

        f.click(1, "A");
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.row(2), (QStringList{"B1", "B2"}));
        QCOMPARE(f.node(2, "B1")->ParentNode(), f.node(1, "A"));
        QCOMPARE(f.node(2, "B1")->Level(), 2);
        QCOMPARE(f.state.SelectedKey, QStringLiteral("A"));
        QCOMPARE(f.title, QStringLiteral("Smith Adam"));
        QCOMPARE(f.status1, QStringLiteral("Adam Smith"));
        QCOMPARE(f.status2, QStringLiteral("1901 - 1950 (49)"));
        QVERIFY(f.shown && f.shown->Key() == "A");

        f.click(2, "B1", false);
        QCOMPARE(f.row(3), (QStringList{"D1", "D2"}));
        QCOMPARE(f.title, QStringLiteral(" ")); // the lower half: no partner
        QCOMPARE(f.status2, QStringLiteral("about 1900 - 1950 (1950)"));

        f.click(3, "D1");
        QCOMPARE(f.row(4), (QStringList{"E1"}));
        QCOMPARE(f.status2, QStringLiteral("12 March 1931"));
        QCOMPARE(f.node(4, "E1")->ParentNode()->ParentNode()->ParentNode(), f.node(1, "A"));

        // Back up: clicking in row 2 replaces rows 3 and 4 by the clicked person's children.
        f.click(2, "B2");
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.status1, QStringLiteral("Bea Smith"));
        QCOMPARE(f.status2, QString()); // no birth date
        f.click(1, "C");
        QCOMPARE(f.row(2), QStringList{"X"});
        QCOMPARE(msgs.count(), 0);
    }

    void childlessClickCutsLowerRows()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.browser->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        f.click(3, "D2");
        QCOMPARE(f.chart->Levels().Count(), 3);
        QCOMPARE(f.state.SelectedKey, QStringLiteral("D2"));
    }

    void selfParentShowsItselfOneLevelDeeper()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Loop", {Person("R", "ROOT", "Root", "R"), Person("S", "R", "Self", "S"),
                                   Person("S2", "S", "x", "y")}));
        QVERIFY(f.browser->LoadTree("Loop"));
        f.click(1, "R");
        QCOMPARE(f.row(2), QStringList{"S"});
        // The person is edited to be its own parent while its box is shown.
        f.people.Item("S")->setPrntKey("S");
        f.browser->PeopleChanged();
        f.click(2, "S");
        QCOMPARE(f.row(3), (QStringList{"S", "S2"}));
        f.click(3, "S");
        QCOMPARE(f.row(4), (QStringList{"S", "S2"}));
        QCOMPARE(f.chart->Levels().Count(), 4);
    }

    void clickOnPersonNoLongerInPeopleOnlyCuts()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.browser->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        f.people.Remove("B2");
        f.click(2, "B2");
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.state.SelectedKey, QStringLiteral("B1"));
    }

    void emptyTreeIsReported()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Empty", {}));
        QVERIFY(!f.browser->LoadTree("Empty"));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text, QStringLiteral("No records found."));
        QCOMPARE(msgs.last().title, QStringLiteral("Empty tree"));
        QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(f.state.CurrentTree, QStringLiteral("Empty"));
        QCOMPARE(f.chart->Levels().Count(), 0);
    }

    void treeWithoutRootsShowsOneEmptyRow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("NoRoot", {Person("a", "root", "x", "y"), Person("b", "a", "x", "y")}));
        QVERIFY(f.browser->LoadTree("NoRoot"));
        QCOMPARE(msgs.count(), 0);
        QCOMPARE(f.chart->Levels().Count(), 1);
        QCOMPARE(f.chart->Levels().Item(1)->Count(), 0);
    }

    void missingTreeGivesErrorReport()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(!f.browser->LoadTree("NoSuchTree"));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().icon, MsgIcon::Critical);
        QVERIFY(msgs.last().title.startsWith("Error: "));
    }

    void closeTreeForgetsEverything()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.browser->LoadTree("Fam"));
        f.click(1, "A");
        const int cleared = f.infoCleared;
        f.browser->CloseTree();
        QCOMPARE(f.state.CurrentTree, QString());
        QCOMPARE(f.state.SelectedKey, QString());
        QCOMPARE(f.people.Count(), 0);
        QCOMPARE(f.chart->Levels().Count(), 0);
        QVERIFY(!f.chart->SelectedNode());
        QCOMPARE(f.infoCleared, cleared + 1);
        QCOMPARE(f.status1, QString());

        // Nothing open: nothing happens.
        const int draws = f.chart->DrawCount();
        f.browser->CloseTree();
        QCOMPARE(f.chart->DrawCount(), draws);
        QCOMPARE(f.infoCleared, cleared + 1);
    }

    void childIndexMatchesAScan()
    {
        cPeople people;
        for (const PersonRecord &r : family())
            people.Add(cPerson(r));
        ChildIndex index;
        const auto keys = [&](const QString &parent) {
            QStringList k;
            for (const cPersonPtr &p : index.Children(people, parent))
                k << p->Key();
            return k;
        };
        // The same answer as a scan of the collection, for every parent key in it.
        for (const cPersonPtr &parent : people) {
            QStringList scanned;
            for (const cPersonPtr &p : people) {
                if (p->PrntKey() == parent->Key())
                    scanned << p->Key();
            }
            QCOMPARE(keys(parent->Key()), scanned);
        }
        QCOMPARE(keys("ROOT"), (QStringList{"A", "C"}));
        QCOMPARE(keys("Root"), QStringList());
        // Parent keys compare exactly: "Q" hangs from "a", which is not "A".
        QCOMPARE(keys("a"), QStringList{"Q"});

        // Removing a person takes it out of its parent's list without a rebuild.
        const cPersonPtr b1 = people.Item("B1");
        people.Remove("B1");
        index.Remove(*b1);
        QVERIFY(index.IsValid());
        QCOMPARE(keys("A"), (QStringList{"B2"}));

        // A person added behind the index's back: the count changed, so it rebuilds.
        people.Add(cPerson(Person("B3", "A", "New", "Child")));
        QCOMPARE(keys("A"), (QStringList{"B2", "B3"}));

        // A changed parent key needs Invalidate.
        people.Item("B2")->setPrntKey("C");
        index.Invalidate();
        QCOMPARE(keys("A"), (QStringList{"B3"}));
        QCOMPARE(keys("C"), (QStringList{"B2", "X"})); // collection order
    }
};

QTEST_MAIN(TestTreeLoad)
#include "tst_treeload.moc"
