#include "StoreReports.h"

#include "MessageService.h"
#include "TreeTables.h"
#include "WaitCursor.h"
#include "mDatabase.h"

void ShowCreateTreeResult(const QString &name, const StoreError &error, QWidget *parent)
{
    if (!error) {
        ShowMessage(QStringLiteral("Velkin tree '") + name +
                        QStringLiteral("' has been successfully created"),
                    QStringLiteral("Successful"), MsgIcon::None, MsgButtons::OkOnly, parent);
        return;
    }
    if (error.number == kErrStatementFailed && TreeNameProblem(name).isEmpty()) {
        ShowMessage(QStringLiteral("The tree '") + name +
                        QStringLiteral("' already exists. Please select a unique name."),
                    QStringLiteral("Error: Record exists."), MsgIcon::Critical, MsgButtons::OkOnly,
                    parent);
        return;
    }
    ReportError(error.number, error.description, parent);
}

void CompressDatabase(mDatabase &store, QWidget *parent)
{
    WaitCursor wait;
    const StoreError error = store.Compress();
    wait.restore();
    if (error) {
        ReportError(error.number, error.description, parent);
        return;
    }
    ShowMessage(QStringLiteral("Database successfully compressed"), QStringLiteral("Successful"),
                MsgIcon::Information, MsgButtons::OkOnly, parent);
}
