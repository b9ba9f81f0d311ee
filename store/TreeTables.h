#pragma once

#include <QString>
#include <QStringList>

// The rules for tree tables that the store, the dialogs and the commands share.

// The fourteen columns of a tree table, in table order.
const QStringList &PersonColumns();

// True when the tree list shows a table of this name: names whose upper-cased start is "MSYS",
// "SWITCHBOARD", "MAIN" or the engine's own "SQLITE_" are hidden.
bool IsListedTreeName(const QString &name);

// "" when `name` can be used for a tree, else the reason to tell the user. Refused: an empty or
// blank name, a name the tree list would hide, and names with control characters.
QString TreeNameProblem(const QString &name);

// True for a name the tree dialogs ignore without a word: empty, or "AS" in any case.
bool IsSilentlyRefusedTreeName(const QString &name);
