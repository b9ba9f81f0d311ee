#include "FamilyKeys.h"

#include "TreeModel.h"

namespace Genealogy {

std::vector<FamilyKeys> familyKeysOf(const TreeModel &model, std::span<const PersonRow> rows)
{
    const auto keyOf = [&rows](quint32 person) {
        return person == kNoIndex || person >= rows.size() ? QString() : rows[person].ID;
    };
    std::vector<FamilyKeys> result;
    const quint32 count = quint32(model.families.size());
    result.reserve(count);
    for (quint32 f = 0; f < count; ++f) {
        const Family &family = model.families[f];
        FamilyKeys keys;
        keys.id = QStringLiteral("F%1").arg(f + 1);
        keys.partner[0] = keyOf(family.partner[0]);
        keys.partner[1] = keyOf(family.partner[1]);
        keys.relation = family.relation;
        for (quint32 l : model.childLinksOf(f)) {
            const ChildLink &link = model.childLinks[l];
            keys.children.push_back({keyOf(link.child), {link.relation[0], link.relation[1]}});
        }
        result.push_back(std::move(keys));
    }
    return result;
}

} // namespace Genealogy
