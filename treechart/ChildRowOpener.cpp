#include "ChildRowOpener.h"

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
