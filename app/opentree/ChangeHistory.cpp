#include "ChangeHistory.h"

#include "ChangeEntries.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "mDatabase.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

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
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    const QString root = QDir(dataPath).filePath(QStringLiteral(".deleted"));
    if (!QDir().mkpath(root))
        return {};
    // A name no other change has: the process, the time and a counter.
    static int counter = 0;
    const QString base = QStringLiteral("%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    QString aside;
    do {
        aside = QDir(root).filePath(base + QLatin1Char('-') + QString::number(++counter));
    } while (QFileInfo::exists(aside));
    if (!QDir().rename(QDir::cleanPath(folder), aside))
        return {};
    return aside;
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

void ChangeHistory::RecordModelEdit(const QString &tree, const QString &key, const QString &text,
                                    const Genealogy::ModelSlice &before,
                                    const Genealogy::ModelSlice &after)
{
    if (!KeepsWholeTree(m_scene.tree.Store(), tree))
        return;
    m_stack.push(new ModelEditEntry(m_scene, text, tree, key, before, after));
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

void ChangeHistory::RecordDeleteTree(const QString &name, Genealogy::ModelSlice before,
                                     bool hadModel)
{
    m_stack.push(new DeleteTreeEntry(m_scene, name, std::move(before), hadModel));
}
