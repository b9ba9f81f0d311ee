// Loading a tree into the chart and walking it down click by click: the rows, the boxes made
// for persons, the window title, the status bar and the information panel, as views of the
// open tree.
#include "PersonNode.h"
#include "ScriptedMessageService.h"
#include "WindowTitle.h"
#include "support_TreeFixture.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
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
        // Another tree's person left in the information panel and selected.
        QVERIFY(f.main->LoadTree("Example"));
        f.menu("mnuViewInfo");
        f.click(1, f.row(1).first());
        QVERIFY(!f.panelKey().isEmpty());
        f.tree.Select(QStringLiteral("A")); // left over from another tree

        QVERIFY(f.main->LoadTree("Fam"));
        QCOMPARE(msgs.count(), 0);
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Fam"));
        QCOMPARE(f.tree.People().Count(), 11);
        QCOMPARE(f.chart->Levels().Count(), 1);
        // Exact "ROOT" only, in the order of the table.
        QCOMPARE(f.row(1), (QStringList{"A", "C"}));
        QCOMPARE(f.cboTrees->currentText(), QStringLiteral("Fam"));
        QCOMPARE(f.panelKey(), QString()); // the information panel was emptied
        QCOMPARE(f.tree.SelectedKey(), QString());
        QCOMPARE(f.title(), WindowTitle::TreeTitle("Fam"));
        QCOMPARE(f.status1(), QString());

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
        const cNode node = MakePersonNode(cPerson(Person("K", "ROOT", "Kim", "Lee")), 3, nullptr);
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
        QVERIFY(f.main->LoadTree("Fam"));
        QSignalSpy shown(&f.tree, &OpenTree::PersonSelected);

        // One layout and drawing per click.
        int draws = f.chart->DrawCount();
        f.click(1, "A");
        QCOMPARE(f.chart->DrawCount(), draws + 1);
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.row(2), (QStringList{"B1", "B2"}));
        QCOMPARE(f.node(2, "B1")->ParentNode(), f.node(1, "A"));
        QCOMPARE(f.node(2, "B1")->Level(), 2);
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("A"));
        QCOMPARE(f.title(), QStringLiteral("Smith Adam"));
        QCOMPARE(f.status1(), QStringLiteral("Adam Smith"));
        QCOMPARE(f.status2(), QStringLiteral("1901 - 1950 (49)"));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.last().first().value<cPersonPtr>()->Key(), QStringLiteral("A"));
        QCOMPARE(f.panelKey(), QString()); // the panel is hidden: not filled

        f.click(2, "B1", false);
        QCOMPARE(f.row(3), (QStringList{"D1", "D2"}));
        QCOMPARE(f.title(), QStringLiteral(" ")); // the lower half: no partner
        QCOMPARE(f.status2(), QStringLiteral("about 1900 - 1950"));

        f.menu("mnuViewInfo"); // the panel shows the selected person when shown
        QCOMPARE(f.panelKey(), QStringLiteral("B1"));
        draws = f.chart->DrawCount();
        f.click(3, "D1");
        QCOMPARE(f.chart->DrawCount(), draws + 1);
        QCOMPARE(f.row(4), (QStringList{"E1"}));
        QCOMPARE(f.status2(), QStringLiteral("12 March 1931"));
        QCOMPARE(f.panelKey(), QStringLiteral("D1"));
        QCOMPARE(f.node(4, "E1")->ParentNode()->ParentNode()->ParentNode(), f.node(1, "A"));

        // Back up: clicking in row 2 replaces rows 3 and 4 by the clicked person's children.
        f.click(2, "B2");
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.status1(), QStringLiteral("Bea Smith"));
        QCOMPARE(f.status2(), QString()); // no birth date
        f.click(1, "C");
        QCOMPARE(f.row(2), QStringList{"X"});
        QCOMPARE(msgs.count(), 0);
    }

    void childlessClickCutsLowerRows()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        f.click(3, "D2");
        QCOMPARE(f.chart->Levels().Count(), 3);
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("D2"));
    }

    void selfParentShowsItselfOneLevelDeeper()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Loop", {Person("R", "ROOT", "Root", "R"), Person("S", "R", "Self", "S"),
                                   Person("S2", "S", "x", "y")}));
        QVERIFY(f.main->LoadTree("Loop"));
        f.click(1, "R");
        QCOMPARE(f.row(2), QStringList{"S"});
        // The person is edited to be its own parent while its box is shown.
        PersonRecord self = f.tree.People().Item("S")->toRecord();
        self.PrntKey = "S";
        f.tree.ChangePerson("S", self);
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
        QVERIFY(f.main->LoadTree("Fam"));
        f.click(1, "A");
        f.click(2, "B1");
        // A box left in the chart whose person is no longer in People.
        const cNodePtr b2 = f.node(2, "B2");
        f.tree.RemovePerson("B2");
        f.chart->Levels().Item(2)->Add(*b2);
        f.click(2, "B2");
        QCOMPARE(f.chart->Levels().Count(), 2);
        QCOMPARE(f.tree.SelectedKey(), QStringLiteral("B1"));
    }

    void emptyTreeIsReported()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("Empty", {}));
        QVERIFY(!f.main->LoadTree("Empty"));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text, QStringLiteral("No records found."));
        QCOMPARE(msgs.last().title, QStringLiteral("Empty tree"));
        QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Empty"));
        QCOMPARE(f.chart->Levels().Count(), 0);
    }

    void treeWithoutRootsShowsOneEmptyRow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(f.addTree("NoRoot", {Person("a", "root", "x", "y"), Person("b", "a", "x", "y")}));
        QVERIFY(f.main->LoadTree("NoRoot"));
        QCOMPARE(msgs.count(), 0);
        QCOMPARE(f.chart->Levels().Count(), 1);
        QCOMPARE(f.chart->Levels().Item(1)->Count(), 0);
    }

    void missingTreeGivesErrorReport()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        QVERIFY(!f.main->LoadTree("NoSuchTree"));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().icon, MsgIcon::Critical);
        QVERIFY(msgs.last().title.startsWith("Error: "));
    }

    // A table an older version made, without the unique key, may hold a key twice (in any
    // case): the rows after the first are left out, and the window loading the tree says so,
    // once per row, in the order of the rows, before it shows the chart.
    void keysTakenTwiceAreReportedByTheWindow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        TreeFixture f;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
            db.setDatabaseName(f.store.DatabasePath());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE \"Old\" AS SELECT * FROM main WHERE 0"));
            for (const char *row : {"('K1', 'ROOT', 'First')", "('k1', 'ROOT', 'Second')",
                                    "('K2', 'ROOT', 'Other')", "('K1', 'ROOT', 'Third')"})
                QVERIFY(q.exec(QStringLiteral("INSERT INTO \"Old\" (ID, PrntKey, Fname) VALUES %1")
                                   .arg(QLatin1String(row))));
            q = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase("old");

        QVERIFY(f.main->LoadTree("Old"));
        QCOMPARE(msgs.count(), 2);
        QCOMPARE(msgs.calls().at(0).text,
                 QStringLiteral("The Key 'k1' is already associated with an "
                                "element of this collection."));
        QCOMPARE(msgs.calls().at(1).text,
                 QStringLiteral("The Key 'K1' is already associated with an "
                                "element of this collection."));
        QCOMPARE(msgs.last().title, QStringLiteral("Key already exists"));
        QCOMPARE(msgs.last().icon, MsgIcon::Critical);
        QCOMPARE(f.tree.People().Count(), 2);
        QCOMPARE(f.tree.People().Item("K1")->Fname(), QStringLiteral("First"));
        QCOMPARE(f.row(1), (QStringList{"K1", "K2"}));
    }

    void closeTreeForgetsEverything()
    {
        TreeFixture f;
        QVERIFY(f.addTree("Fam", family()));
        QVERIFY(f.main->LoadTree("Fam"));
        f.menu("mnuViewInfo");
        f.click(1, "A");
        QCOMPARE(f.panelKey(), QStringLiteral("A"));
        QSignalSpy replaced(&f.tree, &OpenTree::PeopleReplaced);
        f.main->CloseTree();
        QCOMPARE(f.tree.CurrentTree(), QString());
        QCOMPARE(f.tree.SelectedKey(), QString());
        QCOMPARE(f.tree.People().Count(), 0);
        QCOMPARE(f.chart->Levels().Count(), 0);
        QVERIFY(!f.chart->SelectedNode());
        QCOMPARE(f.panelKey(), QString());
        QCOMPARE(f.status1(), QString());
        QCOMPARE(f.title(), WindowTitle::TreeTitle(QString()));
        QCOMPARE(replaced.count(), 1);

        // Nothing open: nothing happens.
        const int draws = f.chart->DrawCount();
        f.main->CloseTree();
        QCOMPARE(f.chart->DrawCount(), draws);
        QCOMPARE(replaced.count(), 1);
    }
};

QTEST_MAIN(TestTreeLoad)
#include "tst_treeload.moc"
