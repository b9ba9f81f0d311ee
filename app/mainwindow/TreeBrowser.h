#pragma once

#include "cNode.h"
#include "cPeople.h"

#include <QObject>
#include <QString>
#include <QStringList>

class OpenTree;
class QComboBox;
class QWidget;
class TreeChart;
class mDatabase;

// Shows the open tree in the chart and walks it down one generation per click.
//
// Loading has the open tree read every person and puts the root persons (parent key kRootKey,
// exactly) into the first row. A click on a box cuts the rows below the box's row and adds a row
// with the clicked person's children. The busy pointer and the messages are shown here; the
// window's title, status bar and information panel follow through the signals.
class TreeBrowser : public QObject
{
    Q_OBJECT
public:
    TreeBrowser(OpenTree &tree, TreeChart &chart, const mDatabase &store, QWidget *window);

    // The tree box whose entry follows the open tree (may be null).
    void setTreeBox(QComboBox *cboTrees) { m_cboTrees = cboTrees; }

    // Opens the tree and shows its root persons. False when the tree is empty ("No records
    // found." / "Empty tree") or could not be read (the usual error report).
    bool LoadTree(const QString &name);
    // Empties the chart and forgets the open tree; nothing happens when no tree is open.
    void CloseTree();
    // Opens a tree that was just created: an empty chart, no persons, nothing selected.
    void ShowNewTree(const QString &name);

    // The chart's click: cuts the rows below the node's row, opens the person's children as a
    // new row and shows the person. `PartA` picks the caption used as window title.
    void VTree_NodeClick(const cNodePtr &node, bool PartA);
    // Shows the first row alone with nothing selected (after the selected root person was
    // deleted, when no box is left to click).
    void ShowRoots();

    // The box made for a person: key, level, parent box and the captions (last name first);
    // every colour inherits the chart's (-1).
    static cNode MakeNode(const cPerson &person, int level, const cNodePtr &parent);
    // The title shown while no box has been clicked.
    static QString TreeTitle(const QString &treeName);

    // Selects the first entry equal to `name` (exact) in the tree box; none when absent.
    static void SelectTree(QComboBox &cboTrees, const QString &name);
    // Fills the tree box with the names, nothing chosen.
    static void FillTreeBox(QComboBox &cboTrees, const QStringList &names);

signals:
    void TitleChanged(const QString &title);
    // The two panels of the status bar.
    void StatusChanged(const QString &name, const QString &lifeSpan);
    // The information panel is to be emptied (load, close, new tree).
    void InfoPanelCleared();
    // A person was clicked: the information panel, when shown, displays it.
    void PersonShown(const cPersonPtr &person);

private:
    void resetView(const QString &title);
    // The open tree has a new name: the title follows while no box is clicked.
    void onCurrentTreeChanged(const QString &name);

    OpenTree &m_tree;
    TreeChart &m_chart;
    const mDatabase &m_store;
    QWidget *m_window;
    QComboBox *m_cboTrees = nullptr;
};
