// Undo and redo of the changes made through the main window's commands and the edit window:
// each kind of change taken back and made again, the photo folder of a deleted person kept aside
// and brought back, an undo refused when another program changed the row, and a long random run
// whose every step leaves the tree as the accepted changes made it.
#include "ChangeHistory.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "ScriptedMessageService.h"
#include "StoreImport.h"
#include "dlgModify.h"
#include "frmEdit.h"
#include "support_TreeFixture.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

namespace {

QLineEdit *box(QDialog &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

// The rows of a tree by key.
QMap<QString, PersonRecord> rowsOf(const mDatabase &store, const QString &tree)
{
    QMap<QString, PersonRecord> rows;
    for (const PersonRecord &row : store.ReadTree(tree).valueOr({}))
        rows.insert(row.ID, row);
    return rows;
}

// The families of a tree, one line each: partners and children by key.
QStringList familiesOf(const mDatabase &store, const QString &tree)
{
    QStringList lines;
    for (const Genealogy::FamilyKeys &family : ModelStore::familiesOf(store, tree).valueOr({})) {
        QStringList children;
        for (const auto &child : family.children)
            children << child.key;
        lines << family.partner[0] + "+" + family.partner[1] + ":" + children.join(',');
    }
    return lines;
}

struct Program : TreeFixture
{
    QAction *undo() { return main->Menus().Item(QStringLiteral("mnuEditUndo")); }
    QAction *redo() { return main->Menus().Item(QStringLiteral("mnuEditRedo")); }
    QUndoStack &stack() { return main->History().Stack(); }

    // Types into the edit window with the keyboard and saves it with Return.
    static void type(frmEdit &edit, const char *name, const QString &text)
    {
        QLineEdit *field = box(edit, name);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    static int save(frmEdit &edit)
    {
        QTest::keyClick(box(edit, "txtFname"), Qt::Key_Return);
        return edit.result();
    }

    // Person > New under the selected person: the key proposed with Ctrl+K, the first name
    // typed. The key the window proposed.
    QString addChild(const QString &fname)
    {
        QString key;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            QApplication::setActiveWindow(&edit);
            box(edit, "txtKey")->setFocus();
            QTest::keyClick(box(edit, "txtKey"), Qt::Key_K, Qt::ControlModifier);
            key = box(edit, "txtKey")->text();
            type(edit, "txtFname", fname);
            return save(edit);
        });
        persons->mnuPersonNew();
        return key;
    }
    // Person > Edit of `key`: the first name and the birth date typed anew.
    void edit(const QString &key, const QString &fname, const QString &bdate)
    {
        tree.Select(key);
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            type(edit, "txtFname", fname);
            type(edit, "txtBdate", bdate);
            return save(edit);
        });
        persons->mnuPersonEdit();
    }
    void remove(const QString &key)
    {
        tree.Select(key);
        persons->mnuPersonDelete();
    }
};

// A small GEDCOM file with families, so that the tree has side records.
QString writeGedcom(const QString &folder)
{
    const QString path = folder + QStringLiteral("/small.ged");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("0 HEAD\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n"
               "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 BIRT\n2 DATE 1820\n1 FAMS @F1@\n"
               "0 @I2@ INDI\n1 NAME Marta /Lind/\n1 SEX F\n1 FAMS @F1@\n"
               "0 @I3@ INDI\n1 NAME Olof /Berg/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F2@\n"
               "0 @I4@ INDI\n1 NAME Eva /Ek/\n1 SEX F\n1 FAMS @F2@\n"
               "0 @I5@ INDI\n1 NAME Nils /Berg/\n1 SEX M\n1 FAMC @F2@\n"
               "0 @I6@ INDI\n1 NAME Stina /Berg/\n1 SEX F\n1 FAMC @F2@\n"
               "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 MARR\n2 DATE 1845\n"
               "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I4@\n1 CHIL @I5@\n1 CHIL @I6@\n0 TRLR\n");
    return path;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private:
    ScriptedMessageService m_messages;

private slots:
    void init() { m_messages.clear(); }

    // Add, edit and delete of a person through the windows, each undone and redone, with the
    // menu texts naming the change.
    void personChangesUndoAndRedo()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.addTree(
            "Fam", {Person("I1", "ROOT", "Karl", "Berg"), Person("I7", "I1", "Olof", "Berg")}));
        QVERIFY(p.main->LoadTree("Fam"));
        QVERIFY(!p.undo()->isEnabled());
        const QMap<QString, PersonRecord> start = rowsOf(p.store, "Fam");

        p.tree.Select("I1");
        QCOMPARE(p.addChild("Anna"), QString("I8"));
        QCOMPARE(p.undo()->text(), QString("Undo Add Person Anna Berg"));
        const QMap<QString, PersonRecord> added = rowsOf(p.store, "Fam");
        QVERIFY(added.contains("I8"));
        QCOMPARE(added["I8"].PrntKey, QString("I1"));

        p.edit("I8", "Annie", "1850");
        QCOMPARE(p.undo()->text(), QString("Undo Edit Person Annie Berg"));
        const QMap<QString, PersonRecord> edited = rowsOf(p.store, "Fam");
        QCOMPARE(edited["I8"].Bdate, QString("1850"));

        QDir().mkpath(p.state.DataPath + "Photos/I8");
        QFile photo(p.state.DataPath + "Photos/I8/a.jpg");
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write("not really a picture");
        photo.close();
        p.remove("I8");
        QCOMPARE(p.undo()->text(), QString("Undo Delete Person Annie Berg"));
        QVERIFY(!rowsOf(p.store, "Fam").contains("I8"));
        QVERIFY(!QFileInfo::exists(p.state.DataPath + "Photos/I8"));
        QCOMPARE(
            QDir(p.state.DataPath + ".deleted").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
            1);

        // Photos stored under the key meanwhile stay; the kept ones join them.
        QDir().mkpath(p.state.DataPath + "Photos/I8");
        QFile later(p.state.DataPath + "Photos/I8/later.jpg");
        QVERIFY(later.open(QIODevice::WriteOnly));
        later.close();

        // Back, step by step, to where it began; the open tree follows.
        p.undo()->trigger();
        QVERIFY(QFileInfo::exists(later.fileName()));
        QCOMPARE(rowsOf(p.store, "Fam"), edited);
        QVERIFY(p.tree.People().Item("I8"));
        QCOMPARE(QFile(p.state.DataPath + "Photos/I8/a.jpg").size(), 20);
        QCOMPARE(p.redo()->text(), QString("Redo Delete Person Annie Berg"));
        p.undo()->trigger();
        QCOMPARE(rowsOf(p.store, "Fam"), added);
        QCOMPARE(p.tree.People().Item("I8")->Fname(), QString("Anna"));
        p.undo()->trigger();
        QCOMPARE(rowsOf(p.store, "Fam"), start);
        QVERIFY(!p.tree.People().Item("I8"));
        QVERIFY(!p.undo()->isEnabled());

        // And forward again, with the keys of the redo action.
        QApplication::setActiveWindow(p.main.get());
        QTest::keySequence(p.main.get(), QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(rowsOf(p.store, "Fam"), added);
        QTest::keySequence(p.main.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(rowsOf(p.store, "Fam"), edited);
        p.redo()->trigger();
        QVERIFY(!rowsOf(p.store, "Fam").contains("I8"));
        QVERIFY(!p.tree.People().Item("I8"));
        QVERIFY(!QFileInfo::exists(p.state.DataPath + "Photos/I8"));
        QTest::keySequence(p.main.get(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(rowsOf(p.store, "Fam").contains("I8"));
        QVERIFY(QFileInfo::exists(p.state.DataPath + "Photos/I8/a.jpg"));

        // The photos kept aside go with the entry that could bring them back.
        p.redo()->trigger();
        QVERIFY(!QDir(p.state.DataPath + ".deleted").isEmpty(QDir::Dirs | QDir::NoDotAndDotDot));
        p.stack().clear();
        QVERIFY(QDir(p.state.DataPath + ".deleted").isEmpty(QDir::Dirs | QDir::NoDotAndDotDot));
        QCOMPARE(m_messages.count(), 2); // the added message and the delete question
    }

    // A child deleted from among its siblings comes back in its place with the undo, in the
    // table and in the open tree (the chart lists the siblings in that order); redo deletes it
    // again. A tree without side records.
    void deletionUndoneInPlace()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.addTree(
            "Fam", {Person("I1", "ROOT", "Karl", "Berg"), Person("I2", "I1", "Anna", "Berg"),
                    Person("I3", "I1", "Olof", "Berg"), Person("I4", "I1", "Stina", "Berg")}));
        QVERIFY(p.main->LoadTree("Fam"));
        const auto stored = [&p] {
            QStringList keys;
            for (const PersonRecord &row : p.store.ReadTree("Fam").valueOr({}))
                keys << row.ID;
            return keys;
        };
        const auto children = [&p] {
            QStringList keys;
            for (const cPersonPtr &child : p.tree.Children("I1"))
                keys << child->Key();
            return keys;
        };
        m_messages.setResponder([](const MessageRequest &) { return MsgResult::Ok; });
        p.remove("I3");
        QCOMPARE(stored(), QStringList({"I1", "I2", "I4"}));
        p.undo()->trigger();
        QCOMPARE(stored(), QStringList({"I1", "I2", "I3", "I4"}));
        QCOMPARE(children(), QStringList({"I2", "I3", "I4"}));
        QCOMPARE(p.tree.SelectedKey(), QString("I3"));
        p.redo()->trigger();
        QCOMPARE(stored(), QStringList({"I1", "I2", "I4"}));
        QCOMPARE(children(), QStringList({"I2", "I4"}));
    }

    // Deleting a person of a tree with side records, with photos: undo brings back the row, the
    // partner's row, every family link and the photos, in one step.
    void deleteWithSideRecordsUndone()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        Gedcom::importIntoStore(p.store, writeGedcom(p.dir.path()), "Kin");
        p.main->Trees().Refill();
        QVERIFY(p.main->LoadTree("Kin"));
        const QMap<QString, PersonRecord> rows = rowsOf(p.store, "Kin");
        const QStringList families = familiesOf(p.store, "Kin");
        const auto order = [&p] {
            QStringList keys;
            for (const PersonRecord &row : p.store.ReadTree("Kin").valueOr({}))
                keys << row.ID;
            return keys;
        };
        const QStringList stored = order();
        // Olof, a child of the first family and a partner in the second.
        const QString olof = [&] {
            for (const PersonRecord &row : rows)
                if (row.Fname == "Olof")
                    return row.ID;
            return QString();
        }();
        QVERIFY(!olof.isEmpty());
        QDir().mkpath(p.state.DataPath + "Photos/" + olof);
        QFile photo(p.state.DataPath + "Photos/" + olof + "/wedding.png");
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.close();

        m_messages.setResponder([](const MessageRequest &request) {
            return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
        });
        p.remove(olof);
        QVERIFY(!rowsOf(p.store, "Kin").contains(olof));
        QVERIFY(familiesOf(p.store, "Kin") != families);
        QVERIFY(!QFileInfo::exists(photo.fileName()));

        p.undo()->trigger();
        QCOMPARE(rowsOf(p.store, "Kin"), rows);
        // In its place among the rows, as before (a chart read again shows the same order).
        QCOMPARE(order(), stored);
        QStringList open;
        for (const cPersonPtr &person : p.tree.People())
            open << person->Key();
        QCOMPARE(open, stored);
        QCOMPARE(familiesOf(p.store, "Kin"), families);
        QCOMPARE(ModelStore::checkTree(p.store, "Kin").valueOr({"?"}), QStringList());
        QVERIFY(QFileInfo::exists(photo.fileName()));
        QCOMPARE(p.tree.SelectedKey(), olof);
        // The open tree holds the rows as stored, partners included.
        for (const PersonRecord &row : rows)
            QCOMPARE(p.tree.People().Item(row.ID)->toRecord(), row);
    }

    // A tree with side records too large to keep whole: an edit is undone by the row alone
    // (through the store's rules, the tree stays consistent); a deletion is not recorded, since
    // its row would come back without its records.
    void largeTreesKeepNoWholeCopies()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        const QString path = p.dir.filePath(QStringLiteral("large.ged"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0 HEAD\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n");
        const int couples = int(ChangeHistory::kWholeTreePersons) / 3 + 10;
        for (int i = 0; i < couples; ++i) {
            file.write(QStringLiteral("0 @H%1@ INDI\n1 NAME Hans%1 /Berg/\n1 FAMS @F%1@\n"
                                      "0 @W%1@ INDI\n1 NAME Wera%1 /Lind/\n1 FAMS @F%1@\n"
                                      "0 @C%1@ INDI\n1 NAME Carl%1 /Berg/\n1 FAMC @F%1@\n"
                                      "0 @F%1@ FAM\n1 HUSB @H%1@\n1 WIFE @W%1@\n1 CHIL @C%1@\n")
                           .arg(i)
                           .toUtf8());
        }
        file.write("0 TRLR\n");
        file.close();
        const Gedcom::StoreImport imported = Gedcom::importIntoStore(p.store, path, "Big");
        QVERIFY2(!imported.error, qPrintable(imported.error.text()));
        p.main->Trees().Refill();
        QVERIFY(p.main->LoadTree("Big"));
        QVERIFY(!ChangeHistory::KeepsWholeTree(p.store, "Big"));
        QVERIFY(!ChangeHistory::ModelState(p.store, "Big"));

        m_messages.setResponder([](const MessageRequest &request) {
            return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
        });
        p.edit("C0", "Karl", "1850");
        QCOMPARE(p.store.FindPerson("Big", "C0").valueOr({}).Fname, QStringLiteral("Karl"));
        p.undo()->trigger();
        QCOMPARE(p.store.FindPerson("Big", "C0").valueOr({}).Fname, QStringLiteral("Carl0"));
        QCOMPARE(ModelStore::checkTree(p.store, "Big").valueOr({"?"}), QStringList());

        const int entries = p.stack().count();
        p.remove("C1");
        QVERIFY(!p.store.FindPerson("Big", "C1"));
        QCOMPARE(p.stack().count(), entries);
        QCOMPARE(ModelStore::checkTree(p.store, "Big").valueOr({"?"}), QStringList());
    }

    // Another program changed the row: that entry is refused with a message and leaves the
    // stack; the entry before it is still undone.
    void undoRefusedWhenChangedElsewhere()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.addTree(
            "Fam", {Person("I1", "ROOT", "Karl", "Berg"), Person("I2", "I1", "Olof", "Berg")}));
        QVERIFY(p.main->LoadTree("Fam"));
        p.edit("I1", "Carl", "1820");
        p.edit("I2", "Olle", "1850");
        QCOMPARE(p.stack().count(), 2);

        mDatabase other;
        other.SetPaths(p.state.DataPath, p.state.DataPath + "people.db");
        QVERIFY(other.OpenDatabase());
        PersonRecord changed = other.FindPerson("Fam", "I2").valueOr({});
        changed.Notes = "from the other program";
        QVERIFY(other.UpdatePerson("Fam", "I2", changed));

        m_messages.clear();
        p.undo()->trigger();
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().title, QString("Undo"));
        QVERIFY(m_messages.last().text.startsWith("\"Edit Person Olle Berg\" cannot be undone."));
        QCOMPARE(p.stack().count(), 1);
        QCOMPARE(rowsOf(p.store, "Fam")["I2"].Notes, QString("from the other program"));
        QCOMPARE(p.undo()->text(), QString("Undo Edit Person Carl Berg"));
        p.undo()->trigger();
        QCOMPARE(rowsOf(p.store, "Fam")["I1"].Fname, QString("Karl"));
        QCOMPARE(m_messages.count(), 1);
    }

    // New, rename and delete of a tree; deleting a tree with side records brings them back.
    void treeChangesUndoAndRedo()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.commands->CreateTree("Fresh"));
        QCOMPARE(p.undo()->text(), QString("Undo New Tree Fresh"));
        p.undo()->trigger();
        QVERIFY(!p.store.TreeExists("Fresh"));
        QVERIFY(!p.tree.IsOpen());
        QCOMPARE(p.cboTrees->findText("Fresh"), -1);
        p.redo()->trigger();
        QVERIFY(p.store.TreeExists("Fresh"));
        QVERIFY(p.cboTrees->findText("Fresh") >= 0);

        const Gedcom::StoreImport imported =
            Gedcom::importIntoStore(p.store, writeGedcom(p.dir.path()), "Kin");
        QVERIFY(p.store.TreeExists("Kin"));
        QVERIFY(ModelStore::hasModel(p.store, "Kin").valueOr(false));
        const QStringList familiesBefore = familiesOf(p.store, "Kin");
        QCOMPARE(familiesBefore.size(), 2);
        const QMap<QString, PersonRecord> rowsBefore = rowsOf(p.store, "Kin");
        p.main->Trees().Refill();

        const auto modify = [&](const QString &tree, const QString &newName) {
            ScopedModalDriver driver([&](QDialog &d) {
                auto &dlg = static_cast<dlgModify &>(d);
                const auto found = dlg.lstTrees()->findItems(tree, Qt::MatchExactly);
                dlg.lstTrees()->setCurrentItem(found.value(0));
                if (newName.isEmpty()) {
                    dlg.cmdDelete()->click();
                } else {
                    dlg.txtNew()->setText(newName);
                    dlg.cmdRename()->click();
                }
                return dlg.result();
            });
            p.commands->mnuFileModify();
        };
        modify("Kin", "Kindred");
        QCOMPARE(p.undo()->text(), QString("Undo Rename Tree Kin to Kindred"));
        p.undo()->trigger();
        QVERIFY(p.store.TreeExists("Kin"));
        QVERIFY(!p.store.TreeExists("Kindred"));
        p.redo()->trigger();
        QVERIFY(p.store.TreeExists("Kindred"));
        p.undo()->trigger();

        modify("Kin", QString());
        QVERIFY(!p.store.TreeExists("Kin"));
        QCOMPARE(p.undo()->text(), QString("Undo Delete Tree Kin"));
        p.undo()->trigger();
        QVERIFY(p.store.TreeExists("Kin"));
        QCOMPARE(rowsOf(p.store, "Kin"), rowsBefore);
        QCOMPARE(familiesOf(p.store, "Kin"), familiesBefore);
        QCOMPARE(ModelStore::checkTree(p.store, "Kin").valueOr({"unreadable"}), QStringList());
        p.redo()->trigger();
        QVERIFY(!p.store.TreeExists("Kin"));
        p.undo()->trigger();
        QCOMPARE(familiesOf(p.store, "Kin"), familiesBefore);

        // A tree another program filled since it was made is not taken away.
        while (p.stack().canUndo() && p.stack().undoText() != "New Tree Fresh")
            p.undo()->trigger();
        QVERIFY(p.store.InsertPerson("Fresh", Person("Z1", "ROOT", "Zoe", "Other")));
        m_messages.clear();
        p.undo()->trigger();
        QVERIFY(p.store.TreeExists("Fresh"));
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().title, QString("Undo"));
    }

    // Ctrl+K and the Propose button: the next key in the tree's style, free in every tree and
    // as a photo folder; numbers for a numeric tree.
    void proposeKeys()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.addTree(
            "Fam", {Person("I1", "ROOT", "Karl", "Berg"), Person("I3", "I1", "Olof", "Berg")}));
        QVERIFY(p.addTree("Other", {Person("i4", "ROOT", "Eva", "Ek")}));
        QVERIFY(p.addTree("Numbers",
                          {Person("7", "ROOT", "Ada", "Sju"), Person("12", "7", "Bo", "Sju")}));
        QDir().mkpath(p.state.DataPath + "Photos/I5");
        // The example tree of a new database has numeric keys too: the next free number after
        // the numeric tree's highest.
        const QStringList taken = p.store.AllKeys().valueOr({});
        int next = 13;
        while (taken.contains(QString::number(next)))
            ++next;
        QVERIFY(p.main->LoadTree("Fam"));
        p.tree.Select("I1");
        QCOMPARE(p.addChild("Anna"), QString("I6"));
        QVERIFY(rowsOf(p.store, "Fam").contains("I6"));

        QVERIFY(p.main->LoadTree("Numbers"));
        p.tree.Select("7");
        QString proposed;
        bool emptyAtFirst = false;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            emptyAtFirst = box(edit, "txtKey")->text().isEmpty(); // stays empty until asked
            edit.findChild<QPushButton *>("cmdPropose")->click();
            proposed = box(edit, "txtKey")->text();
            return int(QDialog::Rejected);
        });
        p.persons->mnuPersonNew();
        QVERIFY(emptyAtFirst);
        QCOMPARE(proposed, QString::number(next));

        // Editing a person: the key cannot change, so nothing is proposed.
        bool enabled = true;
        ScopedModalDriver editing([&](QDialog &window) {
            enabled = window.findChild<QPushButton *>("cmdPropose")->isEnabled();
            return int(QDialog::Rejected);
        });
        p.persons->mnuPersonEdit();
        QVERIFY(!enabled);
    }

    // A long random run of additions, edits, deletions, undos and redos on a tree with side
    // records, longer than the stack keeps: after each step the tree holds exactly the rows the
    // accepted changes left, and the check of the tree is clean.
    void randomRunMatchesAcceptedChanges()
    {
        ScopedMessageService scoped(m_messages);
        m_messages.setResponder([](const MessageRequest &request) {
            return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
        });
        Program p;
        Gedcom::importIntoStore(p.store, writeGedcom(p.dir.path()), "Kin");
        p.main->Trees().Refill();
        QVERIFY(p.main->LoadTree("Kin"));

        // The states the accepted changes made, and where the stack stands among them.
        QList<QMap<QString, PersonRecord>> states{rowsOf(p.store, "Kin")};
        QList<QStringList> families{familiesOf(p.store, "Kin")};
        qsizetype at = 0;
        QRandomGenerator random(26);
        const auto somePerson = [&]() {
            const QStringList keys = states[at].keys();
            return keys.value(int(random.bounded(int(keys.size()))));
        };
        for (int step = 0; step < 500; ++step) {
            const int kind = int(random.bounded(10));
            const QString key = somePerson();
            bool changed = true;
            if (kind < 2 && !key.isEmpty()) {
                p.tree.Select(key);
                p.addChild(QStringLiteral("Child%1").arg(step));
            } else if (kind < 4 && !key.isEmpty()) {
                p.edit(key, QStringLiteral("Name%1").arg(step), QString::number(1800 + step));
            } else if (kind < 5 && !key.isEmpty() && states[at].size() > 3) {
                p.remove(key);
            } else if (kind < 8) {
                changed = false;
                if (p.stack().canUndo()) {
                    p.undo()->trigger();
                    --at;
                }
            } else {
                changed = false;
                if (p.stack().canRedo()) {
                    p.redo()->trigger();
                    ++at;
                }
            }
            if (changed) {
                states.resize(at + 1);
                states.append(rowsOf(p.store, "Kin"));
                families.resize(at + 1);
                families.append(familiesOf(p.store, "Kin"));
                ++at;
                // The oldest change goes once the stack holds as many as it keeps.
                if (states.size() > ChangeHistory::kUndoLimit + 1) {
                    states.removeFirst();
                    families.removeFirst();
                    --at;
                }
            }
            QCOMPARE(p.stack().index(), int(at));
            QCOMPARE(rowsOf(p.store, "Kin"), states[at]);
            QCOMPARE(familiesOf(p.store, "Kin"), families[at]);
            QCOMPARE(p.tree.People().Count(), int(states[at].size()));
            const QStringList problems = ModelStore::checkTree(p.store, "Kin").valueOr({"?"});
            if (!problems.isEmpty())
                QFAIL(qPrintable(QStringLiteral("step %1: %2").arg(step).arg(problems.join('\n'))));
        }
        // Nothing was refused along the way.
        for (const MessageRequest &call : m_messages.calls())
            QVERIFY2(call.title != "Undo" && call.title != "Redo", qPrintable(call.text));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
