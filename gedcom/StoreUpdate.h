#pragma once

#include "StoreImport.h"
#include "TreeReplacer.h"

namespace Gedcom {

// The rows of an update as the new rows of an existing tree: one transaction that empties the
// tree, writes the rows and then the model beside them (TreeReplacer).
class ReplaceSink : public RowSink
{
public:
    ReplaceSink(mDatabase &store, QString tree) : m_replacer(store), m_tree(std::move(tree)) {}
    void setModel(const QList<PlannedRow> *rows, const Genealogy::TreeModel *model)
    {
        m_rows = rows;
        m_model = model;
    }

    Result<void> begin(qsizetype rows) override;
    Result<void> add(const PersonRecord &row) override { return m_replacer.Add(row); }
    Result<void> commit() override;
    void rollback() override { m_replacer.Rollback(); }

private:
    TreeReplacer m_replacer;
    QString m_tree;
    const QList<PlannedRow> *m_rows = nullptr;
    const Genealogy::TreeModel *m_model = nullptr;
};

// Rebuilds the existing tree `tree` from a GEDCOM file (or a GEDZIP archive) with every fact the
// file holds, as importIntoStore makes a new tree: the persons whose ids match a key of the tree
// keep that key (and with it their photo folder); the others get keys no tree and no photo
// folder uses. One transaction: failed or cancelled, the tree stays as it was. The photos the
// file names are copied into the persons' folders, never over a file that is there.
StoreImport updateTreeFromFile(mDatabase &store, const QString &path, const QString &tree,
                               ImportContext context = {}, const Progress &progress = {});

} // namespace Gedcom
