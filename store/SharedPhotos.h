#pragma once

#include "Result.h"

#include <QString>

class mDatabase;

// Where the photos of a shared database are kept. The database names one folder every member
// reaches (a network share: its photo root, kept in the database), and each computer may reach
// it by a folder of its own (mount points differ: the computer's own setting wins). The folder
// plays the part the data folder plays for the database file: the photos are in its folder
// "Photos", one folder per person key (PhotoFolders). While the database names none, the data
// folder of this computer keeps them, as for the file. A folder that cannot be reached leaves
// the photos unavailable: the store's photo folder is "" then, so nothing is shown, made or
// deleted, and what needs photos is refused.
struct ServerAddress;

namespace SharedPhotos {

// A shared database as this computer's settings name it: user, host, port and database (the
// server's default host and port named or not are one database).
QString DatabaseEntry(const ServerAddress &address);

// The folder the open shared database names for every member ("" when none).
Result<QString> Named(const mDatabase &store);
// Names `folder` in the open shared database for every member ("" names none). Refused for a
// folder given as a relative path, and by the server for a user who does not own the tables.
Result<void> Name(mDatabase &store, const QString &folder);

struct Place
{
    QString home;    // the folder whose "Photos" keeps the photos; "" when unavailable
    QString problem; // why the photos are unavailable, as the user is told it
};
// The place from the folder the database names, this computer's own folder for it and the data
// folder (all may be "").
Place Resolve(const QString &named, const QString &ownFolder, const QString &dataFolder);

// Resolves the place of a shared store and gives it to the store (mDatabase::SetPhotoHome); a
// local store keeps its data folder. Returns why the photos are unavailable ("" when they are
// not).
QString Apply(mDatabase &store, const QString &ownFolder, const QString &dataFolder);

} // namespace SharedPhotos
