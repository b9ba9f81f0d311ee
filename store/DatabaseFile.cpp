// The database file as a whole: making a new one and compressing it.
#include "mDatabase.h"

#include "ExampleTree.h"
#include "StoreConnection.h"
#include "StoreSql.h"
#include "TreeSql.h"
#include "engine/Engine.h"
#include "engine/Engines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Store;

using namespace StoreSql;

namespace {

const QString kExample = QStringLiteral("Example");

// The contents of a new database: the template and the example tree with its rows.
Result<void> buildContent(QSqlDatabase &db)
{
    if (Result<void> made = TreeSql::CreateTemplate(db); !made)
        return made;
    if (Result<void> made = TreeSql::CreateTree(db, kExample, TreeSql::TemplateRows::Copy); !made)
        return made;
    Transaction transaction(db);
    if (!transaction.active())
        return transaction.error();
    for (const PersonRecord &row : ExampleTreeRows()) {
        if (Result<void> added = TreeSql::InsertRow(db, kExample, row); !added)
            return added;
    }
    if (!transaction.commit())
        return transaction.error();
    return {};
}

} // namespace

Result<void> mDatabase::Compress()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    if (m_readOnly)
        return refuseChange();
    if (!IsOpen()) {
        if (const Result<void> opened = OpenDatabase(); !opened)
            return opened;
    }
    if (m_server) {
        // The server reclaims the room of deleted rows in place (outside a transaction).
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        return named(run(query, EngineOf(db).compress()).error());
    }

    // A copy an interrupted compress of an earlier version left beside the database is of no
    // use: it goes, when it is a plain file.
    const QString leftover = QFileInfo(m_databasePath).absoluteDir().filePath(CompressTempName());
    if (const QFileInfo stale(leftover); stale.isFile() && !stale.isSymLink())
        QFile::remove(leftover);

    // In place: the file keeps its name, its link and its readers, and the journal makes the
    // rewrite all or nothing.
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    const Result<void> compressed = run(query, QStringLiteral("VACUUM"));
    if (compressed)
        return {};
    if (compressed.error().is(ErrorCode::Full))
        return named(Error(ErrorCode::Full,
                           QStringLiteral("The database could not be compressed: there is not "
                                          "enough room on the disk for its compressed copy. The "
                                          "database was left as it was.\r\n\r\nMake room on the "
                                          "disk and try again.")));
    return named(compressed.error());
}

Result<void> mDatabase::createServerTables()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    // The schema first: the connection's search path names it, so the tables are made there.
    if (Result<void> made = run(query, QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1")
                                           .arg(quoted(QLatin1String(kServerSchema))));
        !made)
        return made;
    if (Result<void> made = run(query, QStringLiteral("CREATE TABLE IF NOT EXISTS mainInfo "
                                                      "(version integer NOT NULL)"));
        !made)
        return made;
    if (Result<void> set = run(query,
                               QStringLiteral("INSERT INTO mainInfo (version) SELECT ? "
                                              "WHERE NOT EXISTS (SELECT 1 FROM mainInfo)"),
                               {kServerSchemaVersion});
        !set)
        return set;
    query = QSqlQuery();
    return buildContent(db);
}

Result<void> mDatabase::CreateDatabaseFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return Error(ErrorCode::Taken,
                     QStringLiteral("The database '%1' already exists.").arg(path), path);
    // Built under another name and renamed at the end, so that a failure never leaves a
    // half-made database that a later start would take as existing.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    const QString connection = newConnectionName("create");
    Error failed;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connection);
        db.setDatabaseName(building);
        if (!db.open()) {
            failed = fromSql(db.lastError());
        } else {
            StoreConnection::Configure(db, false);
            failed = buildContent(db).error();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (failed || !QFile::rename(building, path)) {
        QFile::remove(building);
        return failed ? failed
                      : Error(ErrorCode::Failed,
                              QStringLiteral("The database '%1' could not be created.").arg(path),
                              path);
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
