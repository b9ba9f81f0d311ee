#include "ChangeEntries.h"

#include "MessageService.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "TreeList.h"
#include "TreeRestore.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// True when a person with this key is in any tree (photo folders are shared by key), or when
// that cannot be told for sure.
bool keyInAnyTree(const mDatabase &store, const QString &key)
{
    const QStringList trees = store.ListTrees();
    for (const QString &tree : trees) {
        const Result<PersonRecord> found = store.FindPerson(tree, key);
        if (found || !found.error().is(ErrorCode::Missing))
            return true;
    }
    return false;
}

// The rows of `tree` must still be `rows`: else another program changed the tree.
Result<void> expectRows(const mDatabase &store, const QString &tree,
                        const QList<PersonRecord> &rows)
{
    const Result<QList<PersonRecord>> now = store.ReadTree(tree);
    if (!now)
        return now.error();
    if (*now != rows)
        return Error(ErrorCode::ChangedElsewhere,
                     QStringLiteral("The persons of the tree '%1' were changed since.").arg(tree));
    return {};
}

} // namespace

// Brings a folder kept aside back to its place; true when all of it is back (or there was
// none). When the place has a folder again (photos added under the key meanwhile), the kept files
// join it, a name there already keeping its file; what could not go back stays aside.
bool bringBack(QString &aside, const QString &folder)
{
    if (aside.isEmpty())
        return true;
    if (folder.isEmpty())
        return false;
    const QString target = QDir::cleanPath(folder);
    if (!QFileInfo::exists(target)) {
        QDir().mkpath(QFileInfo(target).path());
        if (QDir().rename(aside, target)) {
            aside.clear();
            return true;
        }
        return false;
    }
    QDir kept(aside);
    bool all = true;
    for (const QString &name : kept.entryList(QDir::Files | QDir::Hidden)) {
        const QString there = QDir(target).filePath(name);
        if (QFileInfo::exists(there) || !QFile::rename(kept.filePath(name), there))
            all = false;
    }
    if (all && kept.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        kept.removeRecursively();
        aside.clear();
    }
    return all;
}

namespace {

void dropAside(const QString &aside)
{
    if (!aside.isEmpty())
        QDir(aside).removeRecursively();
}

// After a person left the open tree: the selection moves up to its parent when it was the
// selected one, as Delete person leaves it.
void afterRemoval(OpenTree &tree, const PersonRecord &row, bool wasSelected)
{
    if (!wasSelected)
        return;
    const cPersonPtr parent = tree.People().Item(row.PrntKey);
    if (parent && parent->Key() == row.PrntKey && !IsRootKey(row.PrntKey))
        tree.Select(row.PrntKey, true);
    else
        tree.ClearSelection();
}

// The data folder of a photo folder <data>/Photos/<key>/.
QString dataPathOf(const QString &photoFolder)
{
    QDir photos(QDir::cleanPath(photoFolder));
    photos.cdUp();
    photos.cdUp();
    return photos.path() + QLatin1Char('/');
}

} // namespace

void ChangeEntry::undo()
{
    const Result<void> done = undoChange();
    if (!done)
        refuse(done.error(), true);
    else if (m_scene.stepped)
        m_scene.stepped(*this, true);
}

void ChangeEntry::redo()
{
    if (m_made) {
        m_made = false;
        return;
    }
    const Result<void> done = redoChange();
    if (!done)
        refuse(done.error(), false);
    else if (m_scene.stepped)
        m_scene.stepped(*this, false);
}

void ChangeEntry::refuse(const Error &error, bool undoing)
{
    setObsolete(true);
    const QString text = (undoing ? QStringLiteral("\"%1\" cannot be undone.")
                                  : QStringLiteral("\"%1\" cannot be redone."))
                             .arg(this->text()) +
                         QStringLiteral("\r\n\r\n") + error.text() +
                         QStringLiteral("\r\n\r\nThis change has been taken off the list of "
                                        "changes; the others stay.");
    ShowMessage(text, undoing ? QStringLiteral("Undo") : QStringLiteral("Redo"),
                MsgIcon::Exclamation, MsgButtons::OkOnly, m_scene.window);
}

// --- persons ---

// The persons of the open tree go from the rows `from` to the rows `to`.
void syncOpenTree(OpenTree &open, const std::vector<PersonRecord> &from,
                  const std::vector<PersonRecord> &to)
{
    QHash<QString, const PersonRecord *> before;
    for (const PersonRecord &row : from)
        before.insert(row.ID.toUpper(), &row);
    QSet<QString> kept;
    for (const PersonRecord &row : to) {
        const QString key = row.ID.toUpper();
        kept.insert(key);
        const PersonRecord *old = before.value(key);
        if (!old || !open.People().Item(row.ID))
            open.AddPerson(row);
        else if (*old != row)
            open.ChangePerson(row.ID, row);
    }
    for (const PersonRecord &row : from) {
        if (!kept.contains(row.ID.toUpper()))
            open.RemovePerson(row.ID);
    }
}

namespace {

QList<PersonRecord> listOf(const std::vector<PersonRecord> &rows)
{
    return QList<PersonRecord>(rows.cbegin(), rows.cend());
}

} // namespace

PersonEntry::PersonEntry(ChangeScene &scene, const QString &text, const QString &tree,
                         const PersonRecord &row, const QString &photoFolder,
                         std::optional<Genealogy::ModelSlice> before)
    : ChangeEntry(scene, text), m_tree(tree), m_row(row), m_photoFolder(photoFolder),
      m_before(std::move(before))
{
    // The tree as the change left it; without it only the person's row can be written back.
    if (m_before)
        m_after = ChangeHistory::ModelState(m_scene.tree.Store(), m_tree);
    if (!m_after)
        m_before.reset();
}

PersonEntry::~PersonEntry()
{
    dropAside(m_aside);
}

Result<void> PersonEntry::restoreState(bool undoing)
{
    const Genealogy::ModelSlice &from = undoing ? *m_after : *m_before;
    const Genealogy::ModelSlice &to = undoing ? *m_before : *m_after;
    if (Result<void> restored = RestoreTree(m_scene.tree.Store(), m_tree, listOf(from.rows),
                                            listOf(to.rows), &to.model);
        !restored)
        return restored;
    if (m_scene.tree.IsOpenTree(m_tree))
        syncOpenTree(m_scene.tree, from.rows, to.rows);
    return {};
}

Result<void> PersonEntry::takeOut(bool undoing)
{
    mDatabase &store = m_scene.tree.Store();
    OpenTree &open = m_scene.tree;
    const bool isOpen = open.IsOpenTree(m_tree);
    const bool selected = isOpen && open.SelectedKey().compare(m_row.ID, Qt::CaseInsensitive) == 0;
    if (hasStates()) {
        if (Result<void> restored = restoreState(undoing); !restored)
            return restored;
    } else {
        const QStringList neighbours = ChangeHistory::Neighbours(store, m_tree, m_row.ID);
        if (Result<void> deleted = store.DeletePerson(m_tree, m_row.ID, &m_row); !deleted)
            return deleted;
        if (isOpen) {
            open.RemovePerson(m_row.ID);
            ChangeHistory::Refresh(open, neighbours);
        }
    }
    if (isOpen)
        afterRemoval(open, m_row, selected);
    // The photos go aside with the person, unless another tree has the key.
    if (!m_photoFolder.isEmpty() && QFileInfo::exists(m_photoFolder) &&
        !keyInAnyTree(store, m_row.ID))
        m_aside = ChangeHistory::SetAside(dataPathOf(m_photoFolder), m_photoFolder);
    return {};
}

Result<void> PersonEntry::putIn(bool undoing, bool select)
{
    mDatabase &store = m_scene.tree.Store();
    OpenTree &open = m_scene.tree;
    const bool isOpen = open.IsOpenTree(m_tree);
    // A person that comes back among its siblings, not after them: the open tree is read
    // again so that the chart has them in their order.
    bool inPlace = false;
    if (hasStates()) {
        if (Result<void> restored = restoreState(undoing); !restored)
            return restored;
        const std::vector<PersonRecord> &rows = (undoing ? *m_before : *m_after).rows;
        inPlace = !rows.empty() && rows.back().ID.compare(m_row.ID, Qt::CaseInsensitive) != 0;
    } else {
        const Result<bool> inserted = insertInPlace();
        if (!inserted)
            return inserted.error();
        inPlace = *inserted;
        if (isOpen && !inPlace) {
            open.AddPerson(m_row);
            ChangeHistory::Refresh(open, ChangeHistory::Neighbours(store, m_tree, m_row.ID));
        }
    }
    if (isOpen && inPlace) {
        if (Result<void> loaded = open.Load(m_tree); !loaded)
            return loaded;
    }
    bringBack(m_aside, m_photoFolder);
    if (isOpen) {
        if (select)
            open.Select(m_row.ID, true);
        else if (open.SelectedPerson())
            open.Select(open.SelectedKey(), true); // a new child shows below its parent
    }
    return {};
}

Result<bool> PersonEntry::insertInPlace()
{
    mDatabase &store = m_scene.tree.Store();
    // A tree with side records runs the store's rules of an insertion: its row goes last.
    const Result<bool> modelled = ModelStore::hasModel(store, m_tree);
    const bool placed = !m_next.isEmpty() && modelled && !*modelled;
    const Result<QList<PersonRecord>> rows =
        placed ? store.ReadTree(m_tree) : Result<QList<PersonRecord>>(QList<PersonRecord>());
    qsizetype at = -1;
    if (rows) {
        for (qsizetype i = 0; i < rows->size() && at < 0; ++i) {
            // A key taken meanwhile is refused below as the store refuses it.
            if (rows->at(i).ID.compare(m_row.ID, Qt::CaseInsensitive) == 0)
                break;
            if (rows->at(i).ID.compare(m_next, Qt::CaseInsensitive) == 0)
                at = i;
        }
    }
    if (at < 0) {
        if (Result<void> inserted = store.InsertPerson(m_tree, m_row); !inserted)
            return inserted.error();
        return false;
    }
    QList<PersonRecord> wanted = *rows;
    wanted.insert(at, m_row);
    if (Result<void> restored = RestoreTree(store, m_tree, *rows, wanted, nullptr); !restored)
        return restored.error();
    return true;
}

AddPersonEntry::AddPersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &row,
                               const QString &photoFolder,
                               std::optional<Genealogy::ModelSlice> before)
    : PersonEntry(scene, QStringLiteral("Add Person %1").arg(ChangeHistory::PersonName(row)), tree,
                  row, photoFolder, std::move(before))
{
}

DeletePersonEntry::DeletePersonEntry(ChangeScene &scene, const QString &tree,
                                     const PersonRecord &row, const QString &photoFolder,
                                     const QString &aside,
                                     std::optional<Genealogy::ModelSlice> before,
                                     const QString &next)
    : PersonEntry(scene, QStringLiteral("Delete Person %1").arg(ChangeHistory::PersonName(row)),
                  tree, row, photoFolder, std::move(before))
{
    m_aside = aside;
    m_next = next;
}

EditPersonEntry::EditPersonEntry(ChangeScene &scene, const QString &tree,
                                 const PersonRecord &before, const PersonRecord &after,
                                 std::optional<Genealogy::ModelSlice> beforeState)
    : PersonEntry(scene, QStringLiteral("Edit Person %1").arg(ChangeHistory::PersonName(after)),
                  tree, after, QString(), std::move(beforeState)),
      m_before(before)
{
}

Result<void> EditPersonEntry::write(const PersonRecord &from, const PersonRecord &to, bool undoing)
{
    if (hasStates())
        return restoreState(undoing);
    mDatabase &store = m_scene.tree.Store();
    QStringList neighbours = ChangeHistory::Neighbours(store, m_tree, to.ID);
    if (Result<void> updated = store.UpdatePerson(m_tree, to.ID, to, &from); !updated)
        return updated;
    if (m_scene.tree.IsOpenTree(m_tree)) {
        m_scene.tree.ChangePerson(to.ID, to);
        neighbours += ChangeHistory::Neighbours(store, m_tree, to.ID);
        ChangeHistory::Refresh(m_scene.tree, neighbours);
    }
    return {};
}

Result<void> EditPersonEntry::undoChange()
{
    return write(m_row, m_before, true);
}

Result<void> EditPersonEntry::redoChange()
{
    return write(m_before, m_row, false);
}

// --- records edited ---

ModelEditEntry::ModelEditEntry(ChangeScene &scene, const QString &text, const QString &tree,
                               const QString &key, Genealogy::ModelSlice before,
                               Genealogy::ModelSlice after)
    : ChangeEntry(scene, text), m_tree(tree), m_key(key), m_before(std::move(before)),
      m_after(std::move(after))
{
}

Result<void> ModelEditEntry::put(const Genealogy::ModelSlice &from, const Genealogy::ModelSlice &to)
{
    if (Result<void> restored = RestoreTree(m_scene.tree.Store(), m_tree, listOf(from.rows),
                                            listOf(to.rows), &to.model);
        !restored)
        return restored;
    ChangeHistory::FollowModelEdit(m_scene.tree, m_tree, m_key, from.rows, to.rows);
    return {};
}

// --- new tree ---

NewTreeEntry::NewTreeEntry(ChangeScene &scene, const QString &name, const QList<PersonRecord> &rows)
    : ChangeEntry(scene, QStringLiteral("New Tree %1").arg(name)), m_name(name), m_rows(rows)
{
}

Result<void> NewTreeEntry::undoChange()
{
    mDatabase &store = m_scene.tree.Store();
    if (Result<void> same = expectRows(store, m_name, m_rows); !same)
        return same;
    if (Result<void> deleted = store.DeleteTree(m_name); !deleted)
        return deleted;
    if (m_scene.tree.IsOpenTree(m_name)) {
        m_scene.tree.Close();
        m_scene.trees.Refill();
    } else {
        m_scene.trees.Update();
    }
    return {};
}

Result<void> NewTreeEntry::redoChange()
{
    mDatabase &store = m_scene.tree.Store();
    if (Result<void> created = store.CreateTree(m_name); !created)
        return created;
    if (const Result<QList<PersonRecord>> rows = store.ReadTree(m_name))
        m_rows = *rows;
    m_scene.trees.Update();
    return {};
}

// --- rename tree ---

RenameTreeEntry::RenameTreeEntry(ChangeScene &scene, const QString &oldName, const QString &newName)
    : ChangeEntry(scene, QStringLiteral("Rename Tree %1 to %2").arg(oldName, newName)),
      m_old(oldName), m_new(newName)
{
}

Result<void> RenameTreeEntry::rename(const QString &from, const QString &to)
{
    const bool open = m_scene.tree.IsOpenTree(from);
    if (Result<void> renamed = m_scene.tree.Store().RenameTree(from, to); !renamed)
        return renamed;
    if (open)
        m_scene.tree.Rename(to);
    m_scene.trees.Update();
    return {};
}

Result<void> RenameTreeEntry::undoChange()
{
    return rename(m_new, m_old);
}

Result<void> RenameTreeEntry::redoChange()
{
    return rename(m_old, m_new);
}

// --- delete tree ---

DeleteTreeEntry::DeleteTreeEntry(ChangeScene &scene, const QString &name,
                                 Genealogy::ModelSlice before, bool hadModel)
    : ChangeEntry(scene, QStringLiteral("Delete Tree %1").arg(name)), m_name(name),
      m_before(std::move(before)), m_hadModel(hadModel)
{
}

Result<void> DeleteTreeEntry::undoChange()
{
    WaitCursor busy;
    mDatabase &store = m_scene.tree.Store();
    // The rows and the side records come back in one transaction: all of them or nothing.
    NewTreeWriter writer(store);
    if (Result<void> begun = writer.Begin(m_name); !begun)
        return begun;
    for (const PersonRecord &row : m_before.rows) {
        if (Result<void> added = writer.Add(row); !added)
            return added;
    }
    if (m_hadModel) {
        if (Result<void> model =
                ModelStore::writeModelInTransaction(store, m_name, m_before.rows, m_before.model);
            !model)
            return model;
    }
    if (Result<void> committed = writer.Commit(); !committed)
        return committed;
    m_scene.trees.Update();
    return {};
}

Result<void> DeleteTreeEntry::redoChange()
{
    mDatabase &store = m_scene.tree.Store();
    const QList<PersonRecord> rows(m_before.rows.begin(), m_before.rows.end());
    if (Result<void> same = expectRows(store, m_name, rows); !same)
        return same;
    if (m_scene.tree.IsOpenTree(m_name)) {
        m_scene.tree.Close();
        m_scene.trees.Choose(-1);
    }
    if (Result<void> deleted = store.DeleteTree(m_name); !deleted)
        return deleted;
    m_scene.trees.Update();
    return {};
}
