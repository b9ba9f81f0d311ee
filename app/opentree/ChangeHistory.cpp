#include "ChangeHistory.h"

#include "AsideFolders.h"
#include "ChangeEntries.h"
#include "ChangeLog.h"
#include "ImportEntries.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "mDatabase.h"

#include <QAction>
#include <QHash>
#include <QSet>

ChangeHistory::ChangeHistory(OpenTree &tree, TreeList &trees, QObject *parent)
    : QObject(parent), m_scene{tree, trees, nullptr, {}}
{
    m_scene.stepped = [this](const QUndoCommand &entry, bool undoing) { stepped(entry, undoing); };
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
    auto *entry = new AddPersonEntry(m_scene, tree, row, photoFolder, std::move(state));
    logPerson(entry, tree, row.ID, nullptr, &row);
    m_stack.push(entry);
}

void ChangeHistory::RecordEditPerson(const QString &tree, const PersonRecord &before,
                                     const PersonRecord &after,
                                     std::optional<Genealogy::ModelSlice> state,
                                     const QString &name)
{
    if (before == after)
        return;
    auto *entry = new EditPersonEntry(m_scene, tree, before, after, std::move(state));
    if (!name.isEmpty())
        entry->setText(name);
    logPerson(entry, tree, after.ID, &before, &after);
    m_stack.push(entry);
}

void ChangeHistory::RecordModelEdit(const QString &tree, const QString &key, const QString &text,
                                    const Genealogy::ModelSlice &before,
                                    const Genealogy::ModelSlice &after)
{
    // The history kept in the database names the person's row before and after (a tree-wide
    // change such as the sources edited names the tree).
    const auto rowOf = [&key](const Genealogy::ModelSlice &slice) -> const PersonRecord * {
        for (const PersonRecord &row : slice.rows) {
            if (row.ID.compare(key, Qt::CaseInsensitive) == 0)
                return &row;
        }
        return nullptr;
    };
    const QString record = key.isEmpty() ? QStringLiteral("tree") : ChangeLog::personRecord(key);
    const QString was = key.isEmpty() ? QString() : ChangeLog::rowsJson({{key, rowOf(before)}});
    const QString is = key.isEmpty() ? QString() : ChangeLog::rowsJson({{key, rowOf(after)}});
    // Two copies of a tree the history does not keep whole would hold too much memory: such an
    // edit is kept in the database's history only and cannot be undone.
    if (!KeepsWholeTree(m_scene.tree.Store(), tree)) {
        write(tree, record, text, was, is);
        return;
    }
    auto *entry = new ModelEditEntry(m_scene, text, tree, key, before, after);
    Log(entry, tree, record, was, is);
    m_stack.push(entry);
}

void ChangeHistory::FollowModelEdit(OpenTree &open, const QString &tree, const QString &key,
                                    const std::vector<PersonRecord> &from,
                                    const std::vector<PersonRecord> &to)
{
    if (!open.IsOpenTree(tree))
        return;
    QHash<QString, const PersonRecord *> before;
    for (const PersonRecord &row : from)
        before.insert(row.ID.toUpper(), &row);
    QSet<QString> kept;
    for (const PersonRecord &row : to) {
        const QString upper = row.ID.toUpper();
        kept.insert(upper);
        const PersonRecord *old = before.value(upper);
        if (!open.People().Item(row.ID))
            open.AddPerson(row);
        else if (!old || *old != row || upper == key.toUpper())
            open.ChangePerson(row.ID, row);
    }
    for (const PersonRecord &row : from)
        if (!kept.contains(row.ID.toUpper()))
            open.RemovePerson(row.ID);
    // The selected box shows its children again: a child the change added is there at once,
    // after the save as after its redo.
    if (open.SelectedPerson())
        open.Select(open.SelectedKey(), true);
}

void ChangeHistory::RecordDeletePerson(const QString &tree, const PersonRecord &row,
                                       const QString &photoFolder, const QString &aside,
                                       std::optional<Genealogy::ModelSlice> before,
                                       const QString &next)
{
    auto *entry =
        new DeletePersonEntry(m_scene, tree, row, photoFolder, aside, std::move(before), next);
    logPerson(entry, tree, row.ID, &row, nullptr);
    m_stack.push(entry);
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
    auto *entry = new NewTreeEntry(m_scene, name, rows);
    Log(entry, name, QStringLiteral("tree"), QString(), name);
    m_stack.push(entry);
}

void ChangeHistory::RecordRenameTree(const QString &oldName, const QString &newName)
{
    auto *entry = new RenameTreeEntry(m_scene, oldName, newName);
    // The persons' entries follow the tree to its new name (and back with its undo).
    const Result<void> renamed = ChangeLog::renameTree(m_scene.tree.Store(), oldName, newName);
    Q_UNUSED(renamed);
    Log(entry, newName, QStringLiteral("tree"), oldName, newName);
    m_stack.push(entry);
}

void ChangeHistory::RecordImportTree(const QString &tree)
{
    const mDatabase &store = m_scene.tree.Store();
    // The import is one entry of the history kept in the database, undoable or not.
    const QString name = QStringLiteral("Import Tree %1").arg(tree);
    if (!KeepsWholeTree(store, tree)) {
        write(tree, QStringLiteral("tree"), name, QString(), tree);
        return;
    }
    const Result<bool> hasModel = ModelStore::hasModel(store, tree);
    Result<Genealogy::ModelSlice> after = ModelStore::readTree(store, tree);
    if (hasModel && after) {
        auto *entry = new ImportTreeEntry(m_scene, tree, std::move(*after), *hasModel);
        Log(entry, tree, QStringLiteral("tree"), QString(), tree);
        m_stack.push(entry);
    } else {
        write(tree, QStringLiteral("tree"), name, QString(), tree);
    }
}

void ChangeHistory::RecordUpdateTree(const QString &tree,
                                     std::optional<Genealogy::ModelSlice> before)
{
    std::optional<Genealogy::ModelSlice> after;
    if (before)
        after = ModelState(m_scene.tree.Store(), tree);
    if (!after) {
        write(tree, QStringLiteral("tree"), QStringLiteral("Update Tree %1").arg(tree), tree, tree);
        return;
    }
    auto *entry = new UpdateTreeEntry(m_scene, tree, std::move(*before), std::move(*after));
    Log(entry, tree, QStringLiteral("tree"), tree, tree);
    m_stack.push(entry);
}

void ChangeHistory::RecordDeleteTree(const QString &name, Genealogy::ModelSlice before,
                                     bool hadModel)
{
    auto *entry = new DeleteTreeEntry(m_scene, name, std::move(before), hadModel);
    Log(entry, name, QStringLiteral("tree"), name, QString());
    m_stack.push(entry);
}

void ChangeHistory::Log(const QUndoCommand *entry, const QString &tree, const QString &record,
                        const QString &before, const QString &after)
{
    write(tree, record, entry->text(), before, after);
    // Its undo and redo are kept too (stepped): the pointer names the entry while it lives.
    if (m_logged.size() > 4 * kUndoLimit) {
        QSet<const QUndoCommand *> live;
        for (int i = 0; i < m_stack.count(); ++i)
            live.insert(m_stack.command(i));
        m_logged.removeIf([&](const auto &it) { return !live.contains(it.key()); });
    }
    m_logged.insert(entry, {tree, record, before, after});
}

void ChangeHistory::stepped(const QUndoCommand &entry, bool undoing)
{
    const auto it = m_logged.constFind(&entry);
    if (it == m_logged.constEnd())
        return;
    const LogInfo &info = *it;
    // A rename taken back or made again: the entries follow the tree's name.
    QString tree = info.tree;
    if (info.record == QLatin1String("tree") && !info.before.isEmpty() && !info.after.isEmpty() &&
        info.before != info.after) {
        tree = undoing ? info.before : info.after;
        const Result<void> renamed =
            ChangeLog::renameTree(m_scene.tree.Store(), undoing ? info.after : info.before, tree);
        Q_UNUSED(renamed);
    }
    write(tree, info.record,
          (undoing ? QStringLiteral("Undo %1") : QStringLiteral("Redo %1")).arg(entry.text()),
          undoing ? info.after : info.before, undoing ? info.before : info.after);
}

void ChangeHistory::write(const QString &tree, const QString &record, const QString &command,
                          const QString &before, const QString &after)
{
    ChangeLog::Entry entry;
    entry.tree = tree;
    entry.record = record;
    entry.command = command;
    entry.before = before;
    entry.after = after;
    // The change itself is made: a history that cannot be written loses nothing of it.
    const Result<qint64> written = ChangeLog::add(m_scene.tree.Store(), std::move(entry));
    Q_UNUSED(written);
    emit Logged(tree, record);
}

void ChangeHistory::logPerson(const QUndoCommand *entry, const QString &tree, const QString &key,
                              const PersonRecord *before, const PersonRecord *after)
{
    Log(entry, tree, ChangeLog::personRecord(key), ChangeLog::rowsJson({{key, before}}),
        ChangeLog::rowsJson({{key, after}}));
}
