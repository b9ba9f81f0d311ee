#include "ViewOptions.h"

#include "AppState.h"
#include "CommandAction.h"

#include <QAction>

namespace {

// A check mark, not the icon, shows in the menu: a menu draws an item's icon in place of its
// check mark (checked only as a faint frame around the icon).
QAction *checkable(QAction *action)
{
    action->setCheckable(true);
    action->setIconVisibleInMenu(false);
    return action;
}

} // namespace

ViewOptions::ViewOptions(AppState &state, QObject *parent)
    : QObject(parent), m_state(state),
      m_toolBar(checkable(MakeCommand(this, QStringLiteral("mnuViewTbar"),
                                      QStringLiteral("Toolbar"), QStringLiteral("Ctrl+T")))),
      m_statusBar(checkable(MakeCommand(this, QStringLiteral("mnuViewSBar"),
                                        QStringLiteral("StatusBar"), QStringLiteral("Ctrl+B")))),
      m_info(checkable(MakeCommand(this, QStringLiteral("mnuViewInfo"), QStringLiteral("Info"),
                                   QStringLiteral("Ctrl+I"), QStringLiteral("INFO"),
                                   QStringLiteral("Personal info"))))
{
    // A triggered item may have toggled its own check mark already: the option is the one truth.
    connect(m_toolBar, &QAction::triggered, this, [this] { SetShowToolBar(!ShowToolBar()); });
    connect(m_statusBar, &QAction::triggered, this, [this] { SetShowStatusBar(!ShowStatusBar()); });
    connect(m_info, &QAction::triggered, this, [this] { SetShowInfo(!ShowInfo()); });
    connect(this, &ViewOptions::ShowToolBarChanged, m_toolBar, &QAction::setChecked);
    connect(this, &ViewOptions::ShowStatusBarChanged, m_statusBar, &QAction::setChecked);
    connect(this, &ViewOptions::ShowInfoChanged, m_info, &QAction::setChecked);
    m_toolBar->setChecked(ShowToolBar());
    m_statusBar->setChecked(ShowStatusBar());
    m_info->setChecked(ShowInfo());
}

bool ViewOptions::ShowToolBar() const
{
    return m_state.ShowToolBar;
}

bool ViewOptions::ShowStatusBar() const
{
    return m_state.ShowStatusBar;
}

bool ViewOptions::ShowInfo() const
{
    return m_state.ShowInfo;
}

void ViewOptions::SetShowToolBar(bool show)
{
    m_state.ShowToolBar = show;
    emit ShowToolBarChanged(show);
}

void ViewOptions::SetShowStatusBar(bool show)
{
    m_state.ShowStatusBar = show;
    emit ShowStatusBarChanged(show);
}

void ViewOptions::SetShowInfo(bool show)
{
    m_state.ShowInfo = show;
    emit ShowInfoChanged(show);
}

void ViewOptions::Apply()
{
    emit ShowToolBarChanged(ShowToolBar());
    emit ShowStatusBarChanged(ShowStatusBar());
    emit ShowInfoChanged(ShowInfo());
}
