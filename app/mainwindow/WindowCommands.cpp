#include "WindowCommands.h"

#include "AppState.h"
#include "CommandAction.h"
#include "HelpWindow.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "ReadOnlyNotice.h"
#include "frmAbout.h"
#include "mFunctions.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>

WindowCommands::WindowCommands(const AppState &state, const mDatabase &store, QWidget *window)
    : QObject(window), m_state(state), m_store(store), m_window(window),
      m_exit(MakeCommand(this, QStringLiteral("mnuFileExit"), QStringLiteral("Exit"))),
      m_help(MakeCommand(this, QStringLiteral("mnuHelpHelp"), QStringLiteral("Help"),
                         QStringLiteral("F1"))),
      m_about(MakeCommand(this, QStringLiteral("mnuHelpAbout"), QStringLiteral("About"), QString(),
                          QStringLiteral("ABOUT"), QStringLiteral("About")))
{
    connect(m_exit, &QAction::triggered, this, [] { UnloadAllForms(); });
    connect(m_help, &QAction::triggered, this, [this] { ShowHelp(HelpWindow::kTopicContents); });
    connect(m_about, &QAction::triggered, this, &WindowCommands::mnuHelpAbout);
    // The Help button of a message box opens the help window at its topic.
    MessageService::setHelpHandler([this](const QString &, int topic) { ShowHelp(topic); });
}

WindowCommands::~WindowCommands()
{
    MessageService::setHelpHandler({});
}

void WindowCommands::ShowHelp(int topic)
{
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(HelpWindow::HelpFolderFor(m_state.ProgramPath), m_window);
    m_helpWindow->ShowTopic(topic);
}

void WindowCommands::CloseHelp()
{
    if (m_helpWindow)
        m_helpWindow->close();
}

void WindowCommands::mnuHelpAbout()
{
    frmAbout about(m_window);
    // Where the trees are kept, below the addresses.
    if (auto *rows = about.findChild<QGridLayout *>()) {
        const int row = rows->rowCount();
        auto *caption = new QLabel(QStringLiteral("Data :"), &about);
        caption->setObjectName(QStringLiteral("lblDataCaption"));
        auto *folder = new QLabel(DataFolderText(m_store), &about);
        folder->setObjectName(QStringLiteral("lblData"));
        folder->setTextFormat(Qt::PlainText);
        rows->addWidget(caption, row, 0);
        rows->addWidget(folder, row, 1);
    }
    ModalSeam::exec(about);
}
