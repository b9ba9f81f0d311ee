#pragma once

#include "OpenTree.h"
#include "mDatabase.h"

#include <QString>

#include <memory>
#include <optional>

class QTextStream;

// A tree the command line reads: the database of the data folder opened read-only (never
// created) and the tree loaded by its name (the exact name, else the one name equal to it
// without regard to case). Rows left out for a key an earlier row has are told on the error
// stream.
class CliTree
{
public:
    // False after one clear line on the error stream. With `server`, the shared database there
    // is read instead (the data folder stays the place of photos).
    bool Open(const QString &tree, const QString &dataFolder, QTextStream &err,
              const std::optional<ServerAddress> &server = {});

    mDatabase &Store() { return m_store; }
    const QString &Name() const { return m_name; }
    const cPeople &People() const { return m_open->People(); }
    OpenTree &Tree() { return *m_open; }

private:
    mDatabase m_store;
    std::unique_ptr<OpenTree> m_open;
    QString m_name;
};
