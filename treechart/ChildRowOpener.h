#pragma once

#include "ChildrenOf.h"
#include "cLevel.h"
#include "cNode.h"

#include <QObject>

struct AncestorChain;
class TreeChart;

// Walks a chart down one generation per click, as the program's main window does: a click on a
// box cuts the rows below the box's row (its Level), then adds a row with the clicked person's
// children, each hanging from the selected box; the chart is laid out and drawn once. The one
// walk of the program's charts: the main window, the command line's export and the tests use it.
class ChildRowOpener : public QObject
{
    Q_OBJECT
public:
    // Who answers a click on a box.
    enum class Clicks {
        Open,  // the opener: it listens to the chart's NodeClick and opens the rows
        ByHost // the host, which calls Open itself (after telling its views, say)
    };

    // `people` and `childrenOf` must outlive the opener.
    ChildRowOpener(TreeChart &chart, const cPeople &people, ChildrenOf childrenOf,
                   Clicks clicks = Clicks::Open);

    // Shows the root persons (PrntKey kRootKey exactly) alone as the first row, nothing selected.
    void ShowRoots();
    // Cuts every row below the first and selects nothing (the root row stays as it is).
    void BackToRoots();
    // What a click on the node does to the rows: cuts the rows below its row and, when People
    // has the person, adds the row of the person's children.
    void Open(const cNodePtr &node);
    // The chart as clicking every person of the chain in turn leaves it (see OpenChainInChart),
    // built in one pass and drawn once: the rows below the root row are replaced by a row for
    // each person of the chain holding that person's children, the person is selected and
    // scrolled into view. A chain that reaches no root starts in a row of its own below the root
    // row. No NodeClick is raised. Returns the person's box; null when the chain is empty or a
    // box of it was missing (the rows are then opened as far as they go).
    cNodePtr OpenChain(const AncestorChain &chain);

    // The first box, row by row, that shows the person with this key (exact), or null.
    cNodePtr FindBox(const QString &key) const;
    // The first box of the person gets its captions again from the person (it keeps its row
    // also when the person's parent changed). True when a box shows the person.
    bool UpdateCaptions(const cPerson &person);
    // The first box of the person goes from its row; the chart's selection moves up to the
    // box's parent box. True when a box showed the person.
    bool RemoveBox(const QString &key);

private:
    // A row of the person's children, hanging from `parent`, at `level`; null when none.
    cLevelPtr childRow(const QString &key, int level, const cNodePtr &parent) const;

    TreeChart &m_chart;
    const cPeople &m_people;
    ChildrenOf m_childrenOf;
};
