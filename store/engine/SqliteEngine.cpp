// The embedded engine: one database file, its catalogue in sqlite_master, table names matched
// with A-Z folded, the write lock taken when a transaction begins.
#include "Engines.h"

#include "ChangeNoticeList.h"
#include "StoreSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Store {

using namespace StoreSql;

QString SqliteEngine::catalogue(bool tablesOnly) const
{
    return tablesOnly ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")
                      : QStringLiteral("SELECT name FROM sqlite_master");
}

QString SqliteEngine::storedTable(QSqlDatabase &db, const QString &name) const
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // NOCASE folds A-Z only, as the engine matches table names.
    if (!run(query,
             QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                            "name = ? COLLATE NOCASE"),
             {bindable(name)}))
        return QString();
    return query.next() ? query.value(0).toString() : QString();
}

QString SqliteEngine::nameProblem(const QString &) const
{
    return {};
}

Result<void> SqliteEngine::begin(QSqlDatabase &db) const
{
    // The busy timeout is the connection's own (StoreConnection::Options).
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fromSql(begin.lastError());
    return {};
}

void SqliteEngine::afterRollback(QSqlDatabase &db) const
{
    // A change that failed on a full disk or a failing file may have left the file grown and
    // its journal beside it: the engine undoes that only at the next read. Reading now gives the
    // room back at once and leaves no unfinished change for a program that only reads.
    QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

QString SqliteEngine::compress() const
{
    return QStringLiteral("VACUUM");
}

Result<QList<TemplateColumn>> SqliteEngine::templateColumns(QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (Result<void> read =
            run(query, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"),
                {QStringLiteral("main")});
        !read)
        return read.error();
    QList<TemplateColumn> columns;
    while (query.next())
        columns.append({query.value(0).toString(), query.value(1).toString()});
    return columns;
}

QStringList SqliteEngine::createTree(const QString &quotedName,
                                     const QList<TemplateColumn> &columns) const
{
    QStringList definitions;
    QString unique;
    for (const TemplateColumn &column : columns) {
        QString definition = quoted(column.name) + QLatin1Char(' ') +
                             (column.type.isEmpty() ? QStringLiteral("TEXT") : column.type);
        // ID compares without regard to case, so that keys a reader treats as one cannot
        // repeat.
        if (column.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
            definition += QStringLiteral(" NOT NULL COLLATE NOCASE");
            unique = QStringLiteral("UNIQUE (%1)").arg(quoted(column.name));
        }
        definitions << definition;
    }
    // The table constraint comes after every column.
    definitions << unique;
    return {QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedName, definitions.join(u", "))};
}

QString SqliteEngine::rowOrder() const
{
    return {}; // a table is read in the order of its row numbers
}

QString SqliteEngine::keyEquals() const
{
    return QStringLiteral("\"ID\" = ?"); // the column compares as NOCASE
}

QString SqliteEngine::blobType() const
{
    return QStringLiteral("BLOB");
}

qsizetype SqliteEngine::estimateRows(QSqlDatabase &db, const QString &quotedName) const
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The largest row number: the number of rows of a table that rows were only added to.
    if (!query.exec(QStringLiteral("SELECT max(rowid) FROM %1").arg(quotedName)) || !query.next())
        return 0;
    return qsizetype(std::max<qlonglong>(0, query.value(0).toLongLong()));
}

qint64 SqliteEngine::dataVersion(QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

Result<void> SqliteEngine::announce(QSqlDatabase &db, const QString &payload) const
{
    return ChangeNoticeList::append(db, payload);
}

} // namespace Store
