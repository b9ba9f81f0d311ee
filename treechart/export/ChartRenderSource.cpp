#include "ChartRenderSource.h"

#include "PrivateChart.h"
#include "TreeChart.h"

#include <QPainter>

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

QRect TreeChartSource::PartRect(ChartPart part) const
{
    const QRect whole(QPoint(0, 0), m_chart.ChartSize());
    if (part == ChartPart::Whole)
        return whole;
    if (part == ChartPart::Visible)
        return m_chart.VisibleChartRect() & whole;
    const cNodePtr selected = m_chart.SelectedNode();
    if (!selected)
        return {};
    // The selected box and every box whose line of parent boxes reaches it, with the margins.
    const auto below = [&selected](const cNode *node) {
        for (; node; node = node->ParentNode().get()) {
            if (node == selected.get())
                return true;
        }
        return false;
    };
    QRect branch;
    for (const cLevelPtr &level : m_chart.Levels()) {
        if (!level)
            continue;
        for (const cNodePtr &node : *level) {
            if (node && below(node.get()))
                branch |=
                    QRect(QPoint(node->Left(), node->Top()), QPoint(node->Right(), node->Bottom()));
        }
    }
    if (branch.isEmpty())
        return {};
    return branch.adjusted(-m_chart.OffsetX(), -m_chart.OffsetY(), m_chart.OffsetX(),
                           m_chart.OffsetY()) &
           whole;
}

PartSource::PartSource(const ChartRenderSource &whole, const QRect &rect)
    : m_whole(whole), m_rect(rect)
{
    for (const QRect &box : whole.BoxRects()) {
        if (box.intersects(rect))
            m_boxes.push_back(box.translated(-rect.topLeft()));
    }
}

void PartSource::Paint(QPainter &painter, const QRect &chartRect) const
{
    painter.save();
    painter.translate(-m_rect.topLeft());
    painter.setClipRect(m_rect, Qt::IntersectClip);
    m_whole.Paint(painter, chartRect.translated(m_rect.topLeft()) & m_rect);
    painter.restore();
}

std::unique_ptr<ChartRenderSource>
TreeChartSource::WithPrivacy(const Genealogy::PrivacyOptions &privacy) const
{
    if (!m_privacy)
        return nullptr;
    const std::optional<ChartPrivacy> view = m_privacy(privacy);
    if (!view)
        return nullptr;
    return MakePrivateChart(m_chart, *view, view->title.isEmpty() ? m_title : view->title);
}
