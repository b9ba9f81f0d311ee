#include "TreeRestore.h"

#include "StoreSql.h"
#include "TreeSql.h"
#include "TreeTables.h"
#include "mDatabase.h"
#include "model/ModelStore.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <vector>

using namespace Store;
using namespace StoreSql;

namespace {

QHash<QString, PersonRecord> byKey(const QList<PersonRecord> &rows)
{
    QHash<QString, PersonRecord> keyed;
    for (const PersonRecord &row : rows)
        keyed.insert(row.ID.toUpper(), row);
    return keyed;
}

} // namespace

Result<void> RestoreTree(mDatabase &store, const QString &tree, const QList<PersonRecord> &expected,
                         const QList<PersonRecord> &rows, const Genealogy::TreeModel *model)
{
    if (!store.IsOpen())
        return notOpen();
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database is open for reading only. Nothing was changed."),
                     store.DatabasePath());
    if (Error refused = store.RefuseTreeChange(tree))
        return refused;
    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("The tree '%1' is no longer in the database.").arg(tree));
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    Transaction transaction(db);
    if (!transaction.active())
        return transaction.error();
    transaction.announce(ChangeNotice::persons(stored));

    const Result<QList<PersonRecord>> current = store.ReadTree(stored);
    if (!current)
        return current.error();
    const QHash<QString, PersonRecord> now = byKey(*current);
    if (now != byKey(expected))
        return Error(ErrorCode::ChangedElsewhere,
                     QStringLiteral("The persons of the tree '%1' were changed by another program "
                                    "since. Nothing was changed.")
                         .arg(tree));

    const QHash<QString, PersonRecord> wanted = byKey(rows);
    QSqlQuery query(db);
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (wanted.contains(it.key()))
            continue;
        if (Result<void> removed =
                run(query, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoted(stored)),
                    {bindable(it->ID)});
            !removed)
            return removed;
    }
    QStringList assignments;
    for (const QString &column : PersonColumns().mid(1))
        assignments << quoted(column) + QStringLiteral(" = ?");
    const QString update = QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\" = ?")
                               .arg(quoted(stored), assignments.join(u", "));
    // A row comes back in its place: the rows after it (in `rows`) are written anew behind it,
    // since the table gives its rows in the order they were added (a deleted child undone
    // stays before its younger siblings).
    bool behindNew = false;
    for (const PersonRecord &row : rows) {
        const auto found = now.constFind(row.ID.toUpper());
        if (found == now.cend()) {
            if (Result<void> added = TreeSql::InsertRow(db, stored, row); !added)
                return added;
            behindNew = true;
        } else if (behindNew) {
            if (Result<void> removed = run(
                    query, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoted(stored)),
                    {bindable(found->ID)});
                !removed)
                return removed;
            if (Result<void> added = TreeSql::InsertRow(db, stored, row); !added)
                return added;
        } else if (*found != row) {
            QVariantList values = TreeSql::RecordValues(row).mid(1);
            values << bindable(found->ID);
            if (Result<void> changed = run(query, update, values); !changed)
                return changed;
        }
    }
    query = QSqlQuery();
    if (model) {
        const std::vector<PersonRecord> modelRows(rows.cbegin(), rows.cend());
        if (Result<void> side =
                ModelStore::writeModelInTransaction(store, stored, modelRows, *model);
            !side)
            return side;
    }
    if (!transaction.commit())
        return transaction.error();
    return {};
}
