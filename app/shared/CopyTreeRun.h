#pragma once

#include "dlgCopyTree.h"

#include <functional>

class QWidget;
class mDatabase;

// Copying the open tree to the database File > Copy Tree To... chose: the target opened beside
// the store in use (a shared database without the program's tables gets them after a question),
// its photos placed as for a connect, the copy run with a progress window that can stop it and
// the busy pointer, and one message saying what came of it. The store in use is only read.
namespace CopyTreeRun {

// This computer's own path to the photo folder of a shared database ("" when it has none).
using OwnPhotoFolder = std::function<QString(const ServerAddress &)>;

// True when the tree was copied. `dataFolder`: this computer's data folder (its database is the
// target ThisComputer; a shared target naming no photo folder keeps its photos there).
bool Run(const mDatabase &source, const QString &tree, const dlgCopyTree::Target &target,
         const QString &dataFolder, const OwnPhotoFolder &ownPhotoFolder, QWidget *window);

} // namespace CopyTreeRun
