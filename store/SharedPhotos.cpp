#include "SharedPhotos.h"

#include "ServerAddress.h"
#include "StoreSql.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

using namespace Store::StoreSql;

namespace {

// The folder is a column of the one row of mainInfo, added by the first member who names one;
// read through the row as JSON so that a database without the column reads as naming none.
const QString kRead = QStringLiteral("SELECT to_jsonb(m) ->> 'photoroot' FROM mainInfo m LIMIT 1");

bool reachable(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isAbsolute() && info.isDir() && info.isReadable();
}

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

namespace SharedPhotos {

QString DatabaseEntry(const ServerAddress &address)
{
    const QString port = address.port.isEmpty() ? QStringLiteral("5432") : address.port;
    const QString host = address.host.isEmpty() ? QStringLiteral("localhost") : address.host;
    return QStringLiteral("%1@%2:%3/%4").arg(address.user, host, port, address.database);
}

Result<QString> Named(const mDatabase &store)
{
    if (!store.IsShared() || !store.IsOpen())
        return QString();
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    QSqlQuery query(db);
    if (Result<void> read = run(query, kRead); !read)
        return read.error();
    return query.next() ? query.value(0).toString() : QString();
}

Result<void> Name(mDatabase &store, const QString &folder)
{
    if (!store.IsShared() || !store.IsOpen())
        return notOpen();
    const QString cleaned = folder.trimmed();
    if (!cleaned.isEmpty() && !QDir::isAbsolutePath(cleaned))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The photo folder must be given as a full path (\"%1\" is "
                                    "not).")
                         .arg(cleaned));
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The shared database is open read-only: its photo folder "
                                    "cannot be named."));
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    QSqlQuery query(db);
    if (Result<void> added =
            run(query, QStringLiteral("ALTER TABLE mainInfo ADD COLUMN IF NOT EXISTS photoroot "
                                      "text"));
        !added)
        return Error(added.error().code(),
                     QStringLiteral("The photo folder could not be named in the shared database "
                                    "(only the owner of its tables may): %1")
                         .arg(added.error().text()));
    if (Result<void> set = run(query, QStringLiteral("UPDATE mainInfo SET photoroot = ?"),
                               {cleaned.isEmpty() ? QVariant() : QVariant(cleaned)});
        !set)
        return set;
    return {};
}

Place Resolve(const QString &named, const QString &ownFolder, const QString &dataFolder)
{
    const QString folder = ownFolder.trimmed().isEmpty() ? named.trimmed() : ownFolder.trimmed();
    if (folder.isEmpty())
        return Place{dataFolder, {}};
    if (reachable(folder))
        return Place{withSlash(QDir::cleanPath(folder)), {}};
    return Place{{},
                 QStringLiteral("The photo folder of the shared database, %1, cannot be reached "
                                "from this computer, so its photos are unavailable: none are "
                                "shown, none are deleted, and photos cannot be added. Make the "
                                "folder reachable (or give this computer's own path to it in "
                                "File > Connect to Shared Database...) and connect again.")
                     .arg(QDir::toNativeSeparators(folder))};
}

QString Apply(mDatabase &store, const QString &ownFolder, const QString &dataFolder)
{
    if (!store.IsShared()) {
        store.SetPhotoHome(dataFolder);
        return {};
    }
    const Result<QString> named = Named(store);
    if (!named && ownFolder.trimmed().isEmpty()) {
        store.SetPhotoHome(QString());
        return QStringLiteral("The photo folder of the shared database could not be read, so "
                              "its photos are unavailable: %1")
            .arg(named.error().text());
    }
    const Place place = Resolve(named ? *named : QString(), ownFolder, dataFolder);
    store.SetPhotoHome(place.home);
    return place.problem;
}

} // namespace SharedPhotos
