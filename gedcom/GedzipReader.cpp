// Reading a GEDZIP archive (Gedzip.h): every entry is checked when the archive opens, every
// entry is read with its declared size as a hard limit.
#include "Gedzip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include <zip.h>

#include <sys/stat.h>

#include <functional>
#include <vector>

namespace Gedcom {

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString quoted(const QString &name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// Why libzip would not open an archive, said for the user; `what` names the archive.
QString openFailure(zip_error_t *error, const QString &what)
{
    if (zip_error_code_zip(error) == ZIP_ER_EXISTS)
        return QStringLiteral("%1 is refused: two of its entries have the same name.").arg(what);
    return QStringLiteral("%1 is no GEDZIP archive or is damaged: %2.")
        .arg(what, QString::fromUtf8(zip_error_strerror(error)));
}

} // namespace

struct GedzipReader::Archive
{
    struct Entry
    {
        zip_uint64_t index = 0;
        QString name;
        qint64 size = 0;
    };

    ~Archive() { close(); }
    void close()
    {
        if (zip)
            zip_discard(zip);
        zip = nullptr;
        media.clear();
        gedcom = Entry();
        hasGedcom = false;
        mediaSize = 0;
    }
    bool fail(const QString &message)
    {
        error = message;
        return false;
    }
    bool check();
    bool read(const Entry &entry, const std::function<bool(const char *, qint64)> &sink);

    QByteArray bytes; // what an archive opened from memory reads
    zip_t *zip = nullptr;
    GedzipLimits limits;
    QString error;
    Entry gedcom;
    bool hasGedcom = false;
    std::vector<Entry> media;
    qint64 mediaSize = 0;
};

bool GedzipReader::Archive::check()
{
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count < 0 || count > limits.maxEntries)
        return fail(QStringLiteral("The archive holds %1 files, more than the %2 it may hold.")
                        .arg(count)
                        .arg(limits.maxEntries));
    QSet<QString> names;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &stat) < 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
            return fail(QStringLiteral("The archive is damaged: %1.")
                            .arg(QString::fromUtf8(zip_strerror(zip))));
        const QString name = QString::fromUtf8(stat.name);
        const bool folder = name.endsWith(QLatin1Char('/'));
        const QString problem = gedzipNameProblem(folder ? name.chopped(1) : name, true);
        if (!problem.isEmpty())
            return fail(QStringLiteral("The archive is refused: %1.").arg(problem));
        if (names.contains(name))
            return fail(QStringLiteral("The archive is refused: two entries are named %1.")
                            .arg(quoted(name)));
        names.insert(name);

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(zip, zip_uint64_t(i), 0, &system, &attributes) < 0)
            return fail(QStringLiteral("The archive is damaged: %1.")
                            .arg(QString::fromUtf8(zip_strerror(zip))));
        if (system == ZIP_OPSYS_UNIX) {
            const zip_uint32_t type = (attributes >> 16) & S_IFMT;
            if (type == S_IFLNK)
                return fail(QStringLiteral("The archive is refused: the entry %1 is a link.")
                                .arg(quoted(name)));
            if (type != 0 && type != S_IFREG && type != S_IFDIR)
                return fail(QStringLiteral("The archive is refused: the entry %1 is not a "
                                           "regular file.")
                                .arg(quoted(name)));
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            return fail(QStringLiteral("The archive cannot be read: the entry %1 is encrypted.")
                            .arg(quoted(name)));
        if (!(stat.valid & ZIP_STAT_COMP_METHOD) ||
            !zip_compression_method_supported(stat.comp_method, 0))
            return fail(QStringLiteral("The archive cannot be read: the entry %1 is compressed "
                                       "by a method this program does not know.")
                            .arg(quoted(name)));
        if (folder)
            continue;

        const qint64 size = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62));
        const qint64 packed = qint64(std::min<zip_uint64_t>(stat.comp_size, zip_uint64_t(1) << 62));
        if (size > limits.maxEntrySize)
            return fail(QStringLiteral("The archive is refused: the entry %1 is larger than %2.")
                            .arg(quoted(name), sizeText(limits.maxEntrySize)));
        total += size;
        if (total > limits.maxTotalSize)
            return fail(QStringLiteral("The archive is refused: its files are larger than %1 "
                                       "together.")
                            .arg(sizeText(limits.maxTotalSize)));
        if (size > limits.ratioFloor && (packed == 0 || size / packed > limits.maxRatio))
            return fail(QStringLiteral("The archive is refused: the entry %1 would grow from %2 "
                                       "to %3 when unpacked, more than %4 times (a \"zip "
                                       "bomb\").")
                            .arg(quoted(name), sizeText(packed), sizeText(size))
                            .arg(limits.maxRatio));
        const Entry entry{zip_uint64_t(i), name, size};
        if (name == QLatin1String("gedcom.ged")) {
            if (size > limits.maxGedcomSize)
                return fail(QStringLiteral("The archive is refused: its gedcom.ged is larger "
                                           "than %1.")
                                .arg(sizeText(limits.maxGedcomSize)));
            gedcom = entry;
            hasGedcom = true;
        } else {
            media.push_back(entry);
            mediaSize += size;
        }
    }
    if (!hasGedcom)
        return fail(QStringLiteral("The archive holds no gedcom.ged: it is not a GEDZIP file."));
    return true;
}

bool GedzipReader::Archive::read(const Entry &entry,
                                 const std::function<bool(const char *, qint64)> &sink)
{
    const auto closeFile = [](zip_file_t *f) { zip_fclose(f); };
    std::unique_ptr<zip_file_t, decltype(closeFile)> file(zip_fopen_index(zip, entry.index, 0),
                                                          closeFile);
    if (!file)
        return fail(QStringLiteral("The entry %1 cannot be read: %2.")
                        .arg(quoted(entry.name), QString::fromUtf8(zip_strerror(zip))));
    std::vector<char> buffer(static_cast<size_t>(kChunk));
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer.data(), zip_uint64_t(kChunk));
        if (n < 0)
            return fail(
                QStringLiteral("The entry %1 cannot be read: %2.")
                    .arg(quoted(entry.name), QString::fromUtf8(zip_file_strerror(file.get()))));
        if (n == 0)
            break;
        total += n;
        if (total > entry.size)
            return fail(QStringLiteral("The archive is refused: the entry %1 holds more than "
                                       "the %2 its header says.")
                            .arg(quoted(entry.name), sizeText(entry.size)));
        if (!sink(buffer.data(), n))
            return false;
    }
    if (total != entry.size)
        return fail(QStringLiteral("The archive is damaged: the entry %1 holds less than its "
                                   "header says.")
                        .arg(quoted(entry.name)));
    return true;
}

GedzipReader::GedzipReader() : d(std::make_unique<Archive>()) {}
GedzipReader::~GedzipReader() = default;
GedzipReader::GedzipReader(GedzipReader &&) noexcept = default;
GedzipReader &GedzipReader::operator=(GedzipReader &&) noexcept = default;

bool GedzipReader::open(const QString &path, const GedzipLimits &limits)
{
    d->close();
    d->bytes.clear();
    d->limits = limits;
    if (!QFileInfo(path).isFile())
        return d->fail(QStringLiteral("%1 is not a file.").arg(QDir::toNativeSeparators(path)));
    int code = 0;
    d->zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!d->zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        d->error = openFailure(&error, QDir::toNativeSeparators(path));
        zip_error_fini(&error);
        return false;
    }
    if (d->check())
        return true;
    d->close();
    return false;
}

bool GedzipReader::openBytes(const QByteArray &bytes, const GedzipLimits &limits)
{
    d->close();
    d->bytes = bytes;
    d->limits = limits;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(d->bytes.constData(), zip_uint64_t(d->bytes.size()), 0, &error);
    if (source) {
        d->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (!d->zip)
            zip_source_free(source);
    }
    if (!d->zip) {
        d->error = openFailure(&error, QStringLiteral("The archive"));
        zip_error_fini(&error);
        return false;
    }
    zip_error_fini(&error);
    if (d->check())
        return true;
    d->close();
    return false;
}

bool GedzipReader::isOpen() const
{
    return d->zip != nullptr;
}

const QString &GedzipReader::error() const
{
    return d->error;
}

QByteArray GedzipReader::gedcom()
{
    if (!d->zip || !d->hasGedcom) {
        d->fail(QStringLiteral("No GEDZIP archive is open."));
        return {};
    }
    QByteArray text;
    text.reserve(qsizetype(std::min<qint64>(d->gedcom.size, 64 * 1024 * 1024)));
    const bool read = d->read(d->gedcom, [&text](const char *data, qint64 n) {
        text.append(data, qsizetype(n));
        return true;
    });
    return read ? text : QByteArray();
}

QStringList GedzipReader::mediaEntries() const
{
    QStringList names;
    for (const Archive::Entry &entry : d->media)
        names.append(entry.name);
    return names;
}

bool GedzipReader::extractMedia(const QString &folder, QStringList *written)
{
    if (!d->zip)
        return d->fail(QStringLiteral("No GEDZIP archive is open."));
    if (!QDir().mkpath(folder))
        return d->fail(
            QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder)));
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QStorageInfo storage(root);
    if (storage.isValid() && storage.bytesAvailable() >= 0 &&
        storage.bytesAvailable() < d->mediaSize)
        return d->fail(QStringLiteral("The media files of the archive need %1, and %2 is free "
                                      "in %3.")
                           .arg(sizeText(d->mediaSize), sizeText(storage.bytesAvailable()),
                                QDir::toNativeSeparators(root)));

    // What this extraction made, removed again when it fails.
    QStringList files;
    QStringList folders;
    const auto undo = [&files, &folders]() {
        for (auto it = files.crbegin(); it != files.crend(); ++it)
            QFile::remove(*it);
        for (auto it = folders.crbegin(); it != folders.crend(); ++it)
            QDir().rmdir(*it);
        return false;
    };
    for (const Archive::Entry &entry : d->media) {
        const QStringList parts = entry.name.split(QLatin1Char('/'));
        QString path = root;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            path += QLatin1Char('/') + parts[i];
            const QFileInfo info(path);
            if (info.isSymLink() || (info.exists() && !info.isDir())) {
                d->fail(QStringLiteral("%1 cannot be extracted: %2 is a link or a file.")
                            .arg(quoted(entry.name), QDir::toNativeSeparators(path)));
                return undo();
            }
            if (!info.exists()) {
                if (!QDir().mkdir(path)) {
                    d->fail(QStringLiteral("%1 cannot be extracted: the folder %2 cannot be "
                                           "made.")
                                .arg(quoted(entry.name), QDir::toNativeSeparators(path)));
                    return undo();
                }
                folders.append(path);
            }
        }
        path += QLatin1Char('/') + parts.back();
        // NewOnly: never over an existing file, never through a link.
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            d->fail(
                QStringLiteral("%1 cannot be extracted to %2: %3.")
                    .arg(quoted(entry.name), QDir::toNativeSeparators(path), out.errorString()));
            return undo();
        }
        files.append(path);
        const bool read = d->read(entry, [this, &out, &path](const char *data, qint64 n) {
            if (out.write(data, n) == n)
                return true;
            return d->fail(QStringLiteral("%1 cannot be written: %2.")
                               .arg(QDir::toNativeSeparators(path), out.errorString()));
        });
        if (!read || !out.flush()) {
            if (read)
                d->fail(QStringLiteral("%1 cannot be written: %2.")
                            .arg(QDir::toNativeSeparators(path), out.errorString()));
            out.close();
            return undo();
        }
    }
    if (written)
        *written = files;
    return true;
}

} // namespace Gedcom
