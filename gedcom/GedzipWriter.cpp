// Writing a GEDZIP archive (Gedzip.h).
#include "Gedzip.h"

#include <QFileInfo>

#include <zip.h>

#include <sys/stat.h>
#include <unistd.h>

namespace Gedcom {

namespace {

// Files that hardly compress are stored as they are.
bool isCompressed(const QString &name)
{
    static const QSet<QString> extensions{
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("gif"),  QStringLiteral("webp"), QStringLiteral("heic"),
        QStringLiteral("avif"), QStringLiteral("jp2"),  QStringLiteral("mp3"),
        QStringLiteral("m4a"),  QStringLiteral("ogg"),  QStringLiteral("opus"),
        QStringLiteral("flac"), QStringLiteral("mp4"),  QStringLiteral("m4v"),
        QStringLiteral("mov"),  QStringLiteral("webm"), QStringLiteral("mkv"),
        QStringLiteral("avi"),  QStringLiteral("zip"),  QStringLiteral("gz"),
        QStringLiteral("7z"),   QStringLiteral("docx"), QStringLiteral("odt")};
    return extensions.contains(QFileInfo(name).suffix().toLower());
}

QString archiveError(zip_t *archive)
{
    return QString::fromUtf8(zip_strerror(archive));
}

// Adds one entry from a source the archive takes over; its index, or -1.
zip_int64_t addEntry(zip_t *archive, const QString &name, zip_source_t *source, bool compress)
{
    if (!source)
        return -1;
    const zip_int64_t index =
        zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return -1;
    }
    // A regular file, readable by everyone, whatever the source's own mode.
    const zip_uint32_t mode = S_IFREG | 0644;
    if (zip_set_file_compression(archive, zip_uint64_t(index),
                                 compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) < 0 ||
        zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                         mode << 16) < 0)
        return -1;
    return index;
}

} // namespace

QString writeGedzip(const QString &archivePath, const QByteArray &gedcom,
                    const QList<GedzipMedia> &media)
{
    QSet<QString> names{QStringLiteral("gedcom.ged")};
    for (const GedzipMedia &file : media) {
        const QString problem = gedzipNameProblem(file.entryName);
        if (!problem.isEmpty())
            return QStringLiteral("The archive cannot be written: %1.").arg(problem);
        if (names.contains(file.entryName))
            return QStringLiteral("The archive cannot be written: two files are named '%1'.")
                .arg(file.entryName);
        names.insert(file.entryName);
        bool readable = false;
        if (file.sourceBytes.isEmpty()) {
            const QFileInfo source(file.sourcePath);
            readable = source.isFile() && source.isReadable();
        } else {
            struct stat info;
            readable = ::stat(file.sourceBytes.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
                       ::access(file.sourceBytes.constData(), R_OK) == 0;
        }
        if (!readable)
            return QStringLiteral("The archive cannot be written: '%1' is not a readable file.")
                .arg(file.sourcePath);
    }

    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return QStringLiteral("The archive %1 cannot be written: %2.").arg(archivePath, reason);
    }
    // Until the archive is closed, giving up leaves the file system as it was.
    const auto fail = [archive, &archivePath]() {
        const QString reason = archiveError(archive);
        zip_discard(archive);
        return QStringLiteral("The archive %1 cannot be written: %2.").arg(archivePath, reason);
    };
    // The sources are read when the archive is closed; `gedcom` outlives that.
    if (addEntry(archive, QStringLiteral("gedcom.ged"),
                 zip_source_buffer(archive, gedcom.constData(), zip_uint64_t(gedcom.size()), 0),
                 true) < 0)
        return fail();
    for (const GedzipMedia &file : media) {
        const QByteArray sourceFile =
            file.sourceBytes.isEmpty() ? QFile::encodeName(file.sourcePath) : file.sourceBytes;
        zip_source_t *source = zip_source_file(archive, sourceFile.constData(), 0, -1);
        if (addEntry(archive, file.entryName, source, !isCompressed(file.entryName)) < 0)
            return fail();
    }
    if (zip_close(archive) < 0)
        return fail();
    return {};
}

} // namespace Gedcom
