// Rights per tree on a real database server: the owner sets up the trees Alpha, Beta and Gamma
// with side records and history; an editor may change Alpha, read Beta and not see Gamma; a
// reader may read Alpha and Beta. The grants on the tree tables decide, the shared tables of the
// side records and the history follow them row by row.
#include "ChangeLog.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PgServer.h"
#include "ServerAddress.h"
#include "TestRows.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Genealogy;

namespace {

const QString kDatabase = QStringLiteral("family");

// Two persons and their family, the side records of a tree.
ModelSlice couple(const QString &prefix)
{
    ModelSlice s;
    s.rows = {row(prefix + "1", "ROOT", "Anna", "Berg", "Bert", "Holm"),
              row(prefix + "2", "", "Bert", "Holm", "Anna", "Berg")};
    TreeModel &m = s.model;
    m.persons.resize(2);
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    return s;
}

} // namespace

class TestServerRights : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PgServer> m_server;

    std::unique_ptr<mDatabase> openAs(const QString &user, bool create = false)
    {
        auto store = std::make_unique<mDatabase>();
        store->SetServer(*ParseServerAddress(m_server->keywords(kDatabase, user)));
        store->SetCreateTables(create);
        if (const Result<void> opened = store->OpenDatabase(); !opened) {
            qWarning("%s", qPrintable(opened.error().text()));
            return nullptr;
        }
        return store;
    }

    // Runs one statement on the store's own connection (as its role); the error or "".
    static QString execAs(const mDatabase &store, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        return query.exec(sql) ? QString() : query.lastError().nativeErrorCode();
    }

    static int countAs(const mDatabase &store, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PgServer>();
        if (!m_server->running())
            return;
        QCOMPARE(m_server->createDatabase(kDatabase), QString());
        auto owner = openAs(QLatin1String(PgServer::kUser), true);
        QVERIFY(owner);
        for (const QString &tree :
             {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")}) {
            const ModelSlice s = couple(tree.left(1));
            NewTreeWriter writer(*owner);
            QVERIFY(writer.Begin(tree));
            for (const PersonRow &r : s.rows)
                QVERIFY(writer.Add(r));
            QVERIFY(ModelStore::writeModelInTransaction(*owner, tree, s.rows, s.model));
            QVERIFY(writer.Commit());
            ChangeLog::Entry entry;
            entry.tree = tree;
            entry.record = QStringLiteral("tree");
            entry.command = QStringLiteral("Import");
            QVERIFY(ChangeLog::add(*owner, entry));
        }
        QCOMPARE(m_server->exec(
                     kDatabase,
                     {QStringLiteral("CREATE ROLE editor LOGIN"),
                      QStringLiteral("CREATE ROLE reader LOGIN"),
                      QStringLiteral("GRANT USAGE ON SCHEMA velkintree TO editor, reader"),
                      QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON "
                                     "velkintree.\"Alpha\" TO editor"),
                      QStringLiteral("GRANT SELECT ON velkintree.\"Beta\" TO editor"),
                      QStringLiteral("GRANT SELECT ON velkintree.\"Alpha\", velkintree.\"Beta\" "
                                     "TO reader")}),
                 QString());
    }
    void cleanupTestCase() { m_server.reset(); }

    // Each role sees the trees it may read; the trees it may read but not change are marked;
    // a role that may change nothing has the whole database read-only.
    void theTreesEachRoleSees()
    {
        VT_REQUIRE_SERVER(*m_server);
        auto editor = openAs(QStringLiteral("editor"));
        QVERIFY(editor);
        QCOMPARE(editor->ListTrees(), (QStringList{"Alpha", "Beta"}));
        QVERIFY(!editor->IsDatabaseReadOnly());
        QCOMPARE(editor->ReadOnlyTrees(), QStringList{"Beta"});
        QVERIFY(!editor->IsTreeReadOnly(QStringLiteral("alpha")));
        QVERIFY(editor->IsTreeReadOnly(QStringLiteral("beta")));
        // A tree that is not there is no read-only tree: changing it finds it missing.
        QVERIFY(!editor->IsTreeReadOnly(QStringLiteral("Nowhere")));

        auto reader = openAs(QStringLiteral("reader"));
        QVERIFY(reader);
        QVERIFY(reader->IsDatabaseReadOnly());
        QCOMPARE(reader->ListTrees(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(reader->ReadOnlyTrees(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(reader->ReadTree(QStringLiteral("Beta"))->size(), 2);

        // The owner is bound by nothing.
        auto owner = openAs(QLatin1String(PgServer::kUser));
        QVERIFY(owner);
        QVERIFY(owner->ReadOnlyTrees().isEmpty());
        QCOMPARE(owner->ListTrees(), (QStringList{"Example", "Alpha", "Beta", "Gamma"}));
    }

    // The editor changes Alpha; every change of Beta is refused with a message naming it, and
    // the open tree makes the store read-only while it is Beta.
    void theEditorChangesItsTreeOnly()
    {
        VT_REQUIRE_SERVER(*m_server);
        auto editor = openAs(QStringLiteral("editor"));
        QVERIFY(editor);
        QVERIFY(editor->InsertPerson(QStringLiteral("Alpha"), row("A9", "A1", "Carl", "Holm")));
        PersonRecord changed = *editor->FindPerson(QStringLiteral("Alpha"), QStringLiteral("A9"));
        changed.Fname = QStringLiteral("Karl");
        QVERIFY(editor->UpdatePerson(QStringLiteral("Alpha"), QStringLiteral("A9"), changed));
        const Result<void> deleted =
            editor->DeletePerson(QStringLiteral("Alpha"), QStringLiteral("A9"));
        QVERIFY2(deleted, qPrintable(deleted.error().text()));

        const Result<void> added =
            editor->InsertPerson(QStringLiteral("Beta"), row("B9", "B1", "Carl", "Holm"));
        QCOMPARE(added.error().code(), ErrorCode::ReadOnly);
        QVERIFY2(added.error().text().contains(QLatin1String("'Beta'")),
                 qPrintable(added.error().text()));
        QCOMPARE(editor->DeletePerson(QStringLiteral("beta"), QStringLiteral("B1")).error().code(),
                 ErrorCode::ReadOnly);
        QCOMPARE(editor->RenameTree(QStringLiteral("Beta"), QStringLiteral("Delta")).error().code(),
                 ErrorCode::ReadOnly);
        QCOMPARE(editor->DeleteTree(QStringLiteral("Beta")).error().code(), ErrorCode::ReadOnly);
        QCOMPARE(editor->ReadTree(QStringLiteral("Beta"))->size(), 2);

        editor->SetOpenTree(QStringLiteral("Beta"));
        QVERIFY(editor->IsReadOnly());
        QVERIFY(!editor->IsDatabaseReadOnly());
        editor->SetOpenTree(QStringLiteral("Alpha"));
        QVERIFY(!editor->IsReadOnly());
        // Opened again (as after a lost connection), the open tree keeps its state.
        editor->SetOpenTree(QStringLiteral("Beta"));
        QVERIFY(editor->OpenDatabase());
        QVERIFY(editor->IsReadOnly());
    }

    // The shared tables follow the grants row by row: the editor sees the records of Alpha and
    // Beta, not Gamma's; writes of Beta's records fail loudly (never a silent "nothing done");
    // the history takes the editor's entry of Alpha after every entry, also those it cannot see.
    void theSharedTablesFollowTheGrants()
    {
        VT_REQUIRE_SERVER(*m_server);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Unable to free statement")));
        auto editor = openAs(QStringLiteral("editor"));
        QVERIFY(editor);
        QVERIFY(ModelStore::hasModel(*editor, QStringLiteral("Alpha")).valueOr(false));
        QCOMPARE(ModelStore::readTree(*editor, QStringLiteral("Beta"))->model.families.size(), 1u);
        QCOMPARE(countAs(*editor, "SELECT count(DISTINCT tree) FROM mainRecords"), 2);
        QCOMPARE(countAs(*editor, "SELECT count(*) FROM mainTrees"), 2);
        QCOMPARE(countAs(*editor, "SELECT count(*) FROM mainHistory"), 2);

        const QString beta = QStringLiteral("(SELECT id FROM mainTrees WHERE name = 'Beta')");
        const QString denied = QStringLiteral("42501");
        QCOMPARE(execAs(*editor, "UPDATE mainRecords SET data = data WHERE tree = " + beta),
                 denied);
        QCOMPARE(execAs(*editor, "DELETE FROM mainRecords WHERE tree = " + beta), denied);
        QCOMPARE(execAs(*editor, "INSERT INTO mainRecords (tree, tab, idx, data) SELECT " + beta +
                                     ", 99, 1, '\\x00'"),
                 denied);
        QCOMPARE(execAs(*editor, "UPDATE mainTrees SET name = 'Beta2' WHERE name = 'Beta'"),
                 QString()); // the row is not the editor's to change: nothing happens
        QCOMPARE(countAs(*editor, "SELECT count(*) FROM mainTrees WHERE name = 'Beta'"), 1);
        QCOMPARE(execAs(*editor, "INSERT INTO mainHistory (id, changedAt, userName, tree, record, "
                                 "command) VALUES (1000, 'x', 'x', 'Beta', 'x', 'x')"),
                 denied);
        // Alpha's records are the editor's to rewrite.
        Result<ModelSlice> alpha = ModelStore::readTree(*editor, QStringLiteral("Alpha"));
        QVERIFY(alpha);
        const Result<void> saved =
            ModelStore::saveModel(*editor, QStringLiteral("Alpha"), alpha->rows, alpha->model);
        QVERIFY2(saved, qPrintable(saved.error().text()));

        ChangeLog::Entry entry;
        entry.tree = QStringLiteral("Alpha");
        entry.record = QStringLiteral("tree");
        entry.command = QStringLiteral("Edit");
        const Result<qint64> written = ChangeLog::add(*editor, entry);
        QVERIFY2(written, written ? "" : qPrintable(written.error().text()));
        QCOMPARE(*written, qint64(4));
        entry.tree = QStringLiteral("Beta");
        QVERIFY(!ChangeLog::add(*editor, entry));

        auto reader = openAs(QStringLiteral("reader"));
        QVERIFY(reader);
        QCOMPARE(countAs(*reader, "SELECT count(DISTINCT tree) FROM mainRecords"), 2);
    }

    // A grant given or taken back counts at the next open; a role given the schema's CREATE
    // makes trees of its own, which it may change.
    void grantsTakeEffect()
    {
        VT_REQUIRE_SERVER(*m_server);
        QCOMPARE(m_server->exec(kDatabase,
                                {QStringLiteral("GRANT INSERT, UPDATE, DELETE ON "
                                                "velkintree.\"Beta\" TO reader"),
                                 QStringLiteral("GRANT CREATE ON SCHEMA velkintree TO reader")}),
                 QString());
        auto reader = openAs(QStringLiteral("reader"));
        QVERIFY(reader);
        QVERIFY(!reader->IsDatabaseReadOnly());
        QCOMPARE(reader->ReadOnlyTrees(), QStringList{"Alpha"});
        QVERIFY(reader->InsertPerson(QStringLiteral("Beta"), row("B8", "B1", "Dora", "Holm")));
        QVERIFY(reader->CreateTree(QStringLiteral("Own")));
        QVERIFY(reader->InsertPerson(QStringLiteral("Own"), row("O1", "ROOT", "Olga", "Holm")));
        QVERIFY(!reader->IsTreeReadOnly(QStringLiteral("Own")));
        // A tree of its own with side records, renamed: the records go with it.
        const ModelSlice s = couple(QStringLiteral("M"));
        NewTreeWriter writer(*reader);
        QVERIFY(writer.Begin(QStringLiteral("Mine")));
        for (const PersonRow &r : s.rows)
            QVERIFY(writer.Add(r));
        QVERIFY(
            ModelStore::writeModelInTransaction(*reader, QStringLiteral("Mine"), s.rows, s.model));
        QVERIFY(writer.Commit());
        QVERIFY(reader->RenameTree(QStringLiteral("Mine"), QStringLiteral("Ours")));
        QCOMPARE(ModelStore::readTree(*reader, QStringLiteral("Ours"))->model.families.size(), 1u);
        auto owner = openAs(QLatin1String(PgServer::kUser));
        QVERIFY(owner);
        QVERIFY(owner->CreateTree(QStringLiteral("Later"))); // sets nothing aside
        QCOMPARE(ModelStore::readTree(*owner, QStringLiteral("Ours"))->model.families.size(), 1u);
        QCOMPARE(m_server->exec(kDatabase,
                                {QStringLiteral("REVOKE ALL ON velkintree.\"Beta\" FROM reader"),
                                 QStringLiteral("GRANT SELECT ON velkintree.\"Beta\" TO reader")}),
                 QString());
        QVERIFY(reader->OpenDatabase());
        QVERIFY(reader->IsTreeReadOnly(QStringLiteral("Beta")));
    }

    // A tree with side records is deleted with them, by its owner as by the one who set the
    // database up; a tree the role may only read is refused. No statement is left behind on
    // the server by a refusal (the driver warns when it cannot free one).
    void deletingTreesWithRecords()
    {
        VT_REQUIRE_SERVER(*m_server);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Unable to free statement")));
        auto owner = openAs(QLatin1String(PgServer::kUser));
        QVERIFY(owner);
        const Result<void> ours = owner->DeleteTree(QStringLiteral("Ours"));
        QVERIFY2(ours, ours ? "" : qPrintable(ours.error().text()));
        QVERIFY(owner->DeleteTree(QStringLiteral("Gamma")));
        QCOMPARE(owner->ListTrees(), (QStringList{"Example", "Alpha", "Beta", "Own", "Later"}));
        // Only the records of the trees left.
        QCOMPARE(countAs(*owner, "SELECT count(*) FROM mainTrees"), 2);
        QCOMPARE(countAs(*owner, "SELECT count(DISTINCT tree) FROM mainRecords"), 2);
        QVERIFY(ModelStore::hasModel(*owner, QStringLiteral("Beta")).valueOr(false));
    }
};

QTEST_GUILESS_MAIN(TestServerRights)
#include "tst_serverrights.moc"
