#pragma once

#include "RowSink.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>

// A RowSink over SQLite as the person store will be: one table of fourteen text columns with a
// unique index on ID, rows inserted by one prepared statement in one transaction.
class SqliteSink : public Gedcom::RowSink
{
public:
    SqliteSink(const QString &databasePath, const QString &table);
    ~SqliteSink() override;

    bool begin(qsizetype rows, QString &error) override;
    bool add(const PersonRecord &row, QString &error) override;
    bool commit(QString &error) override;
    void rollback() override;

private:
    QString m_connection;
    QString m_table;
    std::unique_ptr<QSqlQuery> m_insert;
};
