#pragma once

#include "ReportDocument.h"
#include "ReportOptionsDialog.h"

#include <QObject>
#include <QString>

class OpenTree;
class QAction;
class QWidget;

// The Reports menu: "Family Group Sheet...", "Descendant Report..." and "Ancestor Report..." of
// the selected person. Each asks for its choices (ReportOptionsDialog: generations, "Hide living
// persons" on and "Include private" off at first, then the user's last choice), then for the
// file (PDF or ODT by its suffix; replacing one is confirmed), and writes the report from the
// tree's rows and side records with the busy pointer. Every message goes through the message
// service, every dialog through the modal seam. The actions are enabled while a person is
// selected.
class ReportCommands : public QObject
{
    Q_OBJECT
public:
    ReportCommands(OpenTree &tree, QWidget *window);

    QAction *FamilyCommand() const { return m_family; }
    QAction *DescendantsCommand() const { return m_descendants; }
    QAction *AncestorsCommand() const { return m_ancestors; }

    // Asks and writes the report of the selected person.
    void Report(Reports::ReportKind kind);
    // Writes the report of the person `key` of the open tree to `path`; false after a message.
    bool WriteReport(Reports::ReportKind kind, const QString &key,
                     const ReportOptionsDialog::Choices &choices, const QString &path);

    static QString Title() { return QStringLiteral("Reports"); }

private:
    QString askFile(Reports::ReportKind kind, const QString &personName);
    void updateEnabled();

    OpenTree &m_tree;
    QWidget *m_window;
    QAction *m_family;
    QAction *m_descendants;
    QAction *m_ancestors;
    ReportOptionsDialog::Choices m_last; // the dialog's last choice
    QString m_lastFolder;
};
