// The rows of a tree one at a time: finding, adding, changing and deleting a person. A change
// made with the row as it was read goes through only while the row still holds those values,
// checked inside the write transaction: two programs on one database cannot overwrite each
// other's changes without a word.
#include "mDatabase.h"

#include "StoreSql.h"
#include "TreeSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace StoreSql;

StoreError mDatabase::onTree(const QString &tree, StoreError error) const
{
    // "No such table" is a statement that could not run; only the catalogue tells that the
    // table is gone rather than the statement wrong.
    if (error.number == kErrStatementFailed && IsOpen() && StoredTreeName(tree).isEmpty())
        return storeError(kErrTreeMissing,
                          QStringLiteral("The tree '%1' no longer exists in the database: another "
                                         "program may have deleted or renamed it. Nothing was "
                                         "changed.")
                              .arg(tree));
    return named(std::move(error));
}

bool mDatabase::FindPerson(const QString &tree, const QString &key, PersonRecord *found,
                           StoreError *error) const
{
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return false;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    StoreError failed;
    if (!run(query, QStringLiteral("SELECT * FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)),
             {bindable(key)}, &failed)) {
        if (error)
            *error = onTree(tree, failed);
        return false;
    }
    if (!query.next())
        return false;
    if (found)
        *found = TreeSql::ReadRecord(query, TreeSql::ColumnIndexes(query));
    return true;
}

StoreError mDatabase::checkRow(const QString &tree, const QString &key,
                               const PersonRecord &expected) const
{
    PersonRecord current;
    StoreError error;
    if (!FindPerson(tree, key, &current, &error)) {
        if (error)
            return error;
        return storeError(kErrRowMissing,
                          QStringLiteral("The person '%1' is no longer in the tree '%2': another "
                                         "program may have deleted it. Nothing was changed.")
                              .arg(key, tree));
    }
    if (current != expected)
        return storeError(kErrRowChanged,
                          QStringLiteral("The person '%1' of the tree '%2' was changed by another "
                                         "program after it was read here. Nothing was changed.")
                              .arg(key, tree));
    return {};
}

StoreError mDatabase::UpdatePerson(const QString &tree, const QString &key,
                                   const PersonRecord &record, const PersonRecord *expected)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    QStringList assignments;
    for (const QString &column : PersonColumns().mid(1))
        assignments << quoted(column) + QStringLiteral(" = ?");
    QVariantList values = TreeSql::RecordValues(record).mid(1);
    values << bindable(key);

    // The check and the change in one write transaction: no other program can come between.
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    if (expected) {
        if (StoreError changed = checkRow(tree, key, *expected))
            return changed;
    }
    QSqlQuery query(db);
    StoreError error;
    if (!run(query,
             QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\" = ?")
                 .arg(quoted(tree), assignments.join(u", ")),
             values, &error))
        return onTree(tree, error);
    query = QSqlQuery();
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

StoreError mDatabase::InsertPerson(const QString &tree, const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    return onTree(tree, TreeSql::InsertRow(db, tree, record));
}

StoreError mDatabase::DeletePerson(const QString &tree, const QString &key,
                                   const PersonRecord *expected)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    if (expected) {
        if (StoreError changed = checkRow(tree, key, *expected))
            return changed;
    }
    QSqlQuery query(db);
    StoreError error;
    if (!run(query, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)),
             {bindable(key)}, &error))
        return onTree(tree, error);
    query = QSqlQuery();
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}
