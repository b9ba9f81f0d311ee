#pragma once

#include "PersonRecord.h"
#include "PersonRowText.h"
#include "TreeTables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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

// The person store: one SQLite file holding the template table "main" and one table per family
// tree. The object owns the one connection of the program (a connection name of its own, closed
// and removed when the object goes). Every value reaches SQL as a bound parameter and every tree
// name as a quoted identifier, so any text is stored and read back exactly.
//
// Operations that can fail return a StoreError (number 0 = success):
//   kErrStatementFailed - the statement could not run: the tree already exists, no such tree,
//                         a malformed name;
//   kErrGeneralFailure  - the engine refused the change: a duplicate or missing key, a locked
//                         or unwritable file, and every other failure.
// The description is the text to show the user.
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

    // Opens the database file. A missing file is created first with the template table and the
    // example tree; an existing file is never changed by this. True when the connection is open
    // and the file is a readable database. A file that cannot be written (or whose folder cannot)
    // is opened read-only: it can be listed and read, and every change is refused with a
    // description that says so.
    bool OpenDatabase();
    bool IsOpen() const;
    bool IsReadOnly() const { return m_readOnly; }
    // Decides whether a database file can be written (default: DatabaseIsWritable). For tests.
    void SetWriteCheck(std::function<bool(const QString &databasePath)> check)
    {
        m_writeCheck = std::move(check);
    }
    void CloseDatabase();
    QString DatabasePath() const { return m_databasePath; }
    QString DataPath() const { return m_dataPath; }
    QString ConnectionString() const { return m_connectionString; }

    // The names of all trees in the order the engine keeps them, without the template, the
    // system and switchboard tables and the engine's own tables (IsListedTreeName).
    // Errors are skipped: what was found so far is returned.
    QStringList ListTrees() const;

    // True when a table of that name exists (names compare without regard to case, as the
    // engine does).
    bool TreeExists(const QString &name) const;

    // Makes a new tree as a copy of the template "main" (its columns and rows) whose ID is
    // unique and never null. (An import fills a new tree with NewTreeWriter: the template's
    // columns, only the imported rows.) A name the list would hide or that is taken is refused.
    StoreError CreateTree(const QString &name);
    // Renames a tree in one step: the rows and the unique ID stay. When the new name is taken or
    // not allowed, nothing changes and the error says why.
    StoreError RenameTree(const QString &oldName, const QString &newName);
    // Drops the tree's table. The template and hidden tables are refused.
    StoreError DeleteTree(const QString &name);

    // The IDs of every row of every tree and of the template, compared by the caller without
    // regard to case: a new tree's keys must avoid them, as photo folders are shared by key.
    QStringList AllKeys(StoreError *error = nullptr) const;

    // Every row of the tree in the order the engine returns them; NULL columns read as "".
    // An empty tree gives an empty list and no error.
    QList<PersonRecord> ReadTree(const QString &name, StoreError *error = nullptr) const;
    // Every row of the tree, in the order of ReadTree, handed to `row` as UTF-8 texts that are
    // valid during the call only: reading a large tree without a QString or a record per value.
    // NULL columns and columns the table lacks come as empty texts. On an error the rows handed
    // over until then stay handed over.
    StoreError ScanTree(const QString &name,
                        const std::function<void(const PersonRowText &row)> &row) const;
    // About how many rows the tree has, found without reading them (0 when unknown).
    qsizetype EstimateTreeRows(const QString &name) const;
    // True when a row with that ID exists; the row goes to `found` when given.
    bool FindPerson(const QString &tree, const QString &key, PersonRecord *found = nullptr,
                    StoreError *error = nullptr) const;
    // Writes the thirteen other columns of the row with that ID (the ID itself never changes).
    StoreError UpdatePerson(const QString &tree, const QString &key, const PersonRecord &record);
    // Adds one row; a row with the same ID makes it fail (kErrGeneralFailure), the table unchanged.
    StoreError InsertPerson(const QString &tree, const PersonRecord &record);
    // Deletes the row with that ID only; rows naming it as parent stay.
    StoreError DeletePerson(const QString &tree, const QString &key);

    // Rewrites the file compactly: VACUUM INTO a temporary file beside it, then an atomic
    // replace, and the connection is open again afterwards. A temporary file left by an earlier
    // run is removed first. On any failure the original file stays as it was and open.
    StoreError Compress();

    // Name of the temporary file Compress writes into the data folder.
    static QString CompressTempName() { return QStringLiteral("tmp.db"); }

    // Creates a new database file with the template table "main" and the example tree, on a
    // connection of its own. Fails when the file exists. Used by OpenDatabase; public for tests
    // and tools.
    static StoreError CreateDatabaseFile(const QString &path);

private:
    friend class NewTreeWriter; // fills a new tree on this connection

    // Not open, or open read-only: the error a change gets; otherwise no error.
    StoreError refuseChange() const;

    QString m_connectionName;
    QString m_dataPath;
    QString m_databasePath;
    QString m_connectionString;
    bool m_readOnly = false;
    std::function<bool(const QString &)> m_writeCheck;
};
