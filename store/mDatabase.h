#pragma once

#include "PersonRecord.h"
#include "PersonRowText.h"
#include "Result.h"
#include "ServerAddress.h"
#include "StoreConnection.h"
#include "TreeTables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The paths of the store: the data folder (ending with '/'), the database file in it, and the
// descriptive connection text built from them.
struct StorePaths
{
    QString DataPath;
    QString DatabasePath;
    QString ConnectionString;
};

// True when the database file and its folder can both be written (the engine writes its journal
// beside the file).
bool DatabaseIsWritable(const QString &databasePath);
// Why a database cannot be written, as the user is told it: "the file is read-only", "its
// folder '<folder>' is read-only", or, when neither can be told, "the file or its folder is
// read-only".
QString ReadOnlyReason(const QString &databasePath);

// The person store: one SQLite file holding the template table "main" and one table per family
// tree. The object owns the one connection of the program (a connection name of its own, closed
// and removed when the object goes). Every value reaches SQL as a bound parameter and every tree
// name as a quoted identifier, so any text is stored and read back exactly.
//
// Operations that can fail return a Result; its Error says what went wrong:
//   Taken            - the tree name or the person's key is in use already;
//   InvalidInput     - a name the rules refuse, a name that is no tree, a statement the engine
//                      could not run;
//   ReadOnly         - the store was opened for reading, or the file cannot be written;
//   TreeMissing      - the tree's table is gone (another program deleted or renamed it);
//   ChangedElsewhere, Missing - the person's row was changed or deleted by another program;
//   Busy, Full, Damaged, NoPermission - the file failed: another program holds it (after
//                      waiting BusyTimeout), the disk is full, the file is damaged or cannot be
//                      read or written (FileErrors);
//   Failed           - the store is not open, and every other failure of the engine.
// The text is the one to show the user; a failure of the file names the database as the place
// at fault. A change that fails leaves the file as it was.
class mDatabase
{
public:
    mDatabase();
    ~mDatabase();
    mDatabase(const mDatabase &) = delete;
    mDatabase &operator=(const mDatabase &) = delete;

    // The database file is dataPath + "people.db"; the connection text ends with "PASSWORD="
    // and nothing after it. The store keeps the paths for OpenDatabase and Compress.
    StorePaths BuildConnectionString(const QString &dataPath);
    // Uses the paths directly (tests, tools). dataPath ends with '/'.
    void SetPaths(const QString &dataPath, const QString &databasePath);

    // Uses the shared database on a server instead of the data folder's file, from the next
    // OpenDatabase on (the data folder keeps its photos until SetPhotoHome). `password` serves this
    // connection only and is kept nowhere else; empty: the password file (~/.pgpass or
    // PGPASSFILE), or none. The program's tables live in a schema of their own there.
    void SetServer(const ServerAddress &address, const QString &password = QString());
    // Back to the data folder's file.
    void SetLocal();
    bool IsShared() const { return m_server.has_value(); }
    // True while the connection to the shared database is encrypted (TLS).
    bool IsEncrypted() const;
    // Whether opening a shared database that holds none of the program's tables makes them (the
    // template and the example tree). Without it such an open fails with Missing, saying so.
    void SetCreateTables(bool create) { m_createTables = create; }
    // The open database as the user is told it: the file's path, or the server's address
    // (never a password).
    QString DatabaseDisplayName() const;
    // What the user should be told after a successful open ("" when nothing): the tables were
    // made by a newer version of the program, so the database is open read-only.
    QString OpenNotice() const { return m_openNotice; }
    // The version of the program's tables on a server that this program knows (a newer one is
    // opened read-only).
    // Version 2 leaves out the partnerships a person's families already say.
    static constexpr int kServerSchemaVersion = 2;
    // What the user is told of a database whose tables a newer version made.
    static QString NewerVersionText(const QString &where, int version, int known);

    // Opens the database file. A missing file is created first with the template table and the
    // example tree; an existing file is never changed by this (beyond completing or undoing a
    // change a crash interrupted). True when the connection is open and the file is a readable
    // database. A file that cannot be written (or whose folder cannot) is opened read-only: it
    // can be listed and read, and every change is refused with a description that says so.
    // A file that is empty, not a database or cut off is not opened at all.
    Result<void> OpenDatabase();
    // Why the last OpenDatabase failed, naming the path that is the problem: the data folder
    // (missing and cannot be made, a file, read-only for a new database), or the database file
    // (damaged, not a database, cut off, unreadable, held by another program). No error after
    // a successful open.
    const Error &OpenError() const { return m_openError; }
    bool IsOpen() const;
    // True while changes to what is open are refused: the whole database is read-only, or the
    // open tree (SetOpenTree) is one the user may read but not change.
    bool IsReadOnly() const { return m_readOnly || m_openTreeReadOnly || m_unreachable; }
    // True when no tree of the database can be changed (the file cannot be written, the
    // server's role may change nothing, a newer version's tables).
    bool IsDatabaseReadOnly() const { return m_readOnly || m_unreachable; }
    // True from the moment the connection to the shared database is found lost (by any
    // statement, or CheckServer) until it is opened again: every change is refused meanwhile.
    bool IsUnreachable() const { return m_unreachable; }
    // Whether the shared database still answers (one small statement); Unreachable, saying so,
    // when the connection is lost. Nothing is checked on a database file.
    Result<void> CheckServer();
    // True when the user may read the tree but not change it: the database is read-only, or the
    // shared database's role has no right to change that tree (ServerRights).
    bool IsTreeReadOnly(const QString &tree) const;
    // The listed trees the user may read but not change (all of them on a read-only database).
    QStringList ReadOnlyTrees() const;
    // The shared database's rights read again, so that a GRANT or REVOKE made while connected
    // counts now: whether the database and the open tree can be changed. True when either
    // changed. Nothing is read on a database file, a lost connection or tables of a newer
    // version (read-only whatever the rights).
    Result<bool> RefreshRights();
    // The tree the windows show ("" for none): while it is one the user may not change,
    // IsReadOnly is true.
    void SetOpenTree(const QString &tree);
    bool IsOpenTreeReadOnly() const { return m_openTreeReadOnly; }
    // The refusal a change of the tree gets (not open, read-only, a tree the user may read but
    // not change, the server gone); no error when it may be changed.
    Error RefuseTreeChange(const QString &tree) const { return refuseChange(tree); }
    QString OpenTreeName() const { return m_openTree; }
    // Decides whether a database file can be written (default: DatabaseIsWritable). For tests.
    void SetWriteCheck(std::function<bool(const QString &databasePath)> check)
    {
        m_writeCheck = std::move(check);
    }
    // How long a change waits for another program that holds the database (milliseconds;
    // Store::StoreConnection::kBusyTimeoutMs unless set). Takes effect at the next open.
    void SetBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    int BusyTimeout() const { return m_busyTimeoutMs; }
    void CloseDatabase();
    QString DatabasePath() const { return m_databasePath; }
    // The folder whose "Photos" keeps the persons' photos (PhotoFolders): the data folder; on a
    // shared database the photo folder set for it (SetPhotoHome, SharedPhotos), "" while its
    // photos are unavailable (nothing is shown, made or deleted then).
    QString DataPath() const { return m_server ? m_photoHome : m_dataPath; }
    // The data folder itself, whichever database is open.
    QString DataFolder() const { return m_dataPath; }
    // Where a shared database's photos are kept (see DataPath); SetServer starts with the data
    // folder.
    void SetPhotoHome(const QString &folder) { m_photoHome = folder; }
    QString ConnectionString() const { return m_connectionString; }
    // The name of the store's Qt SQL connection (the side records of the trees use it too).
    QString ConnectionName() const { return m_connectionName; }

    // The names of all trees in the order the engine keeps them, without the template, the
    // system and switchboard tables and the engine's own tables (IsListedTreeName).
    // Errors are skipped: what was found so far is returned.
    QStringList ListTrees() const;

    // True when the name is taken for a new tree: a table of that name exists, or one whose name
    // counts as the same (SameTreeName: upper and lower case of every script).
    bool TreeExists(const QString &name) const;
    // The tree the database reaches by `name` (SameTable), by the name it is stored under; ""
    // when there is no such tree. Each of two old trees whose names differ only in the case of
    // letters beyond A-Z is reached by its exact name alone.
    QString StoredTreeName(const QString &name) const;

    // Makes a new tree as a copy of the template "main" (its columns and rows) whose ID is
    // unique and never null. (An import fills a new tree with NewTreeWriter: the template's
    // columns, only the imported rows.) A name the list would hide (InvalidInput) or that is
    // taken (Taken) is refused.
    Result<void> CreateTree(const QString &name);
    // Renames the tree `oldName` reaches (StoredTreeName), and no other, in one step: the rows
    // and the unique ID stay. When the new name is taken by another tree (TreeExists) or not
    // allowed, nothing changes and the error says why. A new spelling of the same name (other
    // letter case) is a rename like any other.
    Result<void> RenameTree(const QString &oldName, const QString &newName);
    // Drops the tree's table. The template and hidden tables are refused.
    Result<void> DeleteTree(const QString &name);

    // The store's rules changed the row `key` of the tree besides the rows an operation on
    // persons names (a partner's columns, a partner's row made): the other programs on the
    // database are told of it with the change.
    void NoteRowChanged(const QString &key) { m_changedRows << key; }

    // A number that changes whenever another connection (another program, or another store in
    // this one) commits a change to the file; -1 when it cannot be read.
    qint64 DataVersion() const;

    // The IDs of every row of every tree and of the template, compared by the caller without
    // regard to case: a new tree's keys must avoid them, as photo folders are shared by key.
    Result<QStringList> AllKeys() const;

    // Every row of the tree in the order the engine returns them; NULL columns read as "".
    // An empty tree gives an empty list.
    Result<QList<PersonRecord>> ReadTree(const QString &name) const;
    // Every row of the tree, in the order of ReadTree, handed to `row` as UTF-8 texts that are
    // valid during the call only: reading a large tree without a QString or a record per value.
    // NULL columns and columns the table lacks come as empty texts. On an error the rows handed
    // over until then stay handed over.
    Result<void> ScanTree(const QString &name,
                          const std::function<void(const PersonRowText &row)> &row) const;
    // About how many rows the tree has, found without reading them (0 when unknown).
    qsizetype EstimateTreeRows(const QString &name) const;
    // The row with that ID; Missing when the tree has none.
    Result<PersonRecord> FindPerson(const QString &tree, const QString &key) const;
    // Writes the thirteen other columns of the row with that ID (the ID itself never changes).
    // With `expected` (the row as it was read when editing began), only while the row still
    // holds exactly those values, checked inside the write transaction: a row another program
    // changed meanwhile gives ChangedElsewhere, a row it deleted Missing, and nothing is
    // written.
    Result<void> UpdatePerson(const QString &tree, const QString &key, const PersonRecord &record,
                              const PersonRecord *expected = nullptr);
    // Adds one row; a row with the same ID makes it fail (Taken), the table unchanged.
    Result<void> InsertPerson(const QString &tree, const PersonRecord &record);
    // Deletes the row with that ID only; rows naming it as parent stay. With `expected`, only
    // while the row still holds exactly those values (as UpdatePerson).
    Result<void> DeletePerson(const QString &tree, const QString &key,
                              const PersonRecord *expected = nullptr);
    // Every operation on a tree whose table is gone (another program deleted or renamed it)
    // fails with TreeMissing, saying so.

    // Rewrites the file compactly, in place (VACUUM): the engine builds the compact copy in a
    // temporary file, then writes it over the database through the rollback journal, so that a
    // crash at any moment leaves the whole old or the whole new file. The file stays the same
    // file: a symbolic link stays a link to it, and other programs that have it open go on with
    // it. It waits for other programs' reads and writes (BusyTimeout) and fails as busy when they
    // go on longer. On any failure the database stays as it was, and open.
    Result<void> Compress();

    // Name of the temporary file earlier versions compressed into; Compress removes one an
    // interrupted run left in the data folder.
    static QString CompressTempName() { return QStringLiteral("tmp.db"); }

    // Creates a new database file with the template table "main" and the example tree, on a
    // connection of its own. Fails when the file exists. Used by OpenDatabase; public for tests
    // and tools.
    static Result<void> CreateDatabaseFile(const QString &path);

private:
    friend class NewTreeWriter; // fills a new tree on this connection

    // Not open (Failed), or open read-only (ReadOnly): the error a change gets; otherwise none.
    Error refuseChange() const;
    // As refuseChange, and ReadOnly for a tree the user may read but not change.
    Error refuseChange(const QString &tree) const;
    // On the server: the rights the role has (the rights machinery set up by the tables'
    // owner, the database read-only when the role may change no tree and make none).
    Result<void> checkServerRights();
    // On the server: whether the role may change nothing (or the server only reads).
    Result<bool> serverReadOnly() const;
    // On the server: the trees the role may read, in the order made.
    QStringList serverTrees() const;
    // A failure of the file, with the database's path in its text.
    Error named(Error error) const;
    // The error of a statement on a tree: TreeMissing when the tree's table is gone, else as
    // named().
    Error onTree(const QString &tree, Error error) const;
    // The person's row inside the caller's write transaction, compared with `expected`:
    // succeeds while it holds exactly those values.
    Result<void> checkRow(const QString &tree, const QString &key,
                          const PersonRecord &expected) const;
    // The steps of OpenDatabase; the error says what failed.
    Result<void> open();
    Result<void> openServer();
    Result<void> raiseServerVersion();
    void checkFileVersion(const QSqlDatabase &db);
    // A failure on the server: Unreachable, saying so, when the connection was lost (the store
    // is unreachable from then on).
    Error serverError(Error error) const;
    // The refusal of a change while the server cannot be reached.
    Error unreachable() const;
    // Makes the program's schema, template, example tree and version on the server.
    Result<void> createServerTables();
    // Beyond TreeNameProblem: a name the engine cannot hold. "" when the name can be used.
    QString nameProblem(const QString &name) const;
    // The table a statement on the tree names: on the server the exact name of the table the
    // tree's name reaches (the file matches A-Z without regard to case itself).
    QString table(const QString &tree) const;

    QString m_connectionName;
    QString m_dataPath;
    QString m_photoHome;
    QString m_databasePath;
    QString m_connectionString;
    bool m_readOnly = false;
    bool m_openTreeReadOnly = false;
    bool m_newerTables = false; // the server's tables are of a newer version: read-only
    // Set by any statement that finds the connection lost (a const read too).
    mutable bool m_unreachable = false;
    // True from a successful OpenDatabase to CloseDatabase: a server connection found closed
    // while this holds was closed by the driver (the server went), not on purpose.
    bool m_opened = false;
    QString m_openTree;
    int m_busyTimeoutMs = Store::StoreConnection::kBusyTimeoutMs;
    Error m_openError;
    std::function<bool(const QString &)> m_writeCheck;
    std::optional<ServerAddress> m_server;
    QString m_password;
    bool m_createTables = false;
    QString m_openNotice;
    QStringList m_changedRows; // by the rules, in the operation on persons under way
};
