#include "support_ImportSink.h"

#include "StoreConnection.h"
#include "StoreSql.h"
#include "TreeSql.h"
#include "TreeTables.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

ImportSink::ImportSink(const QString &databasePath, const QString &tree)
    : m_connection(StoreSql::newConnectionName("import")), m_tree(tree)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(StoreSql::kDriver, m_connection);
    db.setDatabaseName(databasePath);
    db.setConnectOptions(StoreConnection::Options(false, StoreConnection::kBusyTimeoutMs));
    if (db.open())
        StoreConnection::Configure(db, false);
}

ImportSink::~ImportSink()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool ImportSink::begin(qsizetype, QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() || !db.transaction()) {
        error = StoreSql::fromSql(db.lastError()).description;
        return false;
    }
    QStringList columns;
    for (const QString &column : PersonColumns())
        columns << StoreSql::quoted(column) + QStringLiteral(" TEXT");
    columns[0] += QStringLiteral(" NOT NULL COLLATE NOCASE");
    columns << QStringLiteral("UNIQUE (\"ID\")");
    QSqlQuery create(db);
    if (!create.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                         .arg(StoreSql::quoted(m_tree), columns.join(QStringLiteral(", "))))) {
        error = StoreSql::fromSql(create.lastError()).description;
        return false;
    }
    return true;
}

bool ImportSink::add(const PersonRecord &row, QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (StoreError failure = TreeSql::InsertRow(db, m_tree, row)) {
        error = failure.description;
        return false;
    }
    return true;
}

bool ImportSink::commit(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.commit()) {
        error = StoreSql::fromSql(db.lastError()).description;
        db.rollback();
        return false;
    }
    return true;
}

void ImportSink::rollback()
{
    QSqlDatabase::database(m_connection, false).rollback();
}
