#include "TreeExport.h"

#include "AncestorChain.h"
#include "ChartRenderSource.h"
#include "ChildRowOpener.h"
#include "DescendantChartData.h"
#include "DescendantSource.h"
#include "HourglassSource.h"
#include "KinshipCharts.h"
#include "TreeChart.h"

#include <new>

namespace {

TreeExportResult exportTreeChart(const TreeExportRequest &request, const QString &fileName,
                                 const ExportOptions &options)
{
    TreeExportResult result;
    if (!request.people) {
        result.error = QStringLiteral("There is no tree to export.");
        return result;
    }
    const cPeople &people = *request.people;
    const ChildrenOf childrenOf = request.childrenOf ? request.childrenOf : IndexChildren(people);
    const QFont font = request.font.value_or(MainWindowChartFont());
    if ((request.mode == TreeExportRequest::Mode::Ancestors ||
         request.mode == TreeExportRequest::Mode::Fan ||
         request.mode == TreeExportRequest::Mode::Hourglass ||
         request.mode == TreeExportRequest::Mode::Hourglass) &&
        request.personKey.isEmpty()) {
        result.error = QStringLiteral("This chart needs a person: name one with --person.");
        return result;
    }
    const bool needsPerson =
        request.mode == TreeExportRequest::Mode::PersonPath ||
        request.mode == TreeExportRequest::Mode::Ancestors ||
        request.mode == TreeExportRequest::Mode::Fan ||
        (request.mode == TreeExportRequest::Mode::Descendants && !request.personKey.isEmpty());
    if (needsPerson && !people.Item(request.personKey)) {
        result.error = QStringLiteral("There is no person with the key '%1' in this tree.")
                           .arg(request.personKey);
        return result;
    }

    if (request.mode == TreeExportRequest::Mode::Hourglass) {
        const KinshipLinks links(people, request.families);
        const HourglassSource hourglass(people, links, people.Item(request.personKey)->Key(),
                                        request.settings, font, INT_MAX, request.title);
        static_cast<ExportResult &>(result) = ExportChart(hourglass, fileName, options);
        result.persons = hourglass.Ancestors().Tree().Below();
        result.descendants = hourglass.Descendants().Tree().Below();
        return result;
    }
    if (request.mode == TreeExportRequest::Mode::Fan) {
        const KinshipLinks links(people, request.families);
        const FanChart fan(links, people.Item(request.personKey)->Key(), request.fanGenerations,
                           request.fanSpan, request.fanColours, font, request.title);
        static_cast<ExportResult &>(result) = ExportChart(fan, fileName, options);
        result.persons = fan.Ancestors();
        return result;
    }
    if (request.mode == TreeExportRequest::Mode::Descendants ||
        request.mode == TreeExportRequest::Mode::Ancestors) {
        const KinshipLinks links(people, request.families);
        KinshipTreeRequest walk;
        walk.kind = request.mode == TreeExportRequest::Mode::Descendants
                        ? KinshipChartKind::Descendants
                        : KinshipChartKind::Ancestors;
        walk.rootKey = request.personKey;
        DescendantChartData chart(people, BuildKinshipTree(people, links, walk), request.personKey,
                                  request.settings, font);
        chart.Painter().setYearsShown(walk.kind == KinshipChartKind::Ancestors);
        static_cast<ExportResult &>(result) =
            ExportChart(DescendantSource(chart, request.title), fileName, options);
        result.persons = chart.Tree().Below();
        return result;
    }

    TreeChart chart;
    chart.ApplySettings(request.settings);
    chart.setFont(font);
    ChildRowOpener opener(chart, people, childrenOf);
    opener.ShowRoots();
    if (request.mode == TreeExportRequest::Mode::PersonPath) {
        const AncestorChain chain = AncestorChain::Of(people, request.personKey);
        result.notice = chain.BreakText(people);
        opener.OpenChain(chain);
    }
    static_cast<ExportResult &>(result) =
        ExportChart(TreeChartSource(chart, request.title), fileName, options);
    return result;
}

} // namespace

TreeExportResult ExportTreeChart(const TreeExportRequest &request, const QString &fileName,
                                 const ExportOptions &options)
{
    try {
        return exportTreeChart(request, fileName, options);
    } catch (const std::bad_alloc &) {
        TreeExportResult result;
        result.error = NotEnoughMemoryText(fileName);
        return result;
    }
}
