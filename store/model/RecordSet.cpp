#include "RecordSet.h"

#include "SideSchema.h"
#include "mDatabase.h"

namespace Store::Side {

Result<void> RecordSet::addRows(Statement &query, std::vector<std::pair<Tab, qint64>> *added)
{
    for (;;) {
        Result<bool> row = query.step();
        if (!row)
            return row.error();
        if (!*row)
            return {};
        const qint64 tab = query.integer(0);
        if (tab < 0 || tab >= kTabCount)
            continue;
        const qint64 number = query.integer(1);
        auto &table = tabs[tab];
        if (table.count(number))
            continue;
        table.emplace(number, query.blob(2).toByteArray());
        if (added)
            added->emplace_back(Tab(tab), number);
    }
}

bool RecordSet::decodeInto(RecordDecoder &decoder) const
{
    for (int t = 0; t < kTabCount; ++t) {
        std::vector<qint64> numbers;
        numbers.reserve(tabs[t].size());
        for (const auto &entry : tabs[t])
            numbers.push_back(entry.first);
        decoder.setNumbers(Tab(t), std::move(numbers));
    }
    bool ok = true;
    for (int t = 0; t < kTabCount; ++t) {
        for (const auto &[number, data] : tabs[t])
            ok = decoder.decode(Tab(t), number, data) && ok;
    }
    return ok;
}

Result<TreeRef> treeRef(const mDatabase &store, const Db &db, const QString &tree)
{
    TreeRef ref;
    ref.table = store.StoredTreeName(tree);
    if (ref.table.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("There is no tree named '%1'.").arg(tree));
    Result<std::optional<qint64>> id = treeId(db, ref.table);
    if (!id)
        return id.error();
    ref.id = *id;
    return ref;
}

Result<void> addQuery(const Db &db, RecordSet &set, const char *sql, qint64 tree,
                      std::initializer_list<qint64> values,
                      std::vector<std::pair<Tab, qint64>> *added)
{
    Result<Statement> query = db.prepare(sql);
    if (!query)
        return query.error();
    query->bind(1, tree);
    int column = 2;
    for (qint64 value : values)
        query->bind(column++, value);
    return set.addRows(*query, added);
}

} // namespace Store::Side
