#include "StoreModel.h"

#include "ModelStore.h"
#include "TreeModel.h"
#include "mDatabase.h"

#include <QStringList>

namespace {

// A family by who is in it: both partners in their slots and the children in order.
QString familySignature(const QString &partner0, const QString &partner1,
                        const QStringList &children)
{
    return partner0 + QChar(0x1F) + partner1 + QChar(0x1E) + children.join(QChar(0x1F));
}

} // namespace

PersonSliceSource StoreSlices(const mDatabase &store)
{
    const PersonSliceSource rowsAlone = RowSlices(store);
    return [&store, rowsAlone](const QString &tree, const QString &key)
               -> Result<Genealogy::ModelSlice> {
        Result<Genealogy::ModelSlice> slice = ModelStore::sliceOf(store, tree, key);
        if (slice && slice->model.personCount() == 0)
            return rowsAlone(tree, key);
        return slice;
    };
}

Result<std::vector<Genealogy::FamilyKeys>> StoreFamilies(const mDatabase &store,
                                                         const QString &tree)
{
    return ModelStore::familiesOf(store, tree);
}

QHash<QString, Genealogy::Sex> StoreSexes(const mDatabase &store, const QString &tree)
{
    QHash<QString, Genealogy::Sex> sexes;
    const Result<bool> kept = ModelStore::hasModel(store, tree);
    if (!kept || !*kept)
        return sexes;
    const Result<Genealogy::ModelSlice> whole = ModelStore::readTree(store, tree);
    if (!whole)
        return sexes;
    const quint32 persons = whole->model.personCount();
    for (quint32 p = 0; p < persons && p < whole->rows.size(); ++p) {
        const Genealogy::Sex sex = whole->model.persons[p].sex;
        if (sex != Genealogy::Sex::None)
            sexes.insert(whole->rows[p].ID, sex);
    }
    return sexes;
}

Genealogy::FamilyKeyOf StoreFamilyKeys(const Genealogy::ModelSlice &slice,
                                       std::span<const Genealogy::FamilyKeys> families)
{
    QHash<QString, QString> ids;
    for (const Genealogy::FamilyKeys &family : families) {
        QStringList children;
        for (const Genealogy::FamilyKeys::Child &child : family.children)
            children.append(child.key);
        ids.insert(familySignature(family.partner[0], family.partner[1], children), family.id);
    }
    const Genealogy::TreeModel &model = slice.model;
    const auto keyOf = [&slice](quint32 person) {
        return person < slice.rows.size() ? slice.rows[person].ID : QString();
    };
    return [ids, &model, keyOf](quint32 family) {
        if (family >= model.families.size())
            return QString();
        const Genealogy::Family &f = model.families[family];
        QStringList children;
        for (quint32 l : model.childLinksOf(family))
            children.append(keyOf(model.childLinks[l].child));
        return ids.value(familySignature(keyOf(f.partner[0]), keyOf(f.partner[1]), children),
                         QStringLiteral("F%1").arg(family + 1));
    };
}
