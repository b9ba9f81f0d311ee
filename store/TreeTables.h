#pragma once

#include "PersonRecord.h"

#include <QString>
#include <QStringList>

class QWidget;

// The rules for tree tables that the store, the dialogs and the commands share.

// The fourteen columns of a tree table, in table order.
const QStringList &PersonColumns();

// True when the tree list shows a table of this name: names whose upper-cased start is "MSYS",
// "SWITCHBOARD", "MAIN" or the engine's own "SQLITE_" are hidden.
bool IsListedTreeName(const QString &name);

// "" when `name` can be used for a tree, else the reason to tell the user. Refused: an empty or
// blank name, a name the tree list would hide, and names with control characters.
QString TreeNameProblem(const QString &name);

// The messages of the new-tree command: success ("Velkin tree '<name>' has been successfully
// created", "Successful", OK, no icon); a taken name (kErrStatementFailed for an acceptable name:
// "The tree '<name>' already exists. Please select a unique name.", "Error: Record exists.",
// critical); otherwise the usual error report with the error's description.
void ShowCreateTreeResult(const QString &name, const StoreError &error, QWidget *parent = nullptr);
