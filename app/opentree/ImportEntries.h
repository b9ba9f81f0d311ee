#pragma once

#include "ChangeEntries.h"

#include <QStringList>
#include <QVector>

// The history's entries for the GEDCOM imports. Both keep the tree as the import left it (and an
// update also the tree as it was before), so they are recorded only for trees the history keeps
// whole (ChangeHistory::kWholeTreePersons).
//
// An import made a new tree: undo deletes it and sets the photo folders the import filled
// aside (their keys are the import's own: an import never takes a key or a photo folder in
// use); redo puts the tree back, rows and side records in one transaction, and the photos with
// it. Either only while the tree is as the other left it.
class ImportTreeEntry : public ChangeEntry
{
public:
    ImportTreeEntry(ChangeScene &scene, const QString &tree, Genealogy::ModelSlice after,
                    bool hasModel);
    ~ImportTreeEntry() override;

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    QString m_tree;
    Genealogy::ModelSlice m_after;
    bool m_hasModel;
    // Where the photo folders of the tree's keys went while the import is undone.
    QVector<QPair<QString, QString>> m_aside; // (folder, aside)
};

// An update rebuilt a tree from a GEDCOM file: undo and redo put the tree's rows and side
// records back as they were before or after it, in one transaction. Photo folders are shared by
// key and the update keeps the keys that match, so they stay where they are.
class UpdateTreeEntry : public ChangeEntry
{
public:
    UpdateTreeEntry(ChangeScene &scene, const QString &tree, Genealogy::ModelSlice before,
                    Genealogy::ModelSlice after);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    Result<void> restore(const Genealogy::ModelSlice &from, const Genealogy::ModelSlice &to);

    QString m_tree;
    Genealogy::ModelSlice m_before;
    Genealogy::ModelSlice m_after;
};
