// The information panel's "Family and events" tab in the main window, and persons outside the
// line of descent: selected through the open tree's owner like any person, shown by the panel,
// the status bar and the title, but never a box of the chart and never a break to tell about.
#include "ChartViewCommands.h"
#include "FactsView.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "support_FamilyTree.h"
#include "support_TreeFixture.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace {

struct Program : TreeFixture
{
    FamilyTree family;
    InfoPanel &panel;
    FactsView &facts;
    ChartViewCommands &charts;

    Program() : panel(main->pnlInfo()), facts(*panel.Facts()), charts(main->Charts())
    {
        if (!main->View().ShowInfo())
            menu("mnuViewInfo");
        panel.SetSliceSource(family.slices());
    }

    bool loadFamily()
    {
        return addTree(QStringLiteral("Royals"), family.rows()) &&
               main->LoadTree(QStringLiteral("Royals"));
    }

    // Every key the chart shows a box of.
    QStringList boxes() const
    {
        QStringList keys;
        for (int level = 1; level <= chart->Levels().Count(); ++level)
            keys += row(level);
        return keys;
    }
    QString page() const { return facts.browser()->toPlainText(); }
};

} // namespace

class TestFactsPanel : public QObject
{
    Q_OBJECT

private:
    ScriptedMessageService m_messages;

private slots:
    void init() { m_messages.clear(); }

    void fieldsFirstFactsOnTheSecondTab()
    {
        Program program;
        QVERIFY(program.loadFamily());
        QCOMPARE(program.panel.CurrentTab(), int(InfoPanel::kFieldsTab));
        program.click(1, QStringLiteral("I1"));
        program.click(2, QStringLiteral("I3"));
        QCOMPARE(program.panelKey(), QStringLiteral("I3"));
        // The facts are read when their tab is shown, for the person the panel shows.
        QVERIFY(program.facts.ShownKey().isEmpty());
        program.panel.SetCurrentTab(InfoPanel::kFactsTab);
        QCOMPARE(program.facts.ShownKey(), QStringLiteral("I3"));
        QCOMPARE(program.facts.LinkKeys(), (QStringList{"I1", "I2"}));
        const QString page = program.page();
        for (const char *text : {"Parents", "George King", "Caroline Brunswick", "Partners",
                                 "None recorded.", "Events", "7 JAN 1796", "Sources"})
            QVERIFY2(page.contains(QLatin1String(text)), text);

        // While the tab is shown, a click shows the next person's facts; a new tree empties it.
        program.click(1, QStringLiteral("I1"));
        QCOMPARE(program.facts.ShownKey(), QStringLiteral("I1"));
        QVERIFY(program.page().contains(QStringLiteral("Marriage, 8 APR 1795")));
        QVERIFY(program.page().contains(QStringLiteral("Court Circular, p. 12")));
        QVERIFY(program.page().contains(QStringLiteral("Birth *")));
        QCOMPARE(program.facts.LinkKeys(), (QStringList{"I2", "I3", "I4"}));
        QVERIFY(program.addTree(QStringLiteral("Other"), {Person("X", "ROOT", "Xa", "Ya")}));
        QVERIFY(program.main->LoadTree(QStringLiteral("Other")));
        QVERIFY(program.facts.ShownKey().isEmpty());
        QVERIFY(program.page().isEmpty());
    }

    void linksFollowedByKeyboardAndBack()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.loadFamily());
        program.panel.SetCurrentTab(InfoPanel::kFactsTab);
        program.click(1, QStringLiteral("I1"));
        program.click(2, QStringLiteral("I3"));
        QApplication::setActiveWindow(program.main.get());
        QTextBrowser *browser = program.facts.browser();
        browser->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(program.main.get()));

        // Tab reaches the links ("Edit...", then George), Return follows one: the owner selects
        // him as Find does, the chart opens down to his box, and the keyboard stays on the page.
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I1"));
        QCOMPARE(program.chart->SelectedNode()->Key(), QStringLiteral("I1"));
        QCOMPARE(program.facts.ShownKey(), QStringLiteral("I1"));
        QCOMPARE(QApplication::focusWidget(), browser);

        // A second link: Maria, outside the line.
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I4"));
        QCOMPARE(program.panelKey(), QStringLiteral("I4"));

        // Alt+Left goes back, one person at a time; with nothing left it does nothing.
        QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I1"));
        QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I3"));
        QCOMPARE(program.chart->SelectedNode()->Key(), QStringLiteral("I3"));
        QVERIFY(!program.facts.GoBack());
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I3"));
        QCOMPARE(m_messages.count(), 0);
    }

    void outsidePersonSelectedWithoutABox()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.loadFamily());
        QCOMPARE(program.store.FindPerson("Royals", "I2")->PrntKey, QString());
        program.click(1, QStringLiteral("I1"));
        const QStringList before = program.boxes();
        QCOMPARE(before, (QStringList{"I1", "I3"}));

        // Find selects her: the owner, the panel, the status bar and the title follow; the
        // chart adds no box, selects none and tells of no line of ancestors.
        QVERIFY(!program.charts.OpenPerson(QStringLiteral("I2")));
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I2"));
        QCOMPARE(program.panelKey(), QStringLiteral("I2"));
        QVERIFY(program.status1().contains(QStringLiteral("Caroline")));
        QVERIFY(program.title().contains(QStringLiteral("Caroline")));
        QCOMPARE(program.boxes(), before);
        QVERIFY(!program.chart->SelectedNode());
        // Refresh shows her again, still without a box.
        program.menu("mnuToolsRefresh");
        QCOMPARE(program.boxes(), before);
        QCOMPARE(program.tree.SelectedKey(), QStringLiteral("I2"));

        // The edit window opens from the panel's "Edit..." link; her empty Parent ID is kept.
        int opened = 0;
        {
            ScopedModalDriver driver([&](QDialog &window) {
                ++opened;
                auto *first = window.findChild<QLineEdit *>(QStringLiteral("txtFname"));
                first->setText(QStringLiteral("Carol"));
                window.findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
                return window.result();
            });
            program.panel.SetCurrentTab(InfoPanel::kFactsTab);
            emit program.facts.browser()->anchorClicked(QUrl(QStringLiteral("e:")));
        }
        QCOMPARE(opened, 1);
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(program.store.FindPerson("Royals", "I2")->Fname, QStringLiteral("Carol"));
        QCOMPARE(program.store.FindPerson("Royals", "I2")->PrntKey, QString());
        QVERIFY(program.status1().contains(QStringLiteral("Carol")));
        QCOMPARE(program.boxes(), before);

        // Deleting her asks the usual question (she is no root), and the chart keeps its rows.
        program.menu("mnuPersonDelete");
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().title, QStringLiteral("Confirmation"));
        QCOMPARE(m_messages.last().text,
                 QStringLiteral("Are you sure you wish to delete the selected person 'I2'?"));
        QVERIFY(!program.store.FindPerson("Royals", "I2"));
        QVERIFY(program.tree.SelectedKey().isEmpty());
        QVERIFY(program.panelKey().isEmpty());
        QCOMPARE(program.boxes(), before);

        // A parent key naming no row is still told.
        QVERIFY(program.store.InsertPerson("Royals", Person("L", "gone", "Lou", "Lost")));
        program.tree.AddPerson(Person("L", "gone", "Lou", "Lost"));
        program.charts.OpenPerson(QStringLiteral("L"));
        QCOMPARE(m_messages.count(), 2);
        QVERIFY(m_messages.last().text.startsWith(QStringLiteral("The line of ancestors ends")));
    }
};

QTEST_MAIN(TestFactsPanel)
#include "tst_factspanel.moc"
