#pragma once

#include "ImportPlan.h"
#include "ImportRun.h"
#include "ModelImport.h"
#include "NewTreeWriter.h"
#include "Progress.h"
#include "RowSink.h"

class mDatabase;
class QTemporaryDir;

namespace Gedcom {

// The rows of an import as one new tree of the person store: one transaction, one prepared
// statement (NewTreeWriter). Rolled back, it leaves no table.
class StoreSink : public RowSink
{
public:
    StoreSink(mDatabase &store, QString tree)
        : m_writer(store), m_store(store), m_tree(std::move(tree))
    {
    }

    Result<void> begin(qsizetype rows) override;
    Result<void> add(const PersonRecord &row) override;
    Result<void> commit() override;
    void rollback() override { m_writer.Rollback(); }
    // The model written with the rows, in the same transaction, just before the commit: person
    // i is rows[i]. Both must outlive the sink.
    void setModel(const QList<PlannedRow> *rows, const Genealogy::TreeModel *model)
    {
        m_rows = rows;
        m_model = model;
    }

private:
    NewTreeWriter m_writer;
    mDatabase &m_store;
    QString m_tree;
    const QList<PlannedRow> *m_rows = nullptr;
    const Genealogy::TreeModel *m_model = nullptr;
};

// The keys an import into the store must avoid, compared without regard to case: every key of
// every tree and of the template, and every existing photo folder (photo folders are shared by
// key, so two imports must not mix their people's photos): whether a key is taken. Fails when
// the keys could not be read.
using KeyTest = std::function<bool(const QString &)>;
Result<KeyTest> takenKeys(const mDatabase &store);

// What an import into the store did.
struct StoreImport
{
    QString tree;
    ImportPlan plan;         // the figures (its rows are let go once written)
    ModelCounts modelCounts; // what was kept beside the rows
    RunResult run;
    Error error; // why no tree was made (Cancelled when the user stopped it); none when done

    bool isDone() const { return !error && run.isDone(); }
    bool cancelled() const { return error.is(ErrorCode::Cancelled); }
    // The one summary for the user: persons read and how they were kept, what was skipped, the
    // photos copied, and what was kept as read by tag.
    QString summary() const;
    // "imported N persons into 'TREE': R rows, P partners, M noted; F families, E events,
    // S sources, C citations, K kept as read"
    QString resultLine() const;
};

// Maps a GEDCOM file (mapFile), or the GEDCOM file of a GEDZIP archive (.gdz) extracted into
// `scratch` with its media (every entry checked: names, links, sizes, ratios), which must stay
// until the photos are copied. An archive that breaks a rule gives an InvalidInput error.
MappedTree mapFileOrArchive(const QString &path, ImportContext context, const Progress &progress,
                            QTemporaryDir &scratch);

// The steps of progress reported by importIntoStore: reading and mapping the file up to
// kPlanSteps, writing the rows up to kAllSteps.
constexpr qint64 kPlanSteps = 800;
constexpr qint64 kAllSteps = 1000;

// Reads the GEDCOM file, maps it onto rows and makes the new tree `tree` of them, the photos
// copied into the store's photo folders. The tree name and the store are checked before the
// file is read. Cancelled (progress returns false) or failed, nothing is left behind: no tree,
// no photo. `context` gives the image test and the size limit; the keys to avoid are the
// store's.
//
// Two imports at once never share a key or a photo folder: the keys are read before the file
// is planned, and read again once the write lock is held (from there to the commit no other
// program can take one); when another program saved one of the planned keys meanwhile, the
// file is planned again under the lock. The photos are copied into a stage of the import's own
// (PhotoStage) and put in place only after the commit; stages that stopped imports left are
// finished first. Progress reports kPlanSteps once the plan is made, before the write lock is
// taken.
StoreImport importIntoStore(mDatabase &store, const QString &path, const QString &tree,
                            ImportContext context = {}, const Progress &progress = {});

} // namespace Gedcom
