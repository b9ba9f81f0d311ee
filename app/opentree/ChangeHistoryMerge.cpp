// The history's entry for a merge of two persons: undo puts the tree back as it was, rows and
// side records in one transaction, takes the copied photos out of the survivor's folder and
// brings the other's folder back; redo merges again the same way.
#include "ChangeHistoryMerge.h"
#include "ChangeEntries.h"
#include "ChangeHistory.h"
#include "ChangeLog.h"
#include "OpenTree.h"
#include "TreeMerge.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class MergeEntry : public ChangeEntry
{
public:
    MergeEntry(ChangeScene &scene, MergeChange change)
        : ChangeEntry(scene, change.name), m_change(std::move(change))
    {
    }
    ~MergeEntry() override
    {
        if (!m_change.aside.isEmpty())
            QDir(m_change.aside).removeRecursively();
    }

protected:
    Result<void> undoChange() override
    {
        MergeChange &c = m_change;
        if (Result<void> done = put(c.after, c.before); !done)
            return done;
        for (const QString &file : std::as_const(c.copied))
            QFile::remove(QDir(c.keepFolder).filePath(file));
        c.copied.clear();
        if (!c.keepFolderWasThere && !c.keepFolder.isEmpty() &&
            QDir(c.keepFolder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            QDir().rmdir(c.keepFolder);
        bringBack(c.aside, c.otherFolder);
        OpenTree &open = m_scene.tree;
        if (open.IsOpenTree(c.tree) && !c.keepKey.isEmpty()) {
            open.AddedPhotos(c.keepKey);
            open.Select(c.otherKey);
        }
        return {};
    }
    Result<void> redoChange() override
    {
        MergeChange &c = m_change;
        if (Result<void> done = put(c.before, c.after); !done)
            return done;
        mDatabase &store = m_scene.tree.Store();
        c.keepFolderWasThere = QFileInfo(c.keepFolder).isDir();
        if (c.keepKey.isEmpty())
            return {}; // families or sources: no photos, no person to show
        if (const Result<MergePhotos::Copied> photos =
                MergePhotos::copy(store, store.DataPath(), c.keepKey, c.otherKey)) {
            c.copied = photos->files;
            if (photos->otherMayGo)
                c.aside = ChangeHistory::SetAside(store.DataPath(), photos->otherFolder);
        }
        OpenTree &open = m_scene.tree;
        if (open.IsOpenTree(c.tree)) {
            open.AddedPhotos(c.keepKey);
            open.Select(c.keepKey);
        }
        return {};
    }

private:
    Result<void> put(const Genealogy::ModelSlice &from, const Genealogy::ModelSlice &to)
    {
        OpenTree &open = m_scene.tree;
        const bool isOpen = open.IsOpenTree(m_change.tree);
        if (isOpen && (open.SelectedKey().compare(m_change.otherKey, Qt::CaseInsensitive) == 0))
            open.ClearSelection();
        if (Result<void> done = TreeMerge::putBack(open.Store(), m_change.tree, from, to,
                                                   to.model.personCount() > 0);
            !done)
            return done;
        if (isOpen)
            syncOpenTree(open, from.rows, to.rows);
        return {};
    }

    MergeChange m_change;
};

} // namespace

void ChangeHistory::RecordMerge(MergeChange change)
{
    const auto rowOf = [](const Genealogy::ModelSlice &slice,
                          const QString &key) -> const PersonRecord * {
        const quint32 i = TreeMerge::findPerson(slice, key);
        return i == Genealogy::kNoIndex ? nullptr : &slice.rows[i];
    };
    const QString before =
        ChangeLog::rowsJson({{change.keepKey, rowOf(change.before, change.keepKey)},
                             {change.otherKey, rowOf(change.before, change.otherKey)}});
    const QString after = ChangeLog::rowsJson(
        {{change.keepKey, rowOf(change.after, change.keepKey)}, {change.otherKey, nullptr}});
    const QString tree = change.tree;
    // Families and sources (no keys) are changes of the tree.
    const QString record =
        change.keepKey.isEmpty() ? QStringLiteral("tree") : ChangeLog::personRecord(change.keepKey);
    // Two copies of a tree the history does not keep whole would hold too much memory: such a
    // merge is kept in the database's history but cannot be undone, and the other's photo
    // folder set aside goes now.
    if (qsizetype(change.before.rows.size()) > kWholeTreePersons) {
        write(tree, record, change.name, before, after);
        if (!change.aside.isEmpty())
            QDir(change.aside).removeRecursively();
        return;
    }
    auto *entry = new MergeEntry(m_scene, std::move(change));
    Log(entry, tree, record, before, after);
    m_stack.push(entry);
}
