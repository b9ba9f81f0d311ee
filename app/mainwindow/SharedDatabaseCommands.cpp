#include "SharedDatabaseCommands.h"

#include "AppState.h"
#include "ChangeHistory.h"
#include "CommandAction.h"
#include "CopyTreeRun.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "PasswordKeyring.h"
#include "SharedPhotos.h"
#include "TreeCommands.h"
#include "TreeList.h"
#include "WaitCursor.h"
#include "dlgConnect.h"
#include "mDatabase.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <QUndoStack>

namespace {

const QString kTitle = QStringLiteral("Shared Database");

} // namespace

SharedDatabaseCommands::SharedDatabaseCommands(AppState &state, mDatabase &store, OpenTree &tree,
                                               TreeCommands &commands, TreeList &trees,
                                               ChangeHistory &history, QWidget *window)
    : QObject(window), m_state(state), m_store(store), m_tree(tree), m_commands(commands),
      m_trees(trees), m_history(history), m_window(window),
      m_connect(MakeCommand(this, QStringLiteral("mnuFileConnect"),
                            QStringLiteral("Connect to Shared Database..."))),
      m_local(
          MakeCommand(this, QStringLiteral("mnuFileLocal"), QStringLiteral("Use Local Database"))),
      m_copyTree(
          MakeCommand(this, QStringLiteral("mnuFileCopyTree"), QStringLiteral("Copy Tree To..."))),
      m_keyring(new PasswordKeyring(this)), m_watch(new QTimer(this))
{
    connect(m_connect, &QAction::triggered, this, &SharedDatabaseCommands::mnuFileConnect);
    connect(m_local, &QAction::triggered, this, &SharedDatabaseCommands::mnuFileLocal);
    connect(m_copyTree, &QAction::triggered, this, &SharedDatabaseCommands::mnuFileCopyTree);
    // A tree to copy is the open one.
    m_copyTree->setEnabled(m_tree.IsOpen());
    connect(&m_tree, &OpenTree::CurrentTreeChanged, this,
            [this] { m_copyTree->setEnabled(m_tree.IsOpen()); });
    m_watch->setObjectName(QStringLiteral("tmrServerWatch"));
    m_watch->setInterval(kWatchInterval);
    connect(m_watch, &QTimer::timeout, this, &SharedDatabaseCommands::watch);
    connect(this, &SharedDatabaseCommands::DatabaseChanged, this,
            &SharedDatabaseCommands::followWatch);
    // It does nothing while the database is the local file.
    m_watch->start();
}

void SharedDatabaseCommands::SetWatchInterval(int milliseconds)
{
    m_watch->setInterval(milliseconds);
}

void SharedDatabaseCommands::followWatch()
{
    m_wasUnreachable = m_store.IsUnreachable();
    m_wasReadOnly = m_store.IsReadOnly();
    m_wasDatabaseReadOnly = m_store.IsDatabaseReadOnly();
}

void SharedDatabaseCommands::followRights()
{
    // A GRANT or REVOKE made while connected counts now: the read-only marks of the tree list,
    // the status bar and the refusals follow.
    if (!m_store.RefreshRights())
        return; // the server gone: the next tick says so
    m_trees.Update();
    if (m_store.IsReadOnly() != m_wasReadOnly ||
        m_store.IsDatabaseReadOnly() != m_wasDatabaseReadOnly)
        emit DatabaseChanged();
}

void SharedDatabaseCommands::watch()
{
    if (!m_store.IsShared())
        return;
    // A command may have found it gone already; else one small statement asks (a connection the
    // driver closed by itself counts as gone).
    if (!m_store.IsUnreachable())
        std::ignore = m_store.CheckServer();
    if (!m_store.IsOpen() && !m_store.IsUnreachable())
        return; // closed on purpose
    if (!m_store.IsUnreachable()) {
        followRights();
        return;
    }
    if (!m_wasUnreachable) {
        emit DatabaseChanged(); // the status bar says so
        return;
    }
    // Gone: opened again as soon as the server answers. The open tree stays open (its rows are
    // in memory); the list of trees follows what the database holds now.
    if (!m_store.OpenDatabase())
        return;
    m_trees.Update();
    emit DatabaseChanged();
}

QString SharedDatabaseCommands::DatabaseText(const mDatabase &store)
{
    if (!store.IsShared())
        return QStringLiteral("Local database");
    if (store.IsUnreachable())
        return QStringLiteral("Shared database unreachable \u2014 read only");
    return QStringLiteral("Shared: ") + store.DatabaseDisplayName();
}

QString SharedDatabaseCommands::DatabaseTip(const mDatabase &store)
{
    if (!store.IsShared())
        return QStringLiteral("The database of this computer: %1")
            .arg(QDir::toNativeSeparators(store.DatabasePath()));
    if (store.IsUnreachable())
        return QStringLiteral("The shared database %1 cannot be reached at present. Nothing can "
                              "be changed until it is back; Velkin Tree checks for it and "
                              "connects again by itself.")
            .arg(store.DatabaseDisplayName());
    return QStringLiteral("The shared database %1").arg(store.DatabaseDisplayName());
}

Result<void> SharedDatabaseCommands::OpenAsking(mDatabase &store, QWidget *window)
{
    store.SetCreateTables(false);
    Result<void> opened = store.OpenDatabase();
    if (opened || !opened.error().is(ErrorCode::Missing))
        return opened;
    const MsgResult answer = ShowMessage(
        opened.error().text() + QStringLiteral("\r\n\r\nMake them now? The database then holds the "
                                               "trees of Velkin Tree (and an example tree) beside "
                                               "anything it holds already, which stays as it is."),
        kTitle, MsgIcon::Question, MsgButtons::YesNo, window);
    if (answer != MsgResult::Yes)
        return Error(ErrorCode::Cancelled, QStringLiteral("The tables were not made."));
    WaitCursor busy;
    store.SetCreateTables(true);
    opened = store.OpenDatabase();
    store.SetCreateTables(false);
    return opened;
}

void SharedDatabaseCommands::leaveDatabase()
{
    m_commands.CloseTree();
    // Its entries name trees and rows of the database that is left.
    m_history.Stack().clear();
}

void SharedDatabaseCommands::mnuFileConnect()
{
    dlgConnect dialog(
        [](const ServerAddress &address, const QString &password) {
            mDatabase trial;
            trial.SetServer(address, password);
            return trial.OpenDatabase();
        },
        m_window);
    // The database in use, else the one whose password the keyring keeps.
    const QString shown =
        m_state.SharedDatabase.isEmpty() ? m_state.SharedKeyringAddress : m_state.SharedDatabase;
    if (const Result<ServerAddress> remembered = ParseServerAddress(shown);
        !shown.isEmpty() && remembered) {
        dialog.SetAddress(*remembered);
        if (m_state.SharedPhotoFolderFor == SharedPhotos::DatabaseEntry(*remembered))
            dialog.SetPhotoFolder(m_state.SharedPhotoFolder);
        askKeyring(dialog, *remembered);
    }
    ModalSeam::exec(dialog);
    if (!dialog.Connected())
        return;
    const ServerAddress address = dialog.ConnectAddress();
    // This computer's own folder (none when the database is to name it for everyone).
    const QString folder = dialog.PhotoFolder();
    m_state.SharedPhotoFolder = dialog.PhotoFolderForAll() ? QString() : folder;
    m_state.SharedPhotoFolderFor =
        m_state.SharedPhotoFolder.isEmpty() ? QString() : SharedPhotos::DatabaseEntry(address);
    if (!Connect(address, dialog.Password()))
        return;
    keepPassword(address, dialog.Password(), dialog.RememberPassword());
    if (dialog.PhotoFolderForAll()) {
        if (const Result<void> named = SharedPhotos::Name(m_store, folder); !named)
            ShowMessage(named.error().text(), kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly,
                        m_window);
        placePhotos(address);
    }
}

void SharedDatabaseCommands::placePhotos(const ServerAddress &address)
{
    const QString own = m_state.SharedPhotoFolderFor == SharedPhotos::DatabaseEntry(address)
                            ? m_state.SharedPhotoFolder
                            : QString();
    const QString problem = SharedPhotos::Apply(m_store, own, m_state.DataPath);
    if (!problem.isEmpty())
        ShowMessage(problem, kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
}

void SharedDatabaseCommands::askKeyring(dlgConnect &dialog, const ServerAddress &address)
{
    const Result<ServerAddress> kept = ParseServerAddress(m_state.SharedKeyringAddress);
    if (m_state.SharedKeyringAddress.isEmpty() || !kept ||
        PasswordKeyring::EntryOf(*kept) != PasswordKeyring::EntryOf(address))
        return;
    dialog.SetKeyringPending(true);
    // The dialog may be closed before the keyring answers.
    QPointer<dlgConnect> open(&dialog);
    m_keyring->Read(PasswordKeyring::EntryOf(address),
                    [this, open](const PasswordKeyring::Answer &answer) {
                        if (!open)
                            return;
                        open->SetKeyringPassword(answer.password);
                        if (answer.state == PasswordKeyring::State::Unavailable)
                            tellNoKeyring();
                    });
}

void SharedDatabaseCommands::keepPassword(const ServerAddress &address, const QString &password,
                                          bool remember)
{
    const QString entry = PasswordKeyring::EntryOf(address);
    const Result<ServerAddress> kept = ParseServerAddress(m_state.SharedKeyringAddress);
    const bool keptHere =
        !m_state.SharedKeyringAddress.isEmpty() && kept && PasswordKeyring::EntryOf(*kept) == entry;
    if (!remember) {
        if (keptHere) {
            m_keyring->Forget(entry);
            m_state.SharedKeyringAddress.clear();
        }
        return;
    }
    if (password.isEmpty())
        return; // from the password file: nothing to keep
    const QString keywords = address.Keywords();
    m_keyring->Write(entry, password, [this, keywords](const PasswordKeyring::Answer &answer) {
        if (answer.state == PasswordKeyring::State::Found) {
            m_state.SharedKeyringAddress = keywords;
            return;
        }
        if (m_state.SharedKeyringAddress == keywords)
            m_state.SharedKeyringAddress.clear();
        tellNoKeyring();
    });
}

void SharedDatabaseCommands::tellNoKeyring()
{
    const QString text = m_keyring->UnavailableText();
    if (!text.isEmpty())
        ShowMessage(text, kTitle, MsgIcon::Information, MsgButtons::OkOnly, m_window);
}

void SharedDatabaseCommands::mnuFileCopyTree()
{
    if (!m_tree.IsOpen())
        return;
    const QString tree = m_tree.CurrentTree();
    const QString offered =
        m_state.SharedDatabase.isEmpty() ? m_state.SharedKeyringAddress : QString();
    QString address;
    if (const Result<ServerAddress> known = ParseServerAddress(offered);
        !offered.isEmpty() && known)
        address = known->Keywords();
    dlgCopyTree dialog(tree, m_store.IsShared(), address, m_window);
    ModalSeam::exec(dialog);
    if (!dialog.Accepted())
        return;
    CopyTreeRun::Run(
        m_store, tree, dialog.Chosen(), m_state.DataPath,
        [this](const ServerAddress &target) {
            return m_state.SharedPhotoFolderFor == SharedPhotos::DatabaseEntry(target)
                       ? m_state.SharedPhotoFolder
                       : QString();
        },
        m_window);
}

void SharedDatabaseCommands::mnuFileLocal()
{
    if (!m_store.IsShared())
        return;
    UseLocal();
}

bool SharedDatabaseCommands::Connect(const ServerAddress &address, const QString &password)
{
    leaveDatabase();
    m_store.SetServer(address, password);
    const Result<void> opened = OpenAsking(m_store, m_window);
    if (!opened) {
        if (!opened.error().is(ErrorCode::Cancelled))
            ShowMessage(opened.error().text() +
                            QStringLiteral("\r\n\r\nThe database of this computer is used."),
                        kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        UseLocal();
        return false;
    }
    m_state.SharedDatabase = address.Keywords();
    placePhotos(address);
    m_trees.Refill();
    emit DatabaseChanged();
    if (!m_store.OpenNotice().isEmpty())
        ShowMessage(m_store.OpenNotice(), kTitle, MsgIcon::Information, MsgButtons::OkOnly,
                    m_window);
    return true;
}

bool SharedDatabaseCommands::UseLocal()
{
    leaveDatabase();
    m_store.SetLocal();
    m_state.SharedDatabase.clear();
    const Result<void> opened = m_store.OpenDatabase();
    m_trees.Refill();
    emit DatabaseChanged();
    if (!opened)
        ShowMessage(opened.error().text(), kTitle, MsgIcon::Critical, MsgButtons::OkOnly, m_window);
    return opened.ok();
}
