#include "DescendantSource.h"

#include "DescendantChartData.h"

DescendantSource::DescendantSource(const DescendantChartData &chart, QString title)
    : m_chart(chart), m_painter(chart.Geometry(), chart.Painter().Font()), m_title(std::move(title))
{
    m_painter.setSelected(chart.Painter().Selected());
    m_painter.setYearsShown(chart.Painter().YearsShown());
}

QSize DescendantSource::Size() const
{
    return m_chart.Geometry().ChartSize();
}

int DescendantSource::BoxCount() const
{
    return m_chart.Tree().Count();
}

void DescendantSource::Paint(QPainter &painter, const QRect &chartRect) const
{
    m_painter.Paint(painter, chartRect);
}

QSize DescendantSource::BoxSize() const
{
    const ChartSettings &s = m_chart.Geometry().Settings();
    return QSize(s.NodeWidth + s.NodeShadowSize, s.NodeHeight + s.NodeShadowSize);
}

std::vector<QRect> DescendantSource::BoxRects() const
{
    const DescendantGeometry &geometry = m_chart.Geometry();
    const int shadow = geometry.Settings().NodeShadowSize;
    std::vector<QRect> boxes;
    boxes.reserve(size_t(geometry.Count()));
    for (int i = 0; i < geometry.Count(); ++i)
        boxes.push_back(geometry.BoxRect(i).adjusted(0, 0, -shadow, -shadow));
    return boxes;
}

qint64 DescendantSource::SvgBytesPerBox() const
{
    return kSvgBytesPerBox;
}
