#include "StoreImport.h"

#include "FoldedKeySet.h"
#include "Import.h"
#include "PhotoFolders.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace Gedcom {

bool StoreSink::begin(qsizetype, QString &error)
{
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

StoreImport importIntoStore(mDatabase &store, const QString &path, const QString &tree,
                            ImportContext context, const Progress &progress)
{
    StoreImport result;
    result.tree = tree;
    if (const StoreError refused = NewTreeWriter::Check(store, tree)) {
        result.error = refused.description;
        return result;
    }
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
    const qint64 maxPhotoSize = context.maxPhotoSize;
    result.plan = planImportFile(path, std::move(context), planning);
    if (!result.plan.isValid()) {
        result.cancelled = cancelled;
        result.error = result.plan.error;
        return result;
    }
    if (result.plan.counts.persons == 0) {
        result.error = QStringLiteral("'%1' holds no persons: no tree was made.")
                           .arg(QFileInfo(path).fileName());
        return result;
    }
    StoreSink sink(store, tree);
    result.run =
        runImport(result.plan, sink, PhotoFolders::Root(store.DataPath()), writing, maxPhotoSize);
    result.plan.rows = {};
    if (!result.run.isDone()) {
        result.cancelled = cancelled;
        result.error = result.run.error;
    }
    return result;
}

} // namespace Gedcom
