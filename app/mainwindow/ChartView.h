#pragma once

#include "cNode.h"
#include "cPeople.h"

#include <QObject>

class ChildRowOpener;
class OpenTree;
class QAction;
class TreeChart;

// The main window's chart as a view of the open tree. It shows the root persons of a tree that
// is opened and, for the selected person, the rows down to that person with the person's
// children in the row below (ChildRowOpener, one layout per change); box captions follow edits
// and a deleted person's box goes. A person outside the line (OpenTree::IsOutsideLine) gets no
// box: selecting one leaves the rows as they are with no box selected. A click on a box selects its
// person in the open tree (which then shows the person everywhere); the chart answers the selection
// like every other view.
//
// It also owns Tools > Refresh (F5, toolbar "REFRESH"): with a tree open the chart is drawn
// again and the selected person shown again; the database is not read again.
class ChartView : public QObject
{
    Q_OBJECT

public:
    // `tree` and `chart` must outlive the view, which is the chart's child.
    ChartView(OpenTree &tree, TreeChart &chart);

    // The chart's NodeClick: selects the box's person (the upper half of the box when `PartA`);
    // a box whose person is gone only cuts the rows below it.
    void VTree_NodeClick(const cNodePtr &node, bool PartA);

    QAction *RefreshCommand() const { return m_refresh; }
    void mnuToolsRefresh();

private:
    void showTree();
    void showSelection(const cPersonPtr &person);
    void selectionChanged(const QString &key);
    void personChanged(const cPersonPtr &person);
    void personRemoved(const cPersonPtr &person);

    OpenTree &m_tree;
    TreeChart &m_chart;
    ChildRowOpener *m_opener;
    QAction *m_refresh;
    // The selected person is outside the line: the chart shows no box of it and keeps its rows.
    bool m_outsideSelected = false;
};
