// The rows of a tree one at a time: finding, adding, changing and deleting a person. A change
// made with the row as it was read goes through only while the row still holds those values,
// checked inside the write transaction: two programs on one database cannot overwrite each
// other's changes without a word.
#include "mDatabase.h"

#include "StoreSql.h"
#include "TreeSql.h"
#include "engine/Engine.h"
#include "model/ChangeLog.h"
#include "model/SideRules.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

using namespace Store;

using namespace StoreSql;

Error mDatabase::onTree(const QString &tree, Error error) const
{
    // "No such table" is a statement that could not run; only the catalogue tells that the
    // table is gone rather than the statement wrong.
    if (error.is(ErrorCode::InvalidInput) && IsOpen() && StoredTreeName(tree).isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("The tree '%1' no longer exists in the database: another "
                                    "program may have deleted or renamed it. Nothing was changed.")
                         .arg(tree),
                     m_databasePath);
    return named(std::move(error));
}

Result<PersonRecord> mDatabase::FindPerson(const QString &tree, const QString &key) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return notOpen();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (const Result<void> read = run(query,
                                      QStringLiteral("SELECT * FROM %1 WHERE %2")
                                          .arg(quoted(table(tree)), EngineOf(db).keyEquals()),
                                      {bindable(key)});
        !read)
        return onTree(tree, read.error());
    if (!query.next())
        return Error(ErrorCode::Missing,
                     QStringLiteral("The person '%1' is not in the tree '%2'.").arg(key, tree));
    return TreeSql::ReadRecord(query, TreeSql::ColumnIndexes(query));
}

Result<void> mDatabase::checkRow(const QString &tree, const QString &key,
                                 const PersonRecord &expected) const
{
    const Result<PersonRecord> current = FindPerson(tree, key);
    // Who changed it and when, as the history says.
    const auto changedBy = [&] {
        return ChangeLog::lastChangeText(
            *this, StoredTreeName(tree),
            ChangeLog::personRecord(current ? current->ID : expected.ID));
    };
    if (!current && current.error().is(ErrorCode::Missing))
        return Error(ErrorCode::Missing,
                     QStringLiteral("The person '%1' is no longer in the tree '%2': another "
                                    "user or program may have deleted it.%3 Nothing was "
                                    "changed.")
                         .arg(key, tree, changedBy()));
    if (!current)
        return current.error();
    if (*current != expected)
        return Error(ErrorCode::ChangedElsewhere,
                     QStringLiteral("The person '%1' of the tree '%2' was changed by another "
                                    "user or program after it was read here.%3 Nothing was "
                                    "changed.")
                         .arg(key, tree, changedBy()));
    return {};
}

Result<void> mDatabase::UpdatePerson(const QString &tree, const QString &key,
                                     const PersonRecord &record, const PersonRecord *expected)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange(tree))
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
    m_changedRows.clear();
    if (expected) {
        if (const Result<void> same = checkRow(tree, key, *expected); !same)
            return same;
    }
    // The row as it was, for the side records that follow it.
    std::optional<PersonRecord> before;
    if (const Result<PersonRecord> stored = FindPerson(tree, key); stored)
        before = *stored;
    QSqlQuery query(db);
    if (const Result<void> written =
            run(query,
                QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                    .arg(quoted(table(tree)), assignments.join(u", "), EngineOf(db).keyEquals()),
                values);
        !written)
        return onTree(tree, written.error());
    query = QSqlQuery();
    if (before) {
        PersonRecord after = record;
        after.ID = before->ID;
        if (const Result<void> side =
                Side::personSaved(*this, Side::Db(db), StoredTreeName(tree), &*before, after);
            !side)
            return named(side.error());
    }
    // The others hear of every row the change made, in the one notice of its commit.
    transaction.announce(ChangeNotice::persons(tree, QStringList{key} << m_changedRows));
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

Result<void> mDatabase::InsertPerson(const QString &tree, const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange(tree))
        return refused;
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    m_changedRows.clear();
    if (const Result<void> added = TreeSql::InsertRow(db, table(tree), record); !added)
        return onTree(tree, added.error());
    if (const Result<void> side =
            Side::personSaved(*this, Side::Db(db), StoredTreeName(tree), nullptr, record);
        !side)
        return named(side.error());
    // The others hear of every row the change made, in the one notice of its commit.
    transaction.announce(ChangeNotice::persons(tree, QStringList{record.ID} << m_changedRows));
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

Result<void> mDatabase::DeletePerson(const QString &tree, const QString &key,
                                     const PersonRecord *expected)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange(tree))
        return refused;
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    m_changedRows.clear();
    if (expected) {
        if (const Result<void> same = checkRow(tree, key, *expected); !same)
            return same;
    }
    QSqlQuery query(db);
    if (const Result<void> deleted = run(query,
                                         QStringLiteral("DELETE FROM %1 WHERE %2")
                                             .arg(quoted(table(tree)), EngineOf(db).keyEquals()),
                                         {bindable(key)});
        !deleted)
        return onTree(tree, deleted.error());
    query = QSqlQuery();
    if (const Result<void> side =
            Side::deletePerson(*this, Side::Db(db), StoredTreeName(tree), key);
        !side)
        return named(side.error());
    // The others hear of every row the change made, in the one notice of its commit.
    transaction.announce(ChangeNotice::persons(tree, QStringList{key} << m_changedRows));
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}
