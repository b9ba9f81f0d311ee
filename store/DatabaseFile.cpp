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
        return transaction.error();
    return {};
}

} // namespace

StoreError mDatabase::Compress()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    if (m_readOnly)
        return refuseChange();
    if (!IsOpen() && !OpenDatabase())
        return m_openError;

    // A copy an interrupted compress of an earlier version left beside the database is of no
    // use: it goes, when it is a plain file.
    const QString leftover = QFileInfo(m_databasePath).absoluteDir().filePath(CompressTempName());
    if (const QFileInfo stale(leftover); stale.isFile() && !stale.isSymLink())
        QFile::remove(leftover);

    // In place: the file keeps its name, its link and its readers, and the journal makes the
    // rewrite all or nothing.
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    StoreError error;
    if (run(query, QStringLiteral("VACUUM"), {}, &error))
        return {};
    if (error.number == kErrDiskFull)
        error.description =
            QStringLiteral("The database could not be compressed: there is not enough room on the "
                           "disk for its compressed copy. The database was left as it was.\r\n\r\n"
                           "Make room on the disk and try again.");
    return named(error);
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
