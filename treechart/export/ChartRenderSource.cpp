#include "ChartRenderSource.h"

#include "TreeChart.h"

QSize TreeChartSource::Size() const
{
    return m_chart.ChartSize();
}

int TreeChartSource::BoxCount() const
{
    return m_chart.BoxCount();
}

void TreeChartSource::Paint(QPainter &painter, const QRect &chartRect) const
{
    m_chart.paintRect(painter, chartRect);
}

QSize TreeChartSource::BoxSize() const
{
    return QSize(m_chart.NodeWidth(), m_chart.NodeHeight()) +
           QSize(m_chart.NodeShadowSize(), m_chart.NodeShadowSize());
}
