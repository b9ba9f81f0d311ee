// The database server: the program's tables in a schema of their own, exact table names of at
// most 63 bytes, the write lock an advisory lock of the transaction.
#include "Engines.h"

#include "ChangeNotice.h"

#include "StoreSql.h"
#include "TreeTables.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Store {

using namespace StoreSql;

namespace {

// Every writer of the program takes this lock first, as every writer of a database file takes
// the file's write lock: a check and the change it guards cannot be separated by another
// program's change. ("VeTr")
constexpr qint64 kWriteLock = 0x56655472;

QString schemaLiteral()
{
    return QStringLiteral("'%1'").arg(QLatin1String(kServerSchema));
}

QString foldedAZ(const QString &expression)
{
    return QStringLiteral("translate(%1, '%2', '%3')")
        .arg(expression, QLatin1String(kUpperAZ), QLatin1String(kLowerAZ));
}

} // namespace

QString PostgresEngine::catalogue(bool tablesOnly) const
{
    return QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c JOIN "
                          "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = "
                          "%1%2 ORDER BY c.oid")
        .arg(schemaLiteral(),
             tablesOnly ? QStringLiteral(" AND c.relkind IN ('r', 'p')") : QString());
}

QString PostgresEngine::storedTable(QSqlDatabase &db, const QString &name) const
{
    QSqlQuery query(db);
    // The exact name first; else a table whose name differs in the case of A-Z alone, as the
    // file matches names.
    if (!run(query,
             QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c JOIN "
                            "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname "
                            "= %1 AND c.relkind IN ('r', 'p') AND %2 = %3 ORDER BY c.relname = ? "
                            "DESC, c.oid LIMIT 1")
                 .arg(schemaLiteral(), foldedAZ(QStringLiteral("c.relname::text")),
                      foldedAZ(QStringLiteral("?::text"))),
             {bindable(name), bindable(name)}))
        return QString();
    return query.next() ? query.value(0).toString() : QString();
}

QString PostgresEngine::nameProblem(const QString &name) const
{
    if (name.toUtf8().size() > kServerNameBytes)
        return QStringLiteral("The name '%1' is too long for a shared database: a tree name there "
                              "may have at most %2 bytes (%2 letters A-Z, fewer of other "
                              "scripts). Please choose a shorter name.")
            .arg(name)
            .arg(kServerNameBytes);
    return {};
}

Result<void> PostgresEngine::begin(QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN")))
        return fromSql(query.lastError());
    // The wait is the session's lock_timeout (set when the store connects).
    Result<void> locked;
    if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kWriteLock)))
        locked = fromSql(query.lastError());
    if (!locked)
        query.exec(QStringLiteral("ROLLBACK"));
    return locked;
}

void PostgresEngine::afterRollback(QSqlDatabase &) const {}

QString PostgresEngine::compress() const
{
    return QStringLiteral("VACUUM");
}

Result<QList<TemplateColumn>> PostgresEngine::templateColumns(QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (Result<void> read =
            run(query, QStringLiteral("SELECT column_name, data_type FROM "
                                      "information_schema.columns WHERE table_schema = "
                                      "%1 AND table_name = 'main' ORDER BY "
                                      "ordinal_position")
                           .arg(schemaLiteral()));
        !read)
        return read.error();
    QList<TemplateColumn> columns;
    while (query.next())
        columns.append({query.value(0).toString(), query.value(1).toString()});
    return columns;
}

QStringList PostgresEngine::createTree(const QString &quotedName,
                                       const QList<TemplateColumn> &columns) const
{
    QStringList definitions;
    QString key;
    for (const TemplateColumn &column : columns) {
        QString definition = quoted(column.name) + QLatin1Char(' ') +
                             (column.type.isEmpty() ? QStringLiteral("text") : column.type);
        if (column.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
            definition += QStringLiteral(" NOT NULL");
            key = quoted(column.name);
        }
        definitions << definition;
    }
    // The server keeps no row numbers of its own: the last column numbers the rows in the order
    // they were added (a copy of the template's rows fills the columns before it). Its index
    // reads the rows in that order without sorting them.
    definitions << QStringLiteral("\"%1\" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                       .arg(QLatin1String(kRowNumberColumn));
    // The keys are unique with A-Z folded, as in a database file; the index takes a name of the
    // server's choosing.
    return {QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedName, definitions.join(u", ")),
            QStringLiteral("CREATE UNIQUE INDEX ON %1 (%2)").arg(quotedName, foldedAZ(key))};
}

QString PostgresEngine::rowOrder() const
{
    return QStringLiteral(" ORDER BY \"%1\"").arg(QLatin1String(kRowNumberColumn));
}

QString PostgresEngine::keyEquals() const
{
    return foldedAZ(QStringLiteral("\"ID\"")) + QStringLiteral(" = ") +
           foldedAZ(QStringLiteral("?::text"));
}

QString PostgresEngine::blobType() const
{
    return QStringLiteral("bytea");
}

qsizetype PostgresEngine::estimateRows(QSqlDatabase &db, const QString &quotedName) const
{
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT reltuples::bigint FROM pg_catalog.pg_class WHERE oid = "
                            "to_regclass(?)"),
             {quotedName}) ||
        !query.next())
        return 0;
    return qsizetype(std::max<qlonglong>(0, query.value(0).toLongLong()));
}

qint64 PostgresEngine::dataVersion(QSqlDatabase &) const
{
    return -1;
}

Result<void> PostgresEngine::announce(QSqlDatabase &db, const QString &payload) const
{
    if (payload.isEmpty())
        return {};
    // NOTIFY is part of the transaction: sent when it commits, dropped when it rolls back. The
    // server drops a notice equal to one already sent in the same transaction. A notice that
    // could not be sent fails the transaction, which its commit then reports.
    QSqlQuery query(db);
    static_cast<void>(run(query, QStringLiteral("SELECT pg_notify(?, ?)"),
                          {QLatin1String(kChangeChannel), bindable(payload)}));
    return {};
}

} // namespace Store
