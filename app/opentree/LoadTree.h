#pragma once

#include <QString>

class OpenTree;
class QWidget;
class TreeList;

// Opens the tree `name` with the busy pointer on (the views follow the open tree) and tells the
// user of each row left out for a key an earlier row has ("Key already exists"), and when it has
// no persons ("No records found.", title "Empty tree") or cannot be read (the usual error
// report). True when the tree was loaded with its persons; the tree list then
// chooses its entry (when a list is given). The tree box, the Open Tree command, the last tree of
// the previous run and the GEDCOM import open trees this way.
bool LoadTree(OpenTree &tree, TreeList *trees, const QString &name, QWidget *window);
