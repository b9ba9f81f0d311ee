#include "mDatabase.h"

#include "DatabaseCheck.h"
#include "FileErrors.h"
#include "PhotoStage.h"
#include "StoreSql.h"
#include "TreeScan.h"
#include "TreeSql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace StoreSql;

namespace {

// Why the engine could not open or read the file, naming it.
StoreError openFailure(const QSqlError &error, const QString &path)
{
    const int code = FileErrors::EngineCode(error);
    // A change left unfinished by a program that stopped (its journal lies beside the file) is
    // undone by the first connection that may write; one that only reads cannot.
    constexpr int kReadOnlyRollback = 8 | (3 << 8);
    if (code == kReadOnlyRollback && DatabaseIsWritable(path))
        return {kErrFileAccess,
                QStringLiteral("%1 was left in the middle of a change by a program that stopped "
                               "(the disk may have been full, or the program was ended): its "
                               "journal '%2' lies beside it. Here the database is opened only "
                               "for reading, which cannot undo that change. Nothing was changed."
                               "\r\n\r\nThe next start of Velkin Tree that may change the "
                               "database undoes the unfinished change; then try again.")
                    .arg(FileErrors::DatabaseName(path),
                         QDir::toNativeSeparators(path + QStringLiteral("-journal")))};
    if (code == kReadOnlyRollback)
        return {kErrFileAccess,
                QStringLiteral("%1 was left in the middle of a change by a program that stopped, "
                               "and the change cannot be undone because the file or its folder "
                               "is read-only. Nothing was changed.\r\n\r\nMake the file and its "
                               "folder writable, then start again.")
                    .arg(FileErrors::DatabaseName(path))};
    StoreError failure = FileErrors::ForEngineCode(code, path);
    if (failure.number == kErrDatabaseDamaged)
        return DatabaseCheck::Damaged(path, QStringLiteral("is damaged: it cannot be read as a "
                                                           "database"));
    if (failure)
        return failure;
    return {kErrGeneralFailure,
            QStringLiteral("%1 could not be opened: %2")
                .arg(FileErrors::DatabaseName(path), fromSql(error).description)};
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

bool mDatabase::OpenDatabase()
{
    CloseDatabase();
    m_readOnly = false;
    m_openError = open();
    if (m_openError) {
        CloseDatabase();
        m_readOnly = false;
        return false;
    }
    // Photos that imports which stopped left in their stages: those of saved persons are put in
    // place, the rest removed.
    if (!m_readOnly && !m_dataPath.isEmpty())
        PhotoStage::FinishStopped(m_dataPath, [this](const QString &tree, const QString &key) {
            return FindPerson(tree, key);
        });
    return true;
}

StoreError mDatabase::open()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    const QFileInfo file(m_databasePath);
    if (!file.exists() && !file.isSymLink()) {
        if (StoreError problem = DatabaseCheck::CheckNewDatabaseFolder(file.absolutePath()))
            return problem;
        if (StoreError error = CreateDatabaseFile(m_databasePath))
            return named(error);
    }
    // A file that is not a database is never handed to the engine, which might write to it.
    if (StoreError problem = DatabaseCheck::CheckHeader(m_databasePath))
        return problem;
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
            if (StoreError problem = DatabaseCheck::CheckLength(m_databasePath))
                return problem;
            return openFailure(probe.lastError(), m_databasePath);
        }
    }
    if (StoreError problem = DatabaseCheck::CheckLength(m_databasePath))
        return problem;
    StoreConnection::Configure(db, m_readOnly);
    return {};
}

StoreError mDatabase::named(StoreError error) const
{
    return FileErrors::Named(std::move(error), m_databasePath);
}

StoreError mDatabase::refuseChange() const
{
    if (!IsOpen())
        return notOpen();
    if (m_readOnly)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The database '%1' is open read-only: it cannot be "
                                         "changed.")
                              .arg(QDir::toNativeSeparators(m_databasePath)));
    return {};
}

bool mDatabase::IsOpen() const
{
    return QSqlDatabase::database(m_connectionName, false).isOpen();
}

void mDatabase::CloseDatabase()
{
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
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
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
    if (!run(query, QStringLiteral("SELECT name FROM sqlite_master"), {}, nullptr))
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
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // NOCASE folds A-Z only, as the engine matches table names.
    if (!run(query,
             QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                            "name = ? COLLATE NOCASE"),
             {bindable(name)}, nullptr))
        return QString();
    return query.next() ? query.value(0).toString() : QString();
}

StoreError mDatabase::CreateTree(const QString &name)
{
    const QString problem = TreeNameProblem(name);
    if (!problem.isEmpty())
        return storeError(kErrStatementFailed, problem);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (TreeExists(name))
        return storeError(kErrStatementFailed,
                          QStringLiteral("The tree '%1' already exists.").arg(name));
    return named(TreeSql::CreateTree(db, name, TreeSql::TemplateRows::Copy));
}

StoreError mDatabase::RenameTree(const QString &oldName, const QString &newName)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    const QString stored = StoredTreeName(oldName);
    if (stored.isEmpty() || !IsListedTreeName(stored))
        return storeError(kErrStatementFailed,
                          QStringLiteral("There is no tree named '%1'.").arg(oldName));
    const QString problem = TreeNameProblem(newName);
    if (!problem.isEmpty())
        return storeError(kErrStatementFailed, problem);
    if (newName == stored)
        return {};
    // The new name may be a new spelling of this tree's name, never the name of another tree.
    for (const QString &tree : ListTrees()) {
        if (!SameTable(tree, stored) && SameTreeName(tree, newName))
            return storeError(kErrStatementFailed,
                              QStringLiteral("The tree '%1' already exists. Please select a "
                                             "unique name.")
                                  .arg(newName));
    }
    if (!SameTable(stored, newName) && !StoredTreeName(newName).isEmpty())
        return storeError(kErrStatementFailed,
                          QStringLiteral("The tree '%1' already exists. Please select a unique "
                                         "name.")
                              .arg(newName));

    // One renaming statement keeps the rows, the columns and the unique ID together. A name the
    // engine takes for the same table (other case of A-Z) is reached through a temporary name
    // inside the same transaction.
    Transaction transaction(db);
    if (!transaction.active())
        return named(transaction.error());
    QSqlQuery query(db);
    StoreError error;
    QString from = stored;
    if (SameTable(stored, newName)) {
        QString step = QStringLiteral("vt_rename_%1").arg(quintptr(this), 0, 16);
        while (!StoredTreeName(step).isEmpty())
            step += QLatin1Char('_');
        if (!run(query,
                 QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(step)), {},
                 &error))
            return named(error);
        from = step;
    }
    if (!run(query,
             QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(newName)), {},
             &error))
        return named(error);
    query = QSqlQuery();
    if (!transaction.commit())
        return named(transaction.error());
    return {};
}

StoreError mDatabase::DeleteTree(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (!IsListedTreeName(name))
        return storeError(kErrStatementFailed,
                          QStringLiteral("'%1' is not a tree and cannot be deleted.").arg(name));
    QSqlQuery query(db);
    StoreError error;
    run(query, QStringLiteral("DROP TABLE %1").arg(quoted(name)), {}, &error);
    return onTree(name, error);
}

qint64 mDatabase::DataVersion() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return -1;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

QStringList mDatabase::AllKeys(StoreError *error) const
{
    QStringList keys;
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return keys;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QStringList tables = ListTrees();
    tables << QStringLiteral("main");
    for (const QString &tree : std::as_const(tables)) {
        StoreError failed;
        if (!run(query, QStringLiteral("SELECT \"ID\" FROM %1").arg(quoted(tree)), {}, &failed)) {
            // A table without an ID column holds no persons; anything else is a real failure.
            if (failed.number == kErrStatementFailed)
                continue;
            if (error)
                *error = failed;
            return keys;
        }
        while (query.next())
            keys << query.value(0).toString();
    }
    return keys;
}

QList<PersonRecord> mDatabase::ReadTree(const QString &name, StoreError *error) const
{
    QList<PersonRecord> rows;
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return rows;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    StoreError failed;
    if (!run(query, QStringLiteral("SELECT * FROM %1").arg(quoted(name)), {}, &failed)) {
        if (error)
            *error = onTree(name, failed);
        return rows;
    }
    const QList<int> indexes = TreeSql::ColumnIndexes(query);
    while (query.next())
        rows << TreeSql::ReadRecord(query, indexes);
    return rows;
}

StoreError mDatabase::ScanTree(const QString &name,
                               const std::function<void(const PersonRowText &row)> &row) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return notOpen();
    return onTree(name, TreeScan::Scan(db, name, row));
}

qsizetype mDatabase::EstimateTreeRows(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    return db.isOpen() ? TreeScan::EstimateRows(db, name) : 0;
}
