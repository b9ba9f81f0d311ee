#pragma once

#include "ChartRenderSource.h"
#include "DescendantPainter.h"

class DescendantChartData;

// A descendant chart for export and printing: the whole chart with every caption, the selected
// person and its path as shown.
class DescendantSource : public ChartRenderSource
{
public:
    explicit DescendantSource(const DescendantChartData &chart, QString title = QString());

    QSize Size() const override;
    int BoxCount() const override;
    void Paint(QPainter &painter, const QRect &chartRect) const override;
    QString Title() const override { return m_title; }
    QSize BoxSize() const override;
    std::vector<QRect> BoxRects() const override;
    qint64 SvgBytesPerBox() const override;
    // A box with its two captions and its connectors: about 3,000 bytes measured on trees of
    // 1,000 to 20,000 persons with names as real trees hold them, with room to spare.
    static constexpr qint64 kSvgBytesPerBox = 4096;

private:
    const DescendantChartData &m_chart;
    DescendantPainter m_painter;
    QString m_title;
};
