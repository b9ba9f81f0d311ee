// The person collection's own storage: keys without regard to letter case in any script, the
// index and the lists of children kept whole through additions, removals and changed parent
// keys, and persons that are kept and persons on their own behaving alike.
#include "CollectionMessages.h"
#include "PeopleLoader.h"
#include "ScriptedMessageService.h"
#include "cPeople.h"
#include "support_TreeGenerator.h"

#include <QHash>
#include <QTest>

#include <random>

using namespace Chart;

namespace {

cPerson person(const QString &key, const QString &parent, const QString &name = QString())
{
    cPerson p;
    p.setKey(key);
    p.setPrntKey(parent);
    p.setFname(name);
    return p;
}

QStringList childKeys(const cPeople &people, const QString &parent)
{
    QStringList k;
    for (const cPersonPtr &p : people.Children(parent))
        k << p->Key();
    return k;
}

QStringList scannedKeys(const cPeople &people, const QString &parent)
{
    QStringList k;
    for (const cPersonPtr &p : people) {
        if (p->PrntKey() == parent)
            k << p->Key();
    }
    return k;
}

} // namespace

class TestPeople : public QObject
{
    Q_OBJECT

private slots:
    // Two keys are one exactly when their case-folded forms are equal, beyond ASCII as well.
    void keysIgnoreLetterCase()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QStringList keys = {QString::fromUtf8("ärla"),
                                  QString::fromUtf8("ÄRLA"),
                                  QString::fromUtf8("Straße"),
                                  QString::fromUtf8("STRASSE"),
                                  QString::fromUtf8("ΣΊΣΥΦΟΣ"),
                                  QString::fromUtf8("σίσυφος"),
                                  QString::fromUtf8("𐐀x"),
                                  QString::fromUtf8("𐐨X"),
                                  "I1",
                                  "i1",
                                  "I10",
                                  "",
                                  "ROOT"};
        cPeople people;
        QStringList stored;
        int refused = 0;
        for (const QString &key : keys) {
            bool taken = false;
            for (const QString &s : stored)
                taken = taken || (!key.isEmpty() && s.toCaseFolded() == key.toCaseFolded());
            const cPersonPtr added = people.Add(person(key, "ROOT"));
            QCOMPARE(!added, taken);
            // Refused without a word: the window that added tells the user, naming the key.
            QCOMPARE(messages.count(), refused);
            if (taken) {
                ShowPersonKeyTaken(key);
                ++refused;
            }
            if (!taken)
                stored << key;
        }
        QCOMPARE(messages.count(), refused);
        QCOMPARE(messages.last().text,
                 QString("The Key 'i1' is already associated with an element of this "
                         "collection."));
        QCOMPARE(messages.last().title, QString("Key already exists"));
        for (const QString &key : keys) {
            if (key.isEmpty())
                continue;
            const cPersonPtr found = people.Item(key);
            QVERIFY2(found, qPrintable(key));
            QCOMPARE(found->Key().toCaseFolded(), key.toCaseFolded());
        }
        QVERIFY(!people.Item(""));
        QVERIFY(!people.Item("I"));
        QCOMPARE(people.Count(), int(stored.size()));
    }

    // Random additions, removals and new parent keys against a plain model of the collection.
    void indexAndChildrenStayWhole()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        std::mt19937 random(7);
        cPeople people;
        QStringList order; // the keys in collection order
        const auto key = [](int n) { return QStringLiteral("K%1").arg(n); };
        const auto parentKey = [&](int n) { return n % 5 == 0 ? QString("ROOT") : key(n % 97); };
        for (int n = 0; n < 3000; ++n) {
            QVERIFY(people.Add(person(key(n), parentKey(n))));
            order << key(n);
        }
        for (int round = 0; round < 4000; ++round) {
            const int n = int(random() % 4000);
            switch (random() % 4) {
            case 0: // remove by key, in another letter case
                people.Remove(key(n).toLower());
                order.removeOne(key(n));
                break;
            case 1: // remove by position
                if (!order.isEmpty()) {
                    const int at = int(random() % order.size());
                    people.Remove(at + 1);
                    order.removeAt(at);
                }
                break;
            case 2: // add (again)
                if (people.Add(person(key(n), parentKey(n + round))))
                    order << key(n);
                break;
            default: // a new parent key, set on the kept person itself
                if (const cPersonPtr p = people.Item(key(n)))
                    p->setPrntKey(key(int(random() % 97)));
                break;
            }
        }
        QCOMPARE(people.Count(), int(order.size()));
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(people.Item(i + 1)->Key(), order[i]);
        for (int n = 0; n < 4000; ++n)
            QCOMPARE(bool(people.Item(key(n))), order.contains(key(n)));
        for (int parent = 0; parent < 97; ++parent)
            QCOMPARE(childKeys(people, key(parent)), scannedKeys(people, key(parent)));
        QCOMPARE(childKeys(people, "ROOT"), scannedKeys(people, "ROOT"));
    }

    // A list of children handed out stays as it was while a parent key changes, and the next
    // call gives the new list.
    void childListsFollowChanges()
    {
        cPeople people;
        people.Add(person("A", "ROOT"));
        people.Add(person("B", "A"));
        people.Add(person("C", "A"));
        people.Add(person("D", "C"));
        const std::vector<cPersonPtr> &before = people.Children("A");
        QCOMPARE(before.size(), size_t(2));
        people.Item("D")->setPrntKey("A"); // a person later in the collection: at the end
        people.Item("B")->setPrntKey("a"); // letter case counts
        QCOMPARE(before.size(), size_t(2));
        QCOMPARE(childKeys(people, "A"), (QStringList{"C", "D"}));
        QCOMPARE(childKeys(people, "a"), QStringList{"B"});
        people.Item("B")->setPrntKey("A"); // back in collection order, before C
        QCOMPARE(childKeys(people, "A"), (QStringList{"B", "C", "D"}));
        QVERIFY(people.Children("C").empty());
        QVERIFY(people.Children("nobody").empty());
    }

    // Loading with the building on a worker gives what building on the caller's thread gives,
    // and reports the same keys already present, in order (for the caller to tell; the loader
    // itself shows nothing).
    void loadingOnAWorkerMatches()
    {
        QList<PersonRecord> rows;
        TreeGenerator(6000, 30).Generate([&rows](const PersonRecord &r) { rows << r; });
        rows.insert(2500, rows[100]);
        rows[2500].ID = rows[100].ID.toLower();
        rows.insert(4000, rows[3999]);
        const auto load = [&rows](qsizetype expected, QStringList *reported) {
            ScriptedMessageService messages;
            ScopedMessageService scope(messages);
            PeopleLoader loader(expected);
            for (const PersonRecord &r : rows) {
                QByteArray texts[PersonRowText::kColumns];
                PersonRowText row{};
                for (int c = 0; c < PersonRowText::kColumns; ++c) {
                    texts[c] = ColumnText(r, c).toUtf8();
                    row.data[c] = texts[c].constData();
                    row.size[c] = int(texts[c].size());
                }
                loader.AddRow(row);
            }
            cPeople people = loader.Finish();
            if (messages.count() != 0)
                *reported << QStringLiteral("a message was shown");
            for (const QString &key : loader.SkippedKeys())
                *reported << PersonKeyTakenText(key);
            return people;
        };
        QStringList direct, worked;
        const cPeople here = load(0, &direct);
        const cPeople there = load(1000000, &worked);
        QCOMPARE(here.Count(), 6000);
        QCOMPARE(there.Count(), 6000);
        for (int i = 1; i <= 6000; ++i)
            QCOMPARE(there.Item(i)->toRecord(), here.Item(i)->toRecord());
        for (const PersonRecord &r : rows.mid(0, 300))
            QCOMPARE(childKeys(there, r.ID), childKeys(here, r.ID));
        QCOMPARE(childKeys(there, "ROOT"), childKeys(here, "ROOT"));
        QCOMPARE(worked, direct);
        QCOMPARE(worked.size(), 2);
        QVERIFY(worked[0].contains(rows[2500].ID));
    }

    void keptAndOwnPersons()
    {
        cPersonPtr kept;
        {
            cPeople people;
            kept = people.Add(person("K1", "ROOT", "Anna"));
            cPerson copy = *kept; // a person of its own
            copy.setFname("Berta");
            QCOMPARE(kept->Fname(), QString("Anna"));
            QVERIFY(!(copy == *kept));
            *kept = copy; // assigning changes the kept person where it is
            QCOMPARE(people.Item("k1")->Fname(), QString("Berta"));
            QVERIFY(copy == *kept);
            const QString &name = kept->Fname();
            kept->setNotes(QString(5000, QLatin1Char('n')));
            QCOMPARE(name, QString("Berta")); // references stay valid
            QCOMPARE(cPeople(people).Item("K1")->toRecord(), kept->toRecord());
        }
        // The collection is gone; the pointer kept its person.
        QCOMPARE(kept->Fname(), QString("Berta"));
        QCOMPARE(kept->Notes().size(), 5000);
        kept->setPrntKey("X");
        QCOMPARE(kept->PrntKey(), QString("X"));
        QCOMPARE(cPerson().Key(), QString());
    }
};

QTEST_GUILESS_MAIN(TestPeople)
#include "tst_people.moc"
