#include "StoreImport.h"

#include "FoldedKeySet.h"
#include "Import.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Gedcom {

bool StoreSink::begin(qsizetype, QString &error)
{
    // Begun already: importIntoStore takes the write lock before the run, to check the keys.
    if (m_writer.IsActive())
        return true;
    const StoreError failed = m_writer.Begin(m_tree);
    error = failed.description;
    return !failed;
}

bool StoreSink::add(const PersonRecord &row, QString &error)
{
    const StoreError failed = m_writer.Add(row);
    // A failure of the file (busy, full, damaged) is not the person's: its text says it all.
    if (IsFileFailure(failed))
        error = failed.description;
    else if (failed)
        error = QStringLiteral("The person '%1' could not be stored: %2")
                    .arg(row.ID, failed.description);
    return !failed;
}

bool StoreSink::commit(QString &error)
{
    const StoreError failed = m_writer.Commit();
    error = failed.description;
    return !failed;
}

bool takenKeys(const mDatabase &store, std::function<bool(const QString &)> &isTaken,
               QString &error)
{
    StoreError failed;
    const QStringList keys = store.AllKeys(&failed);
    if (failed) {
        error = QStringLiteral("The keys of the existing trees could not be read: %1")
                    .arg(failed.description);
        return false;
    }
    auto taken = std::make_shared<FoldedKeySet>();
    taken->reserve(keys.size());
    for (const QString &key : keys)
        taken->insert(key);
    taken->insert(PhotoFolders::StagingName());
    const QDir photos(PhotoFolders::Root(store.DataPath()));
    for (const QString &folder : photos.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        taken->insert(folder);
    isTaken = [taken](const QString &key) { return taken->contains(key); };
    return true;
}

QString StoreImport::summary() const
{
    return plan.summary(run.isDone() ? run.photosCopied : -1, run.photosFailed);
}

QString StoreImport::resultLine() const
{
    const ImportCounts &c = plan.counts;
    // One substitution for all: a tree name holding "%3" must not take the counts' places.
    return QStringLiteral("imported %1 persons into '%2': %3 rows, %4 partners, %5 noted")
        .arg(QString::number(c.persons), tree, QString::number(c.rows), QString::number(c.partners),
             QString::number(c.noted));
}

namespace {

// True when a row of the plan has a key that is now taken.
bool usesTakenKey(const ImportPlan &plan, const std::function<bool(const QString &)> &isTaken)
{
    return std::any_of(plan.rows.cbegin(), plan.rows.cend(),
                       [&](const PlannedRow &row) { return isTaken(row.record.ID); });
}

} // namespace

StoreImport importIntoStore(mDatabase &store, const QString &path, const QString &tree,
                            ImportContext context, const Progress &progress)
{
    StoreImport result;
    result.tree = tree;
    if (const StoreError refused = NewTreeWriter::Check(store, tree)) {
        result.error = refused.description;
        return result;
    }
    // What imports that stopped left staged goes first: its folders are no keys to avoid.
    PhotoStage::FinishStopped(store.DataPath(), [&store](const QString &name, const QString &key) {
        return store.FindPerson(name, key);
    });
    // The keys are read without holding anything (planning a large file takes a while); a change
    // another program commits meanwhile shows in the data version and is checked again below.
    const qint64 version = store.DataVersion();
    if (!takenKeys(store, context.isKeyTaken, result.error))
        return result;

    bool cancelled = false;
    Progress planning, writing;
    if (progress) {
        planning = [&](qint64 done, qint64 total) {
            cancelled = !progress(total > 0 ? done * kPlanSteps / total : 0, kAllSteps);
            return !cancelled;
        };
        writing = [&](qint64 done, qint64 total) {
            const qint64 step = total > 0 ? done * (kAllSteps - kPlanSteps) / total : 0;
            cancelled = !progress(kPlanSteps + step, kAllSteps);
            return !cancelled;
        };
    }
    const auto plan = [&] {
        result.plan = planImportFile(path, context, planning);
        if (result.plan.isValid() && result.plan.counts.persons == 0)
            result.plan.error = QStringLiteral("'%1' holds no persons: no tree was made.")
                                    .arg(QFileInfo(path).fileName());
        if (!result.plan.isValid()) {
            result.cancelled = cancelled;
            result.error = result.plan.error;
        }
        return result.plan.isValid();
    };
    if (!plan())
        return result;
    if (progress && !progress(kPlanSteps, kAllSteps)) {
        result.cancelled = true;
        result.error = QStringLiteral("The import was cancelled.");
        return result;
    }

    // Photos are copied into a stage of their own and put in place once the tree is saved.
    std::unique_ptr<PhotoStage> stage;
    if (result.plan.counts.photos > 0) {
        stage = PhotoStage::Create(store.DataPath(), tree, &result.error);
        if (!stage)
            return result;
    }

    // The write lock, held from here to the end of the run: no other program can take a key now.
    // When one was saved since the keys were read, the plan is made again, avoiding it.
    StoreSink sink(store, tree);
    if (!sink.begin(result.plan.rows.size(), result.error))
        return result;
    if (store.DataVersion() != version) {
        std::function<bool(const QString &)> taken;
        if (!takenKeys(store, taken, result.error)) {
            sink.rollback();
            return result;
        }
        if (usesTakenKey(result.plan, taken)) {
            context.isKeyTaken = std::move(taken);
            if (!plan()) {
                sink.rollback();
                return result;
            }
        }
    }

    result.run = runImport(result.plan, sink, stage ? stage->Folder() : QString(), writing,
                           context.maxPhotoSize);
    result.plan.rows = {};
    if (!result.run.isDone()) {
        result.cancelled = cancelled;
        result.error = result.run.error;
    } else if (stage) {
        const qsizetype left = stage->Place();
        result.run.photosCopied -= left;
        result.run.photosFailed += left;
    }
    return result;
}

} // namespace Gedcom
