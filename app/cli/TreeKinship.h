#pragma once

#include "FamilyKeys.h"
#include "Result.h"
#include "Vocabulary.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class mDatabase;

// Where the command line's charts and relationship calculator get what lies beyond a tree's
// rows: its families (by the persons' keys) and its persons' sexes. The default readers take
// them from the store; while the store hands none out, a tree is its rows alone (PrntKey links).
struct TreeKinshipReaders
{
    std::function<Result<std::vector<Genealogy::FamilyKeys>>(mDatabase &store, const QString &tree)>
        families;
    std::function<QHash<QString, Genealogy::Sex>(mDatabase &store, const QString &tree)> sexes;

    // The families of the tree through `families`, none where it is not set.
    Result<std::vector<Genealogy::FamilyKeys>> Families(mDatabase &store,
                                                        const QString &tree) const;
    QHash<QString, Genealogy::Sex> Sexes(mDatabase &store, const QString &tree) const;
};

// The readers over the store: the one place that ties the charts to the store's families.
TreeKinshipReaders StoreKinshipReaders();
