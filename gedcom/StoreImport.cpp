#include "StoreImport.h"

#include "FoldedKeySet.h"
#include "Gedzip.h"
#include "Import.h"
#include "ModelStore.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace Gedcom {

Result<void> StoreSink::begin(qsizetype)
{
    // Begun already: importIntoStore takes the write lock before the run, to check the keys.
    if (m_writer.IsActive())
        return {};
    return m_writer.Begin(m_tree);
}

Result<void> StoreSink::add(const PersonRecord &row)
{
    Result<void> added = m_writer.Add(row);
    // A failure of the file (busy, full, damaged) is not the person's: its text says it all.
    if (added || added.error().isFileFailure())
        return added;
    return added.error().withText(QStringLiteral("The person '%1' could not be stored: %2")
                                      .arg(row.ID, added.error().text()));
}

Result<void> StoreSink::commit()
{
    if (m_rows && m_model) {
        // The model names its persons by the rows' keys (the rows themselves are written).
        std::vector<QByteArray> keys;
        keys.reserve(size_t(m_rows->size()));
        for (const PlannedRow &row : *m_rows)
            keys.push_back(row.record.ID.toUtf8());
        if (Result<void> written =
                ModelStore::writeModelInTransaction(m_store, m_tree, std::move(keys), *m_model);
            !written) {
            m_writer.Rollback();
            return written;
        }
    }
    return m_writer.Commit();
}

Result<KeyTest> takenKeys(const mDatabase &store)
{
    const Result<QStringList> keys = store.AllKeys();
    if (!keys)
        return keys.error().withText(
            QStringLiteral("The keys of the existing trees could not be read: %1")
                .arg(keys.error().text()));
    auto taken = std::make_shared<FoldedKeySet>();
    taken->reserve(keys->size());
    for (const QString &key : *keys)
        taken->insert(key);
    taken->insert(PhotoFolders::StagingName());
    const QDir photos(PhotoFolders::Root(store.DataPath()));
    for (const QString &folder : photos.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        taken->insert(folder);
    return KeyTest([taken](const QString &key) { return taken->contains(key); });
}

QString StoreImport::summary() const
{
    MappedTree figures;
    figures.error = plan.error;
    figures.counts = plan.counts;
    figures.modelCounts = modelCounts;
    return figures.summary(isDone() ? run.photosCopied : -1, run.photosFailed);
}

QString StoreImport::resultLine() const
{
    const ImportCounts &c = plan.counts;
    MappedTree figures;
    figures.modelCounts = modelCounts;
    // One substitution for all: a tree name holding "%3" must not take the counts' places.
    return QStringLiteral("imported %1 persons into '%2': %3 rows, %4 partners, %5 noted")
               .arg(QString::number(c.persons), tree, QString::number(c.rows),
                    QString::number(c.partners), QString::number(c.noted)) +
           figures.resultLineTail();
}

namespace {

// True when a row of the plan has a key that is now taken.
bool usesTakenKey(const ImportPlan &plan, const std::function<bool(const QString &)> &isTaken)
{
    return std::any_of(plan.rows.cbegin(), plan.rows.cend(),
                       [&](const PlannedRow &row) { return isTaken(row.record.ID); });
}

} // namespace

namespace {

// A GEDZIP archive is read from a folder of its own: its GEDCOM file and media extracted (every
// entry checked first: names, links, sizes, compression ratios), so the media are found beside
// the file as they are for a GEDCOM file.
Result<QString> extractGedzip(const QString &archive, const QTemporaryDir &folder)
{
    const auto refused = [&archive](const QString &why) {
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("'%1' cannot be read as a GEDZIP archive: %2")
                         .arg(QFileInfo(archive).fileName(), why),
                     archive);
    };
    if (!folder.isValid())
        return Error(ErrorCode::Failed,
                     QStringLiteral("No temporary folder could be made to read '%1'.")
                         .arg(QFileInfo(archive).fileName()));
    GedzipReader reader;
    if (!reader.open(archive))
        return refused(reader.error());
    const QByteArray gedcom = reader.gedcom();
    if (gedcom.isEmpty())
        return refused(reader.error().isEmpty() ? QStringLiteral("it holds no GEDCOM file")
                                                : reader.error());
    if (!reader.extractMedia(folder.path()))
        return refused(reader.error());
    const QString file = folder.filePath(QStringLiteral("gedcom.ged"));
    QFile out(file);
    if (out.exists() || !out.open(QIODevice::NewOnly) || out.write(gedcom) != gedcom.size())
        return refused(QStringLiteral("its GEDCOM file could not be extracted"));
    return file;
}

} // namespace

MappedTree mapFileOrArchive(const QString &path, ImportContext context, const Progress &progress,
                            QTemporaryDir &scratch)
{
    if (!path.endsWith(QLatin1String(".gdz"), Qt::CaseInsensitive))
        return mapFile(path, std::move(context), progress);
    Result<QString> file = extractGedzip(path, scratch);
    if (!file) {
        MappedTree failed;
        failed.error = file.error();
        return failed;
    }
    context.gedcomFolder.clear();
    return mapFile(*file, std::move(context), progress);
}

StoreImport importIntoStore(mDatabase &store, const QString &path, const QString &tree,
                            ImportContext context, const Progress &progress)
{
    StoreImport result;
    result.tree = tree;
    if (const Result<void> checked = NewTreeWriter::Check(store, tree); !checked) {
        result.error = checked.error();
        return result;
    }
    // An archive is read from a folder of its own, which lives until the photos are copied.
    QTemporaryDir extracted(QDir::tempPath() + QStringLiteral("/velkintree-gdz-XXXXXX"));
    // What imports that stopped left staged goes first: its folders are no keys to avoid.
    PhotoStage::FinishStopped(store.DataPath(), [&store](const QString &name, const QString &key) {
        return store.FindPerson(name, key).ok();
    });
    // The keys are read without holding anything (planning a large file takes a while); a change
    // another program commits meanwhile shows in the data version and is checked again below
    // (always, where the engine gives no data version).
    const qint64 version = store.DataVersion();
    if (Result<KeyTest> taken = takenKeys(store); taken) {
        context.isKeyTaken = std::move(*taken);
    } else {
        result.error = taken.error();
        return result;
    }

    // A step the progress refuses ends the reading, the mapping or the run as Cancelled.
    Progress planning, writing;
    if (progress) {
        planning = [&](qint64 done, qint64 total) {
            return progress(total > 0 ? done * kPlanSteps / total : 0, kAllSteps);
        };
        writing = [&](qint64 done, qint64 total) {
            const qint64 step = total > 0 ? done * (kAllSteps - kPlanSteps) / total : 0;
            return progress(kPlanSteps + step, kAllSteps);
        };
    }
    // The file mapped onto rows and the model; the model stays until the rows are written.
    Genealogy::TreeModel model;
    const auto plan = [&] {
        MappedTree mapped = mapFileOrArchive(path, context, planning, extracted);
        result.plan = ImportPlan();
        result.plan.error = mapped.error;
        result.plan.rows = std::move(mapped.rows);
        result.plan.counts = mapped.counts;
        result.modelCounts = mapped.modelCounts;
        model = std::move(mapped.model);
        if (result.plan.isValid() && result.plan.counts.persons == 0)
            result.plan.error = Error(ErrorCode::InvalidInput,
                                      QStringLiteral("'%1' holds no persons: no tree was made.")
                                          .arg(QFileInfo(path).fileName()),
                                      path);
        if (!result.plan.isValid())
            result.error = result.plan.error;
        return result.plan.isValid();
    };
    if (!plan())
        return result;
    if (progress && !progress(kPlanSteps, kAllSteps)) {
        result.error = Error(ErrorCode::Cancelled, QStringLiteral("The import was cancelled."));
        return result;
    }

    // Photos are copied into a stage of their own and put in place once the tree is saved.
    std::unique_ptr<PhotoStage> stage;
    if (result.plan.counts.photos > 0) {
        Result<std::unique_ptr<PhotoStage>> made = PhotoStage::Create(store.DataPath(), tree);
        if (!made) {
            result.error = made.error();
            return result;
        }
        stage = std::move(*made);
    }

    // The write lock, held from here to the end of the run: no other program can take a key now.
    // When one was saved since the keys were read, the plan is made again, avoiding it.
    StoreSink sink(store, tree);
    if (const Result<void> begun = sink.begin(result.plan.rows.size()); !begun) {
        result.error = begun.error();
        return result;
    }
    if (version < 0 || store.DataVersion() != version) {
        Result<KeyTest> taken = takenKeys(store);
        if (!taken) {
            sink.rollback();
            result.error = taken.error();
            return result;
        }
        if (usesTakenKey(result.plan, *taken)) {
            context.isKeyTaken = std::move(*taken);
            if (!plan()) {
                sink.rollback();
                return result;
            }
        }
    }

    sink.setModel(&result.plan.rows, &model);
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
