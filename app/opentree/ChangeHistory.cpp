#include "ChangeHistory.h"

#include "AsideFolders.h"
#include "ChangeEntries.h"
#include "ImportEntries.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "mDatabase.h"

#include <QAction>

ChangeHistory::ChangeHistory(OpenTree &tree, TreeList &trees, QObject *parent)
    : QObject(parent), m_scene{tree, trees, nullptr}
{
    // An entry of a tree with side records keeps the whole tree twice; the oldest entries go
    // (with any photos they kept aside) once there are this many.
    m_stack.setUndoLimit(kUndoLimit);
    m_undo = m_stack.createUndoAction(this, QStringLiteral("Undo"));
    m_undo->setObjectName(QStringLiteral("mnuEditUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = m_stack.createRedoAction(this, QStringLiteral("Redo"));
    m_redo->setObjectName(QStringLiteral("mnuEditRedo"));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
}

// The entries go before the scene they refer to (their folders kept aside are removed).
ChangeHistory::~ChangeHistory()
{
    m_stack.clear();
}

QString ChangeHistory::PersonName(const PersonRecord &row)
{
    const QString name = QStringList{row.Fname, row.Sname}.join(QLatin1Char(' ')).trimmed();
    return name.isEmpty() ? row.ID : name;
}

QStringList ChangeHistory::Neighbours(const mDatabase &store, const QString &tree,
                                      const QString &key)
{
    QStringList keys;
    const Result<Genealogy::ModelSlice> slice = ModelStore::sliceOf(store, tree, key);
    if (!slice)
        return keys;
    for (const PersonRecord &row : slice->rows) {
        if (row.ID.compare(key, Qt::CaseInsensitive) != 0)
            keys.append(row.ID);
    }
    return keys;
}

void ChangeHistory::Refresh(OpenTree &open, const QStringList &keys)
{
    if (!open.IsOpen())
        return;
    for (const QString &key : keys) {
        const cPersonPtr person = open.People().Item(key);
        if (!person)
            continue;
        const Result<PersonRecord> stored = open.Store().FindPerson(open.CurrentTree(), key);
        if (stored && *stored != person->toRecord())
            open.ChangePerson(key, *stored);
    }
}

QString ChangeHistory::SetAside(const QString &dataPath, const QString &folder)
{
    return AsideFolders::setAside(dataPath, folder);
}

void ChangeHistory::RecordAddPerson(const QString &tree, const PersonRecord &row,
                                    const QString &photoFolder,
                                    std::optional<Genealogy::ModelSlice> state)
{
    m_stack.push(new AddPersonEntry(m_scene, tree, row, photoFolder, std::move(state)));
}

void ChangeHistory::RecordEditPerson(const QString &tree, const PersonRecord &before,
                                     const PersonRecord &after,
                                     std::optional<Genealogy::ModelSlice> state)
{
    if (before == after)
        return;
    m_stack.push(new EditPersonEntry(m_scene, tree, before, after, std::move(state)));
}

void ChangeHistory::RecordDeletePerson(const QString &tree, const PersonRecord &row,
                                       const QString &photoFolder, const QString &aside,
                                       std::optional<Genealogy::ModelSlice> before)
{
    m_stack.push(new DeletePersonEntry(m_scene, tree, row, photoFolder, aside, std::move(before)));
}

std::optional<Genealogy::ModelSlice> ChangeHistory::ModelState(const mDatabase &store,
                                                               const QString &tree)
{
    if (!ModelStore::hasModel(store, tree).valueOr(false) || !KeepsWholeTree(store, tree))
        return std::nullopt;
    Result<Genealogy::ModelSlice> whole = ModelStore::readTree(store, tree);
    if (!whole)
        return std::nullopt;
    return std::move(*whole);
}

bool ChangeHistory::KeepsWholeTree(const mDatabase &store, const QString &tree)
{
    return store.EstimateTreeRows(tree) <= kWholeTreePersons;
}

bool ChangeHistory::DeletionUndoable(const mDatabase &store, const QString &tree)
{
    return !ModelStore::hasModel(store, tree).valueOr(false) || KeepsWholeTree(store, tree);
}

void ChangeHistory::RecordNewTree(const QString &name, const QList<PersonRecord> &rows)
{
    m_stack.push(new NewTreeEntry(m_scene, name, rows));
}

void ChangeHistory::RecordRenameTree(const QString &oldName, const QString &newName)
{
    m_stack.push(new RenameTreeEntry(m_scene, oldName, newName));
}

void ChangeHistory::RecordImportTree(const QString &tree)
{
    const mDatabase &store = m_scene.tree.Store();
    if (!KeepsWholeTree(store, tree))
        return;
    const Result<bool> hasModel = ModelStore::hasModel(store, tree);
    Result<Genealogy::ModelSlice> after = ModelStore::readTree(store, tree);
    if (hasModel && after)
        m_stack.push(new ImportTreeEntry(m_scene, tree, std::move(*after), *hasModel));
}

void ChangeHistory::RecordUpdateTree(const QString &tree,
                                     std::optional<Genealogy::ModelSlice> before)
{
    if (!before)
        return;
    std::optional<Genealogy::ModelSlice> after = ModelState(m_scene.tree.Store(), tree);
    if (after)
        m_stack.push(new UpdateTreeEntry(m_scene, tree, std::move(*before), std::move(*after)));
}

void ChangeHistory::RecordDeleteTree(const QString &name, Genealogy::ModelSlice before,
                                     bool hadModel)
{
    m_stack.push(new DeleteTreeEntry(m_scene, name, std::move(before), hadModel));
}
