#include "TreeMerge.h"

#include "ModelStore.h"
#include "PhotoFolders.h"
#include "TreeRestore.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TreeMerge {

namespace {

QList<PersonRecord> listOf(const std::vector<Genealogy::PersonRow> &rows)
{
    return QList<PersonRecord>(rows.cbegin(), rows.cend());
}

Result<Genealogy::ModelSlice> readForChange(mDatabase &store, const QString &tree)
{
    if (!store.IsOpen())
        return Error(ErrorCode::Failed, QStringLiteral("The database is not open."));
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database is open for reading only. Nothing was changed."),
                     store.DatabasePath());
    if (Error refused = store.RefuseTreeChange(tree))
        return refused;
    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("There is no tree '%1' in the database.").arg(tree));
    return ModelStore::readTree(store, stored);
}

Result<void> write(mDatabase &store, const QString &tree, Merged &merged)
{
    const bool withModel = merged.after.model.personCount() > 0;
    return putBack(store, tree, merged.before, merged.after, withModel);
}

} // namespace

quint32 findPerson(const Genealogy::ModelSlice &tree, const QString &key)
{
    quint32 found = Genealogy::kNoIndex;
    for (quint32 i = 0; i < tree.rows.size(); ++i) {
        if (tree.rows[i].ID == key)
            return i;
        if (tree.rows[i].ID.compare(key, Qt::CaseInsensitive) == 0)
            found = found == Genealogy::kNoIndex ? i : Genealogy::kNoIndex - 1;
    }
    return found == Genealogy::kNoIndex - 1 ? Genealogy::kNoIndex : found;
}

Result<void> putBack(mDatabase &store, const QString &tree, const Genealogy::ModelSlice &expected,
                     const Genealogy::ModelSlice &wanted, bool withModel)
{
    Genealogy::TreeModel empty;
    const Genealogy::TreeModel *model = withModel ? &wanted.model : nullptr;
    // A tree that had side records and has none now (cannot happen by a merge) keeps an empty
    // model rather than stale records.
    if (!withModel && expected.model.personCount() > 0)
        model = &empty;
    return RestoreTree(store, tree, listOf(expected.rows), listOf(wanted.rows), model);
}

Result<Merged> mergePersons(mDatabase &store, const QString &tree, const QString &keep,
                            const QString &other,
                            std::optional<Genealogy::PersonMerge::Choice> choice)
{
    Result<Genealogy::ModelSlice> read = readForChange(store, tree);
    if (!read)
        return read.error();
    Merged merged;
    merged.before = std::move(*read);
    merged.hadModel = merged.before.model.personCount() > 0;
    const quint32 k = findPerson(merged.before, keep);
    const quint32 o = findPerson(merged.before, other);
    for (const auto &[index, key] : {std::pair{k, keep}, std::pair{o, other}}) {
        if (index == Genealogy::kNoIndex)
            return Error(
                ErrorCode::Missing,
                QStringLiteral("The tree '%1' has no person with the key '%2'.").arg(tree, key));
    }
    if (k == o)
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("'%1' and '%2' are the same person: give two different keys.")
                         .arg(keep, other));
    merged.keepKey = merged.before.rows[k].ID;
    merged.otherKey = merged.before.rows[o].ID;
    merged.after = merged.before;
    Result<Genealogy::PersonMerge::Outcome> outcome = Genealogy::PersonMerge::merge(
        merged.after, k, o,
        choice ? *choice : Genealogy::PersonMerge::defaultChoice(merged.before, k, o));
    if (!outcome)
        return outcome.error();
    merged.done = outcome->done;
    if (Result<void> written = write(store, tree, merged); !written)
        return written.error();
    return merged;
}

Result<Merged> mergeFamilies(mDatabase &store, const QString &tree, quint32 keep, quint32 other)
{
    Result<Genealogy::ModelSlice> read = readForChange(store, tree);
    if (!read)
        return read.error();
    Merged merged;
    merged.before = std::move(*read);
    merged.hadModel = merged.before.model.personCount() > 0;
    merged.after = merged.before;
    Result<QStringList> done = Genealogy::RecordMerge::mergeFamilies(merged.after, keep, other);
    if (!done)
        return done.error();
    merged.done = *done;
    if (Result<void> written = write(store, tree, merged); !written)
        return written.error();
    return merged;
}

Result<Merged> mergeSources(mDatabase &store, const QString &tree, quint32 keep, quint32 other,
                            std::optional<Genealogy::RecordMerge::SourceChoice> choice)
{
    Result<Genealogy::ModelSlice> read = readForChange(store, tree);
    if (!read)
        return read.error();
    Merged merged;
    merged.before = std::move(*read);
    merged.hadModel = merged.before.model.personCount() > 0;
    merged.after = merged.before;
    Result<QStringList> done = Genealogy::RecordMerge::mergeSources(
        merged.after, keep, other,
        choice ? *choice
               : Genealogy::RecordMerge::defaultSourceChoice(merged.before.model, keep, other));
    if (!done)
        return done.error();
    merged.done = *done;
    if (Result<void> written = write(store, tree, merged); !written)
        return written.error();
    return merged;
}

} // namespace TreeMerge

namespace MergePhotos {

bool keyInAnyTree(const mDatabase &store, const QString &key)
{
    const QStringList trees = store.ListTrees();
    for (const QString &tree : trees) {
        const Result<PersonRecord> found = store.FindPerson(tree, key);
        if (found || !found.error().is(ErrorCode::Missing))
            return true;
    }
    return false;
}

QString freeName(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    if (!dir.exists(fileName))
        return fileName;
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!dir.exists(candidate))
            return candidate;
    }
}

Result<Copied> copy(const mDatabase &store, const QString &dataPath, const QString &keep,
                    const QString &other)
{
    Copied copied;
    const QString from = PhotoFolders::FolderOf(dataPath, other);
    const QString to = PhotoFolders::FolderOf(dataPath, keep);
    if (from.isEmpty() || !QFileInfo(from).isDir())
        return copied;
    copied.otherFolder = from;
    if (to.isEmpty())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The key '%1' cannot have a photo folder.").arg(keep));
    const QFileInfoList files =
        QDir(from).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    if (!files.isEmpty() && !QDir().mkpath(to))
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The photo folder '%1' could not be made.").arg(to), to);
    for (const QFileInfo &file : files) {
        const QString name = freeName(to, file.fileName());
        if (!QFile::copy(file.filePath(), to + name)) {
            // Nothing half-copied stays behind.
            for (const QString &done : std::as_const(copied.files))
                QFile::remove(to + done);
            return Error(ErrorCode::Failed,
                         QStringLiteral("The photo '%1' could not be copied into '%2'.")
                             .arg(file.filePath(), to),
                         to);
        }
        copied.files << name;
    }
    copied.otherMayGo = !keyInAnyTree(store, other);
    return copied;
}

} // namespace MergePhotos
