// VelkinTree --merge TREE KEEP OTHER: the person OTHER of the tree joins the person KEEP, who
// keeps the row's values; OTHER's differing values become alternate names and events, every
// family, child, citation, note and media link of OTHER becomes KEEP's and OTHER's row goes, in
// one transaction. OTHER's photos are copied into KEEP's folder; OTHER's folder goes when no tree
// has that key any more. Prints what it did, one line each.
#include "Commands.h"

#include "ChangeLog.h"
#include "TreeMerge.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("merge");

// The merge in the history kept in the database: one entry, the survivor's record.
void logMerge(mDatabase &store, const QString &tree, const TreeMerge::Merged &merged)
{
    const auto rowOf = [](const Genealogy::ModelSlice &slice,
                          const QString &key) -> const PersonRecord * {
        const quint32 i = TreeMerge::findPerson(slice, key);
        return i == Genealogy::kNoIndex ? nullptr : &slice.rows[i];
    };
    ChangeLog::Entry entry;
    entry.tree = store.StoredTreeName(tree);
    entry.record = ChangeLog::personRecord(merged.keepKey);
    entry.command = QStringLiteral("Merge %1 into %2").arg(merged.otherKey, merged.keepKey);
    entry.before = ChangeLog::rowsJson({{merged.keepKey, rowOf(merged.before, merged.keepKey)},
                                        {merged.otherKey, rowOf(merged.before, merged.otherKey)}});
    entry.after = ChangeLog::rowsJson(
        {{merged.keepKey, rowOf(merged.after, merged.keepKey)}, {merged.otherKey, nullptr}});
    // The merge is made: a history that cannot be written loses nothing of it.
    const Result<qint64> written = ChangeLog::add(store, std::move(entry));
    Q_UNUSED(written);
}

int merge(Context &context)
{
    const QStringList keys = context.parser.positionalArguments();
    const QString tree = context.parser.value(kTrigger);
    if (keys.size() != 2 || tree.isEmpty())
        return context.Fail(QStringLiteral("--merge needs the tree and the keys of two persons: "
                                           "--merge TREE KEEP OTHER"));
    mDatabase store;
    if (!context.OpenStore(store, false))
        return 1;
    const Result<TreeMerge::Merged> merged = TreeMerge::mergePersons(store, tree, keys[0], keys[1]);
    if (!merged)
        return context.Fail(QStringLiteral("'%1' could not be merged into '%2': %3")
                                .arg(keys[1], keys[0], merged.error().text()));
    for (const QString &line : merged->done)
        context.out << line << '\n';
    logMerge(store, tree, *merged);
    const Result<MergePhotos::Copied> photos =
        MergePhotos::copy(store, store.DataPath(), merged->keepKey, merged->otherKey);
    if (!photos) {
        context.out.flush();
        return context.Fail(QStringLiteral("The persons were merged, but the photos of '%1' were "
                                           "not copied (they stay in their folder): %2")
                                .arg(merged->otherKey, photos.error().text()));
    }
    for (const QString &file : photos->files)
        context.out << QStringLiteral("Copied the photo '%1' into the folder of %2")
                           .arg(file, merged->keepKey)
                    << '\n';
    if (!photos->otherFolder.isEmpty()) {
        if (!photos->otherMayGo)
            context.out << QStringLiteral("Kept the photo folder of %1: another tree has a person "
                                          "with that key")
                               .arg(merged->otherKey)
                        << '\n';
        else if (QDir(photos->otherFolder).removeRecursively())
            context.out << QStringLiteral("Removed the photo folder of %1").arg(merged->otherKey)
                        << '\n';
        else
            context.err << QStringLiteral("The photo folder '%1' could not be removed.")
                               .arg(QDir::toNativeSeparators(photos->otherFolder))
                        << Qt::endl;
    }
    context.out.flush();
    return 0;
}

} // namespace

Command MergeCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Merge the person OTHER of the tree <tree> into the "
                                              "person KEEP (both keys given after it): KEEP's "
                                              "values stay, OTHER's differing ones become "
                                              "alternate names and events, OTHER's row goes."),
                               QStringLiteral("tree")),
            {},
            merge};
}

} // namespace Cli
