#pragma once

#include <QString>

#include <map>
#include <memory>
#include <set>

class PropertyBag;
class QSettings;

// The program's settings files, each opened once and kept open: every setting the program reads
// or writes goes through here (the registry module's keys and the saved designs of controls), so
// a file is read once and written once per batch of changes instead of once per value.
// Changes are visible at once to everything in the process; Sync() writes them to disk, and so
// does the destructor.
//
// A file that cannot be written whole (a full disk, a size limit, a read-only folder) keeps its
// old contents: the settings are read back after each write, and a file found short is replaced
// by the one that was there. The failure is reported through the message service, once for each
// file until it is written again (Report::Message), or only in Sync's result (Report::Silent;
// the destructor is always silent).
class SettingsFiles
{
public:
    enum class Report { Message, Silent };

    explicit SettingsFiles(Report report = Report::Message);
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
    // The same for one file (nothing when it was never opened).
    bool Sync(const QString &file);
    // Why the last write that failed failed, naming the file; empty when the last Sync wrote
    // everything.
    const QString &LastError() const { return m_lastError; }

private:
    bool write(const QString &file, QSettings &settings, Report report);
    bool syncAll(Report report);

    std::map<QString, std::unique_ptr<QSettings>> m_files;
    std::set<QString> m_reported; // files whose failure was shown and not yet mended
    Report m_report = Report::Message;
    QString m_lastError;
};
