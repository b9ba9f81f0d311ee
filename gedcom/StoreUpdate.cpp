#include "StoreUpdate.h"

#include "FoldedKeySet.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace Gedcom {

Result<void> ReplaceSink::begin(qsizetype)
{
    if (m_replacer.IsActive())
        return {};
    return m_replacer.Begin(m_tree);
}

Result<void> ReplaceSink::commit()
{
    std::vector<PersonRecord> rows;
    if (m_rows) {
        rows.reserve(size_t(m_rows->size()));
        for (const PlannedRow &row : *m_rows)
            rows.push_back(row.record);
    }
    const Genealogy::TreeModel none;
    return m_replacer.Commit(rows, m_model && m_model->personCount() ? *m_model : none);
}

namespace {

// The keys an update must avoid: every key of the other trees and of the template, and every
// photo folder but those of the tree's own keys (which the persons whose ids match keep).
Result<KeyTest> keysOfOthers(const mDatabase &store, const QString &tree)
{
    const Result<QList<PersonRecord>> own = store.ReadTree(tree);
    if (!own)
        return own.error();
    FoldedKeySet ownKeys;
    for (const PersonRecord &row : *own)
        ownKeys.insert(row.ID);
    const Result<QStringList> keys = store.AllKeys();
    if (!keys)
        return keys.error();
    // AllKeys lists the tree's keys once each: counting them out keeps a key another tree
    // shares.
    QHash<QString, int> ownLeft;
    for (const PersonRecord &row : *own)
        ++ownLeft[row.ID];
    auto taken = std::make_shared<FoldedKeySet>();
    for (const QString &key : *keys) {
        if (int &left = ownLeft[key]; left > 0) {
            --left;
            continue;
        }
        taken->insert(key);
    }
    taken->insert(PhotoFolders::StagingName());
    const QDir photos(PhotoFolders::Root(store.DataPath()));
    for (const QString &folder :
         photos.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!ownKeys.contains(folder))
            taken->insert(folder);
    }
    return KeyTest([taken](const QString &key) { return taken->contains(key); });
}

} // namespace

StoreImport updateTreeFromFile(mDatabase &store, const QString &path, const QString &tree,
                               ImportContext context, const Progress &progress)
{
    StoreImport result;
    result.tree = store.StoredTreeName(tree);
    if (result.tree.isEmpty() || !IsListedTreeName(result.tree)) {
        result.tree = tree;
        result.error =
            Error(ErrorCode::TreeMissing, QStringLiteral("There is no tree named '%1'.").arg(tree));
        return result;
    }
    if (store.IsReadOnly()) {
        result.error = Error(ErrorCode::ReadOnly,
                             QStringLiteral("The database is open read-only: it cannot be "
                                            "changed."),
                             store.DatabasePath());
        return result;
    }
    PhotoStage::FinishStopped(store.DataPath(), [&store](const QString &name, const QString &key) {
        return store.FindPerson(name, key).ok();
    });
    Result<KeyTest> taken = keysOfOthers(store, result.tree);
    if (!taken) {
        result.error = taken.error();
        return result;
    }
    context.isKeyTaken = std::move(*taken);

    Genealogy::TreeModel model;
    QTemporaryDir extracted(QDir::tempPath() + QStringLiteral("/velkintree-gdz-XXXXXX"));
    {
        Progress planning;
        if (progress)
            planning = [&](qint64 done, qint64 total) {
                return progress(total > 0 ? done * kPlanSteps / total : 0, kAllSteps);
            };
        MappedTree mapped = mapFileOrArchive(path, context, planning, extracted);
        result.plan.error = mapped.error;
        result.plan.rows = std::move(mapped.rows);
        result.plan.counts = mapped.counts;
        result.modelCounts = mapped.modelCounts;
        model = std::move(mapped.model);
    }
    if (result.plan.isValid() && result.plan.counts.persons == 0)
        result.plan.error = Error(ErrorCode::InvalidInput,
                                  QStringLiteral("'%1' holds no persons: the tree was not changed.")
                                      .arg(QFileInfo(path).fileName()),
                                  path);
    if (!result.plan.isValid()) {
        result.error = result.plan.error;
        return result;
    }
    std::unique_ptr<PhotoStage> stage;
    if (result.plan.counts.photos > 0) {
        Result<std::unique_ptr<PhotoStage>> made =
            PhotoStage::Create(store.DataPath(), result.tree);
        if (!made) {
            result.error = made.error();
            return result;
        }
        stage = std::move(*made);
    }
    ReplaceSink sink(store, result.tree);
    sink.setModel(&result.plan.rows, &model);
    Progress writing;
    if (progress)
        writing = [&](qint64 done, qint64 total) {
            const qint64 step = total > 0 ? done * (kAllSteps - kPlanSteps) / total : 0;
            return progress(kPlanSteps + step, kAllSteps);
        };
    result.run = runImport(result.plan, sink, stage ? stage->Folder() : QString(), writing,
                           context.maxPhotoSize);
    result.plan.rows = {};
    if (!result.run.isDone()) {
        result.error = result.run.error;
    } else if (stage) {
        const qsizetype left = stage->Place();
        result.run.photosCopied -= left;
        result.run.photosFailed += left;
    }
    return result;
}

} // namespace Gedcom
