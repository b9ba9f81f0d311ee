#include "ImportEntries.h"

#include "AsideFolders.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "TreeList.h"
#include "TreeRestore.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace {

QList<PersonRecord> listOf(const std::vector<PersonRecord> &rows)
{
    return QList<PersonRecord>(rows.cbegin(), rows.cend());
}

// The tree's rows must still be `rows`: else another program changed the tree.
Result<void> expectRows(const mDatabase &store, const QString &tree,
                        const std::vector<PersonRecord> &rows)
{
    const Result<QList<PersonRecord>> now = store.ReadTree(tree);
    if (!now)
        return now.error();
    if (*now != listOf(rows))
        return Error(ErrorCode::ChangedElsewhere,
                     QStringLiteral("The persons of the tree '%1' were changed since.").arg(tree));
    return {};
}

} // namespace

// --- import into a new tree ---

ImportTreeEntry::ImportTreeEntry(ChangeScene &scene, const QString &tree,
                                 Genealogy::ModelSlice after, bool hasModel)
    : ChangeEntry(scene, QStringLiteral("Import Tree %1").arg(tree)), m_tree(tree),
      m_after(std::move(after)), m_hasModel(hasModel)
{
}

// Photos kept aside while the import is undone go for good with the entry.
ImportTreeEntry::~ImportTreeEntry()
{
    for (const auto &[folder, aside] : std::as_const(m_aside))
        QDir(aside).removeRecursively();
}

Result<void> ImportTreeEntry::undoChange()
{
    WaitCursor busy;
    mDatabase &store = m_scene.tree.Store();
    if (Result<void> same = expectRows(store, m_tree, m_after.rows); !same)
        return same;
    if (m_scene.tree.IsOpenTree(m_tree)) {
        m_scene.tree.Close();
        m_scene.trees.Choose(-1);
    }
    if (Result<void> deleted = store.DeleteTree(m_tree); !deleted)
        return deleted;
    const QString dataPath = store.DataPath();
    for (const PersonRecord &row : m_after.rows) {
        const QString folder = PhotoFolders::FolderOf(dataPath, row.ID);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            continue;
        const QString aside = AsideFolders::setAside(dataPath, folder);
        if (!aside.isEmpty())
            m_aside.append({folder, aside});
    }
    m_scene.trees.Update();
    return {};
}

Result<void> ImportTreeEntry::redoChange()
{
    WaitCursor busy;
    mDatabase &store = m_scene.tree.Store();
    // The rows and the side records come back in one transaction: all of them or nothing.
    NewTreeWriter writer(store);
    if (Result<void> begun = writer.Begin(m_tree); !begun)
        return begun;
    for (const PersonRecord &row : m_after.rows) {
        if (Result<void> added = writer.Add(row); !added)
            return added;
    }
    if (m_hasModel) {
        if (Result<void> model =
                ModelStore::writeModelInTransaction(store, m_tree, m_after.rows, m_after.model);
            !model)
            return model;
    }
    if (Result<void> committed = writer.Commit(); !committed)
        return committed;
    // The photos come back where no folder was made under their key meanwhile; the others
    // stay aside (and go with the entry) rather than mix with another person's photos.
    for (const auto &[folder, aside] : std::as_const(m_aside)) {
        const QString target = QDir::cleanPath(folder);
        if (!QFileInfo::exists(target) && QDir().rename(aside, target))
            continue;
        QDir(aside).removeRecursively();
    }
    m_aside.clear();
    m_scene.trees.Update();
    return {};
}

// --- update of a tree from a file ---

UpdateTreeEntry::UpdateTreeEntry(ChangeScene &scene, const QString &tree,
                                 Genealogy::ModelSlice before, Genealogy::ModelSlice after)
    : ChangeEntry(scene, QStringLiteral("Update Tree %1").arg(tree)), m_tree(tree),
      m_before(std::move(before)), m_after(std::move(after))
{
}

Result<void> UpdateTreeEntry::restore(const Genealogy::ModelSlice &from,
                                      const Genealogy::ModelSlice &to)
{
    WaitCursor busy;
    mDatabase &store = m_scene.tree.Store();
    if (Result<void> restored =
            RestoreTree(store, m_tree, listOf(from.rows), listOf(to.rows), &to.model);
        !restored)
        return restored;
    // The open tree is read again: most of its persons changed.
    if (m_scene.tree.IsOpenTree(m_tree)) {
        const QString selected = m_scene.tree.SelectedKey();
        if (Result<void> loaded = m_scene.tree.Load(m_tree); !loaded)
            return loaded;
        if (m_scene.tree.People().Item(selected))
            m_scene.tree.Select(selected);
    }
    return {};
}

Result<void> UpdateTreeEntry::undoChange()
{
    return restore(m_after, m_before);
}

Result<void> UpdateTreeEntry::redoChange()
{
    return restore(m_before, m_after);
}
