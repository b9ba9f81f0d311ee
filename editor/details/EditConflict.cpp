#include "EditConflict.h"

#include "MessageService.h"

bool IsEditConflict(const Error &refusal)
{
    return refusal.is(ErrorCode::ChangedElsewhere) || refusal.is(ErrorCode::Missing);
}

bool AskReloadAfterConflict(const Error &refusal, QWidget *parent)
{
    MessageRequest question;
    question.text =
        QStringLiteral("Your changes have not been saved: another program, or another user of "
                       "the shared database, changed what they change after this window read "
                       "it.\r\n\r\n") +
        refusal.text() +
        QStringLiteral("\r\n\r\nReload shows the records as they are now; the changes made here "
                       "are discarded.\r\nCancel keeps the changes made here; nothing is saved.");
    question.title = QStringLiteral("Changed by another program");
    question.icon = MsgIcon::Exclamation;
    question.buttons = MsgButtons::RetryCancel;
    question.buttonTexts = {QStringLiteral("Reload"), QStringLiteral("Cancel")};
    question.defaultButton = 2;
    return ShowMessage(question, parent) == MsgResult::Retry;
}
