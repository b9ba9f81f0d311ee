#pragma once

#include "MergePersons.h"

#include <QObject>
#include <QString>

class ChangeHistory;
class OpenTree;
class QAction;
class QWidget;

// Tools > Find Duplicates... (the DuplicatesWindow over the open tree) and the Merge... it offers
// (the MergeDialog, then MergePersons: one transaction, recorded in the history). The action is
// enabled while a tree with persons is open. The results of a merge and its errors are told
// through the message service.
class MergeCommands : public QObject
{
    Q_OBJECT

public:
    // Every reference must outlive this object; `window` parents the windows.
    MergeCommands(OpenTree &tree, ChangeHistory &history, QWidget *window);
    ~MergeCommands() override;

    QAction *FindDuplicatesCommand() const { return m_find; }

    void mnuToolsDuplicates();
    // Merge... for two persons of the open tree: the side-by-side dialog, then the merge. True
    // when merged.
    bool MergePair(const QString &keep, const QString &other);
    // Merge... for two families or sources (numbers of the tree's model): after a question.
    bool MergeRecordPair(RecordKind kind, quint32 keep, quint32 other);

private:
    void updateEnabled();

    OpenTree &m_tree;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_find = nullptr;
};
