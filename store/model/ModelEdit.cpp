// Editing the records of one person: read whole, checked, and the records changed written back
// in one transaction.
#include "ModelEdit.h"

#include "ChangeLog.h"
#include "ModelEditWrite.h"
#include "ModelStore.h"
#include "RecordSet.h"
#include "SideSchema.h"
#include "StoreSql.h"
#include "TreeCheck.h"
#include "TreeSql.h"
#include "TreeTables.h"
#include "engine/Engine.h"
#include "mDatabase.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace Genealogy;
using namespace Store;
using namespace Store::Side;
using ModelEdit::PersonEdit;

namespace {

// Reads as one snapshot of the database: one read transaction (on the server one that sees the
// data as it was at its first statement; on the file the read lock held from the first read to
// the last, so that no other program's change comes between).
class ReadSnapshot
{
public:
    explicit ReadSnapshot(const mDatabase &store)
        : m_db(QSqlDatabase::database(store.ConnectionName(), false))
    {
        QSqlQuery query(m_db);
        m_open = query.exec(IsServer(m_db)
                                ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                                : QStringLiteral("BEGIN DEFERRED"));
        // The file's read lock taken now, waiting for other programs' writes as long as the
        // connection waits: the reads that follow are never kept waiting (a catalogue read
        // kept waiting would say that the tree is missing).
        if (m_open && !IsServer(m_db) &&
            !query.exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1")))
            m_error = StoreSql::fromSql(query.lastError());
    }
    ~ReadSnapshot()
    {
        if (m_open) {
            QSqlQuery end(m_db);
            end.exec(QStringLiteral("COMMIT"));
        }
    }
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;
    // Why the read lock could not be taken (Busy: other programs wrote all along).
    const Error &error() const { return m_error; }

private:
    QSqlDatabase m_db;
    bool m_open = false;
    Error m_error;
};

// The tree and the versions of its persons and records, read at one moment.
Result<PersonEdit> readOnce(const mDatabase &store, const QString &tree)
{
    const ReadSnapshot snapshot(store);
    if (snapshot.error())
        return snapshot.error();
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    Result<StoredVersions> versions = readVersions(store, ref->table, ref->id);
    if (!versions)
        return versions.error();
    Result<ModelSlice> whole = ModelStore::readTree(store, tree);
    if (!whole)
        return whole.error();
    PersonEdit edit;
    edit.tree = std::move(*whole);
    edit.versions = std::move(*versions);
    return edit;
}

// The person `key` as the messages name it: the key, with the name the row had when read.
QString personName(const ModelSlice &read, const QString &key)
{
    for (const PersonRow &row : read.rows)
        if (versionKey(row.ID) == key) {
            const QString name = QStringList{row.Fname, row.Sname}.join(u' ').trimmed();
            return name.isEmpty() ? QStringLiteral("'%1'").arg(row.ID)
                                  : QStringLiteral("'%1' (%2)").arg(row.ID, name);
        }
    return QStringLiteral("'%1'").arg(key);
}

// The key of `key`'s row as stored (the history names persons by it).
QString storedKey(const ModelSlice &read, const QString &key)
{
    for (const PersonRow &row : read.rows)
        if (versionKey(row.ID) == key)
            return row.ID;
    return key;
}

// What refuses the edit: a person it depends on changed or deleted since it was read.
Error personConflict(const mDatabase &store, const QString &tree, const ModelSlice &read,
                     const QString &key, bool deleted)
{
    const QString who =
        ChangeLog::lastChangeText(store, tree, ChangeLog::personRecord(storedKey(read, key)));
    if (deleted)
        return Error(ErrorCode::Missing,
                     QStringLiteral("The person %1 is no longer in the tree '%2': another user "
                                    "or program deleted it since it was read here.%3 Nothing "
                                    "was changed.")
                         .arg(personName(read, key), tree, who));
    return Error(ErrorCode::ChangedElsewhere,
                 QStringLiteral("The person %1 of the tree '%2' was changed by another user or "
                                "program since it was read here.%3 Nothing was changed.")
                     .arg(personName(read, key), tree, who));
}

Error sharedConflict(const QString &tree)
{
    return Error(ErrorCode::ChangedElsewhere,
                 QStringLiteral("A record of the tree '%1' that this change writes (a source, "
                                "note, medium or the tree's own values) was changed by another "
                                "user or program since it was read here. Nothing was changed.")
                     .arg(tree));
}

// A record the edit writes links to a shared record (a source, repository, note, medium) that
// another program deleted since the read.
Error linkConflict(const mDatabase &store, const QString &tree)
{
    return Error(ErrorCode::ChangedElsewhere,
                 QStringLiteral("A record of the tree '%1' that this change names (a source, "
                                "repository, note or medium) was deleted by another user or "
                                "program since it was read here.%2 Nothing was changed.")
                     .arg(tree, ChangeLog::lastChangeText(store, tree, QStringLiteral("tree"))));
}

// The first edit of a tree without side records: anything of the tree changed.
Error treeConflict(const QString &tree)
{
    return Error(ErrorCode::ChangedElsewhere,
                 QStringLiteral("The tree '%1' was changed by another user or program since it "
                                "was read here. Nothing was changed.")
                     .arg(tree));
}

// Whether what the edit depends on is as it was read: the persons it changes (the one edited,
// those whose rows or records it writes) and the records it writes.
Result<void> checkVersions(const mDatabase &store, const QString &tree, const PersonEdit &read,
                           const StoredVersions &now, std::span<const PersonRow> rows,
                           const std::vector<RecordWrite> &writes)
{
    const StoredVersions &was = read.versions;
    QStringList persons;
    if (!read.key.isEmpty())
        persons << versionKey(read.key);
    QHash<QString, const PersonRow *> readRows;
    for (const PersonRow &row : read.tree.rows)
        readRows.insert(versionKey(row.ID), &row);
    for (const PersonRow &row : rows)
        if (const PersonRow *old = readRows.value(versionKey(row.ID)); old && !(*old == row))
            persons << versionKey(row.ID);
    QSet<quint64> added;
    for (const RecordWrite &write : writes)
        if (write.kind == RecordWrite::Kind::Add)
            added.insert(recordId(write.tab, write.number));
    // A record written must not name a family or an owner another program removed meanwhile.
    const auto gone = [&](std::optional<qint64> tab, std::optional<qint64> number) {
        if (!tab || !number || *tab < 0 || *tab >= kTabCount)
            return false;
        const quint64 id = recordId(Tab(*tab), *number);
        return !added.contains(id) && was.records.contains(id) && !now.records.contains(id);
    };
    if (namesDeletedRecord(writes, was, now))
        return linkConflict(store, tree);
    for (const RecordWrite &write : writes) {
        persons << write.persons;
        const quint64 id = recordId(write.tab, write.number);
        bool differs =
            write.kind == RecordWrite::Kind::Add
                ? now.records.contains(id) || (write.tab == Tab::Tree && !now.numbers[0].empty())
                : now.records.value(id) != was.records.value(id);
        if (write.kind != RecordWrite::Kind::Remove)
            differs = differs || gone(qint64(Tab::Family), write.image.family) ||
                      gone(write.image.ownerTab, write.image.ownerIdx);
        if (differs && write.persons.isEmpty())
            return sharedConflict(tree);
        if (differs)
            return personConflict(store, tree, read.tree, write.persons.first(),
                                  !now.hasPerson(write.persons.first()));
    }
    persons.removeDuplicates();
    for (const QString &key : std::as_const(persons)) {
        if (!was.hasPerson(key))
            continue; // added by this edit
        if (!now.hasPerson(key))
            return personConflict(store, tree, read.tree, key, true);
        if (now.person(key) != was.person(key))
            return personConflict(store, tree, read.tree, key, false);
    }
    return {};
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
    // The versions and the tree in one read transaction: the tree read is the one the
    // versions are of.
    Result<PersonEdit> edit = readOnce(store, tree);
    if (!edit)
        return edit.error();
    edit->key = key;
    edit->tree.person = rowIndex(edit->tree, key);
    if (edit->tree.person == kNoIndex && !key.isEmpty())
        return Error(ErrorCode::Missing,
                     QStringLiteral("There is no person with the key '%1'.").arg(key));
    if (edit->tree.model.personCount() == 0)
        edit->tree.model.persons.resize(edit->tree.rows.size());
    return edit;
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
    const QHash<QString, qsizetype> keyed = byKey(edited.rows);
    for (const PersonRow &row : read.tree.rows)
        if (!keyed.contains(row.ID.toUpper()))
            return Error(
                ErrorCode::InvalidInput,
                QStringLiteral("The person '%1' would be lost. Nothing was changed.").arg(row.ID));
    if (keyed.size() != qsizetype(edited.rows.size()))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("Two persons have the same key. Nothing was changed."));
    if (const QStringList problems = newProblems(read.tree, edited); !problems.isEmpty())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The change would leave the tree inconsistent: %1")
                         .arg(problems.first()));

    QSqlDatabase connection = QSqlDatabase::database(store.ConnectionName(), false);
    StoreSql::Transaction transaction(connection);
    if (!transaction.active())
        return transaction.error();
    // Inside the write transaction: the catalogue as no other program can change it now.
    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("The tree '%1' is no longer in the database.").arg(tree));
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, stored);
    if (!ref)
        return ref.error();
    Result<StoredVersions> now = readVersions(store, ref->table, ref->id);
    if (!now)
        return now.error();
    if (!read.versions.hasRecords) {
        // The first edit of a tree without side records writes them all: nothing of the tree
        // may have changed.
        if (now->hasRecords)
            return treeConflict(tree);
        for (auto it = read.versions.rows.cbegin(); it != read.versions.rows.cend(); ++it)
            if (now->rows.value(it.key()) != it.value())
                return personConflict(store, tree, read.tree, it.key(), !now->hasPerson(it.key()));
        if (now->rows.size() != read.versions.rows.size())
            return treeConflict(tree);
        if (Result<void> rows = writeRows(connection, stored, read.tree.rows, edited.rows); !rows)
            return rows;
        if (Result<void> side =
                ModelStore::writeModelInTransaction(store, stored, edited.rows, edited.model);
            !side)
            return side;
    } else {
        if (!now->hasRecords || !ref->id)
            return sharedConflict(tree);
        // An edit may leave partnerships to the families: the file gets this version's number.
        if (Result<void> schema = ensureSchema(db); !schema)
            return schema;
        Result<std::vector<RecordWrite>> writes = planChangedRecords(
            read.versions, *now, read.tree.rows, read.tree.model, edited.rows, edited.model);
        if (!writes)
            return writes.error();
        if (Result<void> same = checkVersions(store, tree, read, *now, edited.rows, *writes); !same)
            return same;
        if (Result<void> rows = writeRows(connection, stored, read.tree.rows, edited.rows); !rows)
            return rows;
        if (Result<void> records = writeRecords(db, *ref->id, *writes); !records)
            return records;
    }
    if (!transaction.commit())
        return transaction.error();
    return {};
}

} // namespace ModelEdit
