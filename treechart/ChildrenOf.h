#pragma once

#include "cPeople.h"

#include <QString>

#include <functional>
#include <vector>

// The children of a person: the persons whose PrntKey equals the given key exactly (letter case
// counts, as a click on a box matches them), in the order of the person collection. The program
// passes its own child index; IndexChildren builds one for callers that have none.
using ChildrenOf = std::function<const std::vector<cPersonPtr> &(const QString &parentKey)>;

// An index of the children of every person of `people`, built once. The function keeps the index
// alive; it does not follow later changes of the collection.
ChildrenOf IndexChildren(const cPeople &people);

// The key a root person carries as PrntKey (exactly: IsRootKey).
inline const QString &RootParentKey()
{
    return kRootKey;
}
