#include "StoreReports.h"

#include "MessageService.h"
#include "WaitCursor.h"
#include "mDatabase.h"

void ShowCreateTreeResult(const QString &name, const Result<void> &created, QWidget *parent)
{
    if (created) {
        ShowMessage(QStringLiteral("Velkin tree '") + name +
                        QStringLiteral("' has been successfully created"),
                    QStringLiteral("Successful"), MsgIcon::None, MsgButtons::OkOnly, parent);
        return;
    }
    if (created.error().is(ErrorCode::Taken)) {
        ShowMessage(QStringLiteral("The tree '") + name +
                        QStringLiteral("' already exists. Please select a unique name."),
                    QStringLiteral("Error: Record exists."), MsgIcon::Critical, MsgButtons::OkOnly,
                    parent);
        return;
    }
    ReportFailure(created.error(), parent);
}

void ReportFailure(const Error &error, QWidget *parent)
{
    ReportError(error.number(), error.text(), parent);
}

void CompressDatabase(mDatabase &store, QWidget *parent)
{
    WaitCursor wait;
    const Result<void> compressed = store.Compress();
    wait.restore();
    if (!compressed) {
        ReportFailure(compressed.error(), parent);
        return;
    }
    ShowMessage(QStringLiteral("Database successfully compressed"), QStringLiteral("Successful"),
                MsgIcon::Information, MsgButtons::OkOnly, parent);
}

bool AskReloadChanged(const QString &key, QWidget *parent, const QString &changedBy)
{
    MessageRequest question;
    question.text =
        QStringLiteral("Another program changed the person '%1' after Velkin Tree read it.")
            .arg(key) +
        changedBy +
        QStringLiteral(" The person has not been deleted.\r\n\r\nReload shows the person as "
                       "it is now, so that you can decide again. Cancel leaves everything as it "
                       "is.");
    question.title = QStringLiteral("Changed by another program");
    question.icon = MsgIcon::Exclamation;
    question.buttons = MsgButtons::RetryCancel;
    question.buttonTexts = {QStringLiteral("Reload"), QStringLiteral("Cancel")};
    return ShowMessage(question, parent) == MsgResult::Retry;
}

QString PersonGoneText(const QString &key, const QString &tree)
{
    return QStringLiteral("The person '%1' is no longer in the tree '%2': another program deleted "
                          "it.")
        .arg(key, tree);
}
