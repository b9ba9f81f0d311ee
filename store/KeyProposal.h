#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

class mDatabase;

// Keys the program makes for a new person, so that nobody has to invent one. A key is proposed in
// the style of the tree's own keys: the letters most of its keys begin with followed by the next
// number after the highest one in use ("I123" gives "I124"), plain numbers for a tree whose keys
// are numbers, "I1" for a tree without keys of either kind. The key is free in every tree and as a
// photo folder, compared without regard to case (photo folders are shared by key).
namespace KeyProposal {

// The proposal for a tree with `treeKeys`, avoiding every key of `taken` (any letter case).
QString Propose(const QStringList &treeKeys, const QStringList &taken);

// The proposal for `tree` of the store: its keys give the style; the keys of every tree and the
// names of the folders in the photos folder of `dataPath` are avoided.
Result<QString> ProposeFor(const mDatabase &store, const QString &tree, const QString &dataPath);

} // namespace KeyProposal
