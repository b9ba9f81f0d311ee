#include "TreeCommands.h"

#include "AppState.h"
#include "FileHelpers.h"
#include "HelpWindow.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "ReadOnlyNotice.h"
#include "StoreReports.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "WaitCursor.h"
#include "dlgModify.h"
#include "dlgNew.h"
#include "dlgOpen.h"
#include "mDatabase.h"

#include <QComboBox>

TreeCommands::TreeCommands(AppState &state, OpenTree &tree, TreeChart &chart, mDatabase &store,
                           TreeBrowser &browser, QComboBox &cboTrees, QWidget *window)
    : QObject(window), m_state(state), m_tree(tree), m_chart(chart), m_store(store),
      m_browser(browser), m_cboTrees(cboTrees), m_window(window)
{
}

void TreeCommands::mnuFileNew()
{
    if (RefuseWhenReadOnly(m_store, QStringLiteral("New Tree"), m_window))
        return;
    m_state.NewTreeName.clear();
    dlgNew dialog(m_window);
    dialog.SetTrees(m_store.ListTrees());
    ModalSeam::exec(dialog);
    m_state.NewTreeName = dialog.NewTreeName();
    if (!m_state.NewTreeName.isEmpty())
        CreateTree(m_state.NewTreeName);
}

bool TreeCommands::CreateTree(const QString &name)
{
    WaitCursor busy;
    // The table is made first: when that fails, the open tree stays on screen and usable.
    const Result<void> created = m_store.CreateTree(name);
    if (!created) {
        busy.restore();
        ShowCreateTreeResult(name, created, m_window);
        return false;
    }
    m_browser.ShowNewTree(name);
    m_cboTrees.addItem(name);
    TreeBrowser::SelectTree(m_cboTrees, name);
    busy.restore();
    ShowCreateTreeResult(name, created, m_window);
    return true;
}

void TreeCommands::mnuFileOpen()
{
    dlgOpen dialog(m_window);
    dialog.SetTrees(m_store.ListTrees());
    m_state.OpenTreeName.clear();
    ModalSeam::exec(dialog);
    m_state.OpenTreeName = dialog.OpenTreeName();
    if (m_state.OpenTreeName.isEmpty())
        return;
    m_browser.LoadTree(m_state.OpenTreeName);
    TreeBrowser::SelectTree(m_cboTrees, m_state.OpenTreeName);
}

void TreeCommands::mnuFileModify()
{
    if (RefuseWhenReadOnly(m_store, QStringLiteral("Modify Tree"), m_window))
        return;
    dlgModify::Actions actions;
    actions.renameTree = [this](const QString &oldName, const QString &newName) {
        return renameTree(oldName, newName);
    };
    actions.deleteTree = [this](const QString &name) { deleteTree(name); };
    actions.closeTree = [this] { m_browser.CloseTree(); };

    m_state.ModifyOldName.clear();
    m_state.ModifyNewName.clear();
    dlgModify dialog(std::move(actions), m_window);
    dialog.SetTrees(m_store.ListTrees());
    ModalSeam::exec(dialog);
    m_state.ModifyOldName = dialog.ModifyOldName();
    m_state.ModifyNewName = dialog.ModifyNewName();
    RefillTreeBox();
}

bool TreeCommands::renameTree(const QString &oldName, const QString &newName)
{
    const Result<void> renamed = m_store.RenameTree(oldName, newName);
    if (!renamed) {
        ReportFailure(renamed.error(), m_window);
        return false;
    }
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
    if (const Result<void> deleted = m_store.DeleteTree(name); !deleted)
        ReportFailure(deleted.error(), m_window);
}

void TreeCommands::RefillTreeBox()
{
    TreeBrowser::FillTreeBox(m_cboTrees, m_store.ListTrees());
}

void TreeCommands::mnuFileClose()
{
    m_browser.CloseTree();
    m_cboTrees.setCurrentIndex(-1);
}

void TreeCommands::cboTrees_Click(int index)
{
    const QString name = m_cboTrees.itemText(index);
    if (!name.isEmpty() && name != m_tree.CurrentTree())
        m_browser.LoadTree(name);
}

void TreeCommands::mnuToolsRefresh()
{
    if (!m_tree.IsOpen())
        return;
    m_chart.Refresh();
    if (const cNodePtr selected = m_chart.SelectedNode())
        m_browser.VTree_NodeClick(selected, true);
}

void TreeCommands::mnuToolsDbComp()
{
    if (RefuseWhenReadOnly(m_store, QStringLiteral("Compress"), m_window))
        return;
    CompressDatabase(m_store, m_window);
}

QString TreeCommands::HelpFile() const
{
    return AddBackslash(m_state.ProgramPath) + QStringLiteral("help/index.html");
}

bool TreeCommands::KeyInAnyTree(const QString &key) const
{
    const QStringList trees = m_store.ListTrees();
    for (const QString &tree : trees) {
        // A tree that cannot be read may hold the key: its folder stays.
        const Result<PersonRecord> found = m_store.FindPerson(tree, key);
        if (found || !found.error().is(ErrorCode::Missing))
            return true;
    }
    return false;
}

void TreeCommands::mnuPersonDelete()
{
    const QString key = m_tree.SelectedKey();
    const cPersonPtr person = key.isEmpty() ? nullptr : m_tree.People().Item(key);
    if (!person || RefuseWhenReadOnly(m_store, QStringLiteral("Delete person"), m_window))
        return;

    if (IsRootKeyUpperCased(person->PrntKey())) {
        MessageRequest question;
        question.text = QStringLiteral("You are about to delete a 'Root' person from the tree.\r\n"
                                       "Are you sure you wish to do it?\r\n\r\n"
                                       "If you are not sure, click 'Help' for more details "
                                       "about Root persons.");
        question.title = QStringLiteral("Crucial!");
        question.icon = MsgIcon::Exclamation;
        question.buttons = MsgButtons::YesNo;
        question.helpFile = HelpFile();
        question.helpTopic = HelpWindow::kTopicRootPersons;
        if (ShowMessage(question, m_window) != MsgResult::Yes)
            return;
    } else if (ShowMessage(QStringLiteral("Are you sure you wish to delete the selected person '") +
                               key + QStringLiteral("'?"),
                           QStringLiteral("Confirmation"), MsgIcon::None, MsgButtons::OkCancel,
                           m_window) != MsgResult::Ok) {
        return;
    }

    // Only the person as shown is deleted: a row another program changed meanwhile is not.
    const PersonRecord shown = person->toRecord();
    const Result<void> deleted = m_store.DeletePerson(m_tree.CurrentTree(), key, &shown);
    if (deleted.error().is(ErrorCode::ChangedElsewhere)) {
        if (AskReloadChanged(key, m_window))
            reloadPerson(key);
        return;
    }
    if (deleted.error().is(ErrorCode::Missing)) {
        // Gone already: it goes from the chart as well.
        ShowMessage(PersonGoneText(key, m_tree.CurrentTree()), QStringLiteral("Delete person"),
                    MsgIcon::Information, MsgButtons::OkOnly, m_window);
    } else if (!deleted) {
        ReportFailure(deleted.error(), m_window);
        return;
    }
    m_tree.RemovePerson(key);

    // The box goes; the selection moves up to its parent box.
    const cLevels &levels = m_chart.Levels();
    for (const cLevelPtr &level : levels) {
        const cNodePtr node = level->Item(key);
        if (node && node->Key() == key) {
            m_chart.setSelectedNode(node->ParentNode());
            level->Remove(key);
            break;
        }
    }

    // Photo folders are shared by key across trees: the folder goes only with the last person
    // of that key, and only when the key names a folder inside the photos folder.
    emit PhotosReleased();
    const QString photos = PhotoFolders::FolderOf(m_state.DataPath, key);
    if (!photos.isEmpty() && !KeyInAnyTree(key))
        DeleteFolderTree(photos);

    m_chart.Refresh();
    if (const cNodePtr selected = m_chart.SelectedNode())
        m_browser.VTree_NodeClick(selected, true);
    else
        m_browser.ShowRoots();
}

void TreeCommands::reloadPerson(const QString &key)
{
    const Result<PersonRecord> current = m_store.FindPerson(m_tree.CurrentTree(), key);
    if (!current) {
        if (current.error().is(ErrorCode::Missing))
            ShowMessage(PersonGoneText(key, m_tree.CurrentTree()), QStringLiteral("Reload"),
                        MsgIcon::Information, MsgButtons::OkOnly, m_window);
        else
            ReportFailure(current.error(), m_window);
        return;
    }
    const cPersonPtr person = m_tree.ChangePerson(key, *current);
    if (!person)
        return;
    for (const cLevelPtr &level : m_chart.Levels()) {
        if (const cNodePtr node = level->Item(key); node && node->Key() == key) {
            const cNode shown = TreeBrowser::MakeNode(*person, node->Level(), node->ParentNode());
            node->setCaptionA(shown.CaptionA());
            node->setCaptionB(shown.CaptionB());
        }
    }
    // The panel and the status bar show the person again, as it is now.
    m_chart.Refresh();
    if (const cNodePtr selected = m_chart.SelectedNode())
        m_browser.VTree_NodeClick(selected, true);
}
