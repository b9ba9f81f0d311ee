#include "ServerRights.h"

#include "Engines.h"
#include "StoreSql.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

namespace Store::ServerRights {

using namespace StoreSql;

namespace {

// Whether the role may read (change = false) or change a tree, by the grants on the table of
// that exact name in the program's schema; false for a name that is no table. Not a definer's
// function: it asks for the role that runs the statement.
const char *const kTreeRight =
    "CREATE OR REPLACE FUNCTION velkintree.maintreeright(tree text, change boolean) "
    "RETURNS boolean LANGUAGE sql STABLE SET search_path = pg_catalog AS $$ "
    "SELECT coalesce(CASE WHEN change THEN has_table_privilege(t.oid, 'INSERT') AND "
    "has_table_privilege(t.oid, 'UPDATE') AND has_table_privilege(t.oid, 'DELETE') "
    "ELSE has_table_privilege(t.oid, 'SELECT') END, false) FROM (SELECT "
    "to_regclass(quote_ident('velkintree') || '.' || quote_ident(tree)) AS oid) t $$";

// The highest history id for every role (as its owner reads it).
const char *const kHistoryLast =
    "CREATE OR REPLACE FUNCTION velkintree.mainhistorylast() RETURNS bigint LANGUAGE sql STABLE "
    "SECURITY DEFINER SET search_path = pg_catalog AS $$ SELECT coalesce(max(id), 0) FROM "
    "velkintree.mainhistory $$";

// A deletion hides the rows the role may not delete instead of refusing them: the statement's
// deleted rows are checked afterwards, and one of a tree the role may only read undoes it all.
const char *const kDeletedCheck =
    "CREATE OR REPLACE FUNCTION velkintree.mainrecordsdeleted() RETURNS trigger LANGUAGE plpgsql "
    "SET search_path = pg_catalog AS $$ BEGIN IF EXISTS (SELECT 1 FROM (SELECT DISTINCT tree "
    "FROM gone) d JOIN velkintree.maintrees t ON t.id = d.tree WHERE NOT "
    "velkintree.maintreeright(t.name, true)) THEN RAISE EXCEPTION USING ERRCODE = "
    "'insufficient_privilege', MESSAGE = 'You may read this tree but not change it.'; END IF; "
    "RETURN NULL; END $$";

QString treeIds(bool change)
{
    return QStringLiteral("tree IN (SELECT id FROM velkintree.maintrees t WHERE "
                          "velkintree.maintreeright(t.name, %1))")
        .arg(change ? QStringLiteral("true") : QStringLiteral("false"));
}

QString byName(const char *column, bool change)
{
    return QStringLiteral("velkintree.maintreeright(%1, %2)")
        .arg(QLatin1String(column), change ? QStringLiteral("true") : QStringLiteral("false"));
}

QStringList setUpStatements()
{
    QStringList sql = {QLatin1String(kTreeRight), QLatin1String(kHistoryLast),
                       QLatin1String(kDeletedCheck)};
    struct Policy
    {
        const char *table;
        const char *name;
        const char *command;
        QString uses;
        QString checks;
    };
    // A tree being renamed: its row still names the table's old name, which is gone inside the
    // renaming transaction (only the table's owner may rename it); the new name must be a
    // table the role may change.
    const QString moving =
        QStringLiteral(" OR (name IS NOT NULL AND to_regclass(quote_ident('velkintree') || '.' "
                       "|| quote_ident(name)) IS NULL)");
    const QList<Policy> policies = {
        {"maintrees", "mainread", "SELECT", byName("name", false) + moving, {}},
        {"maintrees", "mainchange", "ALL", byName("name", true) + moving, byName("name", true)},
        {"mainrecords", "mainread", "SELECT", treeIds(false), {}},
        {"mainrecords", "mainadd", "INSERT", {}, treeIds(true)},
        {"mainrecords", "mainchange", "UPDATE", treeIds(false), treeIds(true)},
        {"mainrecords", "mainremove", "DELETE", treeIds(false), {}},
        {"mainhistory", "mainread", "SELECT", byName("tree", false), {}},
        {"mainhistory", "mainchange", "ALL", byName("tree", true), byName("tree", true)},
    };
    for (const char *table : {"maintrees", "mainrecords", "mainhistory"}) {
        sql << QStringLiteral("ALTER TABLE velkintree.%1 ENABLE ROW LEVEL SECURITY")
                   .arg(QLatin1String(table))
            << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON velkintree.%1 TO PUBLIC")
                   .arg(QLatin1String(table));
    }
    for (const Policy &policy : policies) {
        QString create = QStringLiteral("CREATE POLICY %1 ON velkintree.%2 FOR %3")
                             .arg(QLatin1String(policy.name), QLatin1String(policy.table),
                                  QLatin1String(policy.command));
        if (!policy.uses.isEmpty())
            create += QStringLiteral(" USING (%1)").arg(policy.uses);
        if (!policy.checks.isEmpty())
            create += QStringLiteral(" WITH CHECK (%1)").arg(policy.checks);
        sql << create;
    }
    sql << QStringLiteral("CREATE TRIGGER mainrecordsdeleted AFTER DELETE ON "
                          "velkintree.mainrecords REFERENCING OLD TABLE AS gone FOR EACH "
                          "STATEMENT EXECUTE FUNCTION velkintree.mainrecordsdeleted()")
        << QStringLiteral("GRANT SELECT ON velkintree.main, velkintree.maininfo TO PUBLIC");
    return sql;
}

Result<QVariant> single(QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    if (Result<void> read = run(query, sql, values); !read)
        return read.error();
    return query.next() ? query.value(0) : QVariant();
}

const QString kRights =
    QStringLiteral("SELECT c.relname, has_table_privilege(c.oid, 'SELECT'), "
                   "has_table_privilege(c.oid, 'INSERT') AND has_table_privilege(c.oid, "
                   "'UPDATE') AND has_table_privilege(c.oid, 'DELETE') FROM pg_catalog.pg_class "
                   "c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = "
                   "'velkintree' AND c.relkind IN ('r', 'p')");

TableRight rightOf(const QSqlQuery &query)
{
    return {query.value(0).toString(), query.value(1).toBool(), query.value(2).toBool()};
}

} // namespace

Result<void> SetUp(QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const QString &statement : setUpStatements()) {
        if (Result<void> done = run(query, statement); !done)
            return done;
    }
    return {};
}

Result<bool> IsSetUp(QSqlDatabase &db)
{
    const Result<QVariant> found = single(
        db, QStringLiteral("SELECT to_regprocedure('velkintree.maintreeright(text, boolean)') "
                           "IS NOT NULL"));
    if (!found)
        return found.error();
    return found->toBool();
}

Result<bool> OwnsTables(QSqlDatabase &db)
{
    const Result<QVariant> owns =
        single(db, QStringLiteral("SELECT pg_has_role(c.relowner, 'USAGE') FROM "
                                  "pg_catalog.pg_class c WHERE c.oid = "
                                  "to_regclass('velkintree.maininfo')"));
    if (!owns)
        return owns.error();
    return owns->toBool();
}

Result<QList<TableRight>> Tables(QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (Result<void> read = run(query, kRights + QStringLiteral(" ORDER BY c.oid")); !read)
        return read.error();
    QList<TableRight> tables;
    while (query.next())
        tables.append(rightOf(query));
    return tables;
}

Result<TableRight> Table(QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    if (Result<void> read =
            run(query, kRights + QStringLiteral(" AND c.relname = ?"), {bindable(table)});
        !read)
        return read.error();
    return query.next() ? rightOf(query) : TableRight{};
}

Result<bool> MayCreateTrees(QSqlDatabase &db)
{
    const Result<QVariant> may =
        single(db, QStringLiteral("SELECT has_schema_privilege('velkintree', 'CREATE')"));
    if (!may)
        return may.error();
    return may->toBool();
}

Result<qint64> LastHistoryId(QSqlDatabase &db)
{
    const Result<QVariant> last = single(db, QStringLiteral("SELECT velkintree.mainhistorylast()"));
    if (!last)
        return last.error();
    return last->toLongLong();
}

} // namespace Store::ServerRights
