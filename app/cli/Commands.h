#pragma once

#include "CommandLine.h"

// The commands, one file each. A new command: a file with its function, declared here and named
// in Commands.cpp.
namespace Cli {

// --import-gedcom FILE [--tree NAME]
Command ImportGedcomCommand();
// --export-gedcom TREE FILE [--gedcom-version 5.5.1|7.0]
Command ExportGedcomCommand();
// --export-chart TREE FILE [--person KEY] [--descendants | --ancestors]
Command ExportChartCommand();
// --person-facts TREE KEY
Command PersonFactsCommand();
// --relationship TREE KEY1 KEY2
Command RelationshipCommand();
// --check-tree TREE
Command CheckTreeCommand();
// --find-duplicates TREE [--against OTHER] [--min-score N]
Command FindDuplicatesCommand();
// --merge TREE KEEP OTHER
Command MergeCommand();

} // namespace Cli
