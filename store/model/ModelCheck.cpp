// The check of a tree: the rules between rows and model, and those of the storage.
#include "ModelStore.h"

#include "RecordSet.h"
#include "RecordStorage.h"
#include "SideSchema.h"
#include "TreeCheck.h"
#include "TreeTables.h"
#include "mDatabase.h"

using namespace Genealogy;
using namespace Store;
using namespace Store::Side;

namespace ModelStore {

Result<QStringList> checkTree(const mDatabase &store, const QString &tree)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    QStringList lines;
    // Records kept aside under this name: a table of that name was gone once.
    Result<std::vector<AsideTree>> aside = asideTrees(db);
    if (!aside)
        return aside.error();
    for (const AsideTree &kept : *aside) {
        if (SameTreeName(kept.name, ref->table))
            lines << QStringLiteral("%1 side records of an earlier tree named '%2' are kept "
                                    "aside (its table was gone)")
                         .arg(kept.records)
                         .arg(kept.name);
    }
    if (!ref->id)
        return lines;

    Result<QList<PersonRecord>> rows = store.ReadTree(ref->table);
    if (!rows)
        return rows.error();
    std::vector<PersonRow> rowList(rows->cbegin(), rows->cend());
    QHash<QByteArray, quint32> persons;
    for (quint32 i = 0; i < rowList.size(); ++i)
        persons.insert(rowList[i].ID.toUtf8(), i);

    RecordSet set;
    if (Result<void> read =
            addQuery(db, set, "SELECT tab, idx, data FROM mainRecords WHERE tree = ?", *ref->id);
        !read)
        return read.error();
    bool any = false;
    for (const auto &table : set.tabs)
        any = any || !table.empty();
    if (!any)
        return lines;
    TreeModel model;
    model.persons.resize(rowList.size());
    RecordDecoder decoder(model, persons);
    QStringList links;
    decoder.reportLinks(&links);
    if (!set.decodeInto(decoder))
        lines << QStringLiteral("side records that cannot be read");
    derivePartnerships(model);
    lines << links;
    // The persons the records go with must be rows of the tree.
    Result<Statement> owners =
        db.prepare("SELECT DISTINCT person FROM mainRecords WHERE tree = ? AND person IS NOT NULL");
    if (!owners)
        return owners.error();
    owners->bind(1, *ref->id);
    for (;;) {
        Result<bool> row = owners->step();
        if (!row)
            return row.error();
        if (!*row)
            break;
        if (!persons.contains(owners->text(0).toByteArray()))
            lines << QStringLiteral("side records of the person '%1', who is not in the tree")
                         .arg(owners->string(0));
    }
    lines << Genealogy::checkTree(rowList, model);
    return lines;
}

} // namespace ModelStore
