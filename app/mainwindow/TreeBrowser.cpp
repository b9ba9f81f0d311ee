#include "TreeBrowser.h"

#include "AppState.h"
#include "LifeSpan.h"
#include "MessageService.h"
#include "TreeChart.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QComboBox>
#include <QTimer>

#include <utility>

namespace {
const QString kRootKey = QStringLiteral("ROOT");
} // namespace

TreeBrowser::TreeBrowser(AppState &state, cPeople &people, TreeChart &chart, const mDatabase &store,
                         QWidget *window)
    : QObject(window), m_state(state), m_people(people), m_chart(chart), m_store(store),
      m_window(window)
{
}

cNode TreeBrowser::MakeNode(const cPerson &person, int level, const cNodePtr &parent)
{
    cNode node;
    node.setKey(person.Key());
    node.setIndex(1);
    node.setLevel(level);
    node.setParentNode(parent);
    node.setCaptionA(person.Sname() + QLatin1Char(' ') + person.Fname());
    node.setCaptionB(person.PrtSname() + QLatin1Char(' ') + person.PrtFname());
    node.SetAllColors(kInheritColor);
    return node;
}

QString TreeBrowser::TreeTitle(const QString &treeName)
{
    return treeName.isEmpty() ? QStringLiteral("Velkin Tree")
                              : treeName + QStringLiteral(" - Velkin Tree");
}

void TreeBrowser::SelectTree(QComboBox &cboTrees, const QString &name)
{
    int found = -1;
    for (int i = 0; i < cboTrees.count(); ++i) {
        if (cboTrees.itemText(i) == name) {
            found = i;
            break;
        }
    }
    cboTrees.setCurrentIndex(found);
}

void TreeBrowser::resetView(const QString &title)
{
    // A new tree starts without a selection: commands on "the selected person" must not reach
    // a person of the new tree that merely shares the key of the last one clicked.
    m_state.SelectedKey.clear();
    emit StatusChanged(QString(), QString());
    emit TitleChanged(title);
}

void TreeBrowser::releaseTree()
{
    // Letting go of a large tree takes a noticeable moment: it happens once the next tree is
    // on screen.
    struct Released
    {
        cPeople people;
        ChildIndex children;
    };
    auto released = std::make_shared<Released>(
        Released{std::exchange(m_people, cPeople()), std::exchange(m_children, ChildIndex())});
    QTimer::singleShot(0, this, [released] {});
}

bool TreeBrowser::LoadTree(const QString &name)
{
    WaitCursor busy;
    m_state.CurrentTree = name;
    m_chart.Clear();
    releaseTree();
    resetView(TreeTitle(name));

    StoreError error;
    const QList<PersonRecord> rows = m_store.ReadTree(name, &error);
    if (error) {
        busy.restore();
        ReportError(error.number, error.description, m_window);
        return false;
    }
    if (rows.isEmpty()) {
        busy.restore();
        ShowMessage(QStringLiteral("No records found."), QStringLiteral("Empty tree"),
                    MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        return false;
    }

    for (const PersonRecord &row : rows)
        m_people.Add(cPerson(row));
    m_children.Build(m_people);

    auto roots = std::make_shared<cLevel>();
    for (const cPersonPtr &person : m_children.Children(m_people, kRootKey))
        roots->Add(MakeNode(*person, 1, nullptr));
    m_chart.Levels().Add(roots);

    if (m_cboTrees)
        SelectTree(*m_cboTrees, m_state.CurrentTree);
    emit InfoPanelCleared();
    m_chart.Refresh();
    return true;
}

void TreeBrowser::CloseTree()
{
    if (m_state.CurrentTree.isEmpty())
        return;
    WaitCursor busy;
    m_chart.Clear();
    releaseTree();
    m_state.CurrentTree.clear();
    m_chart.Refresh();
    resetView(TreeTitle(QString()));
    emit InfoPanelCleared();
}

void TreeBrowser::ShowNewTree(const QString &name)
{
    WaitCursor busy;
    m_chart.Clear();
    releaseTree();
    m_chart.Refresh();
    m_state.CurrentTree = name;
    resetView(TreeTitle(name));
    emit InfoPanelCleared();
}

const std::vector<cPersonPtr> &TreeBrowser::ChildrenOf(const QString &key)
{
    return m_children.Children(m_people, key);
}

void TreeBrowser::VTree_NodeClick(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    const int level = node->Level();

    cLevels &levels = m_chart.Levels();
    levels.Truncate(level);
    m_chart.Refresh();

    const cPersonPtr person = m_people.Item(node->Key());
    if (!person)
        return;
    m_state.SelectedKey = node->Key();

    const std::vector<cPersonPtr> &children = ChildrenOf(m_state.SelectedKey);
    if (!children.empty()) {
        const cNodePtr parent = m_chart.SelectedNode();
        auto row = std::make_shared<cLevel>();
        for (const cPersonPtr &child : children)
            row->Add(MakeNode(*child, level + 1, parent));
        levels.Add(row);
    }
    m_chart.Refresh();

    emit TitleChanged(PartA ? node->CaptionA() : node->CaptionB());
    WaitCursor busy;
    emit StatusChanged(LifeSpan::NameText(person->Fname(), person->Sname()),
                       LifeSpan::Text(person->Bdate(), person->Ddate()));
    emit PersonShown(person);
}

void TreeBrowser::ShowRoots()
{
    m_chart.Levels().Truncate(1);
    m_chart.setSelectedNode(nullptr);
    m_chart.Refresh();
    resetView(TreeTitle(m_state.CurrentTree));
    emit InfoPanelCleared();
}
