#pragma once

#include <QObject>
#include <QString>

class ChangeHistory;
class OpenTree;
class QAction;
class QWidget;
struct AppState;

// The commands of the details window: Person > Details... (Ctrl+Shift+P) for the selected person,
// the same for any person by key (the edit window's "Details..." button, the panel's links), and
// Tools > Sources... for the open tree's sources. Each window is shown modally through ModalSeam;
// a save is recorded in the history (one change, undoable) and the open tree follows it, so the
// chart, the panel and the title show the change.
class DetailsCommands : public QObject
{
    Q_OBJECT

public:
    DetailsCommands(AppState &state, OpenTree &tree, ChangeHistory &history, QWidget *window);

    QAction *DetailsCommand() const { return m_details; }
    QAction *SourcesCommand() const { return m_sources; }

    // The details of the person with `key` in the open tree; true when a change was saved.
    bool ShowDetails(const QString &key);
    void ShowSources();

private:
    AppState &m_state;
    OpenTree &m_tree;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_details;
    QAction *m_sources;
};
