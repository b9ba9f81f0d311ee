// The database file as a whole: making a new one and compressing it.
#include "mDatabase.h"

#include "ExampleTree.h"
#include "StoreConnection.h"
#include "StoreSql.h"
#include "TreeSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

using namespace StoreSql;

namespace {

const QString kExample = QStringLiteral("Example");

// The contents of a new database: the template and the example tree with its rows.
StoreError buildContent(QSqlDatabase &db)
{
    if (StoreError error = TreeSql::CreateTemplate(db))
        return error;
    if (StoreError error = TreeSql::CreateTree(db, kExample, TreeSql::TemplateRows::Copy))
        return error;
    Transaction transaction(db);
    if (!transaction.active())
        return transaction.error();
    for (const PersonRecord &row : ExampleTreeRows()) {
        if (StoreError error = TreeSql::InsertRow(db, kExample, row))
            return error;
    }
    if (!transaction.commit())
        return fromSql(db.lastError());
    return {};
}

// The write lock of the database on a connection of its own: while it is held, no other program
// can start a change (its own connection can still read).
class WriteLock
{
public:
    WriteLock(const QString &path, int busyTimeoutMs)
        : m_connection(newConnectionName("lock")), m_path(path), m_busyTimeoutMs(busyTimeoutMs)
    {
    }
    ~WriteLock() { release(); }
    WriteLock(const WriteLock &) = delete;
    WriteLock &operator=(const WriteLock &) = delete;

    StoreError acquire()
    {
        StoreError error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, m_connection);
            m_added = true;
            db.setDatabaseName(m_path);
            db.setConnectOptions(StoreConnection::Options(false, m_busyTimeoutMs));
            if (!db.open()) {
                error = fromSql(db.lastError());
            } else {
                QSqlQuery query(db);
                if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
                    error = fromSql(query.lastError());
            }
        }
        if (error)
            release();
        return error;
    }

    void release()
    {
        if (!m_added)
            return;
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            if (db.isOpen()) {
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(m_connection);
        m_added = false;
    }

private:
    QString m_connection;
    QString m_path;
    int m_busyTimeoutMs;
    bool m_added = false;
};

} // namespace

StoreError mDatabase::Compress()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    if (m_readOnly)
        return refuseChange();
    if (!IsOpen() && !OpenDatabase())
        return m_openError;
    const QString temp = QFileInfo(m_databasePath).absoluteDir().filePath(CompressTempName());

    // A temporary file left by an interrupted run is only a stale copy: remove it.
    const QFileInfo leftover(temp);
    if (leftover.exists() || leftover.isSymLink()) {
        if (leftover.isDir() || !QFile::remove(temp))
            return storeError(kErrGeneralFailure,
                              QStringLiteral("The temporary file '%1' is in the way and could not "
                                             "be removed. The database was not compressed.")
                                  .arg(temp));
    }

    // No other program may change the file from the copy until the copy has replaced it: its
    // change would be lost, or its journal applied to the copy.
    WriteLock lock(m_databasePath, m_busyTimeoutMs);
    if (StoreError error = lock.acquire())
        return named(error);

    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        StoreError error;
        const bool copied = run(query, QStringLiteral("VACUUM INTO ?"), {temp}, &error);
        // The engine does not flush the copy: it must be on the disk before it replaces the
        // original, or a power loss could leave a database with missing pages.
        if (copied && !StoreConnection::SyncFile(temp))
            error = storeError(kErrDiskFull, QString());
        if (error) {
            QFile::remove(temp);
            if (error.number == kErrDiskFull)
                error.description =
                    QStringLiteral("The database could not be compressed: there is not enough "
                                   "room on the disk for its compressed copy. The database was "
                                   "left as it was.\r\n\r\nMake room on the disk and try again.");
            return named(error);
        }
    }

    // The copy is complete; swap it in with one atomic rename while no connection of ours is
    // open, and make the rename itself durable.
    CloseDatabase();
    const bool replaced = std::rename(QFile::encodeName(temp).constData(),
                                      QFile::encodeName(m_databasePath).constData()) == 0;
    if (replaced)
        StoreConnection::SyncFolderOf(m_databasePath);
    else
        QFile::remove(temp);
    lock.release();
    const bool reopened = OpenDatabase();
    if (!replaced)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The compressed copy could not replace '%1'. The "
                                         "database was left as it was.")
                              .arg(m_databasePath));
    if (!reopened)
        return m_openError;
    return {};
}

StoreError mDatabase::CreateDatabaseFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The database '%1' already exists.").arg(path));
    // Built under another name and renamed at the end, so that a failure never leaves a
    // half-made database that a later start would take as existing.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    const QString connection = newConnectionName("create");
    StoreError result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connection);
        db.setDatabaseName(building);
        if (!db.open()) {
            result = fromSql(db.lastError());
        } else {
            StoreConnection::Configure(db, false);
            result = buildContent(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (result || !QFile::rename(building, path)) {
        QFile::remove(building);
        return result ? result
                      : storeError(
                            kErrGeneralFailure,
                            QStringLiteral("The database '%1' could not be created.").arg(path));
    }
    StoreConnection::SyncFolderOf(path);
    return {};
}

QString ReadOnlyReason(const QString &databasePath)
{
    const QFileInfo file(databasePath);
    const QFileInfo folder(file.absolutePath());
    if (file.exists() && !file.isWritable())
        return QStringLiteral("the file is read-only");
    if (!folder.isWritable())
        return QStringLiteral("its folder '%1' is read-only")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    return QStringLiteral("the file or its folder is read-only");
}

bool DatabaseIsWritable(const QString &databasePath)
{
    const QFileInfo file(databasePath);
    if (file.exists() && !file.isWritable())
        return false;
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}
