#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every message box of the program and of the controls goes through this service, so that
// tests can answer them and check what was asked.

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OkOnly, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgResult { Ok, Cancel, Abort, Retry, Ignore, Yes, No, Help };

struct MessageRequest
{
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OkOnly;
    // A Help button is offered when helpTopic is not 0; pressing it opens the help at that topic
    // and leaves the question open, waiting for one of the other buttons. Escape and the close
    // box give the last button's answer (Cancel, No), a box with one button its only answer.
    QString helpFile;
    int helpTopic = 0;
    // The button that Return presses, counted from 1 in the order of `buttons`.
    int defaultButton = 1;
    // Captions that replace the standard ones, in the order of `buttons` (fewer leave the rest
    // as they are); the answers stay those of `buttons`.
    QStringList buttonTexts;

    bool hasHelp() const { return helpTopic != 0; }
};

class MessageService
{
public:
    using HelpHandler = std::function<void(const QString &helpFile, int topic)>;

    virtual ~MessageService() = default;
    virtual MsgResult show(const MessageRequest &request, QWidget *parent) = 0;

    // The service in force; a QMessageBox-based one unless another was installed.
    static MessageService &current();
    // Installs a service (not owned); nullptr goes back to the default.
    static void install(MessageService *service);

    // Who opens the help when a Help button is pressed (the program installs its help window).
    static void setHelpHandler(HelpHandler handler);
    static void openHelp(const QString &helpFile, int topic);
};

// The message box shown on screen.
class DialogMessageService : public MessageService
{
public:
    MsgResult show(const MessageRequest &request, QWidget *parent) override;
};

MsgResult ShowMessage(const MessageRequest &request, QWidget *parent = nullptr);
MsgResult ShowMessage(const QString &text, const QString &title, MsgIcon icon = MsgIcon::None,
                      MsgButtons buttons = MsgButtons::OkOnly, QWidget *parent = nullptr);

// The usual error report: critical icon, the description as text, "Error: <number>" as title.
void ReportError(long long number, const QString &description, QWidget *parent = nullptr);

// "'<file name>' already exists. Do you want to replace it?" before a file is written over; true
// for Yes. Return answers No: the file proposed is often one the user wants to keep.
bool AgreesToReplace(const QString &path, const QString &title, MsgIcon icon,
                     QWidget *parent = nullptr);
