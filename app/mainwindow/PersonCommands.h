#pragma once

#include "cNode.h"

#include <QObject>
#include <QString>

#include <functional>

class ChangeHistory;
class OpenTree;
class QAction;
class QWidget;
struct AppState;
struct PersonRecord;

// The main window's commands on persons: New person, Edit person (also the double-click on a
// box) and Delete person. New and Edit make a fresh edit window, fill it, show it modally through
// ModalSeam and destroy it afterwards; its save reaches the open tree through an edit host, and
// the chart, the information panel and the status bar follow the open tree by themselves.
// Delete removes the person's row, and its photo folder with the last person of its key (kept
// aside while the deletion can be undone).
class PersonCommands : public QObject
{
    Q_OBJECT

public:
    // Every reference must outlive this object. `window` parents the edit window and messages.
    // Every change is recorded in `history`, so that it can be undone.
    PersonCommands(AppState &state, OpenTree &tree, ChangeHistory &history, QWidget *window);

    // Person > New (Ctrl+N, toolbar "NEWPRS"), Edit (Ctrl+E, "EDITPRS"), Delete (Ctrl+D,
    // "DELPRS").
    QAction *NewCommand() const { return m_new; }
    QAction *EditCommand() const { return m_edit; }
    QAction *DeleteCommand() const { return m_delete; }

    // New person: only with a tree open. A new child starts with the selected person as parent
    // and with the parent's last name and home; the first person of an empty tree is a root
    // (kRootKey, locked). Afterwards the selected person is shown again, so that a new child shows
    // in the row below its box.
    void mnuPersonNew();
    // Edit person: only when the selected key names a person in People.
    void mnuPersonEdit();
    // A double-click on a box: Edit person, then the person shown with the box's half that was
    // double-clicked (the window title shows its caption).
    void VTree_NodeDblClick(const cNodePtr &node, bool PartA);
    // Delete person: only when the selected key names a person in People. A root person is
    // asked about with the "Crucial!" question, any other with a confirmation; afterwards its
    // parent is selected (nothing, for a root person).
    void mnuPersonDelete();

    // Who opens the details window for the edit window's "Details..." button.
    void SetDetailsOpener(std::function<bool(const QString &key)> opener)
    {
        m_showDetails = std::move(opener);
    }

    // True when a person with this key is in any tree (photo folders are shared by key), or when
    // that cannot be told for sure.
    bool KeyInAnyTree(const QString &key) const;
    // The help file handed to the Help button of the root-person question.
    QString HelpFile() const;

private:
    // Shows the window; true when the person was saved.
    bool showEditWindow(const PersonRecord &fill, bool lockParent, bool EditMode);
    bool treeHasRows() const;
    // Reads the person again and shows it as it is stored now.
    void reloadPerson(const QString &key);

    AppState &m_state;
    OpenTree &m_tree;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_new;
    QAction *m_edit;
    QAction *m_delete;
    std::function<bool(const QString &key)> m_showDetails;
};
