#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;
class QSqlError;

// What differs between the two database engines the store runs on: the embedded file (the
// default: one file, nothing to set up) and the server a family shares. One implementation each
// (SqliteEngine, PostgresEngine); the store asks the engine of its connection (EngineOf) and
// never which engine it has.
namespace Store {

// A column of the template table "main": its name and its declared type.
struct TemplateColumn
{
    QString name;
    QString type;
};

class Engine
{
public:
    virtual ~Engine() = default;

    // The statement that lists the names of the program's tables in the order they were made
    // (`tablesOnly`), or every name a new table cannot take (tables, indexes...).
    virtual QString catalogue(bool tablesOnly) const = 0;
    // The exact name of the table `name` reaches on this engine ("" when none).
    virtual QString storedTable(QSqlDatabase &db, const QString &name) const = 0;
    // Beyond the rules every tree name follows (TreeNameProblem): why the engine cannot hold
    // this name as a table ("" when it can).
    virtual QString nameProblem(const QString &name) const = 0;

    // Starts a write transaction that holds the database's write lock until it ends, waiting
    // for another program's writes as long as the connection's busy timeout says.
    virtual Result<void> begin(QSqlDatabase &db) const = 0;
    // After a rollback: anything the engine needs to be left sound.
    virtual void afterRollback(QSqlDatabase &db) const = 0;
    // The statement that compacts the database in place.
    virtual QString compress() const = 0;

    // The template's columns in table order.
    virtual Result<QList<TemplateColumn>> templateColumns(QSqlDatabase &db) const = 0;
    // The statements that make a tree table with these columns, its ID required and unique
    // compared with A-Z folded (the rule the file has always had).
    virtual QStringList createTree(const QString &quotedName,
                                   const QList<TemplateColumn> &columns) const = 0;
    // What follows "SELECT * FROM tree" so that the rows come in the order they were added
    // (a row keeps its place when it changes), as the file gives them by itself.
    virtual QString rowOrder() const = 0;
    // The condition that finds a row by its ID (one bound value), as the unique key compares.
    virtual QString keyEquals() const = 0;
    // The column type of byte strings.
    virtual QString blobType() const = 0;
    // About how many rows a table has without reading it (0 when unknown).
    virtual qsizetype estimateRows(QSqlDatabase &db, const QString &quotedName) const = 0;
    // A number that changes when another connection commits a change; -1 when the engine
    // cannot tell.
    virtual qint64 dataVersion(QSqlDatabase &db) const = 0;
    // Inside a write transaction, just before it commits: tells the other programs on the
    // database of the change (a ChangeNotice's text; empty: a change no program shows). The
    // server sends it on kChangeChannel with the commit; the file keeps it in its list of
    // changes (ChangeNoticeList), written in the same transaction. A failure fails the change.
    virtual Result<void> announce(QSqlDatabase &db, const QString &payload) const = 0;
};

// The engine of an open (or set up) connection, by its driver.
const Engine &EngineOf(const QSqlDatabase &db);
// True for a connection to the database server.
bool IsServer(const QSqlDatabase &db);
// True when the connection to the server was lost (the server stopped, the network cut).
bool ServerConnectionLost(const QSqlDatabase &db);
// True on the server inside a transaction that has not failed.
bool ServerInTransaction(const QSqlDatabase &db);
// True when the connection to the server is encrypted (TLS).
bool ServerConnectionEncrypted(const QSqlDatabase &db);

// The letters the key's uniqueness folds, for the server's translate().
inline constexpr const char *kUpperAZ = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr const char *kLowerAZ = "abcdefghijklmnopqrstuvwxyz";

} // namespace Store
