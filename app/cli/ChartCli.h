#pragma once

#include "PrivacyFilter.h"
#include "ServerAddress.h"

#include <optional>

#include "TreeKinship.h"

#include <QString>

class QTextStream;

// The command line's chart export:
//
//     VelkinTree --export-chart TREE FILE [--person KEY] [--descendants | --ancestors]
//
// writes the chart of TREE to FILE (PNG, SVG or PDF by its extension) without showing a window:
// without options the root row; with --person the chart as finding KEY shows it; with
// --hourglass KEY's ancestors above it and its descendants below, ending "(A ancestors, D
// descendants)"; --fan G the fan chart of KEY's ancestors in G rings (--fan-span, --fan-colours);
// with
// --descendants the descendant chart of KEY (children by PrntKey and by the families, the other
// partner of each family named), or of every root without --person; with --ancestors every known
// ancestor of KEY, all branches open. The last line printed on success is "exported chart of N
// boxes to FILE", for the descendants or ancestors of a person "exported chart of N boxes
// (D descendants) to FILE" ("(A ancestors)"), counting distinct persons; a line of ancestors
// that breaks is reported on the error stream before it. A failure prints one clear line on the
// error stream, returns 1 and leaves no file behind (an existing FILE stays as it was): a full
// disk, a FILE that is a pipe or a device (never replaced), a drawing too large to make, too little
// memory. With --privacy the boxes show the tree as Genealogy::applyPrivacy leaves it: a living
// person as "Living" without years, a private one not at all.
struct ChartCliRequest
{
    QString tree;
    QString file;
    QString personKey; // empty: none given
    bool descendants = false;
    bool ancestors = false;
    bool hourglass = false; // KEY's ancestors above it and descendants below
    // The fan chart of --person: its rings (2 to 10), 0 for none; the span ("half",
    // "three-quarter", "full") and the colours ("generation", "branch"), empty for the first.
    int fan = 0;
    QString fanSpan = {};
    QString fanColours = {};
    // What the chart shows of the living and the private (nothing left out by default).
    Genealogy::PrivacyOptions privacy = {};
    // A shared database to read instead of the data folder's (--database).
    std::optional<ServerAddress> server = {};
};

// Runs the export over the database in `dataFolder` (ending with '/'); the database is read,
// never created. A QApplication must exist (the offscreen platform will do). Returns the exit
// code: 0 on success, 1 on failure.
// The tree's families and sexes come from `kinship`.
int RunChartExport(const ChartCliRequest &request, const QString &dataFolder, QTextStream &out,
                   QTextStream &err, const TreeKinshipReaders &kinship = StoreKinshipReaders());
