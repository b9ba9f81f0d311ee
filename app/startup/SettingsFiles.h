#pragma once

#include <QString>

#include <map>
#include <memory>

class PropertyBag;
class QSettings;

// The program's settings files, each opened once and kept open: every setting the program reads
// or writes goes through here (the registry module's keys and the saved designs of controls), so
// a file is read once and written once per batch of changes instead of once per value.
// Changes are visible at once to everything in the process; Sync() writes them to disk, and so
// does the destructor.
class SettingsFiles
{
public:
    SettingsFiles();
    ~SettingsFiles();
    SettingsFiles(const SettingsFiles &) = delete;
    SettingsFiles &operator=(const SettingsFiles &) = delete;
    // Taking over other files writes what is pending in these first.
    SettingsFiles(SettingsFiles &&other);
    SettingsFiles &operator=(SettingsFiles &&other);

    // The settings kept in `file` (an INI file), opened on first use.
    QSettings &File(const QString &file);

    // A control's saved design: the values under `group` at the top of `file`.
    PropertyBag Design(const QString &file, const QString &group);

    // Writes every pending change to its file; false when a file could not be written.
    bool Sync();

private:
    std::map<QString, std::unique_ptr<QSettings>> m_files;
};
