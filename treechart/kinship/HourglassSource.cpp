#include "HourglassSource.h"

#include "KinshipCharts.h"

#include <QPainter>

HourglassSource::HourglassSource(const cPeople &people, const KinshipLinks &links,
                                 const QString &rootKey, const ChartSettings &settings,
                                 const QFont &font, int generations, QString title)
    : m_title(std::move(title))
{
    KinshipTreeRequest request;
    request.rootKey = rootKey;
    request.openGenerations = generations;
    request.kind = KinshipChartKind::Ancestors;
    m_ancestors = std::make_unique<DescendantChartData>(
        people, BuildKinshipTree(people, links, request), rootKey, settings, font, true);
    m_ancestors->Painter().setYearsShown(true);
    request.kind = KinshipChartKind::Descendants;
    m_descendants = std::make_unique<DescendantChartData>(
        people, BuildKinshipTree(people, links, request), rootKey, settings, font);
    if (m_ancestors->Tree().Count() == 0)
        return;
    // The person's box in both halves at one place: the ancestors' last row is the descendants'
    // first.
    const QRect above = m_ancestors->Geometry().BoxRect(0);
    const QRect below = m_descendants->Geometry().BoxRect(0);
    const int dx = above.left() - below.left();
    m_ancestorsAt = QPoint(std::max(0, -dx), 0);
    m_descendantsAt = QPoint(std::max(0, dx), above.top() - below.top());
    const QSize a = m_ancestors->Geometry().ChartSize();
    const QSize d = m_descendants->Geometry().ChartSize();
    m_size = QSize(std::max(m_ancestorsAt.x() + a.width(), m_descendantsAt.x() + d.width()),
                   m_descendantsAt.y() + d.height());
}

int HourglassSource::BoxCount() const
{
    // The person counted once.
    return std::max(0, m_ancestors->Tree().Count() + m_descendants->Tree().Count() - 1);
}

void HourglassSource::Paint(QPainter &painter, const QRect &chartRect) const
{
    painter.fillRect(chartRect, m_descendants->Painter().Background());
    if (m_ancestors->Tree().Count() == 0)
        return;
    // The ancestors above the person's row, the descendants from it down (the person drawn by
    // the descendants, on top).
    const int split = m_descendantsAt.y() + m_descendants->Geometry().BoxRect(0).top();
    const auto half = [&](const DescendantChartData &chart, QPoint at, const QRect &area) {
        const QRect part = chartRect & area;
        if (part.isEmpty())
            return;
        painter.save();
        painter.setClipRect(part);
        painter.translate(at);
        chart.Painter().Paint(painter, part.translated(-at));
        painter.restore();
    };
    half(*m_ancestors, m_ancestorsAt, QRect(0, 0, m_size.width(), split));
    half(*m_descendants, m_descendantsAt, QRect(0, split, m_size.width(), m_size.height() - split));
}

QSize HourglassSource::BoxSize() const
{
    const ChartSettings &s = m_descendants->Geometry().Settings();
    return QSize(s.NodeWidth + s.NodeShadowSize, s.NodeHeight + s.NodeShadowSize);
}

std::vector<QRect> HourglassSource::BoxRects() const
{
    std::vector<QRect> boxes;
    const int shadow = m_descendants->Geometry().Settings().NodeShadowSize;
    for (const auto &[chart, at] : {std::pair(m_ancestors.get(), m_ancestorsAt),
                                    std::pair(m_descendants.get(), m_descendantsAt)}) {
        const DescendantGeometry &g = chart->Geometry();
        for (int i = 0; i < g.Count(); ++i)
            boxes.push_back(g.BoxRect(i).adjusted(0, 0, -shadow, -shadow).translated(at));
    }
    return boxes;
}
