// Editing the records of one person: read whole, checked, and the records changed written back
// in one transaction.
#include "ModelEdit.h"

#include "ModelEditWrite.h"
#include "ModelStore.h"
#include "RecordSet.h"
#include "StoreSql.h"
#include "TreeCheck.h"
#include "TreeSql.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>

using namespace Genealogy;
using namespace Store;
using namespace Store::Side;

namespace {

void addField(QCryptographicHash &hash, QByteArrayView bytes)
{
    const qint64 size = bytes.size();
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&size), sizeof size));
    hash.addData(bytes);
}

// A fingerprint of the tree's rows (by key) and of its side records (by table and number, with
// every column): any change another program makes gives another one.
Result<QByteArray> stampOf(const mDatabase &store, const QString &tree)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    Result<QList<PersonRecord>> rows = store.ReadTree(ref->table);
    if (!rows)
        return rows.error();
    std::sort(rows->begin(), rows->end(), [](const PersonRecord &a, const PersonRecord &b) {
        return a.ID.toUpper() < b.ID.toUpper();
    });
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const PersonRecord &row : std::as_const(*rows))
        for (const QVariant &value : TreeSql::RecordValues(row))
            addField(hash, value.toString().toUtf8());
    if (!ref->id)
        return hash.result();
    Result<Statement> records =
        db.prepare("SELECT tab, idx, person, family, ownerTab, ownerIdx, ref1, ref2, data FROM "
                   "mainRecords WHERE tree = ? ORDER BY tab, idx");
    if (!records)
        return records.error();
    records->bind(1, *ref->id);
    if (Result<void> read = records->eachRow([&] {
            for (int column = 0; column < 9; ++column)
                addField(hash, records->isNull(column) ? QByteArrayView("\x01null")
                                                       : records->blob(column));
        });
        !read)
        return read.error();
    return hash.result();
}

// The engine's count of the changes other connections made to the file: the same before and
// after a read, nothing changed the tree while it was read.
Result<qint64> dataVersion(const mDatabase &store)
{
    const Db db(store);
    Result<Statement> query = db.prepare("PRAGMA data_version");
    if (!query)
        return query.error();
    Result<bool> row = query->step();
    if (!row)
        return row.error();
    if (!*row)
        return Error(ErrorCode::InvalidInput, QStringLiteral("The database gave no version."));
    return query->integer(0);
}

QHash<QString, qsizetype> byKey(std::span<const PersonRow> rows)
{
    QHash<QString, qsizetype> keyed;
    for (qsizetype i = 0; i < qsizetype(rows.size()); ++i)
        keyed.insert(rows[size_t(i)].ID.toUpper(), i);
    return keyed;
}

// The lines of the check that `edited` has and `before` had not.
QStringList newProblems(const ModelSlice &before, const ModelSlice &edited)
{
    const QStringList was = checkTree(before.rows, before.model);
    const QSet<QString> known(was.cbegin(), was.cend());
    QStringList added;
    for (const QString &line : checkTree(edited.rows, edited.model))
        if (!known.contains(line))
            added << line;
    return added;
}

Result<void> writeRows(QSqlDatabase &connection, const QString &table,
                       std::span<const PersonRow> before, std::span<const PersonRow> after)
{
    const QHash<QString, qsizetype> was = byKey(before);
    QStringList assignments;
    for (const QString &column : PersonColumns().mid(1))
        assignments << StoreSql::quoted(column) + QStringLiteral(" = ?");
    const QString update = QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\" = ?")
                               .arg(StoreSql::quoted(table), assignments.join(u", "));
    QSqlQuery query(connection);
    for (const PersonRow &row : after) {
        const auto found = was.constFind(row.ID.toUpper());
        if (found == was.cend()) {
            if (Result<void> added = TreeSql::InsertRow(connection, table, row); !added)
                return added;
            continue;
        }
        const PersonRow &old = before[size_t(*found)];
        if (old == row)
            continue;
        QVariantList values = TreeSql::RecordValues(row).mid(1);
        values << StoreSql::bindable(old.ID);
        if (Result<void> changed = StoreSql::run(query, update, values); !changed)
            return changed;
    }
    return {};
}

} // namespace

namespace ModelEdit {

quint32 rowIndex(const ModelSlice &slice, const QString &key)
{
    for (size_t i = 0; i < slice.rows.size(); ++i)
        if (slice.rows[i].ID.compare(key, Qt::CaseInsensitive) == 0)
            return quint32(i);
    return kNoIndex;
}

Result<PersonEdit> readForEdit(const mDatabase &store, const QString &tree, const QString &key)
{
    if (!store.IsOpen())
        return StoreSql::notOpen();
    PersonEdit edit;
    // The fingerprint and the tree read while no other program changed the file: the tree read
    // is the one fingerprinted.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Result<qint64> version = dataVersion(store);
        if (!version)
            return version.error();
        Result<QByteArray> stamp = stampOf(store, tree);
        if (!stamp)
            return stamp.error();
        Result<ModelSlice> whole = ModelStore::readTree(store, tree);
        if (!whole)
            return whole.error();
        const Result<qint64> after = dataVersion(store);
        if (!after)
            return after.error();
        if (*version != *after)
            continue;
        edit.tree = std::move(*whole);
        edit.stamp = *stamp;
        edit.tree.person = rowIndex(edit.tree, key);
        if (edit.tree.person == kNoIndex && !key.isEmpty())
            return Error(ErrorCode::Missing,
                         QStringLiteral("There is no person with the key '%1'.").arg(key));
        if (edit.tree.model.personCount() == 0)
            edit.tree.model.persons.resize(edit.tree.rows.size());
        return edit;
    }
    return Error(
        ErrorCode::ChangedElsewhere,
        QStringLiteral("The tree '%1' is being changed by another program: try again.").arg(tree));
}

Result<void> applyEdit(mDatabase &store, const QString &tree, const PersonEdit &read,
                       const ModelSlice &edited)
{
    if (!store.IsOpen())
        return StoreSql::notOpen();
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database is open for reading only. Nothing was changed."),
                     store.DatabasePath());
    if (Error refused = store.RefuseTreeChange(tree))
        return refused;
    if (edited.model.personCount() != edited.rows.size())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The model has %1 persons for %2 rows.")
                         .arg(edited.model.personCount())
                         .arg(edited.rows.size()));
    const QHash<QString, qsizetype> now = byKey(edited.rows);
    for (const PersonRow &row : read.tree.rows)
        if (!now.contains(row.ID.toUpper()))
            return Error(
                ErrorCode::InvalidInput,
                QStringLiteral("The person '%1' would be lost. Nothing was changed.").arg(row.ID));
    if (now.size() != qsizetype(edited.rows.size()))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("Two persons have the same key. Nothing was changed."));
    if (const QStringList problems = newProblems(read.tree, edited); !problems.isEmpty())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The change would leave the tree inconsistent: %1")
                         .arg(problems.first()));

    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("The tree '%1' is no longer in the database.").arg(tree));
    QSqlDatabase connection = QSqlDatabase::database(store.ConnectionName(), false);
    StoreSql::Transaction transaction(connection);
    if (!transaction.active())
        return transaction.error();
    Result<QByteArray> stamp = stampOf(store, stored);
    if (!stamp)
        return stamp.error();
    if (*stamp != read.stamp)
        return Error(ErrorCode::ChangedElsewhere,
                     QStringLiteral("The tree '%1' was changed by another program since the "
                                    "person was read. Nothing was changed.")
                         .arg(tree));
    if (Result<void> rows = writeRows(connection, stored, read.tree.rows, edited.rows); !rows)
        return rows;
    // A tree with side records gets only the records the edit changed; one without them gets
    // them all on its first edit.
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, stored);
    if (!ref)
        return ref.error();
    Result<bool> changed = ref->id ? writeChangedRecords(db, *ref->id, read.tree.rows,
                                                         read.tree.model, edited.rows, edited.model)
                                   : Result<bool>(false);
    if (!changed)
        return changed.error();
    if (!*changed)
        if (Result<void> side =
                ModelStore::writeModelInTransaction(store, stored, edited.rows, edited.model);
            !side)
            return side;
    if (!transaction.commit())
        return transaction.error();
    return {};
}

} // namespace ModelEdit
