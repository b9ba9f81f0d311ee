#include "LiveChanges.h"

#include "MessageService.h"
#include "OpenTree.h"
#include "StoreWatcher.h"
#include "TreeList.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QSet>
#include <QWidget>

LiveChanges::LiveChanges(OpenTree &tree, TreeList &trees, StoreWatcher &watcher, QWidget *window,
                         QObject *parent)
    : QObject(parent), m_tree(tree), m_trees(trees), m_window(window)
{
    connect(&watcher, &StoreWatcher::Changed, this, &LiveChanges::Apply);
}

QString LiveChanges::DeletedText(const QString &tree)
{
    return QStringLiteral("The tree '%1' was deleted by another user. It is closed.").arg(tree);
}

void LiveChanges::Apply(const QList<ChangeNotice> &notices)
{
    bool listChanged = false;
    bool rowsChanged = false; // some rows of the open tree: `keys`, or any when `everyRecord`
    bool everyRecord = false;
    QString renamedTo;
    QStringList keys;
    for (const ChangeNotice &notice : notices) {
        // A change after a rename of the open tree names it by its new name.
        const bool ofOpenTree =
            notice.kind == ChangeNotice::Kind::Any ||
            (m_tree.IsOpen() && (m_tree.IsOpenTree(notice.tree) ||
                                 (!renamedTo.isEmpty() && SameTable(renamedTo, notice.tree))));
        switch (notice.kind) {
        case ChangeNotice::Kind::Persons:
            rowsChanged = rowsChanged || ofOpenTree;
            if (ofOpenTree) {
                keys << notice.keys;
                everyRecord = everyRecord || notice.keys.isEmpty();
            }
            break;
        case ChangeNotice::Kind::TreeRenamed:
            listChanged = true;
            if (ofOpenTree)
                renamedTo = notice.newName;
            break;
        case ChangeNotice::Kind::Any:
        case ChangeNotice::Kind::TreeMade:
        case ChangeNotice::Kind::TreeDeleted:
            listChanged = true;
            rowsChanged = rowsChanged || ofOpenTree;
            everyRecord = everyRecord || ofOpenTree;
            break;
        }
    }

    const QStringList before = m_trees.Names();
    if (listChanged)
        m_trees.Update();
    if (m_tree.IsOpen()) {
        mDatabase &store = m_tree.Store();
        // A rename told by name is followed as it was made; the table it named may be gone
        // again since.
        if (!renamedTo.isEmpty() && !store.StoredTreeName(renamedTo).isEmpty()) {
            m_tree.Rename(store.StoredTreeName(renamedTo));
            m_trees.Choose(m_tree.CurrentTree());
        } else if ((listChanged || rowsChanged) &&
                   store.StoredTreeName(m_tree.CurrentTree()).isEmpty()) {
            treeGone(renamedTo, before);
        }
    }
    keys.removeDuplicates();
    // The persons a notice names are read alone; a change that names none reads the tree.
    if (m_tree.IsOpen() && rowsChanged && (everyRecord || !m_tree.ReconcileKeys(keys, keys))) {
        const Result<QList<PersonRecord>> rows = m_tree.Store().ReadTree(m_tree.CurrentTree());
        if (rows) // a read that failed changes nothing shown; the next change reads again
            m_tree.Reconcile(*rows, everyRecord ? QStringList() : keys);
    }
    emit Applied();
}

void LiveChanges::treeGone(const QString &renamedTo, const QStringList &before)
{
    const QString found = renamedTo.isEmpty() ? renamedTable(before) : QString();
    if (!found.isEmpty()) {
        m_tree.Rename(found);
        m_trees.Choose(found);
        return;
    }
    const QString name = m_tree.CurrentTree();
    m_tree.Close();
    m_trees.Choose(-1);
    ShowMessage(DeletedText(name), QStringLiteral("Tree deleted"), MsgIcon::Information,
                MsgButtons::OkOnly, m_window);
}

QString LiveChanges::renamedTable(const QStringList &before) const
{
    // A database file tells only that something changed: a tree that appeared as the open one
    // went, holding the same persons, is the open tree under a new name.
    QStringList added;
    for (const QString &name : m_trees.Names()) {
        if (!before.contains(name))
            added << name;
    }
    if (added.size() != 1)
        return {};
    const Result<QList<PersonRecord>> rows = m_tree.Store().ReadTree(added.first());
    if (!rows || rows->size() != m_tree.People().Count())
        return {};
    for (const PersonRecord &row : *rows) {
        if (!m_tree.People().Item(row.ID))
            return {};
    }
    return added.first();
}
