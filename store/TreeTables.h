#pragma once

#include <QString>
#include <QStringList>

// The rules for tree tables that the store, the dialogs and the commands share.

// The names of the columns of a tree table, in table order (kPersonColumns).
const QStringList &PersonColumns();

// True when the tree list shows a table of this name: names whose upper-cased start is "MSYS",
// "SWITCHBOARD", "MAIN" or the engine's own "SQLITE_" are hidden.
bool IsListedTreeName(const QString &name);

// "" when `name` can be used for a tree, else the reason to tell the user. Refused: an empty or
// blank name, a name the tree list would hide, names with control characters or line and
// paragraph separators, and text that is not valid Unicode.
QString TreeNameProblem(const QString &name);

// The one rule for telling whether two tree names are the same name: upper and lower case count
// as the same in every script ("Ärzte", "ärzte" and "ÄRZTE" are one name), and so do the composed
// and decomposed spellings of a letter. A new name that is the same as an existing tree's is
// taken. TreeNameFolded is the form in which names are compared.
QString TreeNameFolded(const QString &name);
bool SameTreeName(const QString &a, const QString &b);

// Whether two names reach the same table of the database: the engine matches table names
// without regard to the case of the letters A-Z only. A database made before the rule above may
// hold two trees whose names differ only in the case of other letters ("Ärzte" and "ärzte"):
// each stays reachable by its exact name, and only that name reaches it.
bool SameTable(const QString &a, const QString &b);

// True for a name the tree dialogs ignore without a word: empty, or "AS" in any case.
bool IsSilentlyRefusedTreeName(const QString &name);
