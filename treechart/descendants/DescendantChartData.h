#pragma once

#include "DescendantGeometry.h"
#include "DescendantPainter.h"
#include "DescendantTree.h"

#include <QFont>

// One descendant chart ready to be shown or exported: the tree of a person's (or every root's)
// descendants, its tidy layout in the main chart's box sizes, and the painter that draws it in
// the main chart's look. The persons must outlive it.
class DescendantChartData
{
public:
    DescendantChartData(const cPeople &people, const ChildrenOf &childrenOf, const QString &rootKey,
                        const ChartSettings &settings, const QFont &font);
    // A tree made by the caller (through families, or of ancestors).
    // `flipped`: the top person on the last row, each generation above (ancestors above).
    DescendantChartData(const cPeople &people, DescendantTree tree, const QString &rootKey,
                        const ChartSettings &settings, const QFont &font, bool flipped = false);
    DescendantChartData(const DescendantChartData &) = delete;
    DescendantChartData &operator=(const DescendantChartData &) = delete;

    const cPeople &People() const { return m_people; }
    // The person whose descendants are shown; empty for every root.
    const QString &RootKey() const { return m_rootKey; }
    const DescendantTree &Tree() const { return m_tree; }
    const DescendantGeometry &Geometry() const { return m_geometry; }
    const DescendantPainter &Painter() const { return m_painter; }
    DescendantPainter &Painter() { return m_painter; }

private:
    const cPeople &m_people;
    QString m_rootKey;
    DescendantTree m_tree;
    DescendantGeometry m_geometry;
    DescendantPainter m_painter;
};
