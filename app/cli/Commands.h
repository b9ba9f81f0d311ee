#pragma once

#include "CommandLine.h"

// The commands, one file each. A new command: a file with its function, declared here and named
// in Commands.cpp.
namespace Cli {

// --import-gedcom FILE [--tree NAME]
Command ImportGedcomCommand();
// --export-gedcom TREE FILE [--gedcom-version 5.5.1|7.0] [--privacy living|private|none]
Command ExportGedcomCommand();
// --export-chart TREE FILE [--person KEY] [--descendants | --ancestors]
Command ExportChartCommand();
// --person-facts TREE KEY
Command PersonFactsCommand();
// --relationship TREE KEY1 KEY2
Command RelationshipCommand();
// --report family|descendants|ancestors TREE FILE --person KEY [--generations N] [--privacy ...]
Command ReportCommand();
// --check-tree TREE
Command CheckTreeCommand();
// --find-duplicates TREE [--against OTHER] [--min-score N]
Command FindDuplicatesCommand();
// --merge TREE KEEP OTHER
Command MergeCommand();
// --copy-tree TREE --to ADDRESS-OR-FOLDER
Command CopyTreeCommand();

// The option --privacy living|private|none that every export shares, and the message for a word
// it does not know.
QCommandLineOption PrivacyOption();
QString PrivacyWordText(const QString &word);

} // namespace Cli
