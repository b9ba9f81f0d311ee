#pragma once

#include "ChartRenderSource.h"
#include "FamilyKeys.h"
#include "KinshipLinks.h"
#include "cPeople.h"

#include <QHash>

#include <functional>
#include <memory>
#include <vector>

// The charts through families (descendants, ancestors, fan, hourglass) as an export or a print
// with the privacy choice shows them: the same chart made again from a copy of the tree as the
// choice leaves it (a living person renamed "Living" without dates or places, the private left
// out), so that nothing of a hidden person reaches the file or the paper.

// The persons, families and sexes of the open tree as a privacy choice shows them.
struct PrivateTree
{
    cPeople people;
    std::vector<Genealogy::FamilyKeys> families;
    QHash<QString, Genealogy::Sex> sexes;
};

// Reads the tree as the choice shows it (null when it cannot be read); the host gives it.
using PrivateTreeReader =
    std::function<std::shared_ptr<const PrivateTree>(const Genealogy::PrivacyOptions &)>;

// Makes a window's chart again from other persons and links: null when it cannot be made of
// them (`why` then says why: the person at its centre was left out). The source made may read
// the persons and links as long as it lives.
using PrivateChartMaker = std::function<std::unique_ptr<ChartRenderSource>(
    const cPeople &people, const KinshipLinks &links, QString *why)>;

// Why a chart cannot be made as the choice shows the tree: its person is left out.
QString PrivateChartRefusal();

// The chart a window shows, for export and printing, offering the privacy choice when the host
// gave a reader: everything else is the shown chart's.
class KinshipExportSource : public ChartRenderSource
{
public:
    KinshipExportSource(const ChartRenderSource &shown, PrivateTreeReader reader,
                        PrivateChartMaker maker);

    QSize Size() const override { return m_shown.Size(); }
    int BoxCount() const override { return m_shown.BoxCount(); }
    void Paint(QPainter &painter, const QRect &chartRect) const override
    {
        m_shown.Paint(painter, chartRect);
    }
    QString Title() const override { return m_shown.Title(); }
    QSize BoxSize() const override { return m_shown.BoxSize(); }
    std::vector<QRect> BoxRects() const override { return m_shown.BoxRects(); }
    qint64 SvgBytesPerBox() const override { return m_shown.SvgBytesPerBox(); }
    QRect PartRect(ChartPart part) const override { return m_shown.PartRect(part); }
    bool OffersPrivacy() const override { return bool(m_reader); }
    std::unique_ptr<ChartRenderSource>
    WithPrivacy(const Genealogy::PrivacyOptions &privacy) const override;
    QString PrivacyError() const override { return m_error; }

private:
    const ChartRenderSource &m_shown;
    PrivateTreeReader m_reader;
    PrivateChartMaker m_maker;
    mutable QString m_error;
};

// A chart that holds what it is drawn from (`keep`), everything else the held chart's.
class HeldChartSource : public ChartRenderSource
{
public:
    HeldChartSource(std::shared_ptr<const void> keep, std::unique_ptr<ChartRenderSource> chart)
        : m_keep(std::move(keep)), m_chart(std::move(chart))
    {
    }

    QSize Size() const override { return m_chart->Size(); }
    int BoxCount() const override { return m_chart->BoxCount(); }
    void Paint(QPainter &painter, const QRect &chartRect) const override
    {
        m_chart->Paint(painter, chartRect);
    }
    QString Title() const override { return m_chart->Title(); }
    QSize BoxSize() const override { return m_chart->BoxSize(); }
    std::vector<QRect> BoxRects() const override { return m_chart->BoxRects(); }
    qint64 SvgBytesPerBox() const override { return m_chart->SvgBytesPerBox(); }
    QRect PartRect(ChartPart part) const override { return m_chart->PartRect(part); }

private:
    std::shared_ptr<const void> m_keep;
    std::unique_ptr<ChartRenderSource> m_chart;
};
