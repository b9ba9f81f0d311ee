#include "FolderLister.h"

#include "HeaderReaders.h"
#include "NativeNames.h"
#include "mThumbnailer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>

#include <algorithm>

namespace Pixtile {

QString FolderLister::FormatDate(const QDateTime &utc)
{
    const QDate d = utc.date();
    const QTime t = utc.time();
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

QString FolderLister::TypeName(const QString &fullPath, const QString &fallback)
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(fullPath);
    if (type.isValid() && !type.isDefault()) {
        const QString comment = mThumbnailer::TrimNull(type.comment());
        if (!comment.isEmpty())
            return comment;
    }
    return fallback.trimmed();
}

namespace {

// One plain file of a folder: Qt's information, or for a name that is not valid UTF-8 (which
// Qt cannot reach) the file system's, read by its bytes. Qt reads its part only when asked.
struct Entry
{
    QString name;
    QFileInfo qt;
    NativeNames::FileInfo raw;
    bool isRaw = false;

    qint64 size() const { return isRaw ? raw.size : qt.size(); }
    QDateTime lastModified() const { return isRaw ? raw.lastModified : qt.lastModified().toUTC(); }
    bool hidden() const { return isRaw ? name.startsWith(QLatin1Char('.')) : qt.isHidden(); }
    bool writable() const { return isRaw ? raw.writable : qt.isWritable(); }
};

// The plain files of the folder by name without regard to case, the files whose names are not
// valid UTF-8 (which Qt's listing leaves out) among them under their raw-byte names.
QList<Entry> folderEntries(const QString &path)
{
    QList<Entry> entries;
    // Plain files only: devices, pipes and sockets are never pictures (reading a pipe would
    // wait forever).
    const QFileInfoList infos =
        QDir(path).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    entries.reserve(infos.size());
    for (const QFileInfo &info : infos)
        entries.append({info.fileName(), info, {}, false});
    const QStringList raw = NativeNames::RawEntries(path);
    if (raw.isEmpty())
        return entries;
    for (const QString &name : raw) {
        const NativeNames::FileInfo info = NativeNames::Info(path + name);
        if (info.isFile)
            entries.append({name, QFileInfo(), info, true});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

} // namespace

bool FolderLister::listFolder(const QString &folder, const QStringList &patterns,
                              FileRecords &records, const KeepGoing &keepGoing) const
{
    const QString path = mThumbnailer::AddBackslash(folder);
    const QList<Entry> entries = folderEntries(path);
    for (const QString &pattern : patterns) {
        const QRegularExpression matcher(QRegularExpression::wildcardToRegularExpression(pattern),
                                         QRegularExpression::CaseInsensitiveOption);
        const QString readerKey = pattern.toUpper();
        QString readerExtension;
        if (readerKey == QLatin1String("*.BMP") || readerKey == QLatin1String("*.DIB") ||
            readerKey == QLatin1String("*.GIF") || readerKey == QLatin1String("*.JPG") ||
            readerKey == QLatin1String("*.JPEG") || readerKey == QLatin1String("*.EMF") ||
            readerKey == QLatin1String("*.WMF"))
            readerExtension = readerKey.mid(2);
        for (const Entry &info : entries) {
            const QString &name = info.name;
            if (!matcher.match(info.isRaw ? NativeNames::Matchable(name) : name).hasMatch())
                continue;
            if (keepGoing && !keepGoing())
                return false;
            if (info.hidden() && !m_options.showHidden)
                continue;
            if (!info.writable() && !m_options.showReadOnly)
                continue;
            FileRecord record;
            record.Path = path;
            record.Name = mThumbnailer::TrimNull(name);
            const QString fullPath = path + record.Name;
            if (m_options.getSize)
                record.Size = info.size();
            if (m_options.getExt)
                record.Extension = mThumbnailer::ExtensionOf(record.Name);
            if (m_options.getType)
                record.FileType =
                    TypeName(fullPath, record.Name.right(3).toUpper() + QStringLiteral(" File"));
            if (m_options.getDims && !readerExtension.isEmpty() &&
                !HeaderReaders::ReadSizeByExtension(readerExtension, fullPath, record.Width,
                                                    record.Height))
                continue;
            if (m_options.getDate)
                record.DateMdf = FormatDate(info.lastModified());
            records.append(record);
        }
    }
    return true;
}

bool FolderLister::recordOf(const QString &fullPath, FileRecord &record) const
{
    const NativeNames::FileInfo info = NativeNames::Info(fullPath);
    if (!info.exists || !info.isFile)
        return false;
    record = FileRecord();
    record.Path = mThumbnailer::ParentFolder(fullPath);
    record.Name = mThumbnailer::FileNameOf(fullPath);
    const QString extension = mThumbnailer::ExtensionOf(record.Name);
    if (m_options.getSize)
        record.Size = info.size;
    if (m_options.getExt)
        record.Extension = extension;
    if (m_options.getType)
        record.FileType = TypeName(fullPath, extension + QStringLiteral(" File"));
    if (m_options.getDims && HeaderReaders::HasReader(extension) &&
        !HeaderReaders::ReadSizeByExtension(extension, fullPath, record.Width, record.Height))
        return false;
    if (m_options.getDate)
        record.DateMdf = FormatDate(info.lastModified);
    return true;
}

bool FolderLister::listFiles(const QStringList &files, FileRecords &records,
                             const KeepGoing &keepGoing) const
{
    for (const QString &file : files) {
        if (keepGoing && !keepGoing())
            return false;
        FileRecord record;
        if (recordOf(file, record))
            records.append(record);
    }
    return true;
}

} // namespace Pixtile
