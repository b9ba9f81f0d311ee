#pragma once

#include "ChartRenderSource.h"
#include "DescendantChartData.h"
#include "KinshipLinks.h"

#include <memory>

// An hourglass chart: a person's ancestors above it (both parents of everyone, each generation
// a row higher) and its descendants below it (through the families, the other partner named),
// the person's box shared by both halves. `generations` limits each half (INT_MAX: all known);
// a person reached twice is drawn once with a mark, as in the descendant and ancestor charts.
class HourglassSource : public ChartRenderSource
{
public:
    // The persons and the links must outlive the chart.
    HourglassSource(const cPeople &people, const KinshipLinks &links, const QString &rootKey,
                    const ChartSettings &settings, const QFont &font, int generations = INT_MAX,
                    QString title = QString());

    const DescendantChartData &Ancestors() const { return *m_ancestors; }
    const DescendantChartData &Descendants() const { return *m_descendants; }

    QSize Size() const override { return m_size; }
    int BoxCount() const override;
    void Paint(QPainter &painter, const QRect &chartRect) const override;
    QString Title() const override { return m_title; }
    QSize BoxSize() const override;
    std::vector<QRect> BoxRects() const override;
    qint64 SvgBytesPerBox() const override { return 4096; }

    // Where each half's own coordinates start in the chart.
    QPoint AncestorsOffset() const { return m_ancestorsAt; }
    QPoint DescendantsOffset() const { return m_descendantsAt; }

private:
    std::unique_ptr<DescendantChartData> m_ancestors, m_descendants;
    QPoint m_ancestorsAt, m_descendantsAt;
    QSize m_size;
    QString m_title;
};
