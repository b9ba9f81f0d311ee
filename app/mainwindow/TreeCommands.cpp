#include "TreeCommands.h"

#include "AppState.h"
#include "ChangeHistory.h"
#include "CommandAction.h"
#include "LoadTree.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "ReadOnlyNotice.h"
#include "StoreReports.h"
#include "TreeList.h"
#include "WaitCursor.h"
#include "dlgModify.h"
#include "dlgNew.h"
#include "dlgOpen.h"
#include "mDatabase.h"

#include <QAction>

TreeCommands::TreeCommands(AppState &state, OpenTree &tree, TreeList &trees, ChangeHistory &history,
                           QWidget *window)
    : QObject(window), m_state(state), m_tree(tree), m_trees(trees), m_history(history),
      m_window(window), m_new(MakeCommand(this, QStringLiteral("mnuFileNew"),
                                          QStringLiteral("New Tree"), QStringLiteral("F2"),
                                          QStringLiteral("NEWTREE"), QStringLiteral("New tree"))),
      m_open(MakeCommand(this, QStringLiteral("mnuFileOpen"), QStringLiteral("Open Tree"),
                         QStringLiteral("F3"), QStringLiteral("TREES"))),
      m_modify(MakeCommand(this, QStringLiteral("mnuFileModify"), QStringLiteral("Modify Tree"),
                           QStringLiteral("F4"), QStringLiteral("MODTREE"),
                           QStringLiteral("Modify tree"))),
      m_close(MakeCommand(this, QStringLiteral("mnuFileClose"), QStringLiteral("Close Tree"),
                          QStringLiteral("F6"))),
      m_compress(MakeCommand(this, QStringLiteral("mnuToolsDbComp"), QStringLiteral("Compress"))),
      m_trees_(MakeCommand(this, QStringLiteral("TREES"), QStringLiteral("Velkin trees"), QString(),
                           QStringLiteral("TREES"), QStringLiteral("Velkin trees")))
{
    connect(m_new, &QAction::triggered, this, &TreeCommands::mnuFileNew);
    connect(m_open, &QAction::triggered, this, &TreeCommands::mnuFileOpen);
    connect(m_modify, &QAction::triggered, this, &TreeCommands::mnuFileModify);
    connect(m_close, &QAction::triggered, this, &TreeCommands::mnuFileClose);
    connect(m_compress, &QAction::triggered, this, &TreeCommands::mnuToolsDbComp);
}

void TreeCommands::mnuFileNew()
{
    mDatabase &store = m_tree.Store();
    if (RefuseWhenReadOnly(store, QStringLiteral("New Tree"), m_window))
        return;
    dlgNew dialog(m_window);
    m_trees.Update();
    dialog.SetTrees(m_trees.Names());
    ModalSeam::exec(dialog);
    const QString name = dialog.NewTreeName();
    if (!name.isEmpty())
        CreateTree(name);
}

bool TreeCommands::CreateTree(const QString &name)
{
    WaitCursor busy;
    // The table is made first: when that fails, the open tree stays on screen and usable.
    const Result<void> created = m_tree.Store().CreateTree(name);
    if (!created) {
        busy.restore();
        ShowCreateTreeResult(name, created, m_window);
        return false;
    }
    m_history.RecordNewTree(name, m_tree.Store().ReadTree(name).valueOr({}));
    m_tree.OpenNew(name);
    m_trees.Append(name);
    m_trees.Choose(name);
    busy.restore();
    ShowCreateTreeResult(name, created, m_window);
    return true;
}

void TreeCommands::mnuFileOpen()
{
    dlgOpen dialog(m_window);
    m_trees.Update();
    dialog.SetTrees(m_trees.Names());
    ModalSeam::exec(dialog);
    const QString name = dialog.OpenTreeName();
    if (name.isEmpty())
        return;
    LoadTree(m_tree, nullptr, name, m_window);
    m_trees.Choose(name);
}

void TreeCommands::mnuFileModify()
{
    if (RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Modify Tree"), m_window))
        return;
    dlgModify::Actions actions;
    actions.renameTree = [this](const QString &oldName, const QString &newName) {
        return renameTree(oldName, newName);
    };
    actions.deleteTree = [this](const QString &name) { deleteTree(name); };
    actions.closeTree = [this] { CloseTree(); };

    dlgModify dialog(std::move(actions), m_window);
    m_trees.Update();
    dialog.SetTrees(m_trees.Names());
    ModalSeam::exec(dialog);
    m_trees.Refill();
}

bool TreeCommands::renameTree(const QString &oldName, const QString &newName)
{
    const Result<void> renamed = m_tree.Store().RenameTree(oldName, newName);
    if (!renamed) {
        ReportFailure(renamed.error(), m_window);
        return false;
    }
    m_history.RecordRenameTree(oldName, newName);
    // The open tree follows its new name (and the title with it while no box is clicked); what
    // the chart shows stays as it is. Only the renamed tree's table counts: another tree whose
    // name merely counts as the same stays as it is.
    if (m_tree.IsOpenTree(oldName)) {
        m_tree.Rename(newName);
        m_state.LastOpen = newName;
    }
    return true;
}

void TreeCommands::deleteTree(const QString &name)
{
    WaitCursor busy;
    // The rows and side records as they are, so that the deletion can be undone.
    mDatabase &store = m_tree.Store();
    const Result<bool> hadModel = ModelStore::hasModel(store, name);
    Result<Genealogy::ModelSlice> before = ModelStore::readTree(store, name);
    if (const Result<void> deleted = store.DeleteTree(name); !deleted) {
        busy.restore();
        ReportFailure(deleted.error(), m_window);
        return;
    }
    if (before && hadModel)
        m_history.RecordDeleteTree(name, std::move(*before), *hadModel);
}

void TreeCommands::CloseTree()
{
    if (!m_tree.IsOpen())
        return;
    WaitCursor busy;
    m_tree.Close();
}

void TreeCommands::mnuFileClose()
{
    CloseTree();
    m_trees.Choose(-1);
}

void TreeCommands::cboTrees_Click(int index)
{
    if (index < 0 || index >= m_trees.Count())
        return;
    m_trees.Choose(index);
    const QString name = m_trees.Names().at(index);
    if (!name.isEmpty() && name != m_tree.CurrentTree())
        LoadTree(m_tree, &m_trees, name, m_window);
}

void TreeCommands::mnuToolsDbComp()
{
    if (RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Compress"), m_window))
        return;
    CompressDatabase(m_tree.Store(), m_window);
}
