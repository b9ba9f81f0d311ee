#pragma once

#include "PersonRow.h"
#include "Result.h"
#include "TreeModel.h"

#include <memory>
#include <span>

class mDatabase;

// Rebuilds an existing tree in one transaction: Begin takes the write lock and empties the tree
// (its rows and side records), Add writes each new row, Commit writes the new model beside them
// and keeps the whole. Rolled back, or destroyed before Commit, the tree stays as it was. The
// tree keeps its table, its name and the id of its side records.
class TreeReplacer
{
public:
    explicit TreeReplacer(mDatabase &store);
    ~TreeReplacer();
    TreeReplacer(const TreeReplacer &) = delete;
    TreeReplacer &operator=(const TreeReplacer &) = delete;

    // Refused: a store not open or read-only, a name that is no tree (TreeMissing).
    Result<void> Begin(const QString &tree);
    // A row whose ID the new rows hold already is refused (Taken).
    Result<void> Add(const Genealogy::PersonRow &row);
    // `rows` are the rows added, in order: person i of the model is rows[i].
    Result<void> Commit(std::span<const Genealogy::PersonRow> rows,
                        const Genealogy::TreeModel &model);
    void Rollback();
    bool IsActive() const { return bool(m_state); }
    // The exact name of the tree being rebuilt.
    QString Tree() const;

private:
    struct State;
    mDatabase &m_store;
    std::unique_ptr<State> m_state;
};
