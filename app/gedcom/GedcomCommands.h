#pragma once

#include "Version.h"

#include <QObject>
#include <QString>

class frmMain;

// The File menu's GEDCOM commands: "Import GEDCOM..." (Ctrl+Shift+I) makes a new tree of a
// GEDCOM file and opens it; "Export GEDCOM..." (Ctrl+Shift+E) writes a tree as GEDCOM 5.5.1 or
// 7.0. The object adds its items to the window's File menu after "Close Tree" and answers their
// clicks itself. Every question and report goes through the message service, every dialog
// through the modal seam; a failure leaves nothing behind (no tree, no partial file).
class GedcomCommands : public QObject
{
    Q_OBJECT
public:
    explicit GedcomCommands(frmMain &window);

    // The commands object of a window, or nullptr.
    static GedcomCommands *Of(frmMain &window);

    // Asks for a GEDCOM file, then ImportFile.
    void mnuFileImportGedcom();
    // Asks for the new tree's name (proposed from the file name), imports with a progress
    // dialog, opens the new tree and shows the summary. True when the tree was made.
    bool ImportFile(const QString &path);

    // Asks for the tree and the version, then for the file, then ExportTree.
    void mnuFileExportGedcom();
    // Writes the tree and reports the count written. True when the file was written.
    bool ExportTree(const QString &tree, const QString &path, Gedcom::Version version);

private slots:
    void MenuClick(const QString &key);

private:
    void addMenuItems();
    QString askImportFile();
    QString askExportFile(const QString &tree);

    frmMain &m_window;
    QString m_lastFolder; // of the last file chosen, for the next file dialog
};
