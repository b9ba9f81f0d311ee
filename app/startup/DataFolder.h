#pragma once

#include <QString>

#include <functional>

// Where the program keeps its data and its settings.
//
// A copy of the program is portable when a folder "Data/" or a file named "portable" lies beside
// its executable: it keeps its data beside itself. Any other copy is installed: its data goes to
// the user's application-data folder, and nothing is ever made beside its executable (which may
// be read-only, and is shared by every user of the machine).
//
// The data folder holds the database `people.db` and the photos. A database that exists is
// always the one used, wherever it is found and whether or not it can be written (it is then
// opened read-only); only a first start, with no database anywhere, chooses a new place.

// Tells whether a folder can be written: a file can be created in it (the folder is made when
// missing). Tests hand in their own.
using FolderProbe = std::function<bool(const QString &folder)>;
bool FolderIsWritable(const QString &folder);

// True when the copy in `programDir` is portable ("Data/" or a file "portable" beside it).
bool IsPortableCopy(const QString &programDir);

// The data folder, ending with '/':
//   1. `overrideDir` when given (the --data option); it is made when missing;
//   2. else "Data/" beside the program when it holds people.db;
//   3. else the user's application-data folder when it holds people.db;
//   4. else (first start) "Data/" beside a portable copy when it can be made and written,
//      otherwise the application-data folder (made when missing).
QString ChooseDataFolder(const QString &programDir, const QString &overrideDir = QString(),
                         const FolderProbe &writable = FolderIsWritable);

// The folder ChooseDataFolder would choose, found without making or writing anything: for
// messages such as --version before the program has started.
QString PreviewDataFolder(const QString &programDir, const QString &overrideDir = QString());

// The user's application-data folder, ending with '/'.
QString AppDataFolder();

// The two settings files: the user key and the machine key, both in the user's config folder.
// Neither depends on the data folder or on the copy being portable, so trying another data
// folder keeps the user's settings, and no settings file is written beside the executable.
QString DefaultUserSettingsFile();
QString DefaultMachineSettingsFile();
