#include "PersonCommands.h"

#include "AppState.h"
#include "ChangeHistory.h"
#include "ChangeLog.h"
#include "ChildrenOf.h"
#include "CommandAction.h"
#include "EditHost.h"
#include "FileHelpers.h"
#include "HelpWindow.h"
#include "KeyProposal.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "ReadOnlyNotice.h"
#include "StoreReports.h"
#include "frmEdit.h"
#include "mDatabase.h"

#include <QAction>

#include <QDialog>
#include <optional>

namespace {

// The edit window's view of the program: the open tree and its store. Every change it makes is
// recorded in the history, with the row as it was before and as the store now holds it.
class ProgramEditHost : public EditHost
{
public:
    ProgramEditHost(const AppState &state, OpenTree &tree, ChangeHistory &history)
        : m_state(state), m_tree(tree), m_history(history)
    {
    }

    QString SelectedKey() const override { return m_tree.SelectedKey(); }
    QString DataPath() const override { return m_tree.Store().DataPath(); }
    QString ProgramPath() const override { return m_state.ProgramPath; }

    Result<PersonRecord> FindPerson(const QString &key) override
    {
        return m_tree.Store().FindPerson(m_tree.CurrentTree(), key);
    }
    QString LastChange(const QString &key) const override
    {
        return ChangeLog::lastChangeText(m_tree.Store(), m_tree.CurrentTree(),
                                         ChangeLog::personRecord(key));
    }
    Result<void> UpdatePerson(const QString &key, const PersonRecord &record,
                              const PersonRecord *expected) override
    {
        const QString tree = m_tree.CurrentTree();
        mDatabase &store = m_tree.Store();
        // Without the row as read, the row as stored now is what the change replaces.
        std::optional<PersonRecord> before;
        if (expected)
            before = *expected;
        else if (const Result<PersonRecord> stored = store.FindPerson(tree, key))
            before = *stored;
        // The others in the person's families: the store brings their partner columns up to date.
        QStringList neighbours = ChangeHistory::Neighbours(store, tree, key);
        std::optional<Genealogy::ModelSlice> state = ChangeHistory::ModelState(store, tree);
        Result<void> updated = store.UpdatePerson(tree, key, record, expected);
        if (updated) {
            neighbours += ChangeHistory::Neighbours(store, tree, key);
            ChangeHistory::Refresh(m_tree, neighbours);
        }
        if (updated && before) {
            const Result<PersonRecord> after = store.FindPerson(tree, key);
            if (after)
                m_history.RecordEditPerson(tree, *before, *after, std::move(state));
        }
        return updated;
    }
    Result<void> InsertPerson(const PersonRecord &record) override
    {
        const QString tree = m_tree.CurrentTree();
        std::optional<Genealogy::ModelSlice> state =
            ChangeHistory::ModelState(m_tree.Store(), tree);
        Result<void> inserted = m_tree.Store().InsertPerson(tree, record);
        if (inserted) {
            ChangeHistory::Refresh(m_tree,
                                   ChangeHistory::Neighbours(m_tree.Store(), tree, record.ID));
            const Result<PersonRecord> stored = m_tree.Store().FindPerson(tree, record.ID);
            m_history.RecordAddPerson(tree, stored.valueOr(record),
                                      PhotoFolders::FolderOf(m_tree.Store().DataPath(), record.ID),
                                      std::move(state));
        }
        return inserted;
    }
    bool ShowDetails(const QString &key) override { return m_showDetails && m_showDetails(key); }
    std::function<bool(const QString &)> m_showDetails;

    Result<QString> ProposeKey() override
    {
        return KeyProposal::ProposeFor(m_tree.Store(), m_tree.CurrentTree(),
                                       m_tree.Store().DataPath());
    }

    cPersonPtr Person(const QString &key) const override { return m_tree.People().Item(key); }
    bool AddPerson(const PersonRecord &record) override { return bool(m_tree.AddPerson(record)); }
    void ChangePerson(const QString &key, const PersonRecord &values) override
    {
        m_tree.ChangePerson(key, values);
    }
    void AddedPhotos(const QString &key) override { m_tree.AddedPhotos(key); }

private:
    const AppState &m_state;
    OpenTree &m_tree;
    ChangeHistory &m_history;
};

} // namespace

PersonCommands::PersonCommands(AppState &state, OpenTree &tree, ChangeHistory &history,
                               QWidget *window)
    : QObject(window), m_state(state), m_tree(tree), m_history(history), m_window(window),
      m_new(MakeCommand(this, QStringLiteral("mnuPersonNew"), QStringLiteral("New"),
                        QStringLiteral("Ctrl+N"), QStringLiteral("NEWPRS"),
                        QStringLiteral("New person"))),
      m_edit(MakeCommand(this, QStringLiteral("mnuPersonEdit"), QStringLiteral("Edit"),
                         QStringLiteral("Ctrl+E"), QStringLiteral("EDITPRS"),
                         QStringLiteral("Edit personal info"))),
      m_delete(MakeCommand(this, QStringLiteral("mnuPersonDelete"), QStringLiteral("Delete"),
                           QStringLiteral("Ctrl+D"), QStringLiteral("DELPRS"),
                           QStringLiteral("Delete person")))
{
    connect(m_new, &QAction::triggered, this, &PersonCommands::mnuPersonNew);
    connect(m_edit, &QAction::triggered, this, &PersonCommands::mnuPersonEdit);
    connect(m_delete, &QAction::triggered, this, &PersonCommands::mnuPersonDelete);
}

bool PersonCommands::treeHasRows() const
{
    // Persons in memory were read from the tree or added to it; only an empty collection
    // needs a look at the table itself. A failed look counts as "has rows": the parent box
    // then stays editable.
    if (m_tree.People().Count() > 0)
        return true;
    const Result<QList<PersonRecord>> rows = m_tree.Store().ReadTree(m_tree.CurrentTree());
    return !rows || !rows->isEmpty();
}

bool PersonCommands::showEditWindow(const PersonRecord &fill, bool lockParent, bool EditMode)
{
    ProgramEditHost host(m_state, m_tree, m_history);
    host.m_showDetails = m_showDetails;
    frmEdit window(host, EditMode, m_window);
    window.setRecord(fill);
    window.setParentLocked(lockParent);
    return ModalSeam::exec(window) == QDialog::Accepted;
}

void PersonCommands::mnuPersonNew()
{
    if (!m_tree.IsOpen() ||
        RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("New person"), m_window))
        return;

    // Everything but the parent and the inherited home starts empty.
    PersonRecord fill;
    bool lockParent = false;
    const QString selectedKey = m_tree.SelectedKey();
    if (selectedKey.isEmpty()) {
        if (!treeHasRows()) {
            fill.PrntKey = kRootKey;
            lockParent = true;
        }
    } else if (const cPersonPtr parent = m_tree.People().Item(selectedKey)) {
        fill.PrntKey = parent->Key();
        fill.Sname = parent->Sname();
        fill.Laddress = parent->Laddress();
        fill.Lcity = parent->Lcity();
        fill.Lcountry = parent->Lcountry();
    }
    showEditWindow(fill, lockParent, false);

    // The selected person is shown again, so that a new child shows in the row below its box.
    if (m_tree.SelectedPerson())
        m_tree.Select(m_tree.SelectedKey(), true);
}

void PersonCommands::mnuPersonEdit()
{
    const cPersonPtr person = m_tree.SelectedPerson();
    if (!person || RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Edit person"), m_window))
        return;
    // The window edits the row as it is stored now (another program may have changed it since
    // the tree was read); its save goes through only while the row still holds these values.
    // When it cannot be read, the person as shown stands in.
    const Result<PersonRecord> stored =
        m_tree.Store().FindPerson(m_tree.CurrentTree(), person->Key());
    showEditWindow(stored.valueOr(person->toRecord()), false, true);
}

void PersonCommands::VTree_NodeDblClick(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    mnuPersonEdit();
    m_tree.Select(node->Key(), PartA);
}

QString PersonCommands::HelpFile() const
{
    return AddBackslash(m_state.ProgramPath) + QStringLiteral("help/index.html");
}

bool PersonCommands::KeyInAnyTree(const QString &key) const
{
    const QStringList trees = m_tree.Store().ListTrees();
    for (const QString &tree : trees) {
        // A tree that cannot be read may hold the key: its folder stays.
        const Result<PersonRecord> found = m_tree.Store().FindPerson(tree, key);
        if (found || !found.error().is(ErrorCode::Missing))
            return true;
    }
    return false;
}

void PersonCommands::mnuPersonDelete()
{
    const cPersonPtr person = m_tree.SelectedPerson();
    if (!person || RefuseWhenReadOnly(m_tree.Store(), QStringLiteral("Delete person"), m_window))
        return;
    const QString key = m_tree.SelectedKey();

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
    const QStringList neighbours =
        ChangeHistory::Neighbours(m_tree.Store(), m_tree.CurrentTree(), key);
    // A tree with side records: the rows and records as they are, so that undo can bring back
    // what the deletion changes.
    std::optional<Genealogy::ModelSlice> before =
        ChangeHistory::ModelState(m_tree.Store(), m_tree.CurrentTree());
    const bool undoable = ChangeHistory::DeletionUndoable(m_tree.Store(), m_tree.CurrentTree());
    // The row after it (People holds the rows in the tree's order): undo puts it back before.
    QString next;
    bool found = false;
    for (const cPersonPtr &p : m_tree.People()) {
        if (found) {
            next = p->Key();
            break;
        }
        found = p->Key() == person->Key();
    }
    const Result<void> deleted = m_tree.Store().DeletePerson(m_tree.CurrentTree(), key, &shown);
    if (deleted.error().is(ErrorCode::ChangedElsewhere)) {
        if (AskReloadChanged(key, m_window,
                             ChangeLog::lastChangeText(m_tree.Store(), m_tree.CurrentTree(),
                                                       ChangeLog::personRecord(key))))
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
    // The views let go of the person (the photo viewer of its folder) and its box goes.
    m_tree.RemovePerson(key);
    ChangeHistory::Refresh(m_tree, neighbours);

    // Photo folders are shared by key across trees: the folder goes only with the last person
    // of that key, and only when the key names a folder inside the photos folder. It is kept
    // aside while the deletion can be undone (removed for good when it cannot be moved).
    const QString photos = PhotoFolders::FolderOf(m_tree.Store().DataPath(), key);
    QString aside;
    if (!photos.isEmpty() && !KeyInAnyTree(key)) {
        // A person another program deleted first is no change of ours: nothing to undo.
        if (deleted && undoable)
            aside = ChangeHistory::SetAside(m_tree.Store().DataPath(), photos);
        if (aside.isEmpty())
            DeleteFolderTree(photos);
    }
    if (deleted && undoable)
        m_history.RecordDeletePerson(m_tree.CurrentTree(), shown, photos, aside, std::move(before),
                                     next);

    // The selection moves up to the parent (the person whose children the person's row showed),
    // whose children are shown again without the deleted person; a root person leaves nothing
    // selected.
    const QString parentKey = person->PrntKey();
    const cPersonPtr parent = m_tree.People().Item(parentKey);
    if (parent && parent->Key() == parentKey && parentKey != RootParentKey())
        m_tree.Select(parentKey, true);
    else
        m_tree.ClearSelection();
}

void PersonCommands::reloadPerson(const QString &key)
{
    const Result<PersonRecord> current = m_tree.Store().FindPerson(m_tree.CurrentTree(), key);
    if (!current) {
        if (current.error().is(ErrorCode::Missing))
            ShowMessage(PersonGoneText(key, m_tree.CurrentTree()), QStringLiteral("Reload"),
                        MsgIcon::Information, MsgButtons::OkOnly, m_window);
        else
            ReportFailure(current.error(), m_window);
        return;
    }
    if (!m_tree.ChangePerson(key, *current))
        return;
    // The panel and the status bar show the person again, as it is now.
    m_tree.Select(key, true);
}
