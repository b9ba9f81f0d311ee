// The history kept in the database, through the real windows: every edit of a person is an
// entry, the panel's History lists the person's entries newest first, and "Restore this
// version" brings an older version back as a new change that Undo takes back.
#include "ChangeHistory.h"
#include "ChangeLog.h"
#include "GedcomCommands.h"
#include "HistoryView.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "dlgModify.h"
#include "frmEdit.h"
#include "support_TreeFixture.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>

namespace {

struct Program : TreeFixture
{
    // Person > Edit of `key`: the first name typed anew and saved with Return.
    void edit(const QString &key, const QString &fname)
    {
        tree.Select(key);
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            auto *field = edit.findChild<QLineEdit *>(QStringLiteral("txtFname"));
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Backspace);
            QTest::keyClicks(field, fname);
            QTest::keyClick(field, Qt::Key_Return);
            return edit.result();
        });
        persons->mnuPersonEdit();
    }
    // File > Import GEDCOM of a file holding `body` (after its header), under the name proposed.
    bool import(const QString &name, const QByteArray &body)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("0 HEAD\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n" + body + "0 TRLR\n");
        file.close();
        ScopedModalDriver accept([](QDialog &dialog) {
            dialog.accept(); // the tree's name as proposed
            return dialog.result();
        });
        return main->Gedcom().ImportFile(path);
    }
    QString fname(const QString &key) const
    {
        return store.FindPerson(QStringLiteral("Fam"), key).valueOr({}).Fname;
    }
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

    ScriptedMessageService m_messages;

private slots:
    void editsAreKeptAndAVersionRestored()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.addTree(QStringLiteral("Fam"), {Person("I1", "ROOT", "Karl", "Berg"),
                                                  Person("I2", "I1", "Olof", "Berg")}));
        QVERIFY(p.main->LoadTree(QStringLiteral("Fam")));
        p.edit(QStringLiteral("I2"), QStringLiteral("Olle"));
        p.edit(QStringLiteral("I2"), QStringLiteral("Ola"));
        QCOMPARE(p.fname(QStringLiteral("I2")), QStringLiteral("Ola"));

        const std::vector<ChangeLog::Entry> entries =
            ChangeLog::of(p.store, QStringLiteral("Fam"), QStringLiteral("person I2")).value();
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].command, QStringLiteral("Edit Person Ola Berg"));
        QCOMPARE(ChangeLog::rowIn(entries[0].before, QStringLiteral("I2"))->Fname,
                 QStringLiteral("Olle"));
        QCOMPARE(ChangeLog::rowIn(entries[0].after, QStringLiteral("I2"))->Fname,
                 QStringLiteral("Ola"));
        QCOMPARE(entries[0].user, ChangeLog::userName());

        // The panel's History tab shows the selected person's entries, newest first.
        InfoPanel &panel = p.main->pnlInfo();
        if (!panel.isVisible())
            p.main->View().InfoCommand()->trigger();
        QVERIFY(panel.isVisible());
        auto *history = panel.findChild<HistoryView *>();
        QVERIFY(history);
        p.tree.Select(QStringLiteral("I2"));
        panel.SetCurrentTab(2);
        QVERIFY(history->isVisible());
        auto *list = history->findChild<QTreeWidget *>(QStringLiteral("lstHistory"));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Edit Person Ola Berg"));
        auto *restore = history->findChild<QPushButton *>(QStringLiteral("cmdRestore"));
        QVERIFY(!restore->isEnabled()); // the newest is what the row holds

        // The older version, chosen with the keyboard and restored.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(history->findChild<QPlainTextEdit *>(QStringLiteral("txtVersion"))
                    ->toPlainText()
                    .contains(QStringLiteral("Fname: Olle")));
        QVERIFY(restore->isEnabled());
        QTest::keyClick(restore, Qt::Key_Space);
        QCOMPARE(p.fname(QStringLiteral("I2")), QStringLiteral("Olle"));
        QCOMPARE(p.tree.People().Item(QStringLiteral("I2"))->Text(cPerson::kFname),
                 QStringLiteral("Olle"));
        QUndoStack &stack = p.main->History().Stack();
        QCOMPARE(stack.undoText(), QStringLiteral("Restore Version of Olle Berg"));
        QCOMPARE(list->topLevelItemCount(), 3); // the restore is kept too
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Restore Version of Olle Berg"));

        stack.undo();
        QCOMPARE(p.fname(QStringLiteral("I2")), QStringLiteral("Ola"));
        // Undo and redo are changes too: kept, the rows the other way round for an undo.
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(0)->text(2),
                 QStringLiteral("Undo Restore Version of Olle Berg"));
        const ChangeLog::Entry undone =
            ChangeLog::of(p.store, QStringLiteral("Fam"), QStringLiteral("person I2")).value()[0];
        QCOMPARE(ChangeLog::rowIn(undone.after, QStringLiteral("I2"))->Fname,
                 QStringLiteral("Ola"));
        stack.redo();
        QCOMPARE(p.fname(QStringLiteral("I2")), QStringLiteral("Olle"));
        QCOMPARE(list->topLevelItem(0)->text(2),
                 QStringLiteral("Redo Restore Version of Olle Berg"));

        // Renamed, the tree keeps its persons' history; its undo takes it back.
        p.tree.Close();
        p.main->Trees().Refill();
        {
            ScopedModalDriver driver([&](QDialog &d) {
                auto &dlg = static_cast<dlgModify &>(d);
                dlg.lstTrees()->setCurrentItem(
                    dlg.lstTrees()->findItems(QStringLiteral("Fam"), Qt::MatchExactly).value(0));
                dlg.txtNew()->setText(QStringLiteral("Kin"));
                dlg.cmdRename()->click();
                return d.result();
            });
            p.commands->mnuFileModify();
        }
        QVERIFY(p.store.TreeExists(QStringLiteral("Kin")));
        const auto entriesOf = [&](const char *tree) {
            return ChangeLog::of(p.store, QLatin1String(tree), QStringLiteral("person I2"))
                .value()
                .size();
        };
        QCOMPARE(entriesOf("Kin"), size_t(5));
        QCOMPARE(entriesOf("Fam"), size_t(0));
        stack.undo();
        QVERIFY(p.store.TreeExists(QStringLiteral("Fam")));
        QCOMPARE(entriesOf("Fam"), size_t(5));
        QCOMPARE(ChangeLog::of(p.store, QStringLiteral("Fam"), QStringLiteral("tree"))
                     .value()[0]
                     .command,
                 QStringLiteral("Undo Rename Tree Fam to Kin"));
        // The one question asked was the rename's own.
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QStringLiteral("Are you sure you wish to rename the tree Fam to Kin?"));
    }

    // An import is one entry of the tree, not one per person.
    void anImportIsOneEntry()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.import(QStringLiteral("small.ged"),
                         "0 @I1@ INDI\n1 NAME Karl /Berg/\n0 @I2@ INDI\n1 NAME Eva /Ek/\n"));
        const QString tree = p.tree.CurrentTree();
        QVERIFY(!tree.isEmpty());
        const std::vector<ChangeLog::Entry> entries =
            ChangeLog::of(p.store, tree, QStringLiteral("tree")).value();
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0].command, QStringLiteral("Import Tree %1").arg(tree));
        QVERIFY(ChangeLog::of(p.store, tree, QStringLiteral("person I1")).value().empty());
    }

    // A person's older version names a partner deleted since: restored, the partner columns
    // stay those of today's first family (the old ones made a new partner of the old name, or
    // renamed today's partner after the old one).
    void aRestoreLeavesTodaysPartner()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.import(QStringLiteral("wives.ged"),
                         "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 FAMS @F1@\n1 FAMS @F2@\n"
                         "0 @I2@ INDI\n1 NAME Eva /Ek/\n1 FAMS @F1@\n"
                         "0 @I3@ INDI\n1 NAME Anna /Lind/\n1 FAMS @F2@\n"
                         "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
                         "0 @F2@ FAM\n1 HUSB @I1@\n1 WIFE @I3@\n"));
        const QString tree = p.tree.CurrentTree();
        const auto row = [&](const char *key) {
            return p.store.FindPerson(tree, QLatin1String(key)).valueOr({});
        };
        p.edit(QStringLiteral("I1"), QStringLiteral("Carl"));
        p.edit(QStringLiteral("I1"), QStringLiteral("Kalle"));
        QCOMPARE(row("I1").PrtFname, QStringLiteral("Eva"));
        QVERIFY(p.store.DeletePerson(tree, QStringLiteral("I2")));
        QCOMPARE(row("I1").PrtFname, QString()); // the first family has no other partner now

        InfoPanel &panel = p.main->pnlInfo();
        if (!panel.isVisible())
            p.main->View().InfoCommand()->trigger();
        auto *history = panel.findChild<HistoryView *>();
        QVERIFY(history);
        p.tree.Select(QStringLiteral("I1"));
        panel.SetCurrentTab(2);
        history->Refresh();
        QCOMPARE(history->EntryCount(), 2);
        QVERIFY(history->RestoreVersion(1)); // Carl, then married to Eva
        QCOMPARE(row("I1").Fname, QStringLiteral("Carl"));
        QCOMPARE(row("I1").PrtFname, QString());
        QCOMPARE(row("I3").Fname, QStringLiteral("Anna"));
        QCOMPARE(p.store.ReadTree(tree).value().size(), 2); // no partner made of the old name
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
