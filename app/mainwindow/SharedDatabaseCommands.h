#pragma once

#include "Result.h"
#include "ServerAddress.h"

#include <QObject>

class ChangeHistory;
class QAction;
class QTimer;
class QWidget;
class TreeCommands;
class TreeList;
class mDatabase;
struct AppState;

// File > Connect to Shared Database... and File > Use Local Database: the store moves to a
// family's database on a server, or back to the data folder's file. The open tree closes, the
// undo history (of the other database) is emptied and the tree list is filled from the new
// database. A server database without the program's tables gets them after a question; one made
// by a newer version opens read-only with a message. The address is remembered in the settings
// (AppState::SharedDatabase), never the password. When the server cannot be used the local
// database is opened again.
//
// While a shared database is open a timer watches it: when the server goes away (it stopped,
// the network broke; found by the timer or by any command) the store is read-only and the
// status bar says so; the timer then tries to open it again, and once it is back the status
// bar says so and the open tree stays open.
class SharedDatabaseCommands : public QObject
{
    Q_OBJECT

public:
    // Every reference must outlive this object; `window` parents the dialog and the messages.
    SharedDatabaseCommands(AppState &state, mDatabase &store, TreeCommands &commands,
                           TreeList &trees, ChangeHistory &history, QWidget *window);

    QAction *ConnectCommand() const { return m_connect; }
    QAction *LocalCommand() const { return m_local; }

    void mnuFileConnect();
    void mnuFileLocal();
    // Moves the store to the server (see the class); true when it is open there.
    bool Connect(const ServerAddress &address, const QString &password);
    // Back to the data folder's database; true when it is open.
    bool UseLocal();

    // What the status bar says of a store, and its tip.
    static QString DatabaseText(const mDatabase &store);
    static QString DatabaseTip(const mDatabase &store);
    // Opens the store on the server, asking before the program's tables are made there.
    static Result<void> OpenAsking(mDatabase &store, QWidget *window);

    // How often the shared database is checked (milliseconds; kWatchInterval unless set).
    static constexpr int kWatchInterval = 3000;
    void SetWatchInterval(int milliseconds);

signals:
    // Another database is open (or none could be): the status bar and the read-only mark follow.
    void DatabaseChanged();

private:
    void leaveDatabase();
    void watch();
    void followWatch();

    AppState &m_state;
    mDatabase &m_store;
    TreeCommands &m_commands;
    TreeList &m_trees;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_connect;
    QAction *m_local;
    QTimer *m_watch;
    bool m_wasUnreachable = false;
};
