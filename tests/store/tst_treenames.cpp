// One rule for the names of trees: upper and lower case count as the same name in every script,
// so no new pair of trees differing only in case can be made; a pair an older version made stays
// usable, each tree by its exact name, and a rename acts on the tree it names alone.
#include "TreeTables.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The row the store found, copied into `row`; false when it found none.
bool readInto(const Result<PersonRecord> &found, PersonRecord &row)
{
    if (found)
        row = *found;
    return found.ok();
}

PersonRecord person(const QString &id, const QString &first)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = QStringLiteral("ROOT");
    r.Fname = first;
    return r;
}

// Runs SQL on the file through a connection of its own, as an older version would have.
bool rawExec(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &sql : statements)
            ok = ok && query.exec(sql);
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");
    return ok;
}

const QString kUpper = QStringLiteral("Ärzte");
const QString kLower = QStringLiteral("ärzte");

} // namespace

class TestTreeNames : public QObject
{
    Q_OBJECT

private slots:
    void oneRuleForEveryScript()
    {
        QVERIFY(SameTreeName(kUpper, kLower));
        QVERIFY(SameTreeName(QStringLiteral("ÄRZTE"), kLower));
        QVERIFY(SameTreeName(QStringLiteral("Ωμέγα"), QStringLiteral("ΩΜΈΓΑ")));
        QVERIFY(SameTreeName(QStringLiteral("Smith"), QStringLiteral("SMITH")));
        // Composed and decomposed spellings of one letter are one name.
        QVERIFY(SameTreeName(QStringLiteral("A\u0308rzte"), kLower));
        QVERIFY(!SameTreeName(QStringLiteral("Arzte"), kLower));
        QVERIFY(!SameTreeName(QStringLiteral("Smith"), QStringLiteral("Smith ")));

        // The engine tells tables apart by A-Z only.
        QVERIFY(SameTable(QStringLiteral("Smith"), QStringLiteral("sMITH")));
        QVERIFY(!SameTable(kUpper, kLower));
        QVERIFY(!SameTable(QStringLiteral("A\u0308rzte"), kUpper));
    }

    void lineAndParagraphSeparatorsAreRefused()
    {
        for (const QChar c : {QChar(0x2028), QChar(0x2029), QChar(u'\n'), QChar(u'\t')})
            QVERIFY2(
                !TreeNameProblem(QStringLiteral("Two") + c + QStringLiteral("lines")).isEmpty(),
                qPrintable(QString::number(c.unicode(), 16)));
        QVERIFY(!TreeNameProblem(QString(QChar(0xD800)) + QStringLiteral("x")).isEmpty());
        QVERIFY(TreeNameProblem(QStringLiteral("Ärzte 2024 – Familie")).isEmpty());

        QTemporaryDir dir;
        mDatabase store;
        store.SetPaths(dir.path() + '/', dir.filePath("people.db"));
        QVERIFY(store.OpenDatabase());
        QCOMPARE(store.CreateTree(QStringLiteral("A\u2028B")).error().number(),
                 kErrStatementFailed);
        QCOMPARE(store.RenameTree(QStringLiteral("Example"), QStringLiteral("A\u2029B"))
                     .error()
                     .number(),
                 kErrStatementFailed);
        QCOMPARE(store.ListTrees(), QStringList{QStringLiteral("Example")});
    }

    void noNewPairCanBeMade()
    {
        QTemporaryDir dir;
        mDatabase store;
        store.SetPaths(dir.path() + '/', dir.filePath("people.db"));
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.CreateTree(kUpper));
        for (const QString &name :
             {kLower, QStringLiteral("ÄRZTE"), QStringLiteral("A\u0308rzte")}) {
            QVERIFY2(store.TreeExists(name), qPrintable(name));
            const Error created = store.CreateTree(name).error();
            QCOMPARE(created.number(), kErrStatementFailed);
            QCOMPARE(created.text(), QStringLiteral("The tree '%1' already exists.").arg(name));
            QCOMPARE(store.RenameTree(QStringLiteral("Example"), name).error().number(),
                     kErrStatementFailed);
        }
        // A new spelling of the tree's own name is a rename like any other.
        QVERIFY(store.RenameTree(kUpper, kLower));
        QCOMPARE(store.ListTrees(), (QStringList{QStringLiteral("Example"), kLower}));
        QVERIFY(store.RenameTree(QStringLiteral("Example"), QStringLiteral("EXAMPLE")));
        QVERIFY(store.ListTrees().contains(QStringLiteral("EXAMPLE")));
        QVERIFY(!store.ReadTree(QStringLiteral("EXAMPLE"))->isEmpty());
    }

    void anOldPairStaysUsableByExactNames()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("people.db");
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        {
            mDatabase store;
            store.SetPaths(dir.path() + '/', path);
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree(kUpper));
        }
        // An older version checked names by A-Z only and let the pair be made.
        QVERIFY(rawExec(
            path,
            {QStringLiteral("CREATE TABLE \"%1\" AS SELECT * FROM \"%2\"").arg(kLower, kUpper)}));
        mDatabase store;
        store.SetPaths(dir.path() + '/', path);
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.ListTrees().contains(kUpper) && store.ListTrees().contains(kLower));
        QCOMPARE(store.StoredTreeName(kUpper), kUpper);
        QCOMPARE(store.StoredTreeName(kLower), kLower);

        QVERIFY(store.InsertPerson(kUpper, person("K1", "Upper")));
        QVERIFY(store.InsertPerson(kLower, person("K1", "Lower")));
        PersonRecord found;
        QVERIFY(readInto(store.FindPerson(kLower, "K1"), found));
        QCOMPARE(found.Fname, QStringLiteral("Lower"));
        QVERIFY(store.DeletePerson(kLower, "K1"));
        QVERIFY(!store.FindPerson(kLower, "K1"));
        QVERIFY(readInto(store.FindPerson(kUpper, "K1"), found));
        QCOMPARE(found.Fname, QStringLiteral("Upper"));

        // Renaming one leaves the other as it is, rows and name.
        QVERIFY(store.RenameTree(kUpper, QStringLiteral("Doctors")));
        QCOMPARE(store.StoredTreeName(kLower), kLower);
        QVERIFY(store.StoredTreeName(kUpper).isEmpty());
        QVERIFY(readInto(store.FindPerson(QStringLiteral("Doctors"), "K1"), found));
        QCOMPARE(found.Fname, QStringLiteral("Upper"));
        QVERIFY(store.ReadTree(kLower)->isEmpty());

        // The pair cannot be made again; once the other is gone, the name is free.
        QCOMPARE(store.RenameTree(QStringLiteral("Doctors"), kUpper).error().number(),
                 kErrStatementFailed);
        QVERIFY(store.DeleteTree(kLower));
        QVERIFY(store.RenameTree(QStringLiteral("Doctors"), kUpper));
        QCOMPARE(store.ListTrees(), (QStringList{QStringLiteral("Example"), kUpper}));
        QVERIFY(store.FindPerson(kUpper, "K1"));
    }
};

QTEST_GUILESS_MAIN(TestTreeNames)
#include "tst_treenames.moc"
