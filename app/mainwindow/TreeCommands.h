#pragma once

#include <QObject>
#include <QString>

class ChangeHistory;
class OpenTree;
class QAction;
class QWidget;
class TreeList;
struct AppState;

// The main window's commands on trees: New, Open, Modify and Close Tree, Compress, and the tree
// box. They ask the open tree and the tree list for changes; the chart, the title, the status
// bar, the information panel and the tree box follow by themselves. Each command reports its own
// failures; none lets an error escape.
class TreeCommands : public QObject
{
    Q_OBJECT
public:
    // Every reference must outlive this object. `window` parents the dialogs and messages.
    // Every change is recorded in `history`, so that it can be undone.
    TreeCommands(AppState &state, OpenTree &tree, TreeList &trees, ChangeHistory &history,
                 QWidget *window);

    // File > New Tree (F2, toolbar "NEWTREE"), Open Tree (F3), Modify Tree (F4, "MODTREE"),
    // Close Tree (F6); Tools > Compress; the toolbar's "TREES" (no command is bound to it).
    QAction *NewTreeCommand() const { return m_new; }
    QAction *OpenTreeCommand() const { return m_open; }
    QAction *ModifyTreeCommand() const { return m_modify; }
    QAction *CloseTreeCommand() const { return m_close; }
    QAction *CompressCommand() const { return m_compress; }
    QAction *TreesButton() const { return m_trees_; }

    void mnuFileNew();
    void mnuFileOpen();
    void mnuFileModify();
    void mnuFileClose();
    void mnuToolsDbComp();

    // The user chose entry `index` of the tree box: another tree than the open one is loaded.
    void cboTrees_Click(int index);

    // Makes the new tree and opens it: the open tree stays as it was when the tree cannot be
    // made.
    bool CreateTree(const QString &name);
    // Empties the chart and forgets the open tree; nothing happens when no tree is open.
    void CloseTree();

private:
    bool renameTree(const QString &oldName, const QString &newName);
    void deleteTree(const QString &name);

    AppState &m_state;
    OpenTree &m_tree;
    TreeList &m_trees;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_new;
    QAction *m_open;
    QAction *m_modify;
    QAction *m_close;
    QAction *m_compress;
    QAction *m_trees_;
};
