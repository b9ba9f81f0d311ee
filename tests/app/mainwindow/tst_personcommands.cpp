#include "AppState.h"
#include "OpenTree.h"
#include "PersonCommands.h"
#include "ScriptedMessageService.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "frmEdit.h"
#include "mDatabase.h"

#include "ModalSeam.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

PersonRecord row(const QString &id, const QString &parent, const QString &fname,
                 const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}

QLineEdit *box(QDialog &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

// The program's objects in miniature, wired as the main window wires them.
struct Program
{
    QTemporaryDir dir;
    AppState state;
    mDatabase store;
    OpenTree tree;
    QWidget window;
    TreeChart *chart = nullptr;
    TreeBrowser *browser = nullptr;
    PersonCommands *commands = nullptr;
    QString status1, status2;
    bool infoVisible = false;
    QStringList infoShown;

    Program()
    {
        state.ProgramPath = dir.path();
        state.DataPath = dir.path() + "/";
        store.SetPaths(state.DataPath, state.DataPath + "people.db");
        store.OpenDatabase();
        chart = new TreeChart(&window);
        chart->setGeometry(0, 0, 800, 600);
        browser = new TreeBrowser(tree, *chart, store, &window);
        commands = new PersonCommands(state, store, tree, *chart, *browser, &window);
        commands->setStatusSetter([this](const QString &a, const QString &b) {
            status1 = a;
            status2 = b;
        });
        commands->setInfoPanel({[this] { return infoVisible; },
                                [this](const cPerson &p) { infoShown << p.Fname(); }, [](bool) {},
                                [] {}});
    }

    // Clicks the box of a person as the chart does.
    void click(const QString &key)
    {
        for (const cLevelPtr &level : chart->Levels()) {
            if (const cNodePtr node = level->Item(key)) {
                chart->setSelectedNode(node);
                browser->VTree_NodeClick(node, true);
                return;
            }
        }
        QFAIL(qPrintable("no box for " + key));
    }
};

} // namespace

class TestPersonCommands : public QObject
{
    Q_OBJECT

private:
    ScriptedMessageService m_messages;

private slots:
    void init() { m_messages.clear(); }

    void commandsNeedTreeOrPerson()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        int opened = 0;
        ScopedModalDriver driver([&](QDialog &) {
            ++opened;
            return int(QDialog::Rejected);
        });
        program.commands->mnuPersonNew();
        program.tree.OpenNew("Family");
        program.tree.Select("nobody");
        program.commands->mnuPersonEdit();
        QCOMPARE(opened, 0);
    }

    void firstPersonOfEmptyTreeIsLockedRoot()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        program.browser->ShowNewTree("Family");
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            [&] {
                QCOMPARE(box(edit, "txtPrntKey")->text(), QString("ROOT"));
                QVERIFY(!box(edit, "txtPrntKey")->isEnabled());
                QVERIFY(box(edit, "txtKey")->isEnabled());
            }();
            box(edit, "txtKey")->setText("R1");
            box(edit, "txtFname")->setText("Anna");
            box(edit, "txtSname")->setText("O'Berg");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        program.commands->mnuPersonNew();
        QVERIFY(!program.state.EditMode);
        QCOMPARE(m_messages.count(), 1); // only the success message: no root question
        QCOMPARE(m_messages.last().text,
                 QString("Entry Anna O'Berg (R1) has been successfully added."));
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.PrntKey, QString("ROOT"));
        QCOMPARE(stored.Sname, QString("O'Berg"));
        QVERIFY(program.tree.People().Item("R1"));
    }

    void childInheritsSurnameAndHomeAndShowsAfterSave()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        PersonRecord root = row("R1", "ROOT", "Olaf", "Berg");
        root.Laddress = "Storgata 5";
        root.Lcity = "Oslo";
        root.Lcountry = "Norway";
        root.Bdate = "1870";
        root.Notes = "notes";
        QVERIFY(program.store.InsertPerson("Family", root));
        QVERIFY(program.browser->LoadTree("Family"));
        program.click("R1");
        QCOMPARE(program.chart->Levels().Count(), 1);

        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            const PersonRecord fill = edit.record();
            PersonRecord expected;
            expected.PrntKey = "R1";
            expected.Sname = "Berg";
            expected.Laddress = "Storgata 5";
            expected.Lcity = "Oslo";
            expected.Lcountry = "Norway";
            if (!(fill == expected))
                return int(QDialog::Rejected);
            box(edit, "txtKey")->setText("C1");
            box(edit, "txtFname")->setText("Anna");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        program.commands->mnuPersonNew();
        QVERIFY(program.store.FindPerson("Family", "C1"));
        // The parent's box was clicked again: the new child shows in the row below.
        QCOMPARE(program.chart->Levels().Count(), 2);
        QVERIFY(program.chart->Levels().Item(2)->Item("C1"));
        QCOMPARE(program.chart->Levels().Item(2)->Item("C1")->CaptionA(), QString("Berg Anna"));
    }

    void editFillsEveryFieldAndSaves()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        PersonRecord root = row("R1", "ROOT", "Olaf", "Berg");
        root.PrtFname = "Kari";
        root.PrtSname = "Dahl";
        root.Bdate = "1901";
        root.Ddate = "1950";
        root.Bplace = "Bergen";
        root.Dplace = "Oslo";
        root.Laddress = "Storgata 5";
        root.Lcity = "Oslo";
        root.Lcountry = "Norway";
        root.Notes = "two\nlines";
        QVERIFY(program.store.InsertPerson("Family", root));
        QVERIFY(program.browser->LoadTree("Family"));
        program.click("R1");
        program.infoVisible = true;

        QSignalSpy titles(program.commands, &PersonCommands::TitleChanged);
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            if (!(edit.record() == root) || box(edit, "txtKey")->isEnabled())
                return int(QDialog::Rejected);
            box(edit, "txtFname")->setText("Ole");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        const cNodePtr node = program.chart->Levels().Item(1)->Item("R1");
        program.commands->VTree_NodeDblClick(node, true);
        QVERIFY(program.state.EditMode);
        QCOMPARE(m_messages.count(), 0);
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Ole"));
        QCOMPARE(stored.Notes, QString("two\nlines"));
        QCOMPARE(program.status1, QString("Ole Berg"));
        QCOMPARE(program.status2, QString("1901 - 1950 (49)"));
        QCOMPARE(program.infoShown, QStringList{"Ole"});
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), QString("Berg Ole"));
    }

    void cancelledEditChangesNothing()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.browser->LoadTree("Family"));
        program.click("R1");
        ScopedModalDriver driver([&](QDialog &window) {
            box(window, "txtFname")->setText("Changed");
            window.findChild<QPushButton *>("cmdCancel")->click();
            return window.result();
        });
        program.commands->mnuPersonEdit();
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Olaf"));
        QCOMPARE(program.tree.People().Item("R1")->Fname(), QString("Olaf"));
    }

    // Another program on the same database changes the person while it is being edited: the
    // save writes nothing and offers to reload; Cancel keeps what was typed, Reload shows the
    // person as it is now, and a save after that goes through.
    void aChangeOfAnotherProgramIsNotOverwritten()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.browser->LoadTree("Family"));
        program.click("R1");
        mDatabase other;
        other.SetPaths(program.state.DataPath, program.state.DataPath + "people.db");
        QVERIFY(other.OpenDatabase());
        // Changed before the window opens: the window shows the person as it is stored.
        PersonRecord theirs = row("R1", "ROOT", "Ole", "Berg");
        QVERIFY(other.UpdatePerson("Family", "R1", theirs));

        m_messages.enqueue(MsgResult::Cancel);
        m_messages.enqueue(MsgResult::Retry);
        QStringList firstNames;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            firstNames << box(edit, "txtFname")->text();
            // Changed while the window is open.
            theirs.Sname = "Lind";
            (void)other.UpdatePerson("Family", "R1", theirs);
            box(edit, "txtFname")->setText("Olav");
            QPushButton *save = edit.findChild<QPushButton *>("cmdSave");
            save->click(); // Cancel: what was typed stays
            firstNames << box(edit, "txtFname")->text();
            save->click(); // Reload: the person as it is now
            firstNames << box(edit, "txtFname")->text() + " " + box(edit, "txtSname")->text();
            box(edit, "txtFname")->setText("Olav");
            save->click();
            return edit.result();
        });
        program.commands->mnuPersonEdit();

        QCOMPARE(firstNames, (QStringList{"Ole", "Olav", "Ole Lind"}));
        QCOMPARE(m_messages.count(), 2);
        for (const MessageRequest &asked : m_messages.calls()) {
            QCOMPARE(asked.text,
                     QString("Another program changed the person 'R1' after you began editing "
                             "it. Your changes have not been saved.\r\n\r\nReload shows the "
                             "person as it is now; what you typed here is replaced.\r\nCancel "
                             "keeps what you typed; nothing is saved."));
            QCOMPARE(asked.title, QString("Changed by another program"));
            QCOMPARE(asked.buttons, MsgButtons::RetryCancel);
            QCOMPARE(asked.buttonTexts, (QStringList{"Reload", "Cancel"}));
            QCOMPARE(asked.defaultButton, 2);
        }
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Olav"));
        QCOMPARE(stored.Sname, QString("Lind"));
        QCOMPARE(program.tree.People().Item("R1")->Sname(), QString("Lind"));
        QCOMPARE(program.chart->Levels().Item(1)->Item("R1")->CaptionA(), QString("Lind Olav"));
    }

    // Another program deleted the open tree: a new person is not taken for a key in use.
    void aTreeAnotherProgramDeletedIsSaidToBeGone()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.browser->LoadTree("Family"));
        mDatabase other;
        other.SetPaths(program.state.DataPath, program.state.DataPath + "people.db");
        QVERIFY(other.OpenDatabase());
        QVERIFY(other.DeleteTree("Family"));

        ScopedModalDriver driver([&](QDialog &window) {
            box(window, "txtKey")->setText("N1");
            box(window, "txtPrntKey")->setText("ROOT");
            window.findChild<QPushButton *>("cmdSave")->click();
            return window.result() == QDialog::Accepted ? int(QDialog::Accepted)
                                                        : int(QDialog::Rejected);
        });
        program.commands->mnuPersonNew();
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QString("The tree 'Family' no longer exists in the database: another program "
                         "may have deleted or renamed it. Nothing was changed."));
        QCOMPARE(m_messages.last().title, QString("Error: -2147217865"));
        QVERIFY(!program.tree.People().Item("N1"));
    }
};

QTEST_MAIN(TestPersonCommands)
#include "tst_personcommands.moc"
