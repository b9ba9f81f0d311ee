// The real main window driven headless: a tree is created through the menu, filled through
// the store, loaded and walked down by mouse clicks on the chart; the view commands re-lay out
// the window; the root-person question's Help button and F1 open the help window.
#include "AppState.h"
#include "HelpWindow.h"
#include "InfoPanel.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "StatusBar.h"
#include "TreeChart.h"
#include "dlgNew.h"
#include "frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

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

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    struct Window
    {
        QTemporaryDir dir;
        AppState state;
        std::unique_ptr<frmMain> main;

        Window()
        {
            state.ProgramPath = dir.path() + QLatin1Char('/');
            state.DataPath = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
            state.UserSettingsFile = dir.filePath(QStringLiteral("user.ini"));
            state.MachineSettingsFile = state.DataPath + QStringLiteral("machine.ini");
            main = std::make_unique<frmMain>(state);
            main->Db().BuildConnectionString(state);
            main->Db().OpenDatabase();
            main->Db().ListTrees(main->cboTrees());
            main->resize(1000, 700);
            main->show();
        }

        void menu(const char *key) { main->Menus().Item(QLatin1String(key))->trigger(); }

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
        QCOMPARE(w.state.CurrentTree, QStringLiteral("Scenario"));
        QCOMPARE(w.main->cboTrees().currentText(), QStringLiteral("Scenario"));

        mDatabase &db = w.main->Db();
        for (const PersonRecord &r :
             {row("G1", "ROOT", "Anna", "Old", "1901", "1950"), row("P1", "G1", "Ben", "Old"),
              row("P2", "G1", "Cleo", "Old", "about 1900", "1950"),
              row("K1", "P2", "Dina", "Young"), row("E1", "K1", "Emil", "Young", "", "1999")})
            QVERIFY(!db.InsertPerson("Scenario", r));

        QVERIFY(w.main->LoadTree("Scenario"));
        QCOMPARE(w.main->VTree().Levels().Count(), 1);

        QVERIFY(w.click(1, "G1"));
        QCOMPARE(w.main->VTree().Levels().Count(), 2);
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Old Anna"));
        QCOMPARE(w.main->Sbar().PanelText(1), QStringLiteral("Anna Old"));
        QCOMPARE(w.main->Sbar().PanelText(2), QStringLiteral("1901 - 1950 (49)"));

        QVERIFY(w.click(2, "P2", false));
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Partner Pat"));
        QCOMPARE(w.main->Sbar().PanelText(2), QStringLiteral("about 1900 - 1950 (1950)"));
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
        QCOMPARE(w.state.CurrentTree, QString());
        QCOMPARE(w.main->cboTrees().currentIndex(), -1);
        const int draws = w.main->VTree().DrawCount();
        w.menu("mnuToolsRefresh");
        QCOMPARE(w.main->VTree().DrawCount(), draws);
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
        QVERIFY(w.state.People.Item(root->Key()));

        w.menu("mnuHelpHelp");
        QVERIFY(w.main->Help()->isVisible());
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
