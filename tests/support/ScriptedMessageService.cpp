#include "ScriptedMessageService.h"

namespace {

MsgResult firstButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkOnly:
    case MsgButtons::OkCancel:
        return MsgResult::Ok;
    case MsgButtons::AbortRetryIgnore:
        return MsgResult::Abort;
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNo:
        return MsgResult::Yes;
    case MsgButtons::RetryCancel:
        return MsgResult::Retry;
    }
    return MsgResult::Ok;
}

} // namespace

MsgResult ScriptedMessageService::show(const MessageRequest &request, QWidget *)
{
    m_calls.append(request);
    for (;;) {
        MsgResult answer;
        if (!m_answers.isEmpty())
            answer = m_answers.takeFirst();
        else if (m_responder)
            answer = m_responder(request);
        else
            answer = firstButton(request.buttons);
        if (answer != MsgResult::Help)
            return answer;
        if (request.hasHelp())
            MessageService::openHelp(request.helpFile, request.helpTopic);
    }
}
