#pragma once

#include <QObject>
#include <QString>

class OpenTree;
class QComboBox;
class QWidget;
class TreeBrowser;
class TreeChart;
class mDatabase;
struct AppState;

// The main window's commands on trees and on the selected person that need no edit window:
// new, open, modify and close tree, the tree box, delete person, refresh and compress.
// Each command reports its own failures; none lets an error escape.
class TreeCommands : public QObject
{
    Q_OBJECT
public:
    TreeCommands(AppState &state, OpenTree &tree, TreeChart &chart, mDatabase &store,
                 TreeBrowser &browser, QComboBox &cboTrees, QWidget *window);

    // File menu.
    void mnuFileNew();
    void mnuFileOpen();
    void mnuFileModify();
    void mnuFileClose();
    // Tools menu.
    void mnuToolsRefresh();
    void mnuToolsDbComp();
    // Person menu: delete the selected person.
    void mnuPersonDelete();

    // The user chose entry `index` of the tree box.
    void cboTrees_Click(int index);

    // Makes the new tree and opens it: the chart stays as it was when the tree cannot be made.
    bool CreateTree(const QString &name);
    // Fills the tree box again with every tree; no entry is selected.
    void RefillTreeBox();

    // True when a person with this key is in any tree (photo folders are shared by key), or when
    // that cannot be told for sure.
    bool KeyInAnyTree(const QString &key) const;
    // The help file handed to the Help button of the root-person question.
    QString HelpFile() const;

signals:
    // The thumbnail viewer lets go of a photo folder that is about to be deleted.
    void PhotosReleased();

private:
    bool renameTree(const QString &oldName, const QString &newName);
    // Reads the person again and shows it as it is stored now.
    void reloadPerson(const QString &key);
    void deleteTree(const QString &name);

    AppState &m_state;
    OpenTree &m_tree;
    TreeChart &m_chart;
    mDatabase &m_store;
    TreeBrowser &m_browser;
    QComboBox &m_cboTrees;
    QWidget *m_window;
};
