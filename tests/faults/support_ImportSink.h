#pragma once

#include "RowSink.h"

#include <QString>

// A minimal row sink over the database file for the fault tests: the import's rows go into one
// new tree table, all in one transaction on a connection of its own; rollback leaves no table.
// It stands in for the program's own sink over the store.
class ImportSink : public Gedcom::RowSink
{
public:
    ImportSink(const QString &databasePath, const QString &tree);
    ~ImportSink() override;

    bool begin(qsizetype rows, QString &error) override;
    bool add(const PersonRecord &row, QString &error) override;
    bool commit(QString &error) override;
    void rollback() override;

private:
    QString m_connection;
    QString m_tree;
};
