#include "PersonCommands.h"

#include "AppState.h"
#include "EditHost.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "ReadOnlyNotice.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "frmEdit.h"
#include "mDatabase.h"

#include <QDialog>

#include <memory>

namespace {

// The edit window's view of the program.
class ProgramEditHost : public EditHost
{
public:
    ProgramEditHost(AppState &state, mDatabase &store, OpenTree &tree, TreeChart &chart,
                    const PersonCommands::InfoPanelHooks &info,
                    const PersonCommands::StatusSetter &status)
        : m_state(state), m_store(store), m_tree(tree), m_chart(chart), m_info(info),
          m_status(status)
    {
    }

    Result<PersonRecord> FindPerson(const QString &tree, const QString &key) override
    {
        return m_store.FindPerson(tree, key);
    }
    Result<void> UpdatePerson(const QString &tree, const QString &key, const PersonRecord &record,
                              const PersonRecord *expected) override
    {
        return m_store.UpdatePerson(tree, key, record, expected);
    }
    Result<void> InsertPerson(const QString &tree, const PersonRecord &record) override
    {
        return m_store.InsertPerson(tree, record);
    }

    cPersonPtr Person(const QString &key) const override { return m_tree.People().Item(key); }
    bool AddPerson(const PersonRecord &record) override { return bool(m_tree.AddPerson(record)); }
    void ChangePerson(const QString &key, const PersonRecord &values) override
    {
        m_tree.ChangePerson(key, values);
    }
    TreeChart &VTree() override { return m_chart; }
    QString CurrentTree() const override { return m_tree.CurrentTree(); }
    QString SelectedKey() const override { return m_tree.SelectedKey(); }
    bool EditMode() const override { return m_state.EditMode; }
    QString DataPath() const override { return m_state.DataPath; }
    QString ProgramPath() const override { return m_state.ProgramPath; }

    bool InfoVisible() const override { return m_info.visible && m_info.visible(); }
    void ShowInfoValues(const cPerson &person) override
    {
        if (m_info.showValues)
            m_info.showValues(person);
    }
    void ShowDeathFields(bool visible) override
    {
        if (m_info.showDeathFields)
            m_info.showDeathFields(visible);
    }
    void RedrawThumbs() override
    {
        if (m_info.redrawThumbs)
            m_info.redrawThumbs();
    }
    void SetStatusTexts(const QString &panel1, const QString &panel2) override
    {
        if (m_status)
            m_status(panel1, panel2);
    }

private:
    AppState &m_state;
    mDatabase &m_store;
    OpenTree &m_tree;
    TreeChart &m_chart;
    const PersonCommands::InfoPanelHooks &m_info;
    const PersonCommands::StatusSetter &m_status;
};

// The first box, row by row, showing the person with this key.
bool chartShows(const TreeChart &chart, const QString &key)
{
    for (const cLevelPtr &level : chart.Levels()) {
        if (!level)
            continue;
        for (const cNodePtr &node : level->Level()) {
            if (node && node->Key() == key)
                return true;
        }
    }
    return false;
}

} // namespace

PersonCommands::PersonCommands(AppState &state, mDatabase &store, OpenTree &tree, TreeChart &chart,
                               TreeBrowser &browser, QWidget *window)
    : QObject(window), m_state(state), m_store(store), m_tree(tree), m_chart(chart),
      m_browser(browser), m_window(window)
{
}

bool PersonCommands::treeHasRows() const
{
    // Persons in memory were read from the tree or added to it; only an empty collection
    // needs a look at the table itself. A failed look counts as "has rows": the parent box
    // then stays editable.
    if (m_tree.People().Count() > 0)
        return true;
    const Result<QList<PersonRecord>> rows = m_store.ReadTree(m_tree.CurrentTree());
    return !rows || !rows->isEmpty();
}

bool PersonCommands::showEditWindow(const PersonRecord &fill, bool lockParent)
{
    ProgramEditHost host(m_state, m_store, m_tree, m_chart, m_info, m_status);
    frmEdit window(host, m_window);
    window.setRecord(fill);
    window.setParentLocked(lockParent);
    return ModalSeam::exec(window) == QDialog::Accepted;
}

void PersonCommands::mnuPersonNew()
{
    if (!m_tree.IsOpen() || RefuseWhenReadOnly(m_store, QStringLiteral("New person"), m_window))
        return;
    m_state.EditMode = false;

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
    showEditWindow(fill, lockParent);

    // Click the selected box again, so that a new child shows in the row below it.
    if (!m_tree.SelectedKey().isEmpty() && chartShows(m_chart, m_tree.SelectedKey())) {
        if (const cNodePtr selected = m_chart.SelectedNode())
            m_browser.VTree_NodeClick(selected, true);
    }
}

void PersonCommands::mnuPersonEdit()
{
    const cPersonPtr person = m_tree.People().Item(m_tree.SelectedKey());
    if (m_tree.SelectedKey().isEmpty() || !person ||
        RefuseWhenReadOnly(m_store, QStringLiteral("Edit person"), m_window))
        return;
    m_state.EditMode = true;
    // The window edits the row as it is stored now (another program may have changed it since
    // the tree was read); its save goes through only while the row still holds these values.
    // When it cannot be read, the person as shown stands in.
    const Result<PersonRecord> stored = m_store.FindPerson(m_tree.CurrentTree(), person->Key());
    showEditWindow(stored.valueOr(person->toRecord()), false);
}

void PersonCommands::VTree_NodeDblClick(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    mnuPersonEdit();
    emit TitleChanged(PartA ? node->CaptionA() : node->CaptionB());
}
