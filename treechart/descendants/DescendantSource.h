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

private:
    const DescendantChartData &m_chart;
    DescendantPainter m_painter;
    QString m_title;
};
