#include "ChildRowOpener.h"

#include "AncestorChain.h"
#include "PersonNode.h"
#include "TreeChart.h"

ChildRowOpener::ChildRowOpener(TreeChart &chart, const cPeople &people, ChildrenOf childrenOf)
    : QObject(&chart), m_chart(chart), m_people(people), m_childrenOf(std::move(childrenOf))
{
    connect(&chart, &TreeChart::NodeClick, this,
            [this](const cNodePtr &node, bool) { Open(node); });
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

void ChildRowOpener::Open(const cNodePtr &node)
{
    if (!node)
        return;
    const int level = node->Level();
    m_chart.Levels().Truncate(level);
    m_chart.Refresh();
    const cPersonPtr person = m_people.Item(node->Key());
    if (!person)
        return;
    const std::vector<cPersonPtr> &children = m_childrenOf(node->Key());
    if (!children.empty()) {
        const cNodePtr parent = m_chart.SelectedNode();
        auto row = std::make_shared<cLevel>();
        for (const cPersonPtr &child : children)
            row->Add(MakePersonNode(*child, level + 1, parent));
        m_chart.Levels().Add(row);
    }
    m_chart.Refresh();
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
        const std::vector<cPersonPtr> &children = m_childrenOf(node->Key());
        if (!children.empty()) {
            auto next = std::make_shared<cLevel>();
            for (const cPersonPtr &child : children)
                next->Add(MakePersonNode(*child, node->Level() + 1, node));
            levels.Add(next);
        }
        ++row;
    }
    m_chart.setSelectedNode(node);
    m_chart.Refresh();
    if (node)
        m_chart.ScrollIntoView(*node);
    return node;
}
