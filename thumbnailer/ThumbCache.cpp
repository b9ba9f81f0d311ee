#include "ThumbCache.h"

#include "PngTextKeys.h"
#include "ReplacingFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

namespace Pixtile {

namespace ThumbCache {

namespace {

constexpr qint64 kMaxEntryBytes = qint64(16) << 20;
// Our own key (the standard leaves keys starting with X- to programs).
constexpr const char *kMTimeMSecKey = "X-Pixtile-MTime-MSec";
constexpr QFile::Permissions kPrivateFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

bool unreserved(uchar c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-._~!$&'()*+,=:@/", c) != nullptr && c != 0;
}

QString dataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    return QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.local/share");
}

// An entry of a size folder is at most that size on either side. Any program may write into the
// cache, so an entry that says it is larger (twice the size is allowed, for writers that round
// generously) is not taken and not decoded.
bool readEntry(const QString &path, int maxSide, const Source &source, Entry &entry)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxEntryBytes)
        return false;
    QByteArray bytes = file.readAll();
    const QMap<QString, QString> keys = PngTextKeys::Read(bytes);
    if (!Matches(keys, source))
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    const QSize declared = reader.size();
    if (!declared.isValid() || declared.width() > 2 * maxSide || declared.height() > 2 * maxSide)
        return false;
    QImage image;
    if (!reader.read(&image))
        return false;
    bool okW = false, okH = false;
    const int w = keys.value(QStringLiteral("Thumb::Image::Width")).toInt(&okW);
    const int h = keys.value(QStringLiteral("Thumb::Image::Height")).toInt(&okH);
    entry.image = image;
    entry.original = okW && okH && w > 0 && h > 0 ? QSize(w, h) : QSize();
    return true;
}

} // namespace

QString Root()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString cache = QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + "/.cache";
    return QDir::cleanPath(cache + QStringLiteral("/thumbnails"));
}

QByteArray FileUri(const QString &absolutePath)
{
    const QByteArray path = QFile::encodeName(absolutePath);
    QByteArray uri("file://");
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : path) {
        const auto c = uchar(ch);
        if (unreserved(c)) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

QString EntryName(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

int FlavorFor(int pixels)
{
    for (int i = 0; i < kFlavorCount; ++i)
        if (kFlavors[i].pixels >= pixels)
            return i;
    return -1;
}

bool Source::Of(const QString &path, Source &source)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    source.file = info.absoluteFilePath();
    source.uri = FileUri(source.file);
    const QDateTime modified = info.fileTime(QFileDevice::FileModificationTime);
    source.mtime = modified.toSecsSinceEpoch();
    source.mtimeMs = modified.toMSecsSinceEpoch();
    source.size = info.size();
    return true;
}

bool Matches(const QMap<QString, QString> &keys, const Source &source)
{
    if (keys.value(QStringLiteral("Thumb::URI")).toUtf8() != source.uri)
        return false;
    bool ok = false;
    // Seconds; a writer may have added a fraction.
    const QString mtime = keys.value(QStringLiteral("Thumb::MTime"));
    const qint64 seconds = mtime.section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
    if (!ok || seconds != source.mtime)
        return false;
    const auto milliseconds = keys.find(QLatin1String(kMTimeMSecKey));
    if (milliseconds != keys.end() && milliseconds->toLongLong() != source.mtimeMs)
        return false;
    const auto size = keys.find(QStringLiteral("Thumb::Size"));
    if (size != keys.end()) {
        const qint64 bytes = size->toLongLong(&ok);
        if (ok && bytes != source.size)
            return false;
    }
    return true;
}

bool MakePrivateFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).path();
    if (parent == clean || !MakePrivateFolder(parent))
        return false;
    QDir().mkdir(clean, kPrivateFolder);
    return QFileInfo(clean).isDir();
}

Store::Store(const QString &root)
    : m_root(QDir::cleanPath(root)), m_trash(dataHome() + QStringLiteral("/Trash/"))
{
    m_writable = !root.isEmpty() && MakePrivateFolder(m_root) && QFileInfo(m_root).isWritable();
}

bool Store::covers(const QString &file) const
{
    return !m_root.isEmpty() && !file.startsWith(m_root + QLatin1Char('/'));
}

bool Store::writesFor(const QString &file) const
{
    return m_writable && covers(file) && !file.startsWith(m_trash) &&
           !file.contains(QLatin1String("/.Trash-")) && !file.contains(QLatin1String("/.Trash/"));
}

bool Store::find(const Source &source, int pixels, Entry &entry) const
{
    const int first = FlavorFor(pixels);
    if (first < 0 || !covers(source.file))
        return false;
    const QString name = EntryName(source.uri);
    for (int i = first; i < kFlavorCount; ++i) {
        const QString path =
            m_root + QLatin1Char('/') + QLatin1String(kFlavors[i].folder) + QLatin1Char('/') + name;
        if (readEntry(path, kFlavors[i].pixels, source, entry))
            return true;
    }
    return false;
}

bool Store::failed(const Source &source) const
{
    if (!covers(source.file))
        return false;
    QFile file(m_root + QLatin1Char('/') + QLatin1String(kFailFolder) + QLatin1Char('/') +
               EntryName(source.uri));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxEntryBytes)
        return false;
    return Matches(PngTextKeys::Read(file.readAll()), source);
}

bool Store::write(const Source &source, int flavor, const QImage &thumbnail,
                  const QSize &original) const
{
    if (flavor < 0 || flavor >= kFlavorCount || thumbnail.isNull() || !writesFor(source.file))
        return false;
    // 8-bit RGB or RGBA, as the standard asks.
    const QImage image = thumbnail.convertToFormat(
        thumbnail.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return writeEntry(QLatin1String(kFlavors[flavor].folder), source, image, original);
}

bool Store::writeFailure(const Source &source) const
{
    if (!writesFor(source.file))
        return false;
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    return writeEntry(QLatin1String(kFailFolder), source, mark, QSize());
}

bool Store::writeEntry(const QString &folder, const Source &source, QImage image,
                       const QSize &original) const
{
    const QString dir = m_root + QLatin1Char('/') + folder;
    if (!MakePrivateFolder(dir))
        return false;
    image.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(source.uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(source.mtime));
    image.setText(QStringLiteral("Thumb::Size"), QString::number(source.size));
    image.setText(QLatin1String(kMTimeMSecKey), QString::number(source.mtimeMs));
    if (original.isValid() && !original.isEmpty()) {
        image.setText(QStringLiteral("Thumb::Image::Width"), QString::number(original.width()));
        image.setText(QStringLiteral("Thumb::Image::Height"), QString::number(original.height()));
    }
    image.setText(QStringLiteral("Software"), QStringLiteral("Pixtile 4.1"));
    const QString target = dir + QLatin1Char('/') + EntryName(source.uri);
    // Written whole beside the entry (0600), every write checked, then renamed over it: a reader
    // sees the old entry or the new one, never half of one, and a full disk leaves the old entry
    // as it was. Not waited onto the disk: an entry lost in a crash is only made again, while
    // waiting for each of hundreds would slow every folder shown.
    ReplacingFile file(target, ReplacingFile::Access::Private);
    file.setSyncToDisk(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    // Fast compression: a fifth of the default's time for a slightly larger entry.
    writer.setCompression(1);
    if (!writer.write(image))
        return false;
    return file.commit();
}

} // namespace ThumbCache

} // namespace Pixtile
