// The database file as a whole: making a new one and compressing it.
#include "mDatabase.h"

#include "ExampleTree.h"
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
    for (const PersonRecord &row : ExampleTreeRows()) {
        if (StoreError error = TreeSql::InsertRow(db, kExample, row))
            return error;
    }
    if (!transaction.commit())
        return fromSql(db.lastError());
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
        return storeError(
            kErrGeneralFailure,
            QStringLiteral("The database '%1' could not be opened.").arg(m_databasePath));
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

    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        StoreError error;
        if (!run(query, QStringLiteral("VACUUM INTO ?"), {temp}, &error)) {
            QFile::remove(temp);
            return error;
        }
    }

    // The copy is complete; swap it in with one atomic rename while no connection is open.
    CloseDatabase();
    const bool replaced = std::rename(QFile::encodeName(temp).constData(),
                                      QFile::encodeName(m_databasePath).constData()) == 0;
    if (!replaced)
        QFile::remove(temp);
    const bool reopened = OpenDatabase();
    if (!replaced)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The compressed copy could not replace '%1'. The "
                                         "database was left as it was.")
                              .arg(m_databasePath));
    if (!reopened)
        return storeError(
            kErrGeneralFailure,
            QStringLiteral("The database '%1' could not be opened again.").arg(m_databasePath));
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
    return {};
}

bool DatabaseIsWritable(const QString &databasePath)
{
    const QFileInfo file(databasePath);
    if (file.exists() && !file.isWritable())
        return false;
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}
