#pragma once

#include "ChartRenderSource.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>
#include <utility>

class TreeChart;

// The main chart as an export with the privacy choice shows it: a copy of its boxes where a
// living person's box (and a box naming a living partner) carries the captions the host gives,
// and a private person's box is left out with every box below it. The host reads who is who
// from the tree (Genealogy::applyPrivacy) and hands over the captions by key (ChartPrivacy).
// A chart of its own (the copy lives as long as the source) drawn with the main chart's look.
std::unique_ptr<ChartRenderSource>
MakePrivateChart(const TreeChart &chart, const ChartPrivacy &privacy, const QString &title);
