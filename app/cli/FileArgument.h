#pragma once

class GedcomCommands;
class QCommandLineParser;
class frmSplash;

namespace Cli {

// A GEDCOM file given without an option (as a desktop file manager passes it) opens the import
// dialog for it once start-up has shown the main window. Nothing when no file was given.
void ImportFileOnStart(const QCommandLineParser &parser, frmSplash &splash,
                       GedcomCommands &commands);

} // namespace Cli
