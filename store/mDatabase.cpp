#include "mDatabase.h"

#include "DatabaseCheck.h"
#include "FileErrors.h"
#include "PhotoStage.h"
#include "StoreSql.h"
#include "TreeScan.h"
#include "TreeSql.h"
#include "engine/Engine.h"
#include "model/SideRules.h"
#include "model/SideSchema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Store;

using namespace StoreSql;

namespace {

// Why the engine could not open or read the file, naming it.
Error openFailure(const QSqlError &error, const QString &path)
{
    const int code = FileErrors::EngineCode(error);
    // A change left unfinished by a program that stopped (its journal lies beside the file) is
    // undone by the first connection that may write; one that only reads cannot.
    constexpr int kReadOnlyRollback = 8 | (3 << 8);
    if (code == kReadOnlyRollback && DatabaseIsWritable(path))
        return Error(
            ErrorCode::ReadOnly,
            QStringLiteral("%1 was left in the middle of a change by a program that stopped "
                           "(the disk may have been full, or the program was ended): its "
                           "journal '%2' lies beside it. Here the database is opened only "
                           "for reading, which cannot undo that change. Nothing was changed."
                           "\r\n\r\nThe next start of Velkin Tree that may change the "
                           "database undoes the unfinished change; then try again.")
                .arg(FileErrors::DatabaseName(path),
                     QDir::toNativeSeparators(path + QStringLiteral("-journal"))),
            path);
    if (code == kReadOnlyRollback)
        return Error(
            ErrorCode::ReadOnly,
            QStringLiteral("%1 was left in the middle of a change by a program that stopped, "
                           "and the change cannot be undone because the file or its folder "
                           "is read-only. Nothing was changed.\r\n\r\nMake the file and its "
                           "folder writable, then start again.")
                .arg(FileErrors::DatabaseName(path)),
            path);
    Error failure = FileErrors::ForEngineCode(code, path);
    if (failure.is(ErrorCode::Damaged))
        return DatabaseCheck::Damaged(path, QStringLiteral("is damaged: it cannot be read as a "
                                                           "database"));
    if (failure)
        return failure;
    return Error(ErrorCode::Failed,
                 QStringLiteral("%1 could not be opened: %2")
                     .arg(FileErrors::DatabaseName(path), fromSql(error).text()),
                 path);
}

} // namespace

mDatabase::mDatabase() : m_connectionName(newConnectionName("store"))
{
    QSqlDatabase::addDatabase(kDriver, m_connectionName);
}

mDatabase::~mDatabase()
{
    CloseDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

StorePaths mDatabase::BuildConnectionString(const QString &dataPath)
{
    StorePaths paths;
    paths.DataPath = dataPath;
    paths.DatabasePath = dataPath + QStringLiteral("people.db");
    paths.ConnectionString = QStringLiteral("PROVIDER=") + QStringLiteral("QSQLITE") +
                             QStringLiteral(";") + QStringLiteral("DRIVER=") +
                             QStringLiteral("{SQLite 3}") + QStringLiteral(";") +
                             QStringLiteral("DBQ=") + paths.DatabasePath + QStringLiteral(";") +
                             QStringLiteral("DEFAULTDIR=") + paths.DataPath + QStringLiteral(";") +
                             QStringLiteral("PASSWORD=") + QString();
    m_dataPath = paths.DataPath;
    m_databasePath = paths.DatabasePath;
    m_connectionString = paths.ConnectionString;
    return paths;
}

void mDatabase::SetPaths(const QString &dataPath, const QString &databasePath)
{
    m_dataPath = dataPath;
    m_databasePath = databasePath;
}

Result<void> mDatabase::OpenDatabase()
{
    CloseDatabase();
    m_readOnly = false;
    m_openTreeReadOnly = false;
    m_newerTables = false;
    const bool wasUnreachable = m_unreachable;
    m_unreachable = false;
    m_openNotice.clear();
    const Result<void> opened = m_server ? openServer() : open();
    m_openError = opened.error();
    if (!opened) {
        CloseDatabase();
        m_readOnly = false;
        // A server still gone stays so.
        m_unreachable = wasUnreachable && opened.error().is(ErrorCode::Unreachable);
        return opened;
    }
    m_opened = true;
    SetOpenTree(m_openTree);
    // Photos that imports which stopped left in their stages: those of saved persons are put in
    // place, the rest removed.
    if (!m_readOnly && !DataPath().isEmpty())
        PhotoStage::FinishStopped(DataPath(), [this](const QString &tree, const QString &key) {
            return FindPerson(tree, key).ok();
        });
    return {};
}

Result<void> mDatabase::open()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    const QFileInfo file(m_databasePath);
    if (!file.exists() && !file.isSymLink()) {
        if (const Result<void> folder = DatabaseCheck::CheckNewDatabaseFolder(file.absolutePath());
            !folder)
            return folder;
        if (const Result<void> created = CreateDatabaseFile(m_databasePath); !created)
            return named(created.error());
    }
    // A file that is not a database is never handed to the engine, which might write to it.
    if (const Result<void> header = DatabaseCheck::CheckHeader(m_databasePath); !header)
        return header;
    // A database that cannot be written is still the user's: it is opened for reading.
    const bool writable =
        m_writeCheck ? m_writeCheck(m_databasePath) : DatabaseIsWritable(m_databasePath);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.setDatabaseName(m_databasePath);
    db.setConnectOptions(StoreConnection::Options(!writable, m_busyTimeoutMs));
    if (!db.open())
        return openFailure(db.lastError(), m_databasePath);
    m_readOnly = !writable;
    // Only a readable catalogue counts as open. Reading it first completes what a crash left
    // unfinished (a journal beside the file is rolled back).
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            // A cut-off file reads as damaged: say which.
            if (const Result<void> length = DatabaseCheck::CheckLength(m_databasePath); !length)
                return length;
            return openFailure(probe.lastError(), m_databasePath);
        }
    }
    if (const Result<void> length = DatabaseCheck::CheckLength(m_databasePath); !length)
        return length;
    checkFileVersion(db);
    StoreConnection::Configure(db, m_readOnly);
    return {};
}

void mDatabase::checkFileVersion(const QSqlDatabase &db)
{
    // A newer version may keep records in a form this one would misread (and write back
    // wrongly): such a file is read, never changed.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return;
    const int version = query.value(0).toInt();
    if (version <= Store::Side::kSchemaVersion)
        return;
    m_readOnly = true;
    m_newerTables = true;
    m_openNotice = NewerVersionText(QDir::toNativeSeparators(m_databasePath), version,
                                    Store::Side::kSchemaVersion);
}

QString mDatabase::NewerVersionText(const QString &where, int version, int known)
{
    return QStringLiteral("The database %1 was set up by a newer version of Velkin Tree (its "
                          "tables have version %2; this version knows %3). It is open "
                          "read-only: update Velkin Tree to change it.")
        .arg(where)
        .arg(version)
        .arg(known);
}

Error mDatabase::named(Error error) const
{
    if (m_server && error)
        return serverError(std::move(error));
    return FileErrors::Named(std::move(error), m_databasePath);
}

Error mDatabase::refuseChange() const
{
    if (m_unreachable)
        return unreachable();
    if (!IsOpen())
        return notOpen();
    if (m_readOnly)
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database '%1' is open read-only: it cannot be changed.")
                         .arg(QDir::toNativeSeparators(m_databasePath)),
                     m_databasePath);
    return {};
}

Error mDatabase::refuseChange(const QString &tree) const
{
    if (Error refused = refuseChange())
        return refused;
    if (m_server && IsTreeReadOnly(tree))
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The tree '%1' of the shared database %2 is read-only for "
                                    "you: you may read it but not change it.\r\n\r\nAsk the "
                                    "family's administrator for the right to edit it.")
                         .arg(tree, m_server->Display()),
                     m_server->Display());
    return {};
}

bool mDatabase::IsOpen() const
{
    return QSqlDatabase::database(m_connectionName, false).isOpen();
}

void mDatabase::CloseDatabase()
{
    m_opened = false;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen())
        db.close();
}

QStringList mDatabase::ListTrees() const
{
    QStringList names;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return names;
    if (m_server)
        return serverTrees();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(EngineOf(db).catalogue(true)))
        return names;
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (IsListedTreeName(name))
            names << name;
    }
    return names;
}

bool mDatabase::TreeExists(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!run(query, EngineOf(db).catalogue(false)))
        return false;
    const QString folded = TreeNameFolded(name);
    while (query.next()) {
        const QString existing = query.value(0).toString();
        if (existing == name || TreeNameFolded(existing) == folded)
            return true;
    }
    return false;
}

QString mDatabase::StoredTreeName(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return QString();
    return EngineOf(db).storedTable(db, name);
}

Result<void> mDatabase::CreateTree(const QString &name)
{
    const QString problem = nameProblem(name);
    if (!problem.isEmpty())
        return Error(ErrorCode::InvalidInput, problem);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange())
        return refused;
    if (TreeExists(name))
        return Error(ErrorCode::Taken, QStringLiteral("The tree '%1' already exists.").arg(name));
    {
        // Side records an older program left under this name are set aside first: they never
        // attach to the new tree.
        Transaction transaction(db);
        if (!transaction.active())
            return named(transaction.error());
        transaction.announceNothing();
        if (const Result<void> ready = Side::beforeChange(Side::Db(db)); !ready)
            return named(ready.error());
        if (!transaction.commit())
            return named(transaction.error());
    }
    return named(TreeSql::CreateTree(db, name, TreeSql::TemplateRows::Copy).error());
}

Result<void> mDatabase::RenameTree(const QString &oldName, const QString &newName)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange(oldName))
        return refused;
    const QString stored = StoredTreeName(oldName);
    if (stored.isEmpty() || !IsListedTreeName(stored))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("There is no tree named '%1'.").arg(oldName));
    const QString problem = nameProblem(newName);
    if (!problem.isEmpty())
        return Error(ErrorCode::InvalidInput, problem);
    if (newName == stored)
        return {};
    const Error taken(
        ErrorCode::Taken,
        QStringLiteral("The tree '%1' already exists. Please select a unique name.").arg(newName));
    // The new name may be a new spelling of this tree's name, never the name of another tree.
    for (const QString &tree : ListTrees()) {
        if (!SameTable(tree, stored) && SameTreeName(tree, newName))
            return taken;
    }
    if (!SameTable(stored, newName) && !StoredTreeName(newName).isEmpty())
        return taken;

    // One renaming statement keeps the rows, the columns and the unique ID together. A name the
    // engine takes for the same table (other case of A-Z) is reached through a temporary name
    // inside the same transaction.
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    transaction.announce(ChangeNotice::renamed(stored, newName));
    QSqlQuery query(db);
    QString from = stored;
    if (SameTable(stored, newName)) {
        QString step = QStringLiteral("vt_rename_%1").arg(quintptr(this), 0, 16);
        while (!StoredTreeName(step).isEmpty())
            step += QLatin1Char('_');
        if (const Result<void> renamed =
                run(query,
                    QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(step)));
            !renamed)
            return named(renamed.error());
        from = step;
    }
    if (const Result<void> renamed =
            run(query,
                QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(newName)));
        !renamed)
        return named(renamed.error());
    if (const Result<void> side = Side::renameTree(Side::Db(db), stored, newName); !side)
        return named(side.error());
    query = QSqlQuery();
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

Result<void> mDatabase::DeleteTree(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (Error refused = refuseChange(name))
        return refused;
    if (!IsListedTreeName(name))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("'%1' is not a tree and cannot be deleted.").arg(name));
    // The table and its side records go together.
    const QString stored = StoredTreeName(name);
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    transaction.announce(ChangeNotice::deleted(stored.isEmpty() ? name : stored));
    // The records first: on the server the right to delete them is that of changing the tree's
    // table, which must still be there to be asked.
    if (const Result<void> side = Side::deleteTree(Side::Db(db), stored.isEmpty() ? name : stored);
        !side)
        return named(side.error());
    QSqlQuery query(db);
    if (const Result<void> dropped =
            run(query, QStringLiteral("DROP TABLE %1").arg(quoted(table(name))));
        !dropped)
        return onTree(name, dropped.error());
    query = QSqlQuery();
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

qint64 mDatabase::DataVersion() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return -1;
    return EngineOf(db).dataVersion(db);
}

Result<QStringList> mDatabase::AllKeys() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return notOpen();
    QStringList keys;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QStringList tables = ListTrees();
    tables << QStringLiteral("main");
    for (const QString &tree : std::as_const(tables)) {
        const Result<void> read =
            run(query, QStringLiteral("SELECT \"ID\" FROM %1").arg(quoted(tree)));
        if (!read) {
            // A table without an ID column holds no persons; anything else is a real failure.
            if (read.error().is(ErrorCode::InvalidInput))
                continue;
            return m_server ? serverError(read.error()) : read.error();
        }
        while (query.next())
            keys << query.value(0).toString();
    }
    return keys;
}

Result<QList<PersonRecord>> mDatabase::ReadTree(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return notOpen();
    // The engine's own interface, UTF-8 straight into the records (as a chart reads a tree).
    QList<PersonRecord> rows;
    TreeScan::SharedTexts texts;
    const Result<void> read =
        TreeScan::Scan(db, table(name), [&rows, &texts](const PersonRowText &row) {
            rows.append(texts.record(row));
        });
    if (!read)
        return onTree(name, read.error());
    return rows;
}

Result<void> mDatabase::ScanTree(const QString &name,
                                 const std::function<void(const PersonRowText &row)> &row) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return notOpen();
    return onTree(name, TreeScan::Scan(db, table(name), row).error());
}

qsizetype mDatabase::EstimateTreeRows(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    return db.isOpen() ? TreeScan::EstimateRows(db, table(name)) : 0;
}
