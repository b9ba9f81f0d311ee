// VelkinTree --check-tree TREE: states whether the rows of a tree and its family records agree.
// Prints nothing and ends with 0 when they do; prints one line per disagreement and ends with 1
// when they do not; ends with 2 when there is no such tree (or no database).
#include "Commands.h"

#include "ModelStore.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("check-tree");
constexpr int kMissingTree = 2;

int checkTree(Context &context)
{
    const QString tree = context.parser.value(kTrigger);
    if (!context.parser.positionalArguments().isEmpty())
        return context.Fail(QStringLiteral("--check-tree takes one tree; unexpected: %1")
                                .arg(context.parser.positionalArguments().join(u' ')));
    mDatabase store;
    store.BuildConnectionString(context.dataPath);
    if (!context.server && !QFileInfo::exists(store.DatabasePath())) {
        context.Fail(QStringLiteral("There is no tree named '%1': there is no database in '%2'.")
                         .arg(tree, QDir::toNativeSeparators(context.dataPath)));
        return kMissingTree;
    }
    if (!context.OpenStore(store, false))
        return 1;
    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty() || !IsListedTreeName(stored)) {
        context.Fail(QStringLiteral("There is no tree named '%1'.").arg(tree));
        return kMissingTree;
    }
    const Result<QStringList> lines = ModelStore::checkTree(store, stored);
    if (!lines) {
        context.Fail(QStringLiteral("The tree '%1' could not be checked: %2")
                         .arg(tree, lines.error().text()));
        return lines.error().is(ErrorCode::TreeMissing) ? kMissingTree : 1;
    }
    for (const QString &line : *lines)
        context.out << line << Qt::endl;
    return lines->isEmpty() ? 0 : 1;
}

} // namespace

Command CheckTreeCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Check that the rows of a tree and its family "
                                              "records agree: one line per disagreement (exit "
                                              "1), nothing when they agree (exit 0); exit 2 "
                                              "when there is no such tree."),
                               QStringLiteral("tree")),
            {},
            checkTree};
}

} // namespace Cli
