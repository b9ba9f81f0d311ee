#pragma once

#include "AncestorChain.h"
#include "cNode.h"

class TreeChart;

// Opens the chart along a line of ancestors as if the user had clicked each of them from the
// root row: every person of the chain is clicked in turn (TreeChart::ClickNode, upper half), so
// the host's NodeClick handler cuts and opens the rows, the title, status bar and information
// panel follow, and the thick path ends at the person, whose box is scrolled into view.
//
// The chart must show the root row as its first row and its host must open children on a click
// (as the main window does). A chain that reaches no root gets a row of its own for its topmost
// person below the root row (that box has no parent box); the rows below run from there.
//
// Returns the person's box, or null when a box of the chain did not appear where a click should
// have put it (the chain is then opened as far as it goes).
cNodePtr OpenChainInChart(TreeChart &chart, const cPeople &people, const AncestorChain &chain);
