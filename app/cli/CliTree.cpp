#include "CliTree.h"

#include "CollectionMessages.h"
#include "ServerPassword.h"
#include "TreeList.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool fail(QTextStream &err, const QString &message)
{
    err << message << '\n';
    err.flush();
    return false;
}

} // namespace

bool CliTree::Open(const QString &tree, const QString &dataFolder, QTextStream &err,
                   const std::optional<ServerAddress> &server)
{
    const QString folder = QDir(dataFolder).absolutePath() + QLatin1Char('/');
    QString database = folder + QStringLiteral("people.db");
    if (!server && !QFileInfo::exists(database))
        return fail(err, QStringLiteral("There is no database in %1 (people.db was not found). "
                                        "Name the data folder with --data.")
                             .arg(QDir::toNativeSeparators(folder)));
    m_store.SetPaths(folder, database);
    PasswordKeyring::State keyring = PasswordKeyring::State::NotFound;
    if (server) {
        keyring = Cli::SetServer(m_store, *server);
        database = m_store.DatabaseDisplayName();
    }
    // Only read: the database is opened read-only whatever its permissions.
    m_store.SetWriteCheck([](const QString &) { return false; });
    if (const Result<void> opened = m_store.OpenDatabase(); !opened)
        return fail(err, QStringLiteral("The database %1 could not be opened.\n%2")
                             .arg(QDir::toNativeSeparators(database),
                                  PasswordKeyring::OpenFailureText(opened.error(), keyring)));

    TreeList trees(m_store);
    trees.Refill();
    m_name = trees.Listed(tree);
    if (m_name.isEmpty())
        return fail(err, QStringLiteral("There is no tree named '%1' in %2.")
                             .arg(tree, QDir::toNativeSeparators(database)));
    m_open = std::make_unique<OpenTree>(m_store);
    const Result<void> loaded = m_open->Load(m_name);
    for (const QString &key : m_open->SkippedKeys())
        err << PersonKeyTakenText(key) << '\n';
    if (!loaded)
        return fail(err, QStringLiteral("The tree '%1' could not be read: %2")
                             .arg(m_name, loaded.error().text()));
    return true;
}
