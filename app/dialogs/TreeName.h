#pragma once

#include <QString>

class QWidget;

// What the tree dialogs accept as the name of a tree.

// True for a name the dialogs ignore without a word: empty, or "AS" in any case.
bool IsSilentlyRefusedTreeName(const QString &name);

// Tells the user, through the message service, why the name cannot be used for a tree (a name
// the database cannot hold or the tree list would hide; see TreeNameProblem in TreeTables.h):
// exclamation icon, title "Invalid tree name". True when the name is fine.
bool CheckTreeName(const QString &name, QWidget *parent);
