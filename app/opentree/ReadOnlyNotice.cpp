#include "ReadOnlyNotice.h"

#include "MessageService.h"
#include "mDatabase.h"

#include <QDir>
#include <QStringList>

namespace {

const QString kTitle = QStringLiteral("Read-only database");

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
    if (!store.IsOpen() || !store.IsReadOnly())
        return;
    QStringList commands = ReadOnlyCommands();
    const QString last = commands.takeLast();
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

bool RefuseWhenReadOnly(const mDatabase &store, const QString &command, QWidget *parent)
{
    if (!store.IsReadOnly())
        return false;
    ShowMessage(QStringLiteral("%1 is unavailable: the database '%2' is open read-only.")
                    .arg(command, nativePath(store.DatabasePath())),
                kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
    return true;
}

QString DataFolderText(const mDatabase &store)
{
    QString text = nativePath(store.DataPath());
    if (store.IsReadOnly())
        text += QStringLiteral(" (read-only)");
    return text;
}
