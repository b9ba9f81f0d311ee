#pragma once

#include "cNode.h"

#include <QObject>
#include <QString>

#include <functional>

class OpenTree;
class QWidget;
class TreeBrowser;
class TreeChart;
class cPerson;
struct PersonRecord;
class mDatabase;
struct AppState;

// The main window's commands that open the person edit window: New person and Edit person
// (also the double-click on a box). Each opening makes a fresh edit window, fills it, shows it
// modally through ModalSeam and destroys it afterwards; the window's save reaches the program
// through an edit host over the objects given here.
//
// Wiring in frmMain (a few lines):
//
//     m_personCommands = new PersonCommands(m_state, m_store, m_tree, *VTree, *m_browser, this);
//     m_personCommands->setStatusSetter([this](const QString &name, const QString &span) {
//         setStatusTexts(name, span); });                     // both panels, then redraw
//     m_personCommands->setInfoPanel({
//         [this] { return m_info->isVisible(); },
//         [this](const cPerson &p) { m_info->ShowPersonValues(p.toRecord()); },
//         [this](bool show) { m_info->ShowDeathFields(show); },
//         [this] { m_info->RefreshPhotos(); }});
//     connect(mnuPersonNew, &QAction::triggered, m_personCommands, &PersonCommands::mnuPersonNew);
//     connect(mnuPersonEdit, &QAction::triggered, m_personCommands,
//     &PersonCommands::mnuPersonEdit); connect(VTree, &TreeChart::NodeDblClick, m_personCommands,
//             &PersonCommands::VTree_NodeDblClick);
//     connect(m_personCommands, &PersonCommands::TitleChanged, this, &QWidget::setWindowTitle);
//
// The toolbar buttons "NEWPRS" and "EDITPRS" call the same two slots. Without an information
// panel hook the panel counts as hidden; without a status setter the status bar is left alone.
class PersonCommands : public QObject
{
    Q_OBJECT

public:
    // What the edit window's save does to the main window's information panel.
    struct InfoPanelHooks
    {
        std::function<bool()> visible;                   // is the panel shown?
        std::function<void(const cPerson &)> showValues; // copy the values (not the key)
        std::function<void(bool)> showDeathFields;       // death date/place and labels
        std::function<void()> redrawThumbs;              // list the photo folder again
    };
    // Sets panel 1 (name) and panel 2 (life span) of the status bar and redraws it.
    using StatusSetter = std::function<void(const QString &name, const QString &lifeSpan)>;

    // Every reference must outlive this object. `window` parents the edit window.
    PersonCommands(AppState &state, mDatabase &store, OpenTree &tree, TreeChart &chart,
                   TreeBrowser &browser, QWidget *window);

    void setInfoPanel(InfoPanelHooks hooks) { m_info = std::move(hooks); }
    void setStatusSetter(StatusSetter setter) { m_status = std::move(setter); }

public slots:
    // New person (Ctrl+N, "NEWPRS"): only with a tree open. A new child starts with the
    // selected person as parent and with the parent's last name and home; the first person of
    // an empty tree is a root (kRootKey, locked). Afterwards the selected box is clicked again so
    // that a new child shows.
    void mnuPersonNew();
    // Edit person (Ctrl+E, "EDITPRS"): only when the selected key names a person in People.
    void mnuPersonEdit();
    // A double-click on a box: Edit person, then the title from the box's upper or lower half.
    void VTree_NodeDblClick(const cNodePtr &node, bool PartA);

signals:
    void TitleChanged(const QString &title);

private:
    // Shows the window; true when the person was saved.
    bool showEditWindow(const PersonRecord &fill, bool lockParent);
    bool treeHasRows() const;

    AppState &m_state;
    mDatabase &m_store;
    OpenTree &m_tree;
    TreeChart &m_chart;
    TreeBrowser &m_browser;
    QWidget *m_window;
    InfoPanelHooks m_info;
    StatusSetter m_status;
};
