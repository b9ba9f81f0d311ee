// VelkinTree --copy-tree TREE --to TARGET: copies a tree, with its family records and photos, from
// the database in use (the data folder's, or the shared one of --database) to another: a shared
// database (its address, as --database takes it) or the database of another data folder. The
// source is only read; the target gets the tree whole or not at all.
#include "Commands.h"

#include "ServerPassword.h"
#include "SharedPhotos.h"
#include "TreeCopy.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("copy-tree");
const QString kTo = QStringLiteral("to");

// The target store, open: a shared database (its tables made when it has none) or the database
// of a data folder (made when missing). False after telling why.
bool openTarget(const Context &context, const QString &to, mDatabase &target)
{
    if (LooksLikeServerAddress(to)) {
        const Result<ServerAddress> address = ParseServerAddress(to);
        if (!address) {
            context.Fail(QStringLiteral("--to: %1").arg(address.error().text()));
            return false;
        }
        target.BuildConnectionString(context.dataPath);
        const PasswordKeyring::State keyring = SetServer(target, *address);
        target.SetCreateTables(true);
        if (const Result<void> opened = target.OpenDatabase(); !opened) {
            context.Fail(PasswordKeyring::OpenFailureText(opened.error(), keyring));
            return false;
        }
        if (const QString photos = SharedPhotos::Apply(target, QString(), context.dataPath);
            !photos.isEmpty())
            context.err << photos << Qt::endl;
        return true;
    }
    const QString folder = QDir::cleanPath(QDir(to).absolutePath()) + QLatin1Char('/');
    if (folder == QDir::cleanPath(QDir(context.dataPath).absolutePath()) + QLatin1Char('/') &&
        !context.server) {
        context.Fail(QStringLiteral("--to names the database the tree is copied from."));
        return false;
    }
    target.BuildConnectionString(folder);
    if (const Result<void> opened = target.OpenDatabase(); !opened) {
        context.Fail(
            QStringLiteral("The database '%1' could not be opened.\n%2")
                .arg(QDir::toNativeSeparators(target.DatabasePath()), opened.error().text()));
        return false;
    }
    return true;
}

int copyTree(Context &context)
{
    const QString tree = context.parser.value(kTrigger);
    const QString to = context.parser.value(kTo);
    if (!context.parser.positionalArguments().isEmpty())
        return context.Fail(QStringLiteral("--copy-tree takes one tree; unexpected: %1")
                                .arg(context.parser.positionalArguments().join(u' ')));
    if (to.trimmed().isEmpty())
        return context.Fail(QStringLiteral("--copy-tree needs --to: the address of a shared "
                                           "database or another data folder."));
    mDatabase source;
    if (!context.OpenStore(source, false))
        return 1;
    mDatabase target;
    if (!openTarget(context, to, target))
        return 1;
    if (source.IsShared() == target.IsShared() &&
        source.DatabaseDisplayName() == target.DatabaseDisplayName())
        return context.Fail(QStringLiteral("--to names the database the tree is copied from."));
    const Result<TreeCopy::Outcome> copied = TreeCopy::Copy(source, tree, target);
    if (!copied)
        return context.Fail(
            QStringLiteral("The tree '%1' was not copied: %2").arg(tree, copied.error().text()));
    context.out << copied->Summary() << Qt::endl;
    return 0;
}

} // namespace

Command CopyTreeCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Copy a tree, with its family records and photos, "
                                              "to the database --to names; the tree stays where "
                                              "it is."),
                               QStringLiteral("tree")),
            {QCommandLineOption(kTo,
                                QStringLiteral("With --copy-tree: the shared database "
                                               "(postgresql://user@host:port/database) or the data "
                                               "folder the tree is copied to."),
                                QStringLiteral("address-or-folder"))},
            copyTree};
}

} // namespace Cli
