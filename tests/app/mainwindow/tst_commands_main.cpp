// The real main window driven headless: a tree is created through the menu, filled through
// the store, loaded and walked down by mouse clicks on the chart; the view commands re-lay out
// the window; the root-person question's Help button and F1 open the help window, and the help
// can be read while the real question waits; menu shortcuts win over the focused control; the
// View menu's check marks show.
#include "AppState.h"
#include "EmptyChartHint.h"
#include "HelpWindow.h"
#include "InfoPanel.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "StatusBar.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "dlgNew.h"
#include "frmMain.h"
#include "support_MainWindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

PersonRecord row(const QString &id, const QString &parent, const QString &fname,
                 const QString &sname, const QString &bdate = QString(),
                 const QString &ddate = QString())
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    r.PrtFname = QStringLiteral("Pat");
    r.PrtSname = QStringLiteral("Partner");
    r.Bdate = bdate;
    r.Ddate = ddate;
    return r;
}

// A control that claims every key for itself, as a line edit claims Ctrl+E on some desktops.
class GreedyBox : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        return QLineEdit::event(event);
    }
};

// Runs `steps` in turn, one each time a message box waits (a tick of its modal loop), until
// all have run.
class BoxDriver : public QObject
{
public:
    using Step = std::function<void(QMessageBox &box)>;
    explicit BoxDriver(QList<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->isVisible() && !m_steps.isEmpty())
                m_steps.takeFirst()(*box);
        });
        m_timer.start(0);
    }
    bool done() const { return m_steps.isEmpty(); }

private:
    QList<Step> m_steps;
    QTimer m_timer;
};

// Pixels whose grey value differs by more than a third of the range.
int strongChanges(const QImage &a, const QImage &b)
{
    int changed = 0;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y) {
        for (int x = 0; x < qMin(a.width(), b.width()); ++x) {
            if (qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 85)
                ++changed;
        }
    }
    return changed;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    struct Window : MainWindowFixture
    {
        // A mouse click on the box of `key` in row `level`, upper or lower half.
        bool click(int level, const QString &key, bool upper = true)
        {
            const cLevelPtr r = main->VTree().Levels().Item(level);
            const cNodePtr n = r ? r->Item(key) : nullptr;
            auto *canvas = main->VTree().findChild<QWidget *>(QStringLiteral("picBase"));
            if (!n || !canvas)
                return false;
            const QPoint offset = main->VTree().ScrollOffset();
            const int y = upper ? n->Top() + 5 : n->Top() + 30;
            QTest::mouseClick(canvas, Qt::LeftButton, {},
                              QPoint(n->Center() - offset.x(), y - offset.y()));
            return main->VTree().SelectedNode() == n;
        }
    };

private slots:
    void createLoadAndWalkThreeGenerations()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        ScopedModalDriver driver([](QDialog &d) {
            auto &dlg = static_cast<dlgNew &>(d);
            dlg.txtNew()->setText(QStringLiteral("Scenario"));
            dlg.cmdOpen()->click();
            return dlg.result();
        });
        w.menu("mnuFileNew");
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Velkin tree 'Scenario' has been successfully created"));
        QCOMPARE(w.main->Tree().CurrentTree(), QStringLiteral("Scenario"));
        QCOMPARE(w.main->cboTrees().currentText(), QStringLiteral("Scenario"));

        mDatabase &db = w.main->Db();
        for (const PersonRecord &r :
             {row("G1", "ROOT", "Anna", "Old", "1901", "1950"), row("P1", "G1", "Ben", "Old"),
              row("P2", "G1", "Cleo", "Old", "about 1900", "1950"),
              row("K1", "P2", "Dina", "Young"), row("E1", "K1", "Emil", "Young", "", "1999")})
            QVERIFY(db.InsertPerson("Scenario", r));

        QVERIFY(w.main->LoadTree("Scenario"));
        QCOMPARE(w.main->VTree().Levels().Count(), 1);

        QVERIFY(w.click(1, "G1"));
        QCOMPARE(w.main->VTree().Levels().Count(), 2);
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Old Anna"));
        QCOMPARE(w.main->Sbar().PanelText(1), QStringLiteral("Anna Old"));
        QCOMPARE(w.main->Sbar().PanelText(2), QStringLiteral("1901 - 1950 (49)"));

        QVERIFY(w.click(2, "P2", false));
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Partner Pat"));
        QCOMPARE(w.main->Sbar().PanelText(2), QStringLiteral("about 1900 - 1950"));
        QVERIFY(w.click(3, "K1"));
        QCOMPARE(w.main->VTree().Levels().Count(), 4);
        QVERIFY(w.click(4, "E1"));
        QCOMPARE(w.main->Sbar().PanelText(2), QString());
        QCOMPARE(w.main->VTree().Levels().Count(), 4);

        // Back to row 2: rows 3 and 4 go, P1 has no children.
        QVERIFY(w.click(2, "P1"));
        QCOMPARE(w.main->VTree().Levels().Count(), 2);

        // The information panel follows the clicks while shown.
        w.main->ToolButton("INFO")->trigger();
        QVERIFY(w.main->pnlInfo().isVisible());
        QVERIFY(w.click(1, "G1"));
        QCOMPARE(w.main->pnlInfo().findChild<QLineEdit *>("txtKey")->text(), QStringLiteral("G1"));
    }

    void closeAndRefreshWithoutTree()
    {
        Window w;
        QVERIFY(w.main->LoadTree("Example"));
        w.menu("mnuFileClose");
        QCOMPARE(w.main->Tree().CurrentTree(), QString());
        QCOMPARE(w.main->cboTrees().currentIndex(), -1);
        const int draws = w.main->VTree().DrawCount();
        w.menu("mnuToolsRefresh");
        QCOMPARE(w.main->VTree().DrawCount(), draws);
    }

    // With no tree open the chart tells how to begin, naming the Example tree while the tree box
    // lists it; an open tree hides the note, and the note never takes the chart's clicks.
    void emptyChartShowsHowToBegin()
    {
        Window w;
        auto *hint = w.main->VTree().findChild<EmptyChartHint *>();
        QVERIFY(hint);
        QVERIFY(hint->isVisible());
        QVERIFY(hint->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(hint->geometry(), w.main->VTree().rect());
        QVERIFY(hint->text().contains("<b>Example</b>"));
        QVERIFY(hint->text().contains("File &gt; New Tree"));
        QVERIFY(hint->text().contains("File &gt; Import GEDCOM...</b> (Ctrl+Shift+I)"));

        QVERIFY(w.main->LoadTree("Example"));
        QVERIFY(!hint->isVisible());
        w.menu("mnuFileClose");
        QVERIFY(hint->isVisible());

        QVERIFY(w.main->Db().RenameTree("Example", "Family"));
        w.main->Trees().Refill();
        QVERIFY(!hint->text().contains("Example"));
        QVERIFY(hint->text().contains("choose it in the tree box"));
        QVERIFY(w.main->Db().DeleteTree("Family"));
        w.main->Trees().Refill();
        QVERIFY(!hint->text().contains("tree box"));
        QVERIFY(hint->text().contains("File &gt; New Tree"));
    }

    void viewCommandsLayOutTheWindow()
    {
        Window w;
        QWidget &chart = w.main->VTree();
        const QWidget *centre = chart.parentWidget();
        QVERIFY(!w.main->pnlInfo().isVisible());
        const int top = chart.mapTo(w.main.get(), QPoint()).y();
        QCOMPARE(chart.width(), centre->width() - 2);
        QCOMPARE(chart.height(), centre->height() - 1);

        w.menu("mnuViewTbar");
        QVERIFY(!w.main->Tbar().isVisible());
        QVERIFY(!w.state.ShowToolBar);
        QVERIFY(!w.main->Menus().Checked("mnuViewTbar"));
        QTRY_VERIFY(chart.mapTo(w.main.get(), QPoint()).y() < top);

        w.menu("mnuViewInfo");
        QVERIFY(w.main->pnlInfo().isVisible());
        QVERIFY(w.main->ToolButton("INFO")->isChecked());
        QCOMPARE(chart.width(), centre->width() - w.main->pnlInfo().width() - 2);
        QCOMPARE(w.main->pnlInfo().x() + w.main->pnlInfo().width(), centre->width());

        // The panel's close button is the Info command too.
        emit w.main->pnlInfo().closeClicked();
        QVERIFY(!w.main->pnlInfo().isVisible());
        QVERIFY(!w.state.ShowInfo);
        QCOMPARE(chart.width(), centre->width() - 2);

        w.menu("mnuViewSbar");
        QVERIFY(!w.main->Sbar().isVisible());
        QTRY_COMPARE(chart.height(), centre->height() - 1);
    }

    // The selected box at the right end of a long row stays in view when the information panel
    // narrows the chart, and when the window does.
    void selectedBoxStaysInViewAsTheChartNarrows()
    {
        Window w;
        QVERIFY(w.main->Db().CreateTree(QStringLiteral("Row")));
        for (int i = 0; i < 15; ++i)
            QVERIFY(w.main->Db().InsertPerson(
                QStringLiteral("Row"),
                row(QStringLiteral("r%1").arg(i), QStringLiteral("ROOT"),
                    QStringLiteral("Name%1").arg(i), QStringLiteral("Row"))));
        w.main->Trees().Refill();
        QVERIFY(w.main->LoadTree("Row"));
        TreeChart &chart = w.main->VTree();
        chart.setFocus();
        QTest::keyClick(&chart, Qt::Key_End);
        const cNodePtr last = chart.SelectedNode();
        QVERIFY(last && last->Key() == QLatin1String("r14"));
        const auto inView = [&chart, &last] {
            return chart.VisibleChartRect().contains(
                QRect(QPoint(last->Left(), last->Top()), QPoint(last->Right(), last->Bottom())));
        };
        QVERIFY(inView());
        w.menu("mnuViewInfo");
        QVERIFY(w.main->pnlInfo().isVisible());
        QVERIFY(inView());
        w.menu("mnuViewInfo");
        QVERIFY(inView());
        w.main->resize(600, 700);
        QTRY_COMPARE(chart.width(), chart.parentWidget()->width() - 2);
        QVERIFY(inView());
    }

    void helpOpensFromQuestionAndMenu()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        Window w;
        QVERIFY(w.main->LoadTree("Example"));
        const cNodePtr root = w.main->VTree().Levels().Item(1)->Item(1);
        QVERIFY(w.click(1, root->Key()));
        msgs.enqueue(MsgResult::Help);
        msgs.enqueue(MsgResult::No);
        w.menu("mnuPersonDelete");
        QCOMPARE(msgs.last().title, QStringLiteral("Crucial!"));
        // The Help button opened the help window (at the root-persons page when the pages are
        // installed beside the program).
        QVERIFY(w.main->Help() && w.main->Help()->isVisible());
        QVERIFY(w.main->Tree().People().Item(root->Key()));

        w.menu("mnuHelpHelp");
        QVERIFY(w.main->Help()->isVisible());
    }

    void helpCanBeReadWhileTheQuestionWaits()
    {
        Window w; // the real message boxes
        const QDir pages(QFileInfo(QFINDTESTDATA("../../help/index.html")).absolutePath());
        QVERIFY(QDir().mkpath(w.dir.filePath(QStringLiteral("help"))));
        for (const QString &page : pages.entryList({QStringLiteral("*.html")}))
            QVERIFY(QFile::copy(pages.filePath(page), w.dir.filePath("help/" + page)));
        QVERIFY(w.main->LoadTree("Example"));
        const cNodePtr root = w.main->VTree().Levels().Item(1)->Item(1);
        QVERIFY(w.click(1, root->Key()));

        QString text, pageShown, pageAfterClick;
        bool waiting = false;
        BoxDriver driver(
            {[&](QMessageBox &box) {
                 text = box.text();
                 box.button(QMessageBox::Help)->click();
                 waiting = box.isVisible();
             },
             [&](QMessageBox &box) {
                 // A click through the window system, which drops input to blocked windows.
                 HelpWindow &help = *w.main->Help();
                 pageShown = help.CurrentPage();
                 auto *contents = help.findChild<QToolButton *>(QStringLiteral("cmdContents"));
                 QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {},
                                   contents->mapTo(&help, contents->rect().center()));
                 pageAfterClick = help.CurrentPage();
                 QApplication::setActiveWindow(&box); // the help window has its own Escape
                 QTest::keyClick(&box, Qt::Key_Escape);
             }});
        w.menu("mnuPersonDelete");
        QVERIFY(driver.done());
        QCOMPARE(text, QStringLiteral("You are about to delete a 'Root' person from the tree.\r\n"
                                      "Are you sure you wish to do it?\r\n\r\nIf you are not "
                                      "sure, click 'Help' for more details about Root persons."));
        QVERIFY2(waiting, "Help ended the question");
        QCOMPARE(pageShown, QStringLiteral("rootpersons.html"));
        QCOMPARE(pageAfterClick, QStringLiteral("index.html"));
        QVERIFY(w.main->Tree().People().Item(root->Key())); // Escape: No
        // The help stays open, back with the main window.
        QCOMPARE(w.main->Help()->parentWidget(), w.main.get());
        QVERIFY(w.main->Help()->isVisible());

        // The close box answers No too.
        BoxDriver closing({[](QMessageBox &box) { box.close(); }});
        w.menu("mnuPersonDelete");
        QVERIFY(closing.done());
        QVERIFY(w.main->Tree().People().Item(root->Key()));
    }

    void menuShortcutsWinOverTheFocusedControl()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        ScopedModalDriver driver([](QDialog &d) {
            d.reject();
            return d.result();
        });
        Window w;
        auto *box = new GreedyBox(w.main->centralWidget());
        box->show();
        QStringList clicked;
        for (QAction *item : w.main->Menus().Items())
            connect(item, &QAction::triggered, this,
                    [&clicked, item] { clicked << item->objectName(); });
        int tried = 0;
        for (const QString &key : w.main->Menus().Keys()) {
            const QKeySequence shortcut = w.main->Menus().Item(key)->shortcut();
            // Without an open tree the chart's items are disabled: their keys stay the control's.
            if (shortcut.isEmpty() || !w.main->Menus().Enabled(key))
                continue;
            QApplication::setActiveWindow(w.main.get()); // F1 made the help window active
            QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
            box->setFocus();
            clicked.clear();
            QTest::keySequence(box, shortcut);
            QCOMPARE(clicked, QStringList{key});
            ++tried;
        }
        QCOMPARE(tried, 14);
        // Keys the menu does not use stay the control's.
        QApplication::setActiveWindow(w.main.get());
        box->setText(QStringLiteral("abc"));
        clicked.clear();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("abc"));
        QVERIFY(clicked.isEmpty());
    }

    void viewMenuCheckMarksShow()
    {
        Window w;
        MenuBar &menus = w.main->Menus();
        QMenu *view = menus.Menu(QStringLiteral("mnuView"));
        const auto item = [&](const QString &key, bool checked) {
            menus.SetChecked(key, checked);
            view->popup(QPoint(0, 0));
            const QImage image = view->grab(view->actionGeometry(menus.Item(key))).toImage();
            view->hide();
            return image;
        };
        const auto change = [&](const QString &key) {
            return strongChanges(item(key, false), item(key, true));
        };
        const int toolbar = change(QStringLiteral("mnuViewTbar"));
        QVERIFY(toolbar > 10);
        QCOMPARE(change(QStringLiteral("mnuViewSBar")), toolbar);
        // Info has an icon, which must not take the place of its check mark.
        QCOMPARE(change(QStringLiteral("mnuViewInfo")), toolbar);
    }

    void toolsMenuOpensTheViewerPages()
    {
        Window w;
        QString opened;
        ScopedModalDriver driver([&](QDialog &d) {
            opened = d.objectName();
            d.reject();
            return d.result();
        });
        w.menu("mnuToolsPhotoViewer");
        QCOMPARE(opened, QStringLiteral("dlgThumbnailerProperties"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_commands_main.moc"
