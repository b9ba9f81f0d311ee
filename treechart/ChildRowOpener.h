#pragma once

#include "ChildrenOf.h"
#include "cNode.h"

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

    // Shows the root persons (PrntKey "ROOT" exactly) alone as the first row, nothing selected.
    void ShowRoots();
    // What a click on the node does to the rows.
    void Open(const cNodePtr &node);

private:
    TreeChart &m_chart;
    const cPeople &m_people;
    ChildrenOf m_childrenOf;
};
