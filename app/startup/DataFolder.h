#pragma once

#include <QString>

#include <functional>

// Where the program keeps its data and its settings.
//
// The data folder holds the database `people.db` and the photos. A database that exists is
// always the one used, wherever it is found and whether or not it can be written (it is then
// opened read-only); only a first start, with no database anywhere, chooses a new place.

// Tells whether a folder can be written: a file can be created in it (the folder is made when
// missing). Tests hand in their own.
using FolderProbe = std::function<bool(const QString &folder)>;
bool FolderIsWritable(const QString &folder);

// The data folder, ending with '/':
//   1. `overrideDir` when given (the --data option); it is made when missing;
//   2. else "Data/" beside the program when it holds people.db;
//   3. else the user's application-data folder when it holds people.db;
//   4. else (first start) "Data/" beside the program when it can be made and written, otherwise
//      the application-data folder.
QString ChooseDataFolder(const QString &programDir, const QString &overrideDir = QString(),
                         const FolderProbe &writable = FolderIsWritable);

// The user's application-data folder, ending with '/'.
QString AppDataFolder();

// The two settings files: the user key and the machine key, both in the user's config folder.
// Neither depends on the data folder, so trying another data folder keeps the user's settings.
QString DefaultUserSettingsFile();
QString DefaultMachineSettingsFile();
