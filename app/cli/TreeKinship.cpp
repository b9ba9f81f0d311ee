#include "TreeKinship.h"

#include "StoreModel.h"
#include "mDatabase.h"

Result<std::vector<Genealogy::FamilyKeys>> TreeKinshipReaders::Families(mDatabase &store,
                                                                        const QString &tree) const
{
    if (!families)
        return std::vector<Genealogy::FamilyKeys>();
    return families(store, tree);
}

QHash<QString, Genealogy::Sex> TreeKinshipReaders::Sexes(mDatabase &store,
                                                         const QString &tree) const
{
    return sexes ? sexes(store, tree) : QHash<QString, Genealogy::Sex>();
}

TreeKinshipReaders StoreKinshipReaders()
{
    TreeKinshipReaders readers;
    readers.families = [](mDatabase &store, const QString &tree) {
        return StoreFamilies(store, tree);
    };
    readers.sexes = [](mDatabase &store, const QString &tree) { return StoreSexes(store, tree); };
    return readers;
}
