#pragma once

#include "FileRecord.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace Pixtile {

// Turns a folder and its patterns, or an explicit list of files, into file records with the
// information asked for. Yields to the caller before each file; listing stops when the caller's
// callback says so.
struct ListOptions
{
    bool getType = false;
    bool getSize = false;
    bool getDate = false;
    bool getDims = false;
    bool getExt = false;
    bool showHidden = true;
    bool showSystem = true;
    bool showReadOnly = true;
};

class FolderLister
{
public:
    // Called before each file; return false to stop the listing.
    using KeepGoing = std::function<bool()>;

    explicit FolderLister(const ListOptions &options) : m_options(options) {}

    // Folder mode: each pattern in turn, files matched without regard to case. False when
    // stopped (records then undefined).
    bool listFolder(const QString &folder, const QStringList &patterns, FileRecords &records,
                    const KeepGoing &keepGoing) const;
    // List mode: each full path in turn; missing files are skipped, no attribute filters.
    bool listFiles(const QStringList &files, FileRecords &records,
                   const KeepGoing &keepGoing) const;
    // One file as list mode records it; false when missing or its header cannot be read.
    bool recordOf(const QString &fullPath, FileRecord &record) const;

    // The last-write time as stored (UTC), d/m/yyyy h:m:s without leading zeros.
    static QString FormatDate(const QDateTime &utc);
    // The file type name, or `fallback` when there is none.
    static QString TypeName(const QString &fullPath, const QString &fallback);

private:
    ListOptions m_options;
};

} // namespace Pixtile
