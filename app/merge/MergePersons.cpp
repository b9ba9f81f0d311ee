#include "MergePersons.h"

#include "ChangeEntries.h"
#include "ChangeHistory.h"
#include "ChangeHistoryMerge.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "TreeMerge.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QFileInfo>

Result<QStringList> MergePersons(OpenTree &tree, ChangeHistory &history, const QString &keep,
                                 const QString &other, const Genealogy::PersonMerge::Choice &choice)
{
    WaitCursor busy;
    mDatabase &store = tree.Store();
    const QString name = tree.CurrentTree();
    if (name.isEmpty())
        return Error(ErrorCode::InvalidInput, QStringLiteral("No tree is open."));
    const QString keepFolder = PhotoFolders::FolderOf(store.DataPath(), keep);
    const bool keepFolderWasThere = QFileInfo(keepFolder).isDir();
    if (tree.SelectedKey().compare(other, Qt::CaseInsensitive) == 0)
        tree.ClearSelection();
    Result<TreeMerge::Merged> merged = TreeMerge::mergePersons(store, name, keep, other, choice);
    if (!merged)
        return merged.error();
    QStringList done = merged->done;
    MergeChange change;
    change.tree = name;
    change.keepKey = merged->keepKey;
    change.otherKey = merged->otherKey;
    const auto nameOf = [](const Genealogy::ModelSlice &slice, const QString &key) {
        const quint32 i = TreeMerge::findPerson(slice, key);
        return i == Genealogy::kNoIndex ? key : ChangeHistory::PersonName(slice.rows[i]);
    };
    change.name =
        QStringLiteral("Merge %1 into %2")
            .arg(nameOf(merged->before, merged->otherKey), nameOf(merged->before, merged->keepKey));
    change.keepFolder = keepFolder;
    change.keepFolderWasThere = keepFolderWasThere;
    const Result<MergePhotos::Copied> photos =
        MergePhotos::copy(store, store.DataPath(), merged->keepKey, merged->otherKey);
    syncOpenTree(tree, merged->before.rows, merged->after.rows);
    if (photos) {
        change.copied = photos->files;
        change.otherFolder = photos->otherFolder;
        if (!photos->files.isEmpty())
            done << QStringLiteral("Copied %1 photos into the folder of %2")
                        .arg(photos->files.size())
                        .arg(merged->keepKey);
        if (photos->otherMayGo)
            change.aside = ChangeHistory::SetAside(store.DataPath(), photos->otherFolder);
    } else {
        done << QStringLiteral("The photos of %1 were not copied (they stay in their folder): %2")
                    .arg(merged->otherKey, photos.error().text());
    }
    change.before = std::move(merged->before);
    change.after = std::move(merged->after);
    history.RecordMerge(std::move(change));
    tree.AddedPhotos(merged->keepKey);
    tree.Select(merged->keepKey);
    return done;
}

Result<QStringList> MergeRecords(OpenTree &tree, ChangeHistory &history, RecordKind kind,
                                 quint32 keep, quint32 other, const QString &name)
{
    WaitCursor busy;
    mDatabase &store = tree.Store();
    const QString treeName = tree.CurrentTree();
    if (treeName.isEmpty())
        return Error(ErrorCode::InvalidInput, QStringLiteral("No tree is open."));
    Result<TreeMerge::Merged> merged = kind == RecordKind::Family
                                           ? TreeMerge::mergeFamilies(store, treeName, keep, other)
                                           : TreeMerge::mergeSources(store, treeName, keep, other);
    if (!merged)
        return merged.error();
    syncOpenTree(tree, merged->before.rows, merged->after.rows);
    MergeChange change;
    change.tree = treeName;
    change.name = name;
    change.before = std::move(merged->before);
    change.after = std::move(merged->after);
    history.RecordMerge(std::move(change));
    return merged->done;
}
