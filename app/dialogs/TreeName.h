#pragma once

#include "TreeTables.h"

#include <QString>

class QWidget;

// What the tree dialogs tell the user about the name of a tree (the rules themselves are the
// store's, TreeTables.h).

// Tells the user, through the message service, why the name cannot be used for a tree (a name
// the database cannot hold or the tree list would hide; see TreeNameProblem in TreeTables.h):
// exclamation icon, title "Invalid tree name". True when the name is fine.
bool CheckTreeName(const QString &name, QWidget *parent);
