#include "PrivateChart.h"

#include "TreeChart.h"

#include <QHash>

namespace {

class PrivateChartSource : public ChartRenderSource
{
public:
    PrivateChartSource(std::unique_ptr<TreeChart> chart, const QString &title, QRect visible)
        : m_chart(std::move(chart)), m_source(*m_chart, title), m_visible(visible)
    {
    }
    QSize Size() const override { return m_source.Size(); }
    int BoxCount() const override { return m_source.BoxCount(); }
    void Paint(QPainter &painter, const QRect &chartRect) const override
    {
        m_source.Paint(painter, chartRect);
    }
    QString Title() const override { return m_source.Title(); }
    QSize BoxSize() const override { return m_source.BoxSize(); }
    std::vector<QRect> BoxRects() const override { return m_source.BoxRects(); }
    qint64 SvgBytesPerBox() const override { return m_source.SvgBytesPerBox(); }
    QRect PartRect(ChartPart part) const override
    {
        // The copy is not scrolled or zoomed: the part the main chart's window shows.
        if (part == ChartPart::Visible)
            return m_visible & m_source.PartRect(ChartPart::Whole);
        return m_source.PartRect(part);
    }

private:
    std::unique_ptr<TreeChart> m_chart;
    TreeChartSource m_source;
    QRect m_visible;
};

} // namespace

std::unique_ptr<ChartRenderSource>
MakePrivateChart(const TreeChart &chart, const ChartPrivacy &privacy, const QString &title)
{
    auto copy = std::make_unique<TreeChart>();
    copy->ApplySettings(chart.Settings());
    copy->setFont(chart.font());
    copy->resize(chart.size());
    QHash<const cNode *, cNodePtr> clones;
    cNodePtr selected;
    for (const cLevelPtr &level : chart.Levels()) {
        if (!level)
            continue;
        cLevelPtr row;
        for (const cNodePtr &node : *level) {
            if (!node || privacy.leftOut.contains(node->Key()))
                continue;
            const cNodePtr &parent = node->ParentNode();
            if (parent && !clones.contains(parent.get()))
                continue; // below a box that went
            if (!row)
                row = copy->Levels().AddNew();
            const cNodePtr stored = row->Add(*node);
            if (!stored)
                continue;
            stored->setParentNode(parent ? clones.value(parent.get()) : nullptr);
            const auto captions = privacy.captions.constFind(node->Key());
            if (captions != privacy.captions.cend()) {
                stored->setCaptionA(captions->first);
                stored->setCaptionB(captions->second);
            }
            clones.insert(node.get(), stored);
            if (node == chart.SelectedNode())
                selected = stored;
        }
        if (!row)
            break; // nothing below an empty row
    }
    copy->setSelectedNode(selected);
    copy->Refresh();
    return std::make_unique<PrivateChartSource>(std::move(copy), title, chart.VisibleChartRect());
}
