#pragma once

#include <QtGlobal>

#include <vector>

class DescendantTree;

// Places a descendant tree as a tidy tree in linear time (Walker's algorithm with the
// improvements of Buchheim, Jünger and Leipert): every generation on one line, the children of a
// person in their order, centred under it, no two neighbours of a line closer than `distance`
// (centre to centre), and subtrees pushed together as far as that allows. Smaller subtrees
// between two pushed apart are spread evenly. Several top persons are laid out as the children
// of one invisible person.
//
// Works without recursion, so a line of 100,000 generations is as good as any other tree.
struct TidyLayout
{
    // Centre of every person of the tree (by number), the leftmost centre at 0.
    std::vector<double> x;
    // Steps taken: persons visited plus contour steps. Grows linearly with the tree.
    qint64 work = 0;

    static TidyLayout Run(const DescendantTree &tree, double distance);
};
