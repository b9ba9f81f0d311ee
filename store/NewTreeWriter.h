#pragma once

#include "PersonRecord.h"
#include "Result.h"

#include <QString>

#include <memory>

class mDatabase;

// Fills one new tree in one transaction on the store's connection: Begin makes the table (the
// template's columns, none of its rows) and prepares one insert statement, Add runs it for each
// row, Commit keeps the tree. Rolled back, or destroyed before Commit, it leaves nothing: no
// table, no rows. The store must stay untouched by anything else until the writer is done.
class NewTreeWriter
{
public:
    explicit NewTreeWriter(mDatabase &store);
    ~NewTreeWriter();
    NewTreeWriter(const NewTreeWriter &) = delete;
    NewTreeWriter &operator=(const NewTreeWriter &) = delete;

    // Whether a tree of that name can be made: refused like mDatabase::CreateTree are a name
    // the rules refuse or that is taken, and a store that is not open or is read-only.
    static Result<void> Check(const mDatabase &store, const QString &name);
    // Checks, then makes the table and starts the transaction.
    Result<void> Begin(const QString &name);
    // A row whose ID the tree already holds (compared without regard to case) is refused (Taken).
    Result<void> Add(const PersonRecord &record);
    Result<void> Commit();
    void Rollback();

    bool IsActive() const { return bool(m_state); }

private:
    struct State;
    mDatabase &m_store;
    std::unique_ptr<State> m_state;
};
