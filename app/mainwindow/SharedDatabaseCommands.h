#pragma once

#include "Result.h"
#include "ServerAddress.h"

#include <QObject>

class ChangeHistory;
class OpenTree;
class PasswordKeyring;
class dlgConnect;
class QAction;
class QTimer;
class QWidget;
class TreeCommands;
class TreeList;
class mDatabase;
struct AppState;

// File > Connect to Shared Database..., File > Use Local Database and File > Copy Tree To...
// (the open tree copied to another database, the store in use only read). The first two move the
// store to a
// family's database on a server, or back to the data folder's file. The open tree closes, the
// undo history (of the other database) is emptied and the tree list is filled from the new
// database. A server database without the program's tables gets them after a question; one made
// by a newer version opens read-only with a message. The address is remembered in the settings
// (AppState::SharedDatabase), never the password: that is kept in the desktop keyring when the
// dialog's box asks for it (PasswordKeyring), and read from there at the next connect. When the
// server cannot be used the local database is opened again. Its photos are kept in the folder
// the database names, or this computer's own path to it (AppState::SharedPhotoFolder); when that
// cannot be reached the user is told once and the photos are unavailable.
//
// While a shared database is open a timer watches it: when the server goes away (it stopped,
// the network broke; found by the timer or by any command) the store is read-only and the
// status bar says so; the timer then tries to open it again, and once it is back the status
// bar says so and the open tree stays open. While it answers, the timer reads the role's rights
// again: a tree or the database made read-only by a REVOKE gets the marks of the tree list and
// the status bar and its changes are refused; one made writable by a GRANT loses them.
class SharedDatabaseCommands : public QObject
{
    Q_OBJECT

public:
    // Every reference must outlive this object; `window` parents the dialog and the messages.
    SharedDatabaseCommands(AppState &state, mDatabase &store, OpenTree &tree,
                           TreeCommands &commands, TreeList &trees, ChangeHistory &history,
                           QWidget *window);

    QAction *ConnectCommand() const { return m_connect; }
    QAction *LocalCommand() const { return m_local; }
    QAction *CopyTreeCommand() const { return m_copyTree; }

    void mnuFileConnect();
    void mnuFileLocal();
    // File > Copy Tree To...: the open tree copied to another database (CopyTreeRun).
    void mnuFileCopyTree();
    // Moves the store to the server (see the class); true when it is open there.
    bool Connect(const ServerAddress &address, const QString &password);
    // Back to the data folder's database; true when it is open.
    bool UseLocal();

    // What the status bar says of a store, and its tip.
    static QString DatabaseText(const mDatabase &store);
    static QString DatabaseTip(const mDatabase &store);
    // Opens the store on the server, asking before the program's tables are made there.
    static Result<void> OpenAsking(mDatabase &store, QWidget *window);

    PasswordKeyring &Keyring() const { return *m_keyring; }

    // How often the shared database is checked (milliseconds; kWatchInterval unless set).
    static constexpr int kWatchInterval = 3000;
    void SetWatchInterval(int milliseconds);

signals:
    // Another database is open (or none could be): the status bar and the read-only mark follow.
    void DatabaseChanged();

private:
    void leaveDatabase();
    // The dialog asks the keyring for the password of the address it shows, when one was kept.
    void askKeyring(dlgConnect &dialog, const ServerAddress &address);
    // After a connect: the password kept in the keyring, or taken out of it.
    void keepPassword(const ServerAddress &address, const QString &password, bool remember);
    void tellNoKeyring();
    // The photos kept where the database names them or this computer's own folder for it;
    // unreachable, said once.
    void placePhotos(const ServerAddress &address);
    void watch();
    void followWatch();
    void followRights();

    AppState &m_state;
    mDatabase &m_store;
    OpenTree &m_tree;
    TreeCommands &m_commands;
    TreeList &m_trees;
    ChangeHistory &m_history;
    QWidget *m_window;
    QAction *m_connect;
    QAction *m_local;
    QAction *m_copyTree;
    PasswordKeyring *m_keyring;
    QTimer *m_watch;
    bool m_wasUnreachable = false;
    bool m_wasReadOnly = false;
    bool m_wasDatabaseReadOnly = false;
};
