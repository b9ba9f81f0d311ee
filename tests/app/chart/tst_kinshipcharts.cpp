// The charts through families and the relationship command in the real main window: the
// descendant chart of a mother whose children hang under the father's line, cousins who married
// drawn once, the ancestor chart with its first generations open and its branches opened on
// demand, the relationship in words, and a failure to read the families told to the user.
#include "ChartViewCommands.h"
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "DescendantChartWindow.h"
#include "DescendantPainter.h"
#include "FanChartWindow.h"
#include "HourglassWindow.h"
#include "MenuBar.h"
#include "OpenTree.h"
#include "ScriptedMessageService.h"
#include "support_MainWindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

using Genealogy::FamilyKeys;
using Genealogy::Sex;

namespace {

PersonRecord row(const QString &id, const QString &parent, const QString &fname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = QStringLiteral("Ash");
    return r;
}

FamilyKeys family(const QString &a, const QString &b, const QStringList &children)
{
    FamilyKeys f;
    f.partner[0] = a;
    f.partner[1] = b;
    for (const QString &c : children)
        f.children.push_back({c});
    return f;
}

// Grandparents gf + gm with two sons f and u; f + m have k1 and k2, u + ua have c1; the cousins
// k1 and c1 married and have z. The mother m has a line of seven fathers above her, outside the
// line of descent (PrntKey empty) like every partner. Xena is nobody's kin.
QList<PersonRecord> rows()
{
    QList<PersonRecord> r{row("gf", "ROOT", "Gus"), row("gm", "", "Gina"),   row("f", "gf", "Finn"),
                          row("m", "", "Mia"),      row("u", "gf", "Ulf"),   row("ua", "", "Una"),
                          row("k1", "f", "Kai"),    row("k2", "f", "Kim"),   row("c1", "u", "Cleo"),
                          row("z", "k1", "Zoe"),    row("x", "ROOT", "Xena")};
    for (int i = 1; i <= 7; ++i)
        r << row(QStringLiteral("a%1").arg(i), QString(), QStringLiteral("Anc%1").arg(i));
    return r;
}

std::vector<FamilyKeys> families()
{
    std::vector<FamilyKeys> f{family("gf", "gm", {"f", "u"}), family("f", "m", {"k1", "k2"}),
                              family("u", "ua", {"c1"}), family("k1", "c1", {"z"}),
                              family("a1", "", {"m"})};
    for (int i = 2; i <= 7; ++i)
        f.push_back(family(QStringLiteral("a%1").arg(i), "", {QStringLiteral("a%1").arg(i - 1)}));
    return f;
}

struct Window : MainWindowFixture
{
    int reads = 0;

    explicit Window(bool withFamilies = true)
        : MainWindowFixture([](mDatabase &db) {
              QVERIFY(db.CreateTree(QStringLiteral("Kin")));
              for (const PersonRecord &r : rows())
                  QVERIFY(db.InsertPerson(QStringLiteral("Kin"), r));
              QVERIFY(db.CreateTree(QStringLiteral("Solo")));
              QVERIFY(db.InsertPerson(QStringLiteral("Solo"), row("s", "ROOT", "Sam")));
          })
    {
        if (withFamilies)
            commands().SetKinshipReaders(
                [this](const QString &tree) -> Result<std::vector<FamilyKeys>> {
                    ++reads;
                    if (tree != QStringLiteral("Kin"))
                        return std::vector<FamilyKeys>();
                    return families();
                },
                [](const QString &) {
                    return QHash<QString, Sex>{
                        {"k1", Sex::Male}, {"c1", Sex::Female}, {"z", Sex::Female}};
                });
        QApplication::setActiveWindow(main.get());
    }

    ChartViewCommands &commands() { return main->Charts(); }
    bool select(const QString &key)
    {
        main->Tree().Select(key, true);
        return main->Tree().SelectedKey() == key;
    }
    DescendantChartWindow *open(const char *shortcutKey)
    {
        const int before = int(commands().DescendantWindows().size());
        QTest::keyClick(main.get(), QKeySequence(QLatin1String(shortcutKey))[0].key(),
                        QKeySequence(QLatin1String(shortcutKey))[0].keyboardModifiers());
        const QList<DescendantChartWindow *> windows = commands().DescendantWindows();
        return windows.size() == before + 1 ? windows.last() : nullptr;
    }
    static QStringList keys(const DescendantChartWindow *window)
    {
        return window->View()->Chart()->Tree().Keys();
    }
};

} // namespace

class tst_kinshipcharts : public QObject
{
    Q_OBJECT

private slots:
    void menuItemsAndShortcuts()
    {
        Window w;
        MenuBar &menus = w.main->Menus();
        QAction *ancestors = menus.Item(ChartViewCommands::AncestorsKey());
        QAction *relationship = menus.Item(ChartViewCommands::RelationshipKey());
        QVERIFY(ancestors && relationship);
        QCOMPARE(ancestors->text(), QStringLiteral("Ancestor Chart"));
        QCOMPARE(ancestors->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+A")));
        QCOMPARE(relationship->text(), QStringLiteral("Relationship..."));
        QCOMPARE(relationship->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+R")));
        QVERIFY(menus.Menu(QStringLiteral("mnuView"))->actions().contains(ancestors));
        QVERIFY(menus.Menu(QStringLiteral("mnuPerson"))->actions().contains(relationship));
        // Every chart of a person is offered only while the tree has persons.
        QAction *fan = menus.Item(ChartViewCommands::FanKey());
        QAction *hourglass = menus.Item(ChartViewCommands::HourglassKey());
        QVERIFY(fan && hourglass);
        for (QAction *action : {ancestors, fan, hourglass})
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        for (QAction *action : {ancestors, relationship, fan, hourglass})
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    }

    // The status bar tells how many persons the links were made of, one person too.
    void linksBuiltSaysHowMany()
    {
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Solo")));
        QVERIFY(w.select("s"));
        w.commands().ShowAncestors();
        QVERIFY2(w.commands().Kinship().LastBuildText().startsWith(
                     QStringLiteral("The links of 1 person were built in ")),
                 qPrintable(w.commands().Kinship().LastBuildText()));
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        QVERIFY(w.select("z"));
        w.commands().ShowAncestors();
        QVERIFY(w.commands().Kinship().LastBuildText().startsWith(
            QStringLiteral("The links of 18 persons were built in ")));
    }

    void descendantsThroughFamilies()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        // The mother: her children hang under the father's line, yet they are hers.
        QVERIFY(w.select("m"));
        DescendantChartWindow *mother = w.open("Ctrl+Shift+D");
        QVERIFY(mother);
        QCOMPARE(Window::keys(mother), QStringList({"m", "k1", "k2", "z"}));
        const DescendantTree &tree = mother->View()->Chart()->Tree();
        QCOMPARE(tree.At(1).partner->Key(), QStringLiteral("f")); // named on the connector
        QCOMPARE(tree.At(3).partner->Key(), QStringLiteral("c1"));

        // The grandfather: the cousins' child is reached through both and drawn once.
        QVERIFY(w.select("gf"));
        DescendantChartWindow *top = w.open("Ctrl+Shift+D");
        QVERIFY(top);
        QCOMPARE(Window::keys(top), QStringList({"gf", "f", "u", "k1", "k2", "c1", "z"}));
        const DescendantTree &all = top->View()->Chart()->Tree();
        QCOMPARE(int(all.Cuts().size()), 1);
        QCOMPARE(all.Cuts()[0].key, QStringLiteral("z"));
        QCOMPARE(all.At(all.Cuts()[0].at).key, QStringLiteral("z"));
        QCOMPARE(all.At(all.Cuts()[0].parent).key, QStringLiteral("c1"));
        QVERIFY(all.At(all.Cuts()[0].at).repeated);
        // The red arrow under the second parent leads to the box drawn once.
        {
            DescendantChartView &v = *top->View();
            const QRect cleo = v.Chart()->Geometry().BoxRect(all.Find("c1"));
            const QPointF arrow =
                QPointF(cleo.left() + 12, cleo.bottom() + 6) * v.Zoom() -
                QPointF(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value());
            QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, arrow.toPoint());
            QCOMPARE(v.SelectedKey(), QStringLiteral("z"));
        }
        // The keyboard walks the boxes; Return selects the person in the main window.
        DescendantChartView &view = *top->View();
        view.setFocus();
        QVERIFY(view.SelectKey(QStringLiteral("gf")));
        const auto press = [&view](Qt::Key key) {
            QTest::keyClick(&view, key);
            return view.SelectedKey();
        };
        QCOMPARE(press(Qt::Key_Down), QStringLiteral("f"));
        QCOMPARE(press(Qt::Key_Right), QStringLiteral("u"));
        QCOMPARE(press(Qt::Key_Right), QStringLiteral("u")); // the row ends there
        QCOMPARE(press(Qt::Key_Down), QStringLiteral("c1"));
        QCOMPARE(press(Qt::Key_Left), QStringLiteral("k2"));
        QCOMPARE(press(Qt::Key_Up), QStringLiteral("f"));
        QCOMPARE(press(Qt::Key_Home), QStringLiteral("gf"));
        QCOMPARE(press(Qt::Key_Right), QStringLiteral("gf"));
        QCOMPARE(press(Qt::Key_Down), QStringLiteral("f"));
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(w.main->Tree().SelectedKey(), QStringLiteral("f"));
        QVERIFY(top->findChild<QLabel *>(QStringLiteral("lblCount"))
                    ->text()
                    .contains(QStringLiteral("1 reached again, drawn once")));
        // The families were read once for both windows.
        QCOMPARE(w.reads, 1);
        QCOMPARE(msgs.count(), 0);
    }

    void ancestorsOpenFiveGenerationsThenMore()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        // Without a selected person there is nobody to draw the ancestors of.
        w.commands().ShowAncestors();
        QCOMPARE(msgs.count(), 1);
        QVERIFY(w.commands().DescendantWindows().isEmpty());

        QVERIFY(w.select("z"));
        DescendantChartWindow *window = w.open("Ctrl+Shift+A");
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("frmAncestors"));
        QCOMPARE(window->ChartTitle(), QStringLiteral("Ancestors of Zoe Ash"));
        // Both parents of everyone, the grandparents shared by the cousins drawn once, five
        // generations: a3 is the last, its line goes on (closed).
        QCOMPARE(Window::keys(window),
                 QStringList({"z", "k1", "c1", "f", "m", "u", "ua", "gf", "gm", "a1", "a2", "a3"}));
        const DescendantTree &tree = window->View()->Chart()->Tree();
        QCOMPARE(tree.Generations(), 6);
        // Boxes edged by sex where known, years in the lower half.
        QCOMPARE(tree.At(tree.Find("k1")).sex, Sex::Male);
        QCOMPARE(tree.At(tree.Find("c1")).sex, Sex::Female);
        QCOMPARE(tree.At(tree.Find("f")).sex, Sex::None);
        QVERIFY(window->View()->Chart()->Painter().YearsShown());
        QCOMPARE(int(tree.Cuts().size()), 2); // gf and gm through u
        QVERIFY(tree.At(tree.Find("a3")).closed);
        QVERIFY(!tree.At(tree.Find("gf")).closed);

        // A click on a person outside the line of descent selects her in the main window
        // without telling of a broken line.
        {
            DescendantChartView &v = *window->View();
            const QRect mia = v.Chart()->Geometry().BoxRect(tree.Find("m"));
            QVERIFY(v.SelectKey(QStringLiteral("m")));
            const QPointF at =
                QPointF(mia.topLeft() + QPoint(10, 10)) * v.Zoom() -
                QPointF(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value());
            QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, at.toPoint());
            QCOMPARE(w.main->Tree().SelectedKey(), QStringLiteral("m"));
            QCOMPARE(msgs.count(), 1);
        }
        // Opening the branch of m reaches every ancestor above her.
        QVERIFY(window->View()->SelectKey(QStringLiteral("m")));
        QVERIFY(window->OpenBranch());
        QCOMPARE(window->View()->Chart()->Tree().Count(), 16);
        QCOMPARE(window->View()->SelectedKey(), QStringLiteral("m"));
        QVERIFY(!window->OpenBranch()); // nothing closed is left there
        QCOMPARE(msgs.count(), 1);
    }

    void fanChartWindow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        QVERIFY(w.select("z"));
        w.main->Menus().Item(ChartViewCommands::FanKey())->trigger();
        QCOMPARE(w.commands().FanWindows().size(), 1);
        FanChartWindow *fan = w.commands().FanWindows().first();
        QCOMPARE(fan->objectName(), QStringLiteral("frmFan"));
        QCOMPARE(fan->ChartTitle(), QStringLiteral("Fan chart of Zoe Ash"));
        QCOMPARE(fan->Chart().Generations(), 5);
        // k1 and c1 (the father first), their parents, and the cousins' grandparents once.
        QCOMPARE(fan->Chart().Slots()[2]->Key(), QStringLiteral("k1"));
        QCOMPARE(fan->Chart().Slots()[3]->Key(), QStringLiteral("c1"));
        QCOMPARE(fan->Chart().Ancestors(), 10);
        fan->SetGenerations(3);
        QCOMPARE(fan->Chart().Generations(), 3);
        QCOMPARE(fan->Chart().Ancestors(), 6);
        fan->SetSpan(FanChart::Span::Full);
        QCOMPARE(fan->Chart().Size().width(), fan->Chart().Size().height());
        // Another tree closes it.
        QVERIFY(w.main->LoadTree(QStringLiteral("Example")));
        QTRY_VERIFY(w.commands().FanWindows().isEmpty());
        QCOMPARE(msgs.count(), 0);
    }

    void hourglassWindow()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        QVERIFY(w.select("k1"));
        w.main->Menus().Item(ChartViewCommands::HourglassKey())->trigger();
        QCOMPARE(w.commands().HourglassWindows().size(), 1);
        HourglassWindow *hourglass = w.commands().HourglassWindows().first();
        QCOMPARE(hourglass->objectName(), QStringLiteral("frmHourglass"));
        QCOMPARE(hourglass->ChartTitle(), QStringLiteral("Hourglass of Kai Ash"));
        // Four generations each way at first: f, m, gf, gm, a1..a3 above; z below.
        QCOMPARE(hourglass->Chart().Ancestors().Tree().Below(), 7);
        QCOMPARE(hourglass->Chart().Descendants().Tree().Keys(), QStringList({"k1", "z"}));
        hourglass->SetGenerations(1);
        QCOMPARE(hourglass->Chart().Ancestors().Tree().Keys(), QStringList({"k1", "f", "m"}));
        // The persons change: drawn again; another tree: closed.
        PersonRecord changed = rows().at(6);
        changed.Fname = QStringLiteral("Kay");
        QVERIFY(w.main->Tree().ChangePerson(changed.ID, changed));
        QCOMPARE(hourglass->ChartTitle(), QStringLiteral("Hourglass of Kay Ash"));
        QVERIFY(w.main->LoadTree(QStringLiteral("Example")));
        QTRY_VERIFY(w.commands().HourglassWindows().isEmpty());
        QCOMPARE(msgs.count(), 0);
    }

    void yearsOfABox_data()
    {
        QTest::addColumn<QString>("born");
        QTest::addColumn<QString>("died");
        QTest::addColumn<QString>("years");
        QTest::newRow("both") << "24 MAY 1819"
                              << "22 JAN 1901"
                              << "1819 - 1901";
        QTest::newRow("about, between") << "ABT 1750"
                                        << "BET 1801 AND 1810"
                                        << "1750 - 1801";
        QTest::newRow("born only") << "1950"
                                   << ""
                                   << "1950 -";
        QTest::newRow("died only") << ""
                                   << "MAR 0987"
                                   << "- 0987";
        QTest::newRow("no year") << "unknown"
                                 << "Y"
                                 << "";
        QTest::newRow("day without year") << "12 JAN"
                                          << ""
                                          << "";
    }
    void yearsOfABox()
    {
        QFETCH(QString, born);
        QFETCH(QString, died);
        QFETCH(QString, years);
        cPerson person;
        person.setBdate(born);
        person.setDdate(died);
        QCOMPARE(DescendantPainter::YearsOf(person), years);
    }

    void relationshipInWords()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        QVERIFY(w.select("k1"));
        // Related by blood: the line between them is offered as a chart.
        msgs.enqueue(MsgResult::Yes);
        const QString cousins = w.commands().ShowRelationship(QStringLiteral("c1"));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().text,
                 cousins + QStringLiteral("\n\nShow the line between them as a chart?"));
        QCOMPARE(w.commands().DescendantWindows().size(), 1);
        DescendantChartWindow *line = w.commands().DescendantWindows().first();
        QCOMPARE(line->objectName(), QStringLiteral("frmRelationship"));
        QCOMPARE(line->ChartTitle(), QStringLiteral("Relationship of Kai Ash to Cleo Ash"));
        // The common ancestor at the top, the two lines down to them, nobody else.
        QCOMPARE(Window::keys(line), QStringList({"gf", "f", "u", "k1", "c1"}));
        msgs.setResponder([](const MessageRequest &) { return MsgResult::No; });
        QVERIFY2(cousins.startsWith(QStringLiteral("Kai Ash is the first cousin of Cleo Ash.")),
                 qPrintable(cousins));
        QVERIFY2(cousins.contains(QStringLiteral("Gus Ash (gf) and Gina Ash (gm), 2 generations "
                                                 "up from Kai Ash and 2 down to Cleo Ash")),
                 qPrintable(cousins));
        QCOMPARE(w.commands().ShowRelationship(QStringLiteral("z")),
                 QStringLiteral("Kai Ash is the father of Zoe Ash."));
        // Through two marriages (u's to ua, the cousins'), without a simple word.
        QVERIFY(w.select("ua"));
        QVERIFY(
            w.commands()
                .ShowRelationship(QStringLiteral("a1"))
                .startsWith(QStringLiteral("Una Ash is the relative by marriage of Anc1 Ash.")));
        QVERIFY(w.select("x"));
        QVERIFY(w.commands()
                    .ShowRelationship(QStringLiteral("a1"))
                    .startsWith(QStringLiteral("Xena Ash and Anc1 Ash are not related")));
        QVERIFY(w.select("m"));
        QCOMPARE(w.commands().ShowRelationship(QStringLiteral("f")),
                 QStringLiteral("Mia Ash is the spouse of Finn Ash.\n\nRelated through the "
                                "marriage of Mia Ash (m) and Finn Ash (f)."));
    }

    void familiesThatCannotBeReadAreTold()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w(false);
        w.commands().SetKinshipReaders([](const QString &) -> Result<std::vector<FamilyKeys>> {
            return Error(ErrorCode::Failed, QStringLiteral("the disk is gone"));
        });
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        QVERIFY(w.select("gf"));
        DescendantChartWindow *window = w.open("Ctrl+Shift+D");
        QVERIFY(window);
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("the disk is gone")));
        // The rows alone: the line of descent.
        QCOMPARE(Window::keys(window), QStringList({"gf", "f", "u", "k1", "k2", "c1", "z"}));
        QVERIFY(window->View()->Chart()->Tree().Cuts().empty());
    }
};

QTEST_MAIN(tst_kinshipcharts)
#include "tst_kinshipcharts.moc"
