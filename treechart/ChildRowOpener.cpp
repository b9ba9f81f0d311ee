#include "ChildRowOpener.h"

#include "AncestorChain.h"
#include "PersonNode.h"
#include "TreeChart.h"

ChildRowOpener::ChildRowOpener(TreeChart &chart, const cPeople &people, ChildrenOf childrenOf,
                               Clicks clicks)
    : QObject(&chart), m_chart(chart), m_people(people), m_childrenOf(std::move(childrenOf))
{
    if (clicks == Clicks::Open)
        connect(&chart, &TreeChart::NodeClick, this,
                [this](const cNodePtr &node, bool) { Open(node); });
}

cLevelPtr ChildRowOpener::childRow(const QString &key, int level, const cNodePtr &parent) const
{
    const std::vector<cPersonPtr> &children = m_childrenOf(key);
    if (children.empty())
        return nullptr;
    auto row = std::make_shared<cLevel>();
    for (const cPersonPtr &child : children)
        row->Add(MakePersonNode(*child, level, parent));
    return row;
}

void ChildRowOpener::ShowRoots()
{
    m_chart.Clear();
    auto roots = std::make_shared<cLevel>();
    for (const cPersonPtr &person : m_childrenOf(RootParentKey()))
        roots->Add(MakePersonNode(*person, 1, nullptr));
    m_chart.Levels().Add(roots);
    m_chart.Refresh();
}

void ChildRowOpener::BackToRoots()
{
    m_chart.Levels().Truncate(1);
    m_chart.setSelectedNode(nullptr);
    m_chart.Refresh();
}

void ChildRowOpener::Open(const cNodePtr &node)
{
    if (!node)
        return;
    const int level = node->Level();
    m_chart.Levels().Truncate(level);
    if (m_people.Item(node->Key())) {
        if (const cLevelPtr row = childRow(node->Key(), level + 1, m_chart.SelectedNode()))
            m_chart.Levels().Add(row);
    }
    m_chart.RefreshCut(level);
}

cNodePtr ChildRowOpener::OpenChain(const AncestorChain &chain)
{
    cLevels &levels = m_chart.Levels();
    if (chain.keys.isEmpty() || levels.Count() == 0)
        return nullptr;
    if (const cNodePtr old = m_chart.SelectedNode())
        old->setSelected(false);
    m_chart.setSelectedNode(nullptr);
    levels.Truncate(1);
    int row = 1;
    if (!chain.reachesRoot()) {
        const cPersonPtr top = m_people.Item(chain.topmost());
        if (!top) {
            m_chart.Refresh();
            return nullptr;
        }
        auto own = std::make_shared<cLevel>();
        own->Add(MakePersonNode(*top, 2, nullptr));
        levels.Add(own);
        row = 2;
    }
    // Each person of the chain is found in the row its parent's children made, and its own
    // children make the next row, hanging from its box: what a click on it would do.
    cNodePtr node;
    for (const QString &key : chain.keys) {
        const cLevelPtr level = levels.Item(row);
        node = level ? level->Item(key) : nullptr;
        if (!node)
            break;
        if (const cLevelPtr next = childRow(node->Key(), node->Level() + 1, node))
            levels.Add(next);
        ++row;
    }
    m_chart.setSelectedNode(node);
    m_chart.Refresh();
    if (node)
        m_chart.ScrollIntoView(*node);
    return node;
}

cNodePtr ChildRowOpener::FindBox(const QString &key) const
{
    for (const cLevelPtr &level : m_chart.Levels()) {
        if (!level)
            continue;
        for (const cNodePtr &node : level->Level()) {
            if (node && node->Key() == key)
                return node;
        }
    }
    return nullptr;
}

bool ChildRowOpener::UpdateCaptions(const cPerson &person)
{
    const cNodePtr box = FindBox(person.Key());
    if (!box)
        return false;
    SetPersonCaptions(*box, person);
    return true;
}

bool ChildRowOpener::RemoveBox(const QString &key)
{
    for (const cLevelPtr &level : m_chart.Levels()) {
        const cNodePtr node = level ? level->Item(key) : nullptr;
        if (node && node->Key() == key) {
            m_chart.setSelectedNode(node->ParentNode());
            level->Remove(key);
            return true;
        }
    }
    return false;
}
