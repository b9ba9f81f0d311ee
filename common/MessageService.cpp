#include "MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

MessageService *g_installed = nullptr;
MessageService::HelpHandler g_helpHandler;

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSpec
{
    QMessageBox::StandardButton button;
    MsgResult result;
};

QList<ButtonSpec> buttonsFor(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkOnly:
        return {{QMessageBox::Ok, MsgResult::Ok}};
    case MsgButtons::OkCancel:
        return {{QMessageBox::Ok, MsgResult::Ok}, {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{QMessageBox::Abort, MsgResult::Abort},
                {QMessageBox::Retry, MsgResult::Retry},
                {QMessageBox::Ignore, MsgResult::Ignore}};
    case MsgButtons::YesNoCancel:
        return {{QMessageBox::Yes, MsgResult::Yes},
                {QMessageBox::No, MsgResult::No},
                {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::YesNo:
        return {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
    case MsgButtons::RetryCancel:
        return {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}};
    }
    return {{QMessageBox::Ok, MsgResult::Ok}};
}

} // namespace

MessageService &MessageService::current()
{
    static DialogMessageService dialogService;
    return g_installed ? *g_installed : dialogService;
}

void MessageService::install(MessageService *service)
{
    g_installed = service;
}

void MessageService::setHelpHandler(HelpHandler handler)
{
    g_helpHandler = std::move(handler);
}

void MessageService::openHelp(const QString &helpFile, int topic)
{
    if (g_helpHandler)
        g_helpHandler(helpFile, topic);
}

MsgResult DialogMessageService::show(const MessageRequest &request, QWidget *parent)
{
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setIcon(toQtIcon(request.icon));
    box.setWindowTitle(request.title);
    box.setText(request.text);
    const QList<ButtonSpec> choices = buttonsFor(request.buttons);
    for (qsizetype i = 0; i < choices.size(); ++i) {
        QPushButton *button = box.addButton(choices[i].button);
        if (i < request.buttonTexts.size())
            button->setText(request.buttonTexts[i]);
    }
    box.setDefaultButton(choices.value(request.defaultButton - 1, choices.first()).button);
    // Also with one answer: a Help button beside it would leave the box without one.
    box.setEscapeButton(choices.last().button);

    // Help opens the help while the question stays open: the button does not end the box.
    if (request.hasHelp()) {
        QAbstractButton *help = box.addButton(QMessageBox::Help);
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(help, &QAbstractButton::clicked, &box, [&request] {
            MessageService::openHelp(request.helpFile, request.helpTopic);
        });
    }

    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec &choice : choices) {
        if (choice.button == clicked)
            return choice.result;
    }
    // Closed by the window's close box: the escape answer.
    return choices.last().result;
}

MsgResult ShowMessage(const MessageRequest &request, QWidget *parent)
{
    return MessageService::current().show(request, parent);
}

MsgResult ShowMessage(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                      QWidget *parent)
{
    MessageRequest request;
    request.text = text;
    request.title = title;
    request.icon = icon;
    request.buttons = buttons;
    return ShowMessage(request, parent);
}

void ReportError(long long number, const QString &description, QWidget *parent)
{
    ShowMessage(description, QStringLiteral("Error: ") + QString::number(number), MsgIcon::Critical,
                MsgButtons::OkOnly, parent);
}

bool AgreesToReplace(const QString &path, const QString &title, MsgIcon icon, QWidget *parent)
{
    MessageRequest request;
    request.text = QStringLiteral("'%1' already exists. Do you want to replace it?")
                       .arg(QFileInfo(path).fileName());
    request.title = title;
    request.icon = icon;
    request.buttons = MsgButtons::YesNo;
    request.defaultButton = 2;
    return ShowMessage(request, parent) == MsgResult::Yes;
}
