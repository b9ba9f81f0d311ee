#pragma once

#include "SideDb.h"

#include <optional>

// The tables of the side records, beside the tree tables in the same file. Every schema object
// is named "main..." so that the tree listing and the tree-name rules leave them out:
//   mainTrees   - one row per tree that has (or had) side records: its id, the exact name of its
//                 table, and the schema version; `asideName` instead of `name` when the table was
//                 gone (an older program renamed or deleted it): those records are kept aside;
//   mainRecords - one row per side record: the tree, which table of the model (`tab`) and its
//                 number there (`idx`, the stored order), the person and the family it belongs
//                 to (it goes with them), its direct owner, the other persons it names (a
//                 family's partners, an association's target) and its fields (`data`).
// A database without them is never changed by reading; the first change makes them.
namespace Store::Side {

// The schema's version: PRAGMA user_version and mainTrees.version. Version 2 leaves out the
// partnerships the families say already (RecordStorage.h), which a reader of version 1 would
// take for none: the first change of a file by this program raises both numbers.
constexpr int kSchemaVersion = 2;

// Makes the tables when the file has none, and sets aside the records of trees whose table is
// gone. In the caller's write transaction.
Result<void> ensureSchema(const Db &db);
// Whether the file has the tables (without changing it).
Result<bool> hasSchema(const Db &db);

// Drops the large indexes of mainRecords beside its key (by person and by family), and makes
// every index that is missing: a bulk write of many records into a table that holds few is
// faster with those made once at the end. In the caller's write transaction (rolled back, the
// indexes are there as before).
Result<void> dropIndexes(const Db &db);
Result<void> createIndexes(const Db &db);

// The id of the tree whose table is exactly `table`: nothing when it has no side records row.
Result<std::optional<qint64>> treeId(const Db &db, const QString &table);
// The id of the tree, made when it has none yet (the schema must exist).
Result<qint64> makeTreeId(const Db &db, const QString &table);

// The record counts kept aside under a tree name (the name the table had when it went).
struct AsideTree
{
    qint64 id = 0;
    QString name;
    qint64 records = 0;
};
Result<std::vector<AsideTree>> asideTrees(const Db &db);

} // namespace Store::Side
