#include "DescendantGeometry.h"

#include "ChartLayout.h"
#include "TidyLayout.h"

#include <algorithm>
#include <cmath>

using namespace Chart;

void DescendantGeometry::Arrange(const DescendantTree &tree, const ChartSettings &settings)
{
    m_tree = &tree;
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
    return m_settings.OffsetY + generation * (m_settings.NodeHeight + m_settings.NodeSpaceV);
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
    const int generation = int(std::floor((point.y() - s.OffsetY) / pitch));
    if (generation < 0 || generation >= m_tree->Generations())
        return -1;
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
    for (int g = std::max(0, above); g < m_tree->Generations(); ++g) {
        // A row reaches from its parents' bottom edge (its connectors) to its own.
        const int top = g == 0 ? RowTop(0) : RowBottom(g - 1);
        if (top > chartRect.bottom())
            break;
        if (RowBottom(g) < chartRect.top())
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
