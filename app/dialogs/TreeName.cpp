#include "TreeName.h"

#include "MessageService.h"

bool CheckTreeName(const QString &name, QWidget *parent)
{
    const QString problem = TreeNameProblem(name);
    if (problem.isEmpty())
        return true;
    ShowMessage(problem, QStringLiteral("Invalid tree name"), MsgIcon::Exclamation,
                MsgButtons::OkOnly, parent);
    return false;
}
