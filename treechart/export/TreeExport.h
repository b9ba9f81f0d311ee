#pragma once

#include "ChartExport.h"
#include "ChartSettings.h"
#include "ChildrenOf.h"
#include "FamilyKeys.h"
#include "FanChart.h"

#include <QFont>

#include <optional>

// Writes a chart of a tree without showing any window, for the command line and scripts:
//   RootRow      the first row of the tree (its root persons);
//   PersonPath   the chart as finding the person shows it: the rows along the person's line of
//                ancestors, the person selected and its children opened (built in one pass,
//                however deep the line: ChildRowOpener::OpenChain);
//   Descendants  the descendant chart of the person, or of every root without a person: the
//                children by PrntKey and by the families, each family's other partner named;
//   Ancestors    every known ancestor of the person, both parents of everyone, all branches
//                open;
//   Fan          the person's ancestors in rings (FanChart), `fanGenerations` rings;
//   Hourglass    the person's ancestors above it and its descendants below (HourglassSource).
// The charts look like the main window's (its settings and font unless others are given).
// A QApplication must exist (no window is shown). Running out of memory is an error like any
// other.
struct TreeExportRequest
{
    enum class Mode { RootRow, PersonPath, Descendants, Ancestors, Fan, Hourglass };

    const cPeople *people = nullptr;
    ChildrenOf childrenOf; // may be left empty: an index is then built from the persons
    // The tree's families, walked by the descendant and ancestor charts (none: PrntKey alone).
    std::vector<Genealogy::FamilyKeys> families;
    Mode mode = Mode::RootRow;
    QString personKey;
    QString title; // for page footers and the document title
    int fanGenerations = 5;
    FanChart::Span fanSpan = FanChart::Span::Half;
    FanChart::Colours fanColours = FanChart::Colours::ByGeneration;
    ChartSettings settings = ChartSettings::MainWindow();
    std::optional<QFont> font; // the main window's when none is given
};

struct TreeExportResult : ExportResult
{
    // For PersonPath: where and why the person's line of ancestors breaks (empty when it
    // reaches a root).
    QString notice;
    // For Descendants, Ancestors and Fan: the distinct persons below (above) the top ones; for
    // Hourglass the ancestors, and the descendants in `descendants`.
    int persons = 0;
    int descendants = 0;
};

TreeExportResult ExportTreeChart(const TreeExportRequest &request, const QString &fileName,
                                 const ExportOptions &options = ExportOptions());
