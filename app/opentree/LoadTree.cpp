#include "LoadTree.h"

#include "MessageService.h"
#include "OpenTree.h"
#include "TreeList.h"
#include "WaitCursor.h"

bool LoadTree(OpenTree &tree, TreeList *trees, const QString &name, QWidget *window)
{
    WaitCursor busy;
    const StoreError error = tree.Load(name);
    if (error) {
        busy.restore();
        ReportError(error.number, error.description, window);
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
    return true;
}
