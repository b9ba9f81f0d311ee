// The chart commands in the real main window: the menu items and their state, Find Person
// opening a person's line as clicks on each ancestor do, broken and circular lines told to the
// user, the chart's keys next to the menu's shortcuts, the descendant window following the main
// window, and the export of the whole main chart.
#include "AppState.h"
#include "ChartViewCommands.h"
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "DescendantChartWindow.h"
#include "FindPersonDialog.h"
#include "InfoPanel.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "StatusBar.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "frmMain.h"
#include "support_MainWindowFixture.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

PersonRecord row(const QString &id, const QString &parent, const QString &fname,
                 const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    r.Bdate = QStringLiteral("19%1").arg(id.size() * 10 + 1);
    return r;
}

// Six generations with brothers and sisters on the way, a line whose top parent is missing and
// a circle.
QList<PersonRecord> family()
{
    return {row("r1", "ROOT", "Ada", "Root"),  row("r2", "ROOT", "Bo", "Other"),
            row("a1", "r1", "Cid", "Ash"),     row("a2", "r1", "Dee", "Ash"),
            row("b1", "a2", "Eli", "Birch"),   row("b2", "a2", "Fay", "Birch"),
            row("c1", "b2", "Gus", "Cedar"),   row("d1", "c1", "Hal", "Dogwood"),
            row("d2", "c1", "Ivy", "Dogwood"), row("e1", "d2", "Emilia", "Elmqvist"),
            row("e2", "d2", "Jon", "Elm"),     row("f1", "e1", "Kim", "Fir"),
            row("x1", "gone", "Lou", "Lost"),  row("x2", "x1", "Max", "Lost"),
            row("o1", "o2", "Ned", "Circle"),  row("o2", "o1", "Ola", "Circle"),
            row("o3", "o2", "Pia", "Circle")};
}

struct Window : MainWindowFixture
{
    Window()
        : MainWindowFixture(
              [](mDatabase &db) {
                  QVERIFY(db.CreateTree(QStringLiteral("Family")));
                  for (const PersonRecord &r : family())
                      QVERIFY(db.InsertPerson(QStringLiteral("Family"), r));
              },
              QSize(700, 420)) // the deep rows lie below the view
    {
        QApplication::setActiveWindow(main.get());
    }

    TreeChart &chart() { return main->VTree(); }
    ChartViewCommands &commands() { return main->Charts(); }
    QWidget *canvas() { return chart().findChild<QWidget *>(QStringLiteral("picBase")); }

    // A mouse click on the upper half of the box of `key` in row `level`.
    bool click(int level, const QString &key)
    {
        const cLevelPtr r = chart().Levels().Item(level);
        const cNodePtr n = r ? r->Item(key) : nullptr;
        if (!n)
            return false;
        chart().ScrollIntoView(*n);
        const QPoint offset = chart().ScrollOffset();
        QTest::mouseClick(canvas(), Qt::LeftButton, {},
                          QPoint(n->Center() - offset.x(), n->Top() + 5 - offset.y()));
        return chart().SelectedNode() == n;
    }

    // What a click leaves on screen.
    QStringList shown()
    {
        QStringList rows;
        for (const cLevelPtr &level : chart().Levels()) {
            QStringList keys;
            for (const cNodePtr &node : *level)
                keys << node->Key() + (node->Selected() ? QStringLiteral("*") : QString());
            rows << keys.join(QLatin1Char(' '));
        }
        const cNodePtr selected = chart().SelectedNode();
        QStringList path;
        for (cNodePtr n = selected; n; n = n->ParentNode())
            path.prepend(n->Key());
        const QLineEdit *key = main->pnlInfo().findChild<QLineEdit *>(QStringLiteral("txtKey"));
        return rows << path.join(QLatin1Char('>')) << main->windowTitle()
                    << main->Sbar().PanelText(1) << main->Sbar().PanelText(2)
                    << main->Tree().SelectedKey() << (key ? key->text() : QStringLiteral("?"));
    }

    bool selectedInView()
    {
        const cNodePtr n = chart().SelectedNode();
        const QRect view(chart().ScrollOffset(), QSize(chart().ViewWidth(), chart().ViewHeight()));
        return n && view.contains(
                        QRect(n->Left(), n->Top(), n->Right() - n->Left(), n->Bottom() - n->Top()));
    }
};

// Answers the find dialog with the first person the query finds.
ModalSeam::Driver findAnswer(const QString &query, QStringList *dialogs = nullptr)
{
    return [query, dialogs](QDialog &dialog) {
        if (dialogs)
            *dialogs << dialog.objectName();
        if (auto *find = qobject_cast<FindPersonDialog *>(&dialog)) {
            find->setQuery(query);
            find->accept();
        } else {
            dialog.reject();
        }
        return dialog.result();
    };
}

} // namespace

class tst_chartviewcommands : public QObject
{
    Q_OBJECT

private slots:
    void menuItemsNeedATree()
    {
        Window w;
        MenuBar &menus = w.main->Menus();
        const QList<QAction *> file = menus.Menu(QStringLiteral("mnuFile"))->actions();
        const qsizetype exit = file.indexOf(menus.Item(QStringLiteral("mnuFileExit")));
        QCOMPARE(file.mid(exit - 4, 4),
                 QList<QAction *>({menus.Item(ChartViewCommands::ExportKey()),
                                   menus.Item(ChartViewCommands::PrintKey()),
                                   menus.Item(ChartViewCommands::PrintPreviewKey()),
                                   menus.Item(QStringLiteral("mnuFileChartSep"))}));
        QVERIFY(file.at(exit - 5)->isSeparator());
        // Captions and shortcuts are checked with the whole menu at start-up.
        const QStringList keys = {ChartViewCommands::FindKey(), ChartViewCommands::DescendantsKey(),
                                  ChartViewCommands::ExportKey(), ChartViewCommands::PrintKey(),
                                  ChartViewCommands::PrintPreviewKey()};
        const auto enabled = [&] {
            return std::count_if(keys.begin(), keys.end(),
                                 [&](const QString &key) { return menus.Enabled(key); });
        };
        QCOMPARE(enabled(), 0);
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QCOMPARE(enabled(), 5);
        w.main->CloseTree();
        QCOMPARE(enabled(), 0);
    }

    void findOpensTheLineAsClicksDo()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        w.main->Menus().Item(QStringLiteral("mnuViewInfo"))->trigger();
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));

        // By mouse, from the root row down to the person five generations below it.
        for (const auto &[level, key] : QList<std::pair<int, QString>>{
                 {1, "r1"}, {2, "a2"}, {3, "b2"}, {4, "c1"}, {5, "d2"}, {6, "e1"}})
            QVERIFY2(w.click(level, key), qPrintable(key));
        const QStringList clicked = w.shown();
        QCOMPARE(clicked.mid(0, 8), QStringList({"r1 r2", "a1 a2", "b1 b2", "c1", "d1 d2", "e1* e2",
                                                 "f1", "r1>a2>b2>c1>d2>e1"}));
        QCOMPARE(clicked.at(8), QStringLiteral("Elmqvist Emilia"));

        // Found by a part of the name, without regard to case or accents, from another place.
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QVERIFY(w.click(1, "r2"));
        QStringList dialogs;
        ScopedModalDriver driver(findAnswer(QStringLiteral("ÉLMQ emi"), &dialogs));
        w.chart().setFocus();
        QTest::keyClick(w.main.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(dialogs, QStringList{"dlgFind"});
        QCOMPARE(w.shown(), clicked);
        QVERIFY(w.selectedInView());
        QVERIFY(w.chart().hasFocus());
        QCOMPARE(msgs.count(), 0);
    }

    void brokenLinesAreTold()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        ChartViewCommands &commands = w.commands();

        QVERIFY(commands.OpenPerson(QStringLiteral("x2")));
        QCOMPARE(w.shown().mid(0, 4), QStringList({"r1 r2", "x1", "x2*", "x1>x2"}));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text,
                 QStringLiteral("The line of ancestors ends at Lou Lost (x1): the parent key "
                                "'gone' names nobody in this tree. The chart shows the line from "
                                "there."));
        QCOMPARE(msgs.last().title, QStringLiteral("Find Person"));
        QCOMPARE(msgs.last().icon, MsgIcon::Information);
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Lost Max"));

        // A circle: from the first repeat down. The quiet kind (clicks in the descendant
        // window) tells a break once; Find tells it each time.
        QVERIFY(commands.OpenPerson(QStringLiteral("o3"), false));
        QCOMPARE(w.shown().mid(0, 5), QStringList({"r1 r2", "o1", "o2", "o1 o3*", "o1>o2>o3"}));
        QCOMPARE(msgs.count(), 2);
        QVERIFY(msgs.last().text.startsWith(
            QStringLiteral("The line of ancestors runs in a circle: the parent of Ned Circle (o1) "
                           "is Ola Circle (o2)")));
        QVERIFY(commands.OpenPerson(QStringLiteral("o3"), false));
        QCOMPARE(msgs.count(), 2);
        QVERIFY(commands.OpenPerson(QStringLiteral("o3")));
        QCOMPARE(msgs.count(), 3);
        QVERIFY(!commands.OpenPerson(QStringLiteral("nobody")));
        QCOMPARE(msgs.count(), 3);
    }

    void chartKeysAndMenuShortcutsInTheWindow()
    {
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        w.chart().setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
        QVERIFY(w.chart().hasFocus());
        const auto press = [&](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            const QStringList shown = w.shown();
            return QStringList{shown.at(shown.size() - 6), shown.at(shown.size() - 5),
                               shown.at(shown.size() - 4), shown.at(shown.size() - 2)};
        };
        // Path, title, first status panel, selected key: as clicks set them.
        QCOMPARE(press(Qt::Key_Right), QStringList({"r1", "Root Ada", "Ada Root", "r1"}));
        QCOMPARE(press(Qt::Key_Right), QStringList({"r2", "Other Bo", "Bo Other", "r2"}));
        QCOMPARE(press(Qt::Key_Left), QStringList({"r1", "Root Ada", "Ada Root", "r1"}));
        QCOMPARE(press(Qt::Key_Down), QStringList({"r1>a1", "Ash Cid", "Cid Ash", "a1"}));
        QCOMPARE(press(Qt::Key_End), QStringList({"r1>a2", "Ash Dee", "Dee Ash", "a2"}));
        QCOMPARE(press(Qt::Key_Down), QStringList({"r1>a2>b1", "Birch Eli", "Eli Birch", "b1"}));
        QCOMPARE(press(Qt::Key_Up), QStringList({"r1>a2", "Ash Dee", "Dee Ash", "a2"}));
        QCOMPARE(w.chart().Levels().Count(), 3);
        QCOMPARE(press(Qt::Key_Home), QStringList({"r1>a1", "Ash Cid", "Cid Ash", "a1"}));
        QCOMPARE(w.chart().Levels().Count(), 2); // a1 has no children

        // The menu's shortcuts still reach the menu while the chart has the focus.
        QStringList dialogs;
        ScopedModalDriver driver([&](QDialog &d) {
            dialogs << d.objectName();
            d.reject();
            return d.result();
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the edit window
        QCOMPARE(dialogs, QStringList({"dlgFind", "frmEdit"}));
        QCOMPARE(w.main->Tree().SelectedKey(), QStringLiteral("a1"));
    }

    void descendantWindowFollowsTheMainWindow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QVERIFY(w.click(1, "r1"));
        QVERIFY(w.click(2, "a2"));
        QTest::keyClick(w.main.get(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.commands().DescendantWindows().size(), 1);
        DescendantChartWindow *window = w.commands().DescendantWindows().first();
        QCOMPARE(window->ChartTitle(), QStringLiteral("Descendants of Dee Ash"));
        DescendantChartView &view = *window->View();
        QCOMPARE(view.Chart()->Tree().Keys(),
                 QStringList({"a2", "b1", "b2", "c1", "d1", "d2", "e1", "e2", "f1"}));

        // A click on a box there opens that person here.
        const int kim = view.Chart()->Tree().Find(QStringLiteral("f1"));
        QVERIFY(view.SelectKey(QStringLiteral("f1")));
        const QRectF box = view.Chart()->Geometry().BoxRect(kim);
        const QPointF at =
            box.topLeft() * view.Zoom() + QPointF(10, 10) -
            QPointF(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(w.main->Tree().SelectedKey(), QStringLiteral("f1"));
        QCOMPARE(w.shown().at(7), QStringLiteral("r1>a2>b2>c1>d2>e1>f1"));
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Fir Kim"));

        // Nothing selected: every root. Loading a tree closes the windows.
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QVERIFY(w.commands().DescendantWindows().isEmpty());
        w.commands().ShowDescendants();
        QCOMPARE(w.commands().DescendantWindows().first()->View()->Chart()->Tree().TopCount(), 2);
        w.main->CloseTree();
        QVERIFY(w.commands().DescendantWindows().isEmpty());
        QCOMPARE(msgs.count(), 0);
    }

    // The descendant windows are views of the open tree too: a person added or changed shows
    // in them, and a window whose top person is deleted closes.
    void descendantWindowsFollowTheOpenTree()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QVERIFY(w.click(1, "r1"));
        QVERIFY(w.click(2, "a2"));
        w.commands().ShowDescendants(); // of Dee Ash
        QVERIFY(w.click(1, "r2"));
        w.commands().ShowDescendants(); // of Bo Other
        QCOMPARE(w.commands().DescendantWindows().size(), 2);
        DescendantChartWindow *dee = w.commands().DescendantWindows().first();
        const auto keys = [&] { return dee->View()->Chart()->Tree().Keys(); };

        w.main->Tree().AddPerson(row("b3", "a2", "Nina", "Birch"));
        QVERIFY(keys().contains(QStringLiteral("b3")));
        PersonRecord renamed = w.main->Tree().People().Item("a2")->toRecord();
        renamed.Fname = QStringLiteral("Dora");
        w.main->Tree().ChangePerson("a2", renamed);
        QCOMPARE(dee->ChartTitle(), QStringLiteral("Descendants of Dora Ash"));
        w.main->Tree().RemovePerson("b2");
        QVERIFY(!keys().contains(QStringLiteral("b2")));
        QVERIFY(!keys().contains(QStringLiteral("c1")));

        w.main->Tree().RemovePerson("r2");
        QTRY_COMPARE(w.commands().DescendantWindows().size(), 1);
        QCOMPARE(w.commands().DescendantWindows().first(), dee);
        QCOMPARE(msgs.count(), 0);
    }

    void exportWritesTheWholeMainChart()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Family")));
        QVERIFY(w.commands().OpenPerson(QStringLiteral("f1")));
        const QString target = w.dir.filePath(QStringLiteral("family.svg"));
        QString suggested;
        bool wholeOffered = false;
        ScopedModalDriver driver([&](QDialog &d) {
            // The main chart offers its parts: the whole chart is the first choice.
            if (d.objectName() == QLatin1String("dlgExportOptions")) {
                const auto *whole = d.findChild<QRadioButton *>(QStringLiteral("optWhole"));
                wholeOffered = whole && whole->isChecked();
                return int(QDialog::Accepted);
            }
            auto *files = qobject_cast<QFileDialog *>(&d);
            if (!files)
                return int(QDialog::Rejected);
            suggested = files->selectedFiles().value(0);
            files->selectFile(target);
            return int(QDialog::Accepted);
        });
        QTest::keyClick(w.main.get(), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("Family.pdf"));
        QVERIFY(wholeOffered);
        QFile svg(target);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString drawing = QString::fromUtf8(svg.readAll());
        // Every row, also those below the window's view.
        for (const char *name : {"Root Ada", "Other Bo", "Dogwood Ivy", "Fir Kim"})
            QVERIFY2(drawing.contains(QStringLiteral(">%1<").arg(name)), name);
        QVERIFY(drawing.contains(QStringLiteral("<title>Family - Kim Fir</title>")));
        QCOMPARE(msgs.count(), 0);
    }
};

QTEST_MAIN(tst_chartviewcommands)
#include "tst_chartviewcommands.moc"
