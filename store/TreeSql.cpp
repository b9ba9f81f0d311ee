#include "TreeSql.h"

#include "StoreSql.h"
#include "TreeTables.h"
#include "engine/Engine.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <algorithm>

using namespace Store;

using namespace StoreSql;

namespace {

const QString kTemplate = QStringLiteral("main");

// The statements that make a new tree: the template's columns with ID required and unique.
Result<QStringList> treeStatements(QSqlDatabase &db, const QString &name)
{
    const Engine &engine = EngineOf(db);
    const Result<QList<TemplateColumn>> columns = engine.templateColumns(db);
    if (!columns)
        return columns.error();
    const bool hasId = std::any_of(columns->begin(), columns->end(), [](const TemplateColumn &c) {
        return c.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
    });
    if (!hasId)
        return Error(ErrorCode::Failed,
                     QStringLiteral("The template table 'main' is missing from the database or "
                                    "has no ID column."));
    return engine.createTree(quoted(name), *columns);
}

} // namespace

namespace Store::TreeSql {

Result<void> CreateTemplate(QSqlDatabase &db)
{
    QStringList columns;
    for (const QString &column : PersonColumns())
        columns << quoted(column) + QStringLiteral(" TEXT");
    QSqlQuery query(db);
    return run(query,
               QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(kTemplate), columns.join(u", ")));
}

Result<void> CreateTable(QSqlDatabase &db, const QString &name)
{
    const Result<QStringList> statements = treeStatements(db, name);
    if (!statements)
        return statements.error();
    QSqlQuery query(db);
    for (const QString &statement : *statements) {
        if (Result<void> made = run(query, statement); !made)
            return made;
    }
    return {};
}

Result<void> CreateTree(QSqlDatabase &db, const QString &name, TemplateRows rows)
{
    Transaction transaction(db);
    if (!transaction.active())
        return transaction.error();
    transaction.announce(ChangeNotice::made(name));
    if (Result<void> made = CreateTable(db, name); !made)
        return made;
    QSqlQuery query(db);
    if (rows == TemplateRows::Copy) {
        if (Result<void> copied = run(query, QStringLiteral("INSERT INTO %1 SELECT * FROM %2")
                                                 .arg(quoted(name), quoted(kTemplate)));
            !copied)
            return copied;
    }
    query = QSqlQuery();
    if (!transaction.commit())
        return transaction.error();
    return {};
}

Result<void> InsertRow(QSqlDatabase &db, const QString &tree, const PersonRecord &record)
{
    QStringList names;
    QStringList marks;
    for (const QString &column : PersonColumns()) {
        names << quoted(column);
        marks << QStringLiteral("?");
    }
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quoted(tree), names.join(u", "), marks.join(u", "));
    // A taken key fails the insert by design. On the server a failed statement spoils the
    // transaction it runs in: the driver could then not free the statement it prepared (a
    // warning, and the statement kept by the server until the connection ends). Between a
    // savepoint and its release the failure is undone at once, before the statement goes.
    const bool guarded = ServerInTransaction(db);
    QSqlQuery step(db);
    if (guarded && !step.exec(QStringLiteral("SAVEPOINT vt_insert_row")))
        return fromSql(step.lastError());
    Result<void> added;
    {
        QSqlQuery query(db);
        added = run(query, insert, RecordValues(record));
        if (!added && guarded)
            step.exec(QStringLiteral("ROLLBACK TO SAVEPOINT vt_insert_row"));
    }
    if (guarded)
        step.exec(QStringLiteral("RELEASE SAVEPOINT vt_insert_row"));
    return added;
}

QList<int> ColumnIndexes(const QSqlQuery &query)
{
    QList<int> indexes;
    const QSqlRecord record = query.record();
    for (const QString &column : PersonColumns())
        indexes << record.indexOf(column); // the lookup ignores case
    return indexes;
}

PersonRecord ReadRecord(const QSqlQuery &query, const QList<int> &indexes)
{
    PersonRecord r;
    for (int i = 0; i < indexes.size(); ++i) {
        if (indexes[i] < 0)
            continue;
        const QVariant value = query.value(indexes[i]);
        if (!value.isNull())
            ColumnText(r, i) = value.toString();
    }
    return r;
}

PersonRecord RecordOf(const PersonRowText &row)
{
    PersonRecord r;
    for (int i = 0; i < PersonRowText::kColumns; ++i) {
        if (row.data[i])
            ColumnText(r, i) = QString::fromUtf8(row.data[i], row.size[i]);
    }
    return r;
}

QVariantList RecordValues(const PersonRecord &r)
{
    QVariantList values;
    values.reserve(kPersonColumnCount);
    for (int i = 0; i < kPersonColumnCount; ++i)
        values << bindable(ColumnText(r, i));
    return values;
}

} // namespace Store::TreeSql
