#include "ImportRun.h"

#include "PhotoFolders.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace Gedcom {

namespace {

// What a run created on disk; removed again unless the run is kept.
class CreatedFiles
{
public:
    CreatedFiles() = default;
    CreatedFiles(const CreatedFiles &) = delete;
    CreatedFiles &operator=(const CreatedFiles &) = delete;
    ~CreatedFiles()
    {
        if (m_keep)
            return;
        for (auto it = m_files.crbegin(); it != m_files.crend(); ++it)
            QFile::remove(*it);
        for (auto it = m_folders.crbegin(); it != m_folders.crend(); ++it)
            QDir().rmdir(*it);
    }
    void file(const QString &path) { m_files.append(path); }
    void folder(const QString &path) { m_folders.append(path); }
    void keep() { m_keep = true; }

    // Makes the folder and every missing one above it, noting those it made.
    bool makeFolder(const QString &path)
    {
        const QString clean = QDir::cleanPath(path);
        if (QFileInfo(clean).isDir())
            return true;
        const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !makeFolder(clean.left(slash)))
            return false;
        if (!QDir().mkdir(clean))
            return QFileInfo(clean).isDir();
        folder(clean);
        return true;
    }

private:
    QStringList m_files;
    QStringList m_folders;
    bool m_keep = false;
};

// Copies one photo without replacing anything; false when it could not be copied whole.
bool copyPhoto(const PhotoCopy &photo, const QString &folder, qint64 maxSize, CreatedFiles &created)
{
    RegularFile source = RegularFile::open(photo.source, maxSize);
    if (!source.isOpen())
        return false;
    const QString target = folder + QLatin1Char('/') + photo.name;
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    qint64 done = 0;
    bool ok = true;
    while (ok && done < source.size()) {
        const ssize_t got = ::pread(source.handle(), buffer.data(), size_t(buffer.size()), done);
        ok = got > 0 && out.write(buffer.constData(), got) == got;
        done += ok ? got : 0;
    }
    ok = ok && out.flush();
    out.close();
    if (!ok) {
        QFile::remove(target);
        return false;
    }
    created.file(target);
    return true;
}

} // namespace

RunResult runImport(const ImportPlan &plan, RowSink &sink, const QString &photosRoot,
                    const Progress &progress, qint64 maxPhotoSize)
{
    RunResult result;
    if (!plan.isValid()) {
        result.error = plan.error;
        return result;
    }
    CreatedFiles created;
    bool begun = false;
    auto fail = [&](const Error &error) {
        if (begun)
            sink.rollback();
        result.error = error;
        result.rows = 0;
        result.photosCopied = 0;
        return result;
    };

    if (const Result<void> begin = sink.begin(plan.rows.size()); !begin)
        return fail(begin.error());
    begun = true;
    const qint64 total = plan.rows.size();
    for (qsizetype i = 0; i < plan.rows.size(); ++i) {
        const PlannedRow &row = plan.rows[i];
        if (const Result<void> added = sink.add(row.record); !added)
            return fail(added.error());
        ++result.rows;
        if (!row.photos.isEmpty()) {
            const QString key = row.record.ID;
            const QString folder = QDir(photosRoot).filePath(key);
            if (photosRoot.isEmpty() || !PhotoFolders::IsPlainName(key) ||
                !created.makeFolder(folder)) {
                result.photosFailed += row.photos.size();
            } else {
                for (const PhotoCopy &photo : row.photos) {
                    if (copyPhoto(photo, folder, maxPhotoSize, created))
                        ++result.photosCopied;
                    else
                        ++result.photosFailed;
                }
            }
        }
        const bool report = (i + 1) % 256 == 0 || i + 1 == plan.rows.size();
        if (progress && report && !progress(i + 1, total))
            return fail(Error(ErrorCode::Cancelled, QStringLiteral("The import was cancelled.")));
    }
    if (const Result<void> committed = sink.commit(); !committed)
        return fail(committed.error());
    created.keep();
    return result;
}

} // namespace Gedcom
