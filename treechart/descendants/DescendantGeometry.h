#pragma once

#include "ChartSettings.h"
#include "DescendantTree.h"

#include <QPointF>
#include <QRect>
#include <QSize>

#include <functional>
#include <vector>

// Where the boxes of a descendant chart stand, in chart pixels, with the box size, gaps, margins
// and shadow of the main chart's settings: generation g is the row at OffsetY + g × (NodeHeight
// + NodeSpaceV), and the tidy layout places the boxes of a row with at least NodeSpaceH between
// neighbours. Left, Right (with the shadow), Top, Bottom and Center mean what they mean for a
// box of the main chart.
class DescendantGeometry
{
public:
    // Lays the tree out. The tree must outlive the geometry. `flipped`: the top persons on the
    // last row and each generation above the one before (ancestors above a person).
    void Arrange(const DescendantTree &tree, const ChartSettings &settings, bool flipped = false);
    bool Flipped() const { return m_flipped; }
    // The generation shown on a row (from the top), and the row of a generation.
    int GenerationOfRow(int row) const { return m_flipped ? m_tree->Generations() - 1 - row : row; }
    int RowOfGeneration(int generation) const { return GenerationOfRow(generation); }

    const DescendantTree &Tree() const { return *m_tree; }
    const ChartSettings &Settings() const { return m_settings; }
    int Count() const { return int(m_left.size()); }

    int Left(int i) const { return m_left[size_t(i)]; }
    int Right(int i) const { return Left(i) + m_settings.NodeWidth + m_settings.NodeShadowSize; }
    int Top(int i) const { return RowTop(m_tree->At(i).generation); }
    int Bottom(int i) const { return RowBottom(m_tree->At(i).generation); }
    int Center(int i) const;
    int RowTop(int generation) const;
    int RowBottom(int generation) const
    {
        return RowTop(generation) + m_settings.NodeHeight + m_settings.NodeShadowSize;
    }
    // The box with its shadow.
    QRect BoxRect(int i) const
    {
        return QRect(QPoint(Left(i), Top(i)), QPoint(Right(i), Bottom(i)));
    }

    // The whole chart: every box with the margins.
    QSize ChartSize() const { return m_size; }
    // The person whose box (edges included, shadow strip excluded) holds the point, or -1.
    int HitTest(QPointF point) const;

    // Calls `row` for each generation whose boxes or connectors reach into the rectangle, top
    // row first, with the stretch of persons [begin, end) to draw: those reaching into it and,
    // for the connectors, the nearest ones beside it.
    using RowVisitor = std::function<void(int generation, int begin, int end)>;
    void ForEachRowIn(const QRect &chartRect, const RowVisitor &row) const;

    // Steps the layout took (it grows linearly with the tree).
    qint64 LayoutWork() const { return m_work; }

private:
    // First person of [begin, end) for which `test` is false (test true for a prefix).
    template <typename Test> int partition(int begin, int end, Test test) const;

    const DescendantTree *m_tree = nullptr;
    ChartSettings m_settings;
    std::vector<int> m_left;
    QSize m_size;
    qint64 m_work = 0;
    bool m_flipped = false;
};
