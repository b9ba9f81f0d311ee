#pragma once

#include "ChangeLog.h"

#include <QWidget>

#include <vector>

class ChangeHistory;
class OpenTree;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// The information panel's "History": the changes of the selected person kept in the database,
// newest first (when, who, the change), the person as the chosen change left it, and "Restore
// this version", which makes the person's row that version again as a new change (undoable, and
// kept in the history itself). It follows the open tree's selection and the history's entries,
// and reads them while shown.
class HistoryView : public QWidget
{
    Q_OBJECT

public:
    HistoryView(OpenTree &tree, ChangeHistory &history, QWidget *parent = nullptr);
    ~HistoryView() override;

    // Reads the selected person's entries again.
    void Refresh();
    int EntryCount() const { return int(m_entries.size()); }
    // Restores the version of the entry in that row of the list (0 = the newest); true when the
    // person's row changed.
    bool RestoreVersion(int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void changed();
    void showVersion();
    // The person as the entry left it (as it was before, for a deletion); no ID when none.
    PersonRecord versionOf(const ChangeLog::Entry &entry) const;

    OpenTree &m_tree;
    ChangeHistory &m_history;
    QString m_key;
    std::vector<ChangeLog::Entry> m_entries;
    QTreeWidget *m_list = nullptr;
    QPlainTextEdit *m_version = nullptr;
    QPushButton *m_restore = nullptr;
    bool m_stale = true;
};
