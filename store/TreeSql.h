#pragma once

#include "PersonRecord.h"
#include "PersonRowText.h"
#include "Result.h"

#include <QList>
#include <QString>
#include <QVariantList>

class QSqlDatabase;
class QSqlQuery;

// The statements on tree tables, run on a connection the caller holds open. The store runs them
// on its own connection; a new database file is built with them on the connection that makes it.
namespace Store::TreeSql {

// Whether a new tree starts with the rows of the template "main" or empty.
enum class TemplateRows { Copy, Skip };

// Makes the template table "main": the person columns (kPersonColumns), all text.
Result<void> CreateTemplate(QSqlDatabase &db);
// Makes the table of a new tree from the template's columns, with ID required and unique
// (compared without regard to case), inside the caller's transaction; no rows.
Result<void> CreateTable(QSqlDatabase &db, const QString &name);
// Makes the table of a new tree from the template's columns, with ID required and unique
// (compared without regard to case), in one transaction. The name is not checked here.
Result<void> CreateTree(QSqlDatabase &db, const QString &name, TemplateRows rows);
// Adds one row; a row with the same ID fails (Taken) and changes nothing.
Result<void> InsertRow(QSqlDatabase &db, const QString &tree, const PersonRecord &record);

// The values of a record as bound values, in the order of PersonColumns().
QVariantList RecordValues(const PersonRecord &record);

// The result columns of the person columns (-1 for a column the table lacks), in the
// order of PersonColumns(); looked up without regard to case.
QList<int> ColumnIndexes(const QSqlQuery &query);
// One result row as a record; NULL columns and columns the table lacks stay empty.
PersonRecord ReadRecord(const QSqlQuery &query, const QList<int> &indexes);
// The same from a row as a scan hands it over (NULL columns stay null).
PersonRecord RecordOf(const PersonRowText &row);

} // namespace Store::TreeSql
