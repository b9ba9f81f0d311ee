#pragma once

#include <QString>

// Photo folders of deleted persons, kept in <data folder>/.deleted while their deletion can be
// undone. Each running program names its folders <session>-<n> and holds the lock file
// <session>.lock beside them while it runs; folders whose session holds no lock belong to a
// program that ended without removing them (it crashed or was killed) and are removed by the
// next program that starts on the data folder. Several programs may share the data folder.
namespace AsideFolders {

// Moves `folder` into the data folder's ".deleted" folder under a name of its own; the new path,
// or "" when there was nothing to move or it could not be moved.
QString setAside(const QString &dataPath, const QString &folder);

// Removes the folders kept aside by programs that are no longer running; how many were removed.
int removeStale(const QString &dataPath);

} // namespace AsideFolders
