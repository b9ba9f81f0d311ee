#include "ReadOnlyNotice.h"

#include "MessageService.h"
#include "mDatabase.h"

#include <QDir>
#include <QStringList>

namespace {

const QString kTitle = QStringLiteral("Read-only database");
const QString kTreeTitle = QStringLiteral("Read-only tree");

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

const QStringList &ReadOnlyCommands()
{
    static const QStringList commands = {
        QStringLiteral("New Tree"),      QStringLiteral("Modify Tree"),
        QStringLiteral("Import GEDCOM"), QStringLiteral("New person"),
        QStringLiteral("Edit person"),   QStringLiteral("Delete person"),
        QStringLiteral("Compress")};
    return commands;
}

void ShowReadOnlyNotice(const mDatabase &store, QWidget *parent)
{
    if (!store.IsOpen() || !store.IsDatabaseReadOnly())
        return;
    // A newer version's tables were told of by the open notice already.
    if (!store.OpenNotice().isEmpty())
        return;
    QStringList commands = ReadOnlyCommands();
    const QString last = commands.takeLast();
    if (store.IsShared()) {
        ShowMessage(
            QStringLiteral("The shared database %1 cannot be changed: your role there may "
                           "change none of its trees, or the server only reads. It has "
                           "been opened for reading only.\r\n\r\n"
                           "Your trees can be opened and browsed. Unavailable: %2 and "
                           "%3.\r\n\r\nAsk the family's administrator for the right "
                           "to edit a tree.")
                .arg(store.DatabaseDisplayName(), commands.join(QStringLiteral(", ")), last),
            kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return;
    }
    const QString text =
        QStringLiteral("The database '%1' cannot be changed: %2. It has been opened for "
                       "reading only.\r\n\r\n"
                       "Your trees can be opened and browsed. Unavailable: %3 and %4.\r\n\r\n"
                       "To change your trees, make the file and its folder writable and start "
                       "Velkin Tree again.")
            .arg(nativePath(store.DatabasePath()), ReadOnlyReason(store.DatabasePath()),
                 commands.join(QStringLiteral(", ")), last);
    ShowMessage(text, kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
}

void ShowReadOnlyTreeNotice(const mDatabase &store, QWidget *parent)
{
    if (!store.IsOpen() || store.IsDatabaseReadOnly() || !store.IsOpenTreeReadOnly())
        return;
    ShowMessage(QStringLiteral("You may read the tree '%1' of the shared database %2, but not "
                               "change it: your role there has no right to edit it. The tree "
                               "has been opened for reading only.\r\n\r\nAsk the family's "
                               "administrator for the right to edit it.")
                    .arg(store.OpenTreeName(), store.DatabaseDisplayName()),
                kTreeTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
}

bool RefuseWhenReadOnly(const mDatabase &store, const QString &command, QWidget *parent)
{
    if (store.IsDatabaseReadOnly()) {
        ShowMessage(QStringLiteral("%1 is unavailable: the database '%2' is open read-only.")
                        .arg(command, nativePath(store.DatabaseDisplayName())),
                    kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return true;
    }
    // A new tree is not the open tree.
    static const QStringList newTree = {QStringLiteral("New Tree"),
                                        QStringLiteral("Import GEDCOM")};
    if (!store.IsOpenTreeReadOnly() || newTree.contains(command))
        return false;
    ShowMessage(QStringLiteral("%1 is unavailable: you may read the tree '%2' but not change it.")
                    .arg(command, store.OpenTreeName()),
                kTreeTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
    return true;
}

QString DataFolderText(const mDatabase &store)
{
    QString text = nativePath(store.DataPath());
    if (store.IsDatabaseReadOnly())
        text += QStringLiteral(" (read-only)");
    return text;
}
