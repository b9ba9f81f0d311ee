#pragma once

#include "ChildIndex.h"
#include "cNode.h"
#include "cPeople.h"

#include <QObject>
#include <QString>

class QComboBox;
class QWidget;
class TreeChart;
class mDatabase;
struct AppState;

// Shows the open tree in the chart and walks it down one generation per click.
//
// Loading reads every person of the tree into People and puts the root persons (parent key
// "ROOT", exactly) into the first row. A click on a box cuts the rows below the box's row and
// adds a row with the clicked person's children. The window's title, status bar and
// information panel follow through the signals.
class TreeBrowser : public QObject
{
    Q_OBJECT
public:
    TreeBrowser(AppState &state, cPeople &people, TreeChart &chart, const mDatabase &store,
                QWidget *window);

    // The tree box whose entry follows the open tree (may be null).
    void setTreeBox(QComboBox *cboTrees) { m_cboTrees = cboTrees; }

    // Reads the tree into People and shows its root persons. False when the tree is empty
    // ("No records found." / "Empty tree") or could not be read (the usual error report).
    bool LoadTree(const QString &name);
    // Empties the chart and forgets the open tree; nothing happens when no tree is open.
    void CloseTree();
    // Empties chart, People and selection for a tree that was just created, and opens it.
    void ShowNewTree(const QString &name);

    // The chart's click: cuts the rows below the node's row, opens the person's children as a
    // new row and shows the person. `PartA` picks the caption used as window title.
    void VTree_NodeClick(const cNodePtr &node, bool PartA);
    // Shows the first row alone with nothing selected (after the selected root person was
    // deleted, when no box is left to click).
    void ShowRoots();

    // The children of a person, in the order of People (the index is kept up to date).
    const std::vector<cPersonPtr> &ChildrenOf(const QString &key);
    // Call after a person was added, changed or removed in People.
    void PeopleChanged() { m_children.Invalidate(); }
    // Takes a removed person out of the children index without a rebuild.
    void PersonRemoved(const cPerson &person) { m_children.Remove(person); }

    // The box made for a person: key, level, parent box and the captions (last name first);
    // every colour inherits the chart's (-1).
    static cNode MakeNode(const cPerson &person, int level, const cNodePtr &parent);
    // The title shown while no box has been clicked.
    static QString TreeTitle(const QString &treeName);

    // Selects the first entry equal to `name` (exact) in the tree box; none when absent.
    static void SelectTree(QComboBox &cboTrees, const QString &name);

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
    // Empties People and the children index; the old contents are freed after this event.
    void releaseTree();

    AppState &m_state;
    cPeople &m_people;
    TreeChart &m_chart;
    const mDatabase &m_store;
    QWidget *m_window;
    QComboBox *m_cboTrees = nullptr;
    ChildIndex m_children;
};
