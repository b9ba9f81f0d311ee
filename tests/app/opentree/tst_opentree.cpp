// The owner of the open tree, without any window: opening, closing and renaming the tree, the
// selection, and the children of every person kept in step with the persons.
#include "OpenTree.h"
#include "ScriptedMessageService.h"
#include "mDatabase.h"
#include "support_TreeGenerator.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

PersonRecord Person(const QString &id, const QString &parent, const QString &fname,
                    const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}

// Three generations below two roots, in an order that is not sorted.
QList<PersonRecord> family()
{
    return {
        Person("A", "ROOT", "Adam", "Smith"), Person("B1", "A", "Bert", "Smith"),
        Person("C", "ROOT", "Carl", "Jones"), Person("B2", "A", "Bea", "Smith"),
        Person("D1", "B1", "Dora", "Smith"),  Person("lc", "root", "Low", "Case"),
        Person("E1", "D1", "Emil", "Smith"),  Person("D2", "B1", "Dan", "Smith"),
        Person("X", "C", "Xaver", "Jones"),   Person("S", "X", "Self", "Loop"),
        Person("Q", "a", "Other", "Case"),
    };
}

// The children of `parent` as a scan of the whole collection finds them.
QStringList scan(const cPeople &people, const QString &parent)
{
    QStringList k;
    for (const cPersonPtr &p : people) {
        if (p->PrntKey() == parent)
            k << p->Key();
    }
    return k;
}

QStringList keys(const std::vector<cPersonPtr> &persons)
{
    QStringList k;
    for (const cPersonPtr &p : persons)
        k << p->Key();
    return k;
}

} // namespace

class TestOpenTree : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    mDatabase m_store;

private slots:
    void initTestCase()
    {
        m_store.SetPaths(m_dir.path() + "/", m_dir.filePath("people.db"));
        QVERIFY(m_store.OpenDatabase());
        QVERIFY(m_store.CreateTree("Fam"));
        for (const PersonRecord &r : family())
            QVERIFY(m_store.InsertPerson("Fam", r));
    }

    void openRenameAndCloseAreAnnounced()
    {
        OpenTree tree(m_store);
        QSignalSpy named(&tree, &OpenTree::CurrentTreeChanged);
        QSignalSpy replaced(&tree, &OpenTree::PeopleReplaced);
        QSignalSpy selected(&tree, &OpenTree::SelectionChanged);
        tree.Select("A"); // left over from another tree
        QVERIFY(tree.Load("Fam"));
        QCOMPARE(tree.CurrentTree(), QString("Fam"));
        QCOMPARE(tree.People().Count(), 11);
        QCOMPARE(tree.SelectedKey(), QString());
        QCOMPARE(named.count(), 1);
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(selected.count(), 2); // "A", then none
        QCOMPARE(keys(tree.Children("ROOT")), (QStringList{"A", "C"}));

        // Renamed: the persons stay.
        tree.Rename("Family");
        QCOMPARE(named.last().first().toString(), QString("Family"));
        QCOMPARE(tree.People().Count(), 11);

        // A tree that cannot be read stays the open one, without persons.
        QVERIFY(!tree.Load("NoSuchTree"));
        QCOMPARE(tree.CurrentTree(), QString("NoSuchTree"));
        QCOMPARE(tree.People().Count(), 0);

        tree.OpenNew("Neu");
        QVERIFY(tree.IsOpen());
        QCOMPARE(tree.People().Count(), 0);
        tree.Close();
        QVERIFY(!tree.IsOpen());
        QCOMPARE(named.last().first().toString(), QString());
        QCOMPARE(replaced.count(), 4);
    }

    // Selecting shows the person in every view, also when it is selected again; the key is
    // the person's own, the half of the box goes with it, and a key naming nobody selects no
    // person.
    void selectionIsShownAgainAndAgain()
    {
        OpenTree tree(m_store);
        QVERIFY(tree.Load("Fam"));
        QSignalSpy changed(&tree, &OpenTree::SelectionChanged);
        QSignalSpy shown(&tree, &OpenTree::PersonSelected);
        tree.Select("b1", false);
        QCOMPARE(tree.SelectedKey(), QString("B1"));
        QCOMPARE(tree.SelectedPerson()->Fname(), QString("Bert"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.last().at(1).toBool(), false);
        tree.Select("B1");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(shown.count(), 2);
        QCOMPARE(shown.last().at(1).toBool(), true);

        tree.Select("nobody");
        QCOMPARE(tree.SelectedKey(), QString("nobody"));
        QVERIFY(!tree.SelectedPerson());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(shown.count(), 2);

        // Photos added to a person's folder are told, whoever is selected.
        QSignalSpy photos(&tree, &OpenTree::PhotosAdded);
        tree.AddedPhotos("C");
        QCOMPARE(photos.count(), 1);
        QCOMPARE(photos.last().first().toString(), QString("C"));

        // A tree opened again starts with nothing selected, and says so once.
        tree.Select("A");
        changed.clear();
        QVERIFY(tree.Load("Fam"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tree.SelectedKey(), QString());
        QVERIFY(tree.Load("Fam"));
        QCOMPARE(changed.count(), 1);
    }

    // Whatever changes the persons, the children follow without being told to.
    void childrenFollowThePersons()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        OpenTree tree(m_store);
        QVERIFY(tree.Load("Fam"));
        QSignalSpy added(&tree, &OpenTree::PersonAdded);
        QSignalSpy changed(&tree, &OpenTree::PersonChanged);
        QSignalSpy removed(&tree, &OpenTree::PersonRemoved);
        QCOMPARE(keys(tree.Children("A")), (QStringList{"B1", "B2"}));

        QVERIFY(tree.AddPerson(Person("B3", "A", "New", "Child")));
        QCOMPARE(keys(tree.Children("A")), (QStringList{"B1", "B2", "B3"}));
        // Refused, not added; the window that added reports it (the owner shows nothing).
        QVERIFY(!tree.AddPerson(Person("b3", "C", "Same", "Key")));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(added.count(), 1);

        // A new parent; the key never changes.
        PersonRecord moved = Person("ZZ", "C", "Bea", "Jones");
        QCOMPARE(tree.ChangePerson("B2", moved)->Key(), QString("B2"));
        QCOMPARE(tree.People().Item("B2")->Sname(), QString("Jones"));
        QCOMPARE(keys(tree.Children("A")), (QStringList{"B1", "B3"}));
        QCOMPARE(keys(tree.Children("C")), (QStringList{"B2", "X"})); // the order of People
        QVERIFY(!tree.ChangePerson("nobody", moved));
        QCOMPARE(changed.count(), 1);

        tree.Select("B1");
        tree.RemovePerson("B1");
        QVERIFY(!tree.People().Item("B1"));
        QCOMPARE(keys(tree.Children("A")), (QStringList{"B3"}));
        QCOMPARE(tree.SelectedKey(), QString("B1")); // the command moves the selection
        QCOMPARE(removed.count(), 1);
    }

    // A generated tree, every column filled as real trees fill them: People mirrors the rows
    // in table order, finds keys in any letter case, lists children as a scan of People finds
    // them, and an edit saved and read again shows everywhere.
    void generatedTreeMirrorsItsRows()
    {
        QVERIFY(m_store.CreateTree("Gen"));
        const TreeGenerator generator(3000, 40);
        QString error;
        QVERIFY2(generator.Write(m_store.DatabasePath(), "Gen", &error), qPrintable(error));
        const QList<PersonRecord> rows = m_store.ReadTree("Gen").value();
        QCOMPARE(rows.size(), 3000);

        OpenTree tree(m_store);
        QVERIFY(tree.Load("Gen"));
        const cPeople &people = tree.People();
        QCOMPARE(people.Count(), 3000);
        QStringList parents;
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(people.Item(i + 1)->toRecord(), rows[i]);
            QCOMPARE(people.Item(rows[i].ID.toLower()), people.Item(i + 1));
            QCOMPARE(people.Item(rows[i].ID.toUpper()), people.Item(i + 1));
            parents << rows[i].PrntKey;
        }
        parents.removeDuplicates();
        QVERIFY(parents.size() > 500);
        for (const QString &parent : parents)
            QCOMPARE(keys(tree.Children(parent)), scan(people, parent));
        QCOMPARE(tree.Children(TreeGenerator::WideRootKey()).size(), size_t(40));
        QVERIFY(tree.Children(TreeGenerator::WideRootKey().toLower()).empty());

        // An edit saved and read again: a new name and a new parent, everywhere.
        const QString key = rows[1234].ID;
        const QString newParent = rows[7].ID;
        PersonRecord edited = rows[1234];
        edited.Fname = QString::fromUtf8("Åsa-Märta");
        edited.PrntKey = newParent;
        edited.Notes = "Moved \"here\"\nafter the census.";
        QVERIFY(m_store.UpdatePerson("Gen", key, edited));
        const cPersonPtr changed = tree.ChangePerson(key, edited);
        QCOMPARE(changed->toRecord(), edited);
        for (const QString &parent : {newParent, rows[1234].PrntKey})
            QCOMPARE(keys(tree.Children(parent)), scan(tree.People(), parent));
        QVERIFY(keys(tree.Children(newParent)).contains(key));
        QVERIFY(tree.Load("Gen"));
        QCOMPARE(tree.People().Item(key.toLower())->toRecord(), edited);
        QVERIFY(keys(tree.Children(newParent)).contains(key));
    }
};

QTEST_GUILESS_MAIN(TestOpenTree)
#include "tst_opentree.moc"
