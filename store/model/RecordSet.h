#pragma once

#include "RecordCodec.h"
#include "SideDb.h"

#include <map>
#include <optional>

class mDatabase;

// Side records read from mainRecords, by table and stored number, and what they become in a
// model.
namespace Store::Side {

struct RecordSet
{
    std::map<qint64, QByteArray> tabs[kTabCount];

    bool contains(Tab tab, qint64 number) const { return tabs[int(tab)].count(number) != 0; }
    // Adds the rows of a query giving (tab, idx, data); the tables added to are in `added`.
    Result<void> addRows(Statement &query, std::vector<std::pair<Tab, qint64>> *added = nullptr);
    // Decodes every record into the model (persons: the rows' keys and indexes); false when a
    // record is not one.
    bool decodeInto(RecordDecoder &decoder) const;
};

// The exact table name and side records id of a tree: TreeMissing when there is no such tree;
// no id when it has no side records.
struct TreeRef
{
    QString table;
    std::optional<qint64> id;
};
Result<TreeRef> treeRef(const mDatabase &store, const Db &db, const QString &tree);

// Runs a query with the tree id bound first and the extra integers after it, adding its rows.
Result<void> addQuery(const Db &db, RecordSet &set, const char *sql, qint64 tree,
                      std::initializer_list<qint64> values = {},
                      std::vector<std::pair<Tab, qint64>> *added = nullptr);

} // namespace Store::Side
