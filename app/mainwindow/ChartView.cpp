#include "ChartView.h"

#include "AncestorChain.h"
#include "ChildRowOpener.h"
#include "CommandAction.h"
#include "OpenTree.h"
#include "TreeChart.h"
#include "WaitCursor.h"

#include <QAction>

#include <utility>

ChartView::ChartView(OpenTree &tree, TreeChart &chart)
    : QObject(&chart), m_tree(tree), m_chart(chart),
      m_opener(new ChildRowOpener(
          chart, tree.People(),
          [&tree](const QString &parentKey) -> const std::vector<cPersonPtr> & {
              return tree.Children(parentKey);
          },
          ChildRowOpener::Clicks::ByHost)),
      m_refresh(MakeCommand(this, QStringLiteral("mnuToolsRefresh"), QStringLiteral("Refresh"),
                            QStringLiteral("F5"), QStringLiteral("REFRESH"),
                            QStringLiteral("Refresh tree")))
{
    connect(m_refresh, &QAction::triggered, this, &ChartView::mnuToolsRefresh);
    connect(&chart, &TreeChart::NodeClick, this, &ChartView::VTree_NodeClick);

    connect(&tree, &OpenTree::PeopleReplaced, this, &ChartView::showTree);
    connect(&tree, &OpenTree::SelectionChanged, this, &ChartView::selectionChanged);
    connect(&tree, &OpenTree::PersonSelected, this,
            [this](const cPersonPtr &person) { showSelection(person); });
    // A person added shows once its parent's box is clicked again; the first person of a tree
    // shown empty has no box to click and shows at once, as the root row.
    connect(&tree, &OpenTree::PersonAdded, this, [this] {
        if (m_chart.Levels().Count() == 0)
            showTree();
        else
            m_chart.Refresh();
    });
    connect(&tree, &OpenTree::PersonChanged, this, &ChartView::personChanged);
    connect(&tree, &OpenTree::PersonRemoved, this, &ChartView::personRemoved);
}

void ChartView::VTree_NodeClick(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    if (!m_tree.People().Item(node->Key())) {
        m_opener->Open(node);
        return;
    }
    WaitCursor busy;
    m_tree.Select(node->Key(), PartA);
}

void ChartView::mnuToolsRefresh()
{
    if (!m_tree.IsOpen())
        return;
    if (m_tree.SelectedPerson())
        m_tree.Select(m_tree.SelectedKey(), true);
    else
        m_chart.Refresh();
}

void ChartView::showTree()
{
    // A tree without persons shows no row at all.
    if (m_tree.People().Count() > 0) {
        m_opener->ShowRoots();
    } else {
        m_chart.Clear();
        m_chart.Refresh();
    }
}

void ChartView::showSelection(const cPersonPtr &person)
{
    m_outsideSelected = OpenTree::IsOutsideLine(*person);
    if (m_outsideSelected) {
        // No box shows the person: no box is selected, the rows stay.
        if (const cNodePtr old = m_chart.SelectedNode()) {
            old->setSelected(false);
            m_chart.setSelectedNode(nullptr);
            m_chart.Refresh();
        }
        return;
    }
    // The selected box shows the person (a click, or the person shown again): its children
    // open below it. Otherwise the rows open along the person's ancestors down to it.
    const cNodePtr selected = m_chart.SelectedNode();
    if (selected && selected->Key() == person->Key())
        m_opener->Open(selected);
    else
        m_opener->OpenChain(AncestorChain::Of(m_tree.People(), person->Key()));
}

void ChartView::selectionChanged(const QString &key)
{
    // Nothing selected any more (the selected root person was deleted): the root row alone. A
    // person outside the line had no box: the rows stay as they were.
    const bool wasOutside = std::exchange(m_outsideSelected, false);
    if (key.isEmpty() && !wasOutside && (m_chart.SelectedNode() || m_chart.Levels().Count() > 1))
        m_opener->BackToRoots();
}

void ChartView::personChanged(const cPersonPtr &person)
{
    // The box keeps its row even when the parent changed; only its captions follow.
    m_opener->UpdateCaptions(*person);
    m_chart.Refresh();
}

void ChartView::personRemoved(const cPersonPtr &person)
{
    // The box goes; the chart's selection moves up to its parent box.
    m_opener->RemoveBox(person->Key());
    m_chart.Refresh();
}
