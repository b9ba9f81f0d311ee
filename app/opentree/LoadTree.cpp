#include "LoadTree.h"

#include "CollectionMessages.h"
#include "MessageService.h"
#include "OpenTree.h"
#include "ReadOnlyNotice.h"
#include "TreeList.h"
#include "WaitCursor.h"

bool LoadTree(OpenTree &tree, TreeList *trees, const QString &name, QWidget *window)
{
    WaitCursor busy;
    const Result<void> loaded = tree.Load(name);
    // Rows left out for a key an earlier row has: one message each, in the order of the rows.
    for (const QString &key : tree.SkippedKeys())
        ShowPersonKeyTaken(key, window);
    if (!loaded) {
        busy.restore();
        ReportError(loaded.error().number(), loaded.error().text(), window);
        return false;
    }
    if (tree.People().Count() == 0) {
        busy.restore();
        ShowMessage(QStringLiteral("No records found."), QStringLiteral("Empty tree"),
                    MsgIcon::Exclamation, MsgButtons::OkOnly, window);
        return false;
    }
    if (trees)
        trees->Choose(tree.CurrentTree());
    ShowReadOnlyTreeNotice(tree.Store(), window);
    return true;
}
