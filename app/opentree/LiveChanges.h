#pragma once

#include "ChangeNotice.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class OpenTree;
class QWidget;
class StoreWatcher;
class TreeList;

// Brings the changes other programs make to the database into the open tree and the tree list,
// which the views follow as they follow the user's own changes: persons added, changed and
// deleted by another user appear without a reload (the selection and the opened rows stay), the
// tree list shows trees made, renamed and deleted elsewhere, a renamed open tree goes on under
// its new name, and a deleted one is closed after the user is told. Views never read the
// database for this themselves.
class LiveChanges : public QObject
{
    Q_OBJECT

public:
    // All three must outlive this object; `window` parents the message about a deleted tree.
    LiveChanges(OpenTree &tree, TreeList &trees, StoreWatcher &watcher, QWidget *window = nullptr,
                QObject *parent = nullptr);

    // Brings in the changes `notices` tell of.
    void Apply(const QList<ChangeNotice> &notices);

    // What the user is told when another user deleted the open tree.
    static QString DeletedText(const QString &tree);

signals:
    // The changes were brought in (after the open tree and the tree list told theirs).
    void Applied();

private:
    // The open tree's table is gone: renamed (`renamedTo`, or found among the trees `before`
    // lacked) or deleted.
    void treeGone(const QString &renamedTo, const QStringList &before);
    // The name among the trees that were not listed before whose persons are those of the open
    // tree; "" when none is.
    QString renamedTable(const QStringList &before) const;

    OpenTree &m_tree;
    TreeList &m_trees;
    QPointer<QWidget> m_window;
};
