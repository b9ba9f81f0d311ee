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

std::vector<QRect> TreeChartSource::BoxRects() const
{
    std::vector<QRect> boxes;
    boxes.reserve(size_t(m_chart.BoxCount()));
    const int shadow = m_chart.NodeShadowSize();
    for (const cLevelPtr &level : m_chart.Levels()) {
        if (!level)
            continue;
        for (const cNodePtr &node : *level) {
            if (node)
                boxes.emplace_back(QPoint(node->Left(), node->Top()),
                                   QPoint(node->Right() - shadow, node->Bottom() - shadow));
        }
    }
    return boxes;
}

qint64 TreeChartSource::SvgBytesPerBox() const
{
    return kSvgBytesPerBox;
}
