// The three tree dialogs: captions, what each button does with empty, reserved and valid
// names, Escape, and the messages they show.
#include "ScriptedMessageService.h"
#include "dlgModify.h"
#include "dlgNew.h"
#include "dlgOpen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class TestDialogs : public QObject
{
    Q_OBJECT

private:
    struct ModifyLog
    {
        QStringList calls;
        bool renameSucceeds = true;
    };

    static dlgModify::Actions actionsFor(ModifyLog &log)
    {
        dlgModify::Actions actions;
        actions.renameTree = [&log](const QString &oldName, const QString &newName) {
            log.calls << QStringLiteral("rename %1 -> %2").arg(oldName, newName);
            return log.renameSucceeds;
        };
        actions.deleteTree = [&log](const QString &name) { log.calls << "delete " + name; };
        actions.closeTree = [&log] { log.calls << QStringLiteral("close"); };
        return actions;
    }

    static void pressEscape(QWidget &w)
    {
        QTest::keyPress(&w, Qt::Key_Escape);
        QTest::keyRelease(&w, Qt::Key_Escape);
    }

    // Shows the dialog as the active window and presses the keys on whatever has the focus.
    static void showActive(QDialog &dlg)
    {
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }
    static void keys(std::initializer_list<Qt::Key> list)
    {
        for (Qt::Key key : list) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, key);
        }
    }

private slots:
    void newDialogControls()
    {
        dlgNew dlg;
        QCOMPARE(dlg.objectName(), QStringLiteral("dlgNew"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("New Tree"));
        QCOMPARE(dlg.findChild<QLabel *>("lblName")->text(),
                 QStringLiteral("Type a tree name (must be unique)"));
        QCOMPARE(dlg.findChild<QPushButton *>("cmdOpen")->text(), QStringLiteral("Create"));
        QCOMPARE(dlg.findChild<QPushButton *>("cmdCancel")->text(), QStringLiteral("Cancel"));
        dlg.SetTrees({"Example", "Smiths"});
        QCOMPARE(dlg.findChild<QListWidget *>("lstTrees")->count(), 2);
        QVERIFY(dlg.findChild<QLineEdit *>("txtNew"));
    }

    void newDialogRefusesEmptyAndAsSilently_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("AS") << "AS";
        QTest::newRow("as") << "as";
        QTest::newRow("aS") << "aS";
    }
    void newDialogRefusesEmptyAndAsSilently()
    {
        QFETCH(QString, name);
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        dlgNew dlg;
        dlg.show();
        dlg.txtNew()->setText(name);
        QTest::mouseClick(dlg.cmdOpen(), Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.NewTreeName(), QString());
        QCOMPARE(msgs.count(), 0);
    }

    void newDialogRefusesReservedNamesWithMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("main prefix") << "Mainline";
        QTest::newRow("msys") << "MSysThings";
        QTest::newRow("switchboard") << "switchboard items";
        QTest::newRow("sqlite") << "sqlite_master";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("line break") << "two\nlines";
    }
    void newDialogRefusesReservedNamesWithMessage()
    {
        QFETCH(QString, name);
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        dlgNew dlg;
        dlg.show();
        dlg.txtNew()->setText(name);
        dlg.cmdOpen_Click(); // a line edit drops the line break when typed
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.NewTreeName(), QString());
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().title, QStringLiteral("Invalid tree name"));
        QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.last().buttons, MsgButtons::OkOnly);
        QVERIFY(!msgs.last().text.isEmpty());
    }

    void newDialogAcceptsNameAsTyped()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        dlgNew dlg;
        dlg.show();
        dlg.txtNew()->setText(QStringLiteral("O'Brien Ærø 家"));
        QTest::mouseClick(dlg.cmdOpen(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.NewTreeName(), QStringLiteral("O'Brien Ærø 家"));
        QCOMPARE(msgs.count(), 0);
    }

    void newDialogCancelAndEscape()
    {
        dlgNew dlg;
        dlg.show();
        dlg.txtNew()->setText(QStringLiteral("Smiths"));
        pressEscape(dlg);
        QVERIFY2(dlg.isVisible(), "Escape does not close the new-tree dialog");
        QTest::mouseClick(dlg.cmdCancel(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.NewTreeName(), QString());
    }

    void openDialogCountAndChoice()
    {
        dlgOpen dlg;
        QCOMPARE(dlg.objectName(), QStringLiteral("dlgOpen"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Open Tree"));
        QCOMPARE(dlg.lblCount()->objectName(), QStringLiteral("lblCount"));
        QCOMPARE(dlg.lblCount()->text(), QStringLiteral("0 velkin tree(s) found"));
        dlg.SetTrees({"Example", "Smiths", "Jones"});
        QCOMPARE(dlg.lblCount()->text(), QStringLiteral("3 velkin tree(s) found"));
        QCOMPARE(dlg.cmdOpen()->text(), QStringLiteral("Open"));
        dlg.show();

        // Open without a choice keeps the dialog open; so does Escape.
        QTest::mouseClick(dlg.cmdOpen(), Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        pressEscape(dlg);
        QVERIFY(dlg.isVisible());

        dlg.lstTrees()->setCurrentRow(1);
        QTest::mouseClick(dlg.cmdOpen(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.OpenTreeName(), QStringLiteral("Smiths"));
    }

    void openDialogCancelGivesEmptyName()
    {
        dlgOpen dlg;
        dlg.SetTrees({"Example"});
        dlg.show();
        dlg.lstTrees()->setCurrentRow(0);
        QTest::mouseClick(dlg.cmdCancel(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.OpenTreeName(), QString());
    }

    void modifyDialogStartsDisabled()
    {
        ModifyLog log;
        dlgModify dlg(actionsFor(log));
        QCOMPARE(dlg.objectName(), QStringLiteral("dlgModify"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Modify Tree"));
        QCOMPARE(dlg.findChild<QLabel *>("lblName")->text(),
                 QStringLiteral("Type a new tree name"));
        QCOMPARE(dlg.cmdRename()->text(), QStringLiteral("Rename"));
        QCOMPARE(dlg.cmdDelete()->text(), QStringLiteral("Delete"));
        QVERIFY(!dlg.txtNew()->isEnabled());
        QVERIFY(!dlg.cmdDelete()->isEnabled());
        dlg.SetTrees({"Example", "Smiths"});
        dlg.txtNew()->setText(QStringLiteral("left over"));
        dlg.lstTrees()->setCurrentRow(1);
        QVERIFY(dlg.txtNew()->isEnabled());
        QVERIFY(dlg.cmdDelete()->isEnabled());
        QCOMPARE(dlg.txtNew()->text(), QString());
        QCOMPARE(dlg.ModifyOldName(), QStringLiteral("Smiths"));
    }

    void modifyDialogRename()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        ModifyLog log;
        dlgModify dlg(actionsFor(log));
        dlg.SetTrees({"Example", "Smiths"});
        dlg.show();
        dlg.lstTrees()->setCurrentRow(1);

        // Empty and "AS" do nothing.
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        dlg.txtNew()->setText(QStringLiteral("As"));
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        QCOMPARE(msgs.count(), 0);
        QVERIFY(log.calls.isEmpty());

        // A reserved name is refused with a message before anything is asked.
        dlg.txtNew()->setText(QStringLiteral("maintenance"));
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().title, QStringLiteral("Invalid tree name"));
        QVERIFY(log.calls.isEmpty());
        QVERIFY(dlg.isVisible());

        // Cancel at the question keeps the dialog open and the tree unchanged.
        dlg.txtNew()->setText(QStringLiteral("Smythe"));
        msgs.enqueue(MsgResult::Cancel);
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Are you sure you wish to rename the tree Smiths to Smythe?"));
        QCOMPARE(msgs.last().title, QStringLiteral("Confirmation"));
        QCOMPARE(msgs.last().buttons, MsgButtons::OkCancel);
        QVERIFY(log.calls.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.ModifyNewName(), QStringLiteral("Smythe"));

        // A failed rename (the store told the user why) keeps the dialog open.
        log.renameSucceeds = false;
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        QCOMPARE(log.calls, QStringList{"rename Smiths -> Smythe"});
        QVERIFY(dlg.isVisible());

        log.renameSucceeds = true;
        QTest::mouseClick(dlg.cmdRename(), Qt::LeftButton);
        QCOMPARE(log.calls.size(), 2);
        QVERIFY(!dlg.isVisible());
    }

    void modifyDialogDeleteClosesOpenTreeFirst()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        ModifyLog log;
        dlgModify dlg(actionsFor(log));
        dlg.SetTrees({"Example", "Smiths"});
        dlg.show();
        dlg.lstTrees()->setCurrentRow(0);

        msgs.enqueue(MsgResult::Cancel);
        QTest::mouseClick(dlg.cmdDelete(), Qt::LeftButton);
        QCOMPARE(msgs.last().text,
                 QStringLiteral("Are you sure you wish to remove the tree Example?"));
        QCOMPARE(msgs.last().title, QStringLiteral("Confirmation"));
        QCOMPARE(msgs.last().buttons, MsgButtons::OkCancel);
        QVERIFY(log.calls.isEmpty());
        QVERIFY(dlg.isVisible());

        QTest::mouseClick(dlg.cmdDelete(), Qt::LeftButton);
        QCOMPARE(log.calls, (QStringList{"close", "delete Example"}));
        QVERIFY(!dlg.isVisible());
    }

    // Keyboard alone: the list starts with nothing chosen, an arrow key chooses (the entry counts
    // as clicked), Return runs the default button.
    void openDialogByKeyboard_data()
    {
        QTest::addColumn<QStringList>("trees");
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<QString>("opened");
        const QStringList three = {"Example", "Smiths", "Jones"};
        QTest::newRow("one tree: Down")
            << QStringList{"Example"} << QList{Qt::Key_Down} << "Example";
        QTest::newRow("Down") << three << QList{Qt::Key_Down} << "Example";
        QTest::newRow("Up") << three << QList{Qt::Key_Up} << "Example";
        QTest::newRow("Down Down") << three << QList{Qt::Key_Down, Qt::Key_Down} << "Smiths";
        QTest::newRow("Down Down Up")
            << three << QList{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << "Example";
        QTest::newRow("no choice") << three << QList<Qt::Key>{} << QString();
    }
    void openDialogByKeyboard()
    {
        QFETCH(QStringList, trees);
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(QString, opened);
        dlgOpen dlg;
        dlg.SetTrees(trees);
        showActive(dlg);
        QCOMPARE(QApplication::focusWidget(), dlg.lstTrees());
        for (Qt::Key key : keys)
            TestDialogs::keys({key});
        TestDialogs::keys({Qt::Key_Return});
        QCOMPARE(dlg.isVisible(), opened.isEmpty());
        QCOMPARE(dlg.OpenTreeName(), opened);
    }

    void modifyDialogByKeyboard()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        ModifyLog log;
        dlgModify dlg(actionsFor(log));
        dlg.SetTrees({"Example", "Smiths"});
        showActive(dlg);
        QCOMPARE(QApplication::focusWidget(), dlg.lstTrees());
        keys({Qt::Key_Down, Qt::Key_Down});
        QCOMPARE(dlg.ModifyOldName(), QStringLiteral("Smiths"));
        // Return in the list does nothing.
        keys({Qt::Key_Return, Qt::Key_Tab});
        QVERIFY(dlg.isVisible());
        QCOMPARE(msgs.count(), 0);
        // Return in the name box asks before renaming; Cancel keeps the dialog.
        QCOMPARE(QApplication::focusWidget(), dlg.txtNew());
        QTest::keyClicks(dlg.txtNew(), QStringLiteral("Smythe"));
        msgs.enqueue(MsgResult::Cancel);
        keys({Qt::Key_Return});
        QCOMPARE(msgs.count(), 1);
        QVERIFY(log.calls.isEmpty() && dlg.isVisible());
        // The release of an Escape pressed in the question leaves the dialog open; Escape
        // pressed in the name box closes it.
        QTest::keyRelease(dlg.txtNew(), Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QTest::keyPress(dlg.txtNew(), Qt::Key_Escape);
        QTest::keyRelease(dlg.txtNew(), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(log.calls.isEmpty());
    }

    void modifyDialogEscapeCloses()
    {
        ModifyLog log;
        dlgModify dlg(actionsFor(log));
        dlg.SetTrees({"Example"});
        dlg.show();
        dlg.lstTrees()->setCurrentRow(0);
        pressEscape(dlg);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(log.calls.isEmpty());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
