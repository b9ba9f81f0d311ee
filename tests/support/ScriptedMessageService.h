#pragma once

#include "MessageService.h"

#include <QList>

#include <functional>

// A message service for tests: records every request and answers from a script.
// Install it with ScopedMessageService for the lifetime of a test.
class ScriptedMessageService : public MessageService
{
public:
    using Responder = std::function<MsgResult(const MessageRequest &)>;

    MsgResult show(const MessageRequest &request, QWidget *parent) override;

    // Answers given in turn. MsgResult::Help presses Help (the help handler runs) and takes the
    // next answer for the same question. When the script is empty, the responder answers, and
    // without one the first button of the box (OK, Yes, Abort, Retry).
    void enqueue(MsgResult answer) { m_answers.append(answer); }
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    const QList<MessageRequest> &calls() const { return m_calls; }
    int count() const { return int(m_calls.size()); }
    const MessageRequest &last() const { return m_calls.last(); }
    void clear() { m_calls.clear(); m_answers.clear(); }

private:
    QList<MessageRequest> m_calls;
    QList<MsgResult> m_answers;
    Responder m_responder;
};

class ScopedMessageService
{
public:
    explicit ScopedMessageService(MessageService &service) { MessageService::install(&service); }
    ~ScopedMessageService() { MessageService::install(nullptr); }
    ScopedMessageService(const ScopedMessageService &) = delete;
    ScopedMessageService &operator=(const ScopedMessageService &) = delete;
};
