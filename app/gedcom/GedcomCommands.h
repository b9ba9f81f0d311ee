#pragma once

#include "PrivacyFilter.h"
#include "Version.h"

#include <QObject>
#include <QString>

class ChangeHistory;
class OpenTree;
class QAction;
class QWidget;
class TreeList;

// The File menu's GEDCOM commands: "Import GEDCOM..." (Ctrl+Shift+I) makes a new tree of a
// GEDCOM file and opens it; "Export GEDCOM..." (Ctrl+Shift+E) writes a tree as GEDCOM 5.5.1 or
// 7.0. Every question and report goes through the message service, every dialog through the
// modal seam; a failure leaves nothing behind (no tree, no partial file). A tree imported is
// listed and opened through the open tree and the tree list; the window's views follow them.
class GedcomCommands : public QObject
{
    Q_OBJECT
public:
    // `tree` (with its store), `trees` and `history` must outlive this object; `window` parents
    // the dialogs and messages. Imports and updates are recorded in `history`.
    GedcomCommands(OpenTree &tree, TreeList &trees, ChangeHistory &history, QWidget *window);

    QAction *ImportCommand() const { return m_import; }
    QAction *ExportCommand() const { return m_export; }
    // "Update Tree from GEDCOM...": rebuilds the open tree from a GEDCOM file (for a tree an
    // earlier version imported from it). Not on a menu of its own: the window puts it there.
    QAction *UpdateCommand() const { return m_update; }

    // Asks for a GEDCOM file, then ImportFile.
    void mnuFileImportGedcom();
    // Asks for the new tree's name (proposed from the file name), imports with a progress
    // dialog, opens the new tree and shows the summary. True when the tree was made.
    bool ImportFile(const QString &path);

    // Asks for a GEDCOM file for the open tree, then UpdateTree.
    void mnuFileUpdateGedcom();
    // Asks whether to rebuild `tree` from the file (its rows are replaced by the file's persons;
    // those whose ids match keep their keys and photo folders), rebuilds it with a progress
    // dialog, opens it again and shows the summary. True when the tree was rebuilt.
    bool UpdateTree(const QString &path, const QString &tree);

    // Asks for the tree and the version, then for the file, then ExportTree.
    void mnuFileExportGedcom();
    // Writes the tree (the living and the private as `privacy` says) and reports the count
    // written. True when the file was written.
    bool ExportTree(const QString &tree, const QString &path, Gedcom::Version version,
                    const Genealogy::PrivacyOptions &privacy = {});

private:
    QString askImportFile();
    QString askExportFile(const QString &tree);

    OpenTree &m_tree;
    TreeList &m_trees;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_import;
    QAction *m_export;
    QAction *m_update;
    QString m_lastFolder; // of the last file chosen, for the next file dialog
};
