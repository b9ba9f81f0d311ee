#include "TreeKinship.h"

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
    // The store does not hand out a tree's families yet: rows only.
    return TreeKinshipReaders{};
}
