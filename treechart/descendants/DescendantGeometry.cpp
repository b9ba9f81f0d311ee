#include "DescendantGeometry.h"

#include "ChartLayout.h"
#include "TidyLayout.h"

#include <algorithm>
#include <cmath>

using namespace Chart;

void DescendantGeometry::Arrange(const DescendantTree &tree, const ChartSettings &settings,
                                 bool flipped)
{
    m_tree = &tree;
    m_flipped = flipped;
    m_settings = settings;
    const TidyLayout layout =
        TidyLayout::Run(tree, double(settings.NodeWidth) + double(settings.NodeSpaceH));
    m_work = layout.work;
    m_left.resize(layout.x.size());
    int maxLeft = 0;
    for (size_t i = 0; i < layout.x.size(); ++i) {
        m_left[i] = settings.OffsetX + int(std::lround(layout.x[i]));
        maxLeft = std::max(maxLeft, m_left[i]);
    }
    m_left.shrink_to_fit();
    if (m_left.empty()) {
        m_size = QSize();
        return;
    }
    const int rows = tree.Generations();
    const qint64 height = qint64(rows) * (settings.NodeHeight + settings.NodeSpaceV) +
                          2LL * settings.OffsetY - settings.NodeSpaceV;
    const qint64 width =
        qint64(maxLeft) + settings.NodeWidth + settings.NodeShadowSize + settings.OffsetX;
    m_size = QSize(int(std::clamp<qint64>(width, 0, INT_MAX)),
                   int(std::clamp<qint64>(height, 0, INT_MAX)));
}

int DescendantGeometry::Center(int i) const
{
    return ChartLayout::RoundHalfEven(Left(i) + m_settings.NodeWidth / 2.0);
}

int DescendantGeometry::RowTop(int generation) const
{
    const int row = m_tree ? RowOfGeneration(generation) : generation;
    return m_settings.OffsetY + row * (m_settings.NodeHeight + m_settings.NodeSpaceV);
}

template <typename Test> int DescendantGeometry::partition(int begin, int end, Test test) const
{
    while (begin < end) {
        const int mid = begin + (end - begin) / 2;
        if (test(mid))
            begin = mid + 1;
        else
            end = mid;
    }
    return begin;
}

int DescendantGeometry::HitTest(QPointF point) const
{
    if (!m_tree)
        return -1;
    const ChartSettings &s = m_settings;
    const int pitch = std::max(1, s.NodeHeight + s.NodeSpaceV);
    const int row = int(std::floor((point.y() - s.OffsetY) / pitch));
    if (row < 0 || row >= m_tree->Generations())
        return -1;
    const int generation = GenerationOfRow(row);
    if (point.y() > RowTop(generation) + s.NodeHeight)
        return -1;
    const int begin = m_tree->GenerationBegin(generation);
    const int end = m_tree->GenerationEnd(generation);
    // The first box whose right edge is not left of the point.
    const int i = partition(begin, end, [&](int k) { return Left(k) + s.NodeWidth < point.x(); });
    if (i < end && Left(i) <= point.x())
        return i;
    return -1;
}

void DescendantGeometry::ForEachRowIn(const QRect &chartRect, const RowVisitor &row) const
{
    if (!m_tree || chartRect.isEmpty())
        return;
    const ChartSettings &s = m_settings;
    const int x0 = chartRect.left();
    const int x1 = chartRect.right();
    const int pitch = std::max(1, s.NodeHeight + s.NodeSpaceV);
    const int above = (chartRect.top() - s.OffsetY) / pitch - 1;
    for (int shown = std::max(0, above); shown < m_tree->Generations(); ++shown) {
        const int g = GenerationOfRow(shown);
        // A row reaches from its parents' bottom edge (its connectors) to its own; flipped, from
        // its own top to its parents' top below.
        const int top = m_flipped || g == 0 ? RowTop(g) : RowBottom(g - 1);
        const int bottom = !m_flipped || g == 0 ? RowBottom(g) : RowTop(g - 1);
        if (top > chartRect.bottom())
            break;
        if (bottom < chartRect.top())
            continue;
        const int begin = m_tree->GenerationBegin(g);
        const int end = m_tree->GenerationEnd(g);
        int first, last;
        if (s.LinkStyle == 0 && g > 0) {
            // Straight connectors cross the view at slopes of their own: every box whose line to
            // its parent reaches across [x0, x1] is drawn. Both ends run in the row's order.
            const auto parentCenter = [&](int k) { return Center(m_tree->At(k).parent); };
            first = partition(begin, end,
                              [&](int k) { return std::max(Right(k), parentCenter(k)) < x0; });
            last = partition(first, end,
                             [&](int k) { return std::min(Left(k), parentCenter(k)) <= x1; });
        } else {
            // Elbows: the boxes reaching into the view, and the nearest one on either side,
            // whose elbow covers those of the boxes farther out.
            first = partition(begin, end, [&](int k) { return Right(k) < x0; });
            last = partition(first, end, [&](int k) { return Left(k) <= x1; });
            first = std::max(begin, first - 1);
            last = std::min(end, last + 1);
        }
        if (first < last)
            row(g, first, last);
    }
}
