#include "DetailsCommands.h"

#include "AppState.h"
#include "ChangeHistory.h"
#include "CommandAction.h"
#include "DetailsWindow.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "ReadOnlyNotice.h"
#include "SourcesWindow.h"
#include "StoreReports.h"
#include "mDatabase.h"

#include <QAction>

DetailsCommands::DetailsCommands(AppState &state, OpenTree &tree, ChangeHistory &history,
                                 QWidget *window)
    : QObject(window), m_state(state), m_tree(tree), m_history(history), m_window(window),
      m_details(MakeCommand(this, QStringLiteral("mnuPersonDetails"), QStringLiteral("Details..."),
                            QStringLiteral("Ctrl+Shift+P"))),
      m_sources(MakeCommand(this, QStringLiteral("mnuToolsSources"), QStringLiteral("Sources...")))
{
    connect(m_details, &QAction::triggered, this, [this] {
        if (m_tree.SelectedPerson())
            ShowDetails(m_tree.SelectedKey());
    });
    connect(m_sources, &QAction::triggered, this, &DetailsCommands::ShowSources);
    // Both need an open tree.
    const auto follow = [this] {
        m_details->setEnabled(m_tree.IsOpen());
        m_sources->setEnabled(m_tree.IsOpen());
    };
    connect(&m_tree, &OpenTree::CurrentTreeChanged, this, follow);
    connect(&m_tree, &OpenTree::PeopleReplaced, this, follow);
    follow();
}

bool DetailsCommands::ShowDetails(const QString &key)
{
    if (!m_tree.IsOpen() || key.isEmpty() ||
        RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Details"), m_window))
        return false;
    const QString tree = m_tree.CurrentTree();
    DetailsWindow window(m_tree.Store(), tree, key, m_tree.Store().DataPath(), m_window);
    if (!window.isLoaded()) {
        ReportFailure(window.loadError(), m_window);
        return false;
    }
    if (ModalSeam::exec(window) != QDialog::Accepted || !window.wasSaved())
        return false;
    ChangeHistory::FollowModelEdit(m_tree, tree, key, window.before().rows, window.after().rows);
    m_history.RecordModelEdit(tree, key, window.changeName(), window.before(), window.after());
    return true;
}

void DetailsCommands::ShowSources()
{
    if (!m_tree.IsOpen() || RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Sources"), m_window))
        return;
    const QString tree = m_tree.CurrentTree();
    SourcesWindow window(m_tree.Store(), tree, m_window);
    if (!window.isLoaded()) {
        ReportFailure(window.loadError(), m_window);
        return;
    }
    if (ModalSeam::exec(window) != QDialog::Accepted || !window.wasSaved())
        return;
    const QString key = m_tree.SelectedKey();
    ChangeHistory::FollowModelEdit(m_tree, tree, key, window.before().rows, window.after().rows);
    m_history.RecordModelEdit(tree, key, QStringLiteral("Edit Sources"), window.before(),
                              window.after());
}
