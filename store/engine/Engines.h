#pragma once

#include "Engine.h"

// The two engines (see Engine.h for what each member does).
namespace Store {

class SqliteEngine final : public Engine
{
public:
    QString rowOrder() const override;
    QString catalogue(bool tablesOnly) const override;
    QString storedTable(QSqlDatabase &db, const QString &name) const override;
    QString nameProblem(const QString &name) const override;
    Result<void> begin(QSqlDatabase &db) const override;
    void afterRollback(QSqlDatabase &db) const override;
    QString compress() const override;
    Result<QList<TemplateColumn>> templateColumns(QSqlDatabase &db) const override;
    QStringList createTree(const QString &quotedName,
                           const QList<TemplateColumn> &columns) const override;
    QString keyEquals() const override;
    QString blobType() const override;
    qsizetype estimateRows(QSqlDatabase &db, const QString &quotedName) const override;
    qint64 dataVersion(QSqlDatabase &db) const override;
    Result<void> announce(QSqlDatabase &db, const QString &payload) const override;
};

// The server: the program's tables live in a schema of their own (kServerSchema), which the
// connection searches first; other tables of the database are never trees. Table names there
// are exact and at most 63 bytes long.
class PostgresEngine final : public Engine
{
public:
    QString rowOrder() const override;
    QString catalogue(bool tablesOnly) const override;
    QString storedTable(QSqlDatabase &db, const QString &name) const override;
    QString nameProblem(const QString &name) const override;
    Result<void> begin(QSqlDatabase &db) const override;
    void afterRollback(QSqlDatabase &db) const override;
    QString compress() const override;
    Result<QList<TemplateColumn>> templateColumns(QSqlDatabase &db) const override;
    QStringList createTree(const QString &quotedName,
                           const QList<TemplateColumn> &columns) const override;
    QString keyEquals() const override;
    QString blobType() const override;
    qsizetype estimateRows(QSqlDatabase &db, const QString &quotedName) const override;
    qint64 dataVersion(QSqlDatabase &db) const override;
    Result<void> announce(QSqlDatabase &db, const QString &payload) const override;
};

// The schema of the program's tables on the server.
inline constexpr const char *kServerSchema = "velkintree";
// The column that numbers the rows of a tree table on the server.
inline constexpr const char *kRowNumberColumn = "vtRow";
// The longest table name the server keeps whole, in bytes of UTF-8.
inline constexpr int kServerNameBytes = 63;

} // namespace Store
