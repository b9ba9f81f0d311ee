#pragma once

#include "ChildrenOf.h"
#include "cNode.h"

struct AncestorChain;

#include <QObject>

class TreeChart;

// Walks a chart down one generation per click, as the program's main window does: a click on a
// box cuts the rows below the box's row (its Level), then adds a row with the clicked person's
// children, each hanging from the selected box. Used where a chart is shown without the main
// window (the command line's export) and by tests.
class ChildRowOpener : public QObject
{
    Q_OBJECT
public:
    // Listens to the chart's NodeClick. `people` and `childrenOf` must outlive the opener.
    ChildRowOpener(TreeChart &chart, const cPeople &people, ChildrenOf childrenOf);

    // Shows the root persons (PrntKey kRootKey exactly) alone as the first row, nothing selected.
    void ShowRoots();
    // What a click on the node does to the rows.
    void Open(const cNodePtr &node);
    // The chart as clicking every person of the chain in turn leaves it (see OpenChainInChart),
    // built in one pass and drawn once: the rows below the root row are replaced by a row for
    // each person of the chain holding that person's children, the person is selected and
    // scrolled into view. A chain that reaches no root starts in a row of its own below the root
    // row. No NodeClick is raised. Returns the person's box; null when the chain is empty or a
    // box of it was missing (the rows are then opened as far as they go).
    cNodePtr OpenChain(const AncestorChain &chain);

private:
    TreeChart &m_chart;
    const cPeople &m_people;
    ChildrenOf m_childrenOf;
};
