#include "mDatabase.h"

#include "StoreSql.h"
#include "TreeScan.h"
#include "TreeSql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace StoreSql;

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
    if (m_databasePath.isEmpty())
        return false;
    if (!QFileInfo::exists(m_databasePath)) {
        QDir().mkpath(QFileInfo(m_databasePath).absolutePath());
        if (CreateDatabaseFile(m_databasePath))
            return false;
    }
    // A database that cannot be written is still the user's: it is opened for reading.
    const bool writable =
        m_writeCheck ? m_writeCheck(m_databasePath) : DatabaseIsWritable(m_databasePath);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.setDatabaseName(m_databasePath);
    db.setConnectOptions(writable ? QString() : QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        return false;
    m_readOnly = !writable;
    // The file may exist without being a database: only a readable catalogue counts as open.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        probe = QSqlQuery();
        db.close();
        return false;
    }
    return true;
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
    if (!run(query, QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE"),
             {bindable(name)}, nullptr))
        return false;
    return query.next();
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
    return TreeSql::CreateTree(db, name, TreeSql::TemplateRows::Copy);
}

StoreError mDatabase::RenameTree(const QString &oldName, const QString &newName)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (!IsListedTreeName(oldName) || !TreeExists(oldName))
        return storeError(kErrStatementFailed,
                          QStringLiteral("There is no tree named '%1'.").arg(oldName));
    const QString problem = TreeNameProblem(newName);
    if (!problem.isEmpty())
        return storeError(kErrStatementFailed, problem);
    if (newName == oldName)
        return {};
    const bool caseOnly = newName.compare(oldName, Qt::CaseInsensitive) == 0;
    if (!caseOnly && TreeExists(newName))
        return storeError(kErrStatementFailed,
                          QStringLiteral("The tree '%1' already exists. Please select a unique "
                                         "name.")
                              .arg(newName));

    // One renaming statement keeps the rows, the columns and the unique ID together. The
    // engine treats names differing only in case as one, so such a rename goes through a
    // temporary name inside the same transaction.
    Transaction transaction(db);
    QSqlQuery query(db);
    StoreError error;
    QString from = oldName;
    if (caseOnly) {
        QString step = QStringLiteral("vt_rename_%1").arg(quintptr(this), 0, 16);
        while (TreeExists(step))
            step += QLatin1Char('_');
        if (!run(query,
                 QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(step)), {},
                 &error))
            return error;
        from = step;
    }
    if (!run(query,
             QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(newName)), {},
             &error))
        return error;
    query = QSqlQuery();
    if (!transaction.commit())
        return fromSql(db.lastError());
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
    return error;
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
    if (!run(query, QStringLiteral("SELECT * FROM %1").arg(quoted(name)), {}, error))
        return rows;
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
    return TreeScan::Scan(db, name, row);
}

qsizetype mDatabase::EstimateTreeRows(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    return db.isOpen() ? TreeScan::EstimateRows(db, name) : 0;
}

bool mDatabase::FindPerson(const QString &tree, const QString &key, PersonRecord *found,
                           StoreError *error) const
{
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return false;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)),
             {bindable(key)}, error))
        return false;
    if (!query.next())
        return false;
    if (found)
        *found = TreeSql::ReadRecord(query, TreeSql::ColumnIndexes(query));
    return true;
}

StoreError mDatabase::UpdatePerson(const QString &tree, const QString &key,
                                   const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    QStringList assignments;
    for (const QString &column : PersonColumns().mid(1))
        assignments << quoted(column) + QStringLiteral(" = ?");
    QVariantList values = TreeSql::RecordValues(record).mid(1);
    values << bindable(key);
    QSqlQuery query(db);
    StoreError error;
    run(query,
        QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\" = ?")
            .arg(quoted(tree), assignments.join(u", ")),
        values, &error);
    return error;
}

StoreError mDatabase::InsertPerson(const QString &tree, const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    return TreeSql::InsertRow(db, tree, record);
}

StoreError mDatabase::DeletePerson(const QString &tree, const QString &key)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    QSqlQuery query(db);
    StoreError error;
    run(query, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)), {bindable(key)},
        &error);
    return error;
}
