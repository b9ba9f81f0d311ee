#pragma once

#include "ChartExport.h"

#include <QHash>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class TreeChart;

// What the privacy choice changes in the main chart: the captions of boxes by key (a living
// person, a box naming a living partner) and the keys whose boxes go with every box below them.
struct ChartPrivacy
{
    QHash<QString, std::pair<QString, QString>> captions;
    QSet<QString> leftOut;
    QString title; // the title to use instead (it named a hidden person); empty: the chart's
};

// A chart that can be rendered whole: exported to a file or printed.
class ChartRenderSource
{
public:
    virtual ~ChartRenderSource() = default;
    // The whole chart in chart pixels.
    virtual QSize Size() const = 0;
    // Number of boxes in the chart.
    virtual int BoxCount() const = 0;
    // Paints a rectangle of the chart (chart coordinates), background included, onto a painter
    // that maps chart coordinates to its device.
    virtual void Paint(QPainter &painter, const QRect &chartRect) const = 0;
    // A line naming the chart, for page footers and the document title.
    virtual QString Title() const { return QString(); }
    // The size of one box with its shadow: pages of a tiled chart share this much.
    virtual QSize BoxSize() const { return QSize(); }
    // Where the boxes are (chart coordinates, shadows left out): a page of a tiled chart that
    // meets none of them is left out. Empty when not known: then every page is kept.
    virtual std::vector<QRect> BoxRects() const { return {}; }
    // About how many bytes one box (with its captions and connector) takes in an SVG drawing,
    // rather more than less.
    virtual qint64 SvgBytesPerBox() const { return 4096; }
    // The rectangle (chart coordinates) of a part the chart offers besides the whole: empty
    // when it offers none (or, for the branch, while nothing is selected).
    virtual QRect PartRect(ChartPart) const { return {}; }
    // Whether the chart can be drawn as the privacy choice shows a tree, and that drawing (null
    // when it cannot be made: the tree could not be read).
    virtual bool OffersPrivacy() const { return false; }
    virtual std::unique_ptr<ChartRenderSource> WithPrivacy(const Genealogy::PrivacyOptions &) const
    {
        return nullptr;
    }
    // Why the last WithPrivacy made nothing when the tree could be read (empty otherwise).
    virtual QString PrivacyError() const { return QString(); }
};

// One rectangle of another chart as a chart of its own: its top-left corner is (0, 0); the
// boxes are those that meet the rectangle.
class PartSource : public ChartRenderSource
{
public:
    PartSource(const ChartRenderSource &whole, const QRect &rect);
    QSize Size() const override { return m_rect.size(); }
    int BoxCount() const override { return int(m_boxes.size()); }
    void Paint(QPainter &painter, const QRect &chartRect) const override;
    QString Title() const override { return m_whole.Title(); }
    QSize BoxSize() const override { return m_whole.BoxSize(); }
    std::vector<QRect> BoxRects() const override { return m_boxes; }
    qint64 SvgBytesPerBox() const override { return m_whole.SvgBytesPerBox(); }

private:
    const ChartRenderSource &m_whole;
    QRect m_rect;
    std::vector<QRect> m_boxes;
};

// The main chart as its last Refresh drew it: every row, the selection and its path.
class TreeChartSource : public ChartRenderSource
{
public:
    explicit TreeChartSource(const TreeChart &chart, QString title = QString())
        : m_chart(chart), m_title(std::move(title))
    {
    }
    QSize Size() const override;
    int BoxCount() const override;
    void Paint(QPainter &painter, const QRect &chartRect) const override;
    QString Title() const override { return m_title; }
    QSize BoxSize() const override;
    std::vector<QRect> BoxRects() const override;
    qint64 SvgBytesPerBox() const override;
    // The visible part (TreeChart::VisibleChartRect) and the selected box's branch.
    QRect PartRect(ChartPart part) const override;
    // The host reads who is living and private by the choice (null: the tree could not be
    // read); without a reader the chart offers no privacy choice.
    using PrivacyReader =
        std::function<std::optional<ChartPrivacy>(const Genealogy::PrivacyOptions &)>;
    void SetPrivacyReader(PrivacyReader reader) { m_privacy = std::move(reader); }
    bool OffersPrivacy() const override { return bool(m_privacy); }
    std::unique_ptr<ChartRenderSource>
    WithPrivacy(const Genealogy::PrivacyOptions &privacy) const override;
    // A box with its two captions, its connector and the path's: about 3,600 bytes measured on
    // a line of 8,000 generations with names as real trees hold them, with room to spare.
    static constexpr qint64 kSvgBytesPerBox = 5120;

private:
    const TreeChart &m_chart;
    QString m_title;
    PrivacyReader m_privacy;
};
