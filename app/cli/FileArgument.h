#pragma once

class QCommandLineParser;
class frmMain;
class frmSplash;

namespace Cli {

// A GEDCOM file given without an option (as a desktop file manager passes it) opens the import
// dialog for it once start-up has shown the main window. Nothing when no file was given.
void ImportFileOnStart(const QCommandLineParser &parser, frmSplash &splash, frmMain &window);

} // namespace Cli
