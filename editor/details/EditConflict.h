#pragma once

#include "Result.h"

class QWidget;

// A save of the details or sources window that the store refused because another program (or
// another user of a shared database) changed or deleted, since the window read the tree, what
// the save changes (ChangedElsewhere, Missing): nothing was saved.
bool IsEditConflict(const Error &refusal);

// Asks whether to read the tree again: the store's text (which says what changed, who changed
// it and when), then "Reload" (true: the changes made in the window are discarded, the window
// shows the records as they are now) or "Cancel" (false: the changes stay in the window, nothing
// is saved). Exclamation icon, title "Changed by another program"; Return keeps the changes.
bool AskReloadAfterConflict(const Error &refusal, QWidget *parent);
