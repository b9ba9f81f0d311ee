#include "NativeNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeNames {

namespace {

constexpr char16_t kFirstRaw = 0xDC80; // the surrogate of byte 0x80
constexpr char16_t kLastRaw = 0xDCFF;

// Whether name[i] stands for a raw byte: a low surrogate of the raw range that does not
// complete a pair.
bool isRawAt(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= kFirstRaw && c <= kLastRaw && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence at bytes[i] (of size), or 0.
int validSequence(const char *bytes, qsizetype size, qsizetype i)
{
    const auto at = [bytes](qsizetype k) { return uchar(bytes[k]); };
    const uchar lead = at(i);
    int length = 0;
    uchar low = 0x80, high = 0xBF; // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > size || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Whether every byte belongs to a valid UTF-8 sequence (what Qt can read and list).
bool isValidUtf8(const char *bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size;) {
        const int length = validSequence(bytes, size, i);
        if (!length)
            return false;
        i += length;
    }
    return true;
}

struct DirCloser
{
    void operator()(DIR *dir) const { closedir(dir); }
};

// Renames without replacing: the kernel's no-replace rename, or where the file system lacks it a
// check just before.
bool renameBytes(const QByteArray &from, const QByteArray &to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat st;
    if (lstat(to.constData(), &st) == 0)
        return false;
    return ::rename(from.constData(), to.constData()) == 0;
}

bool existsBytes(const QByteArray &path)
{
    struct stat st;
    return lstat(path.constData(), &st) == 0;
}

// The trash record of a file moved to the trash names `name` (percent-encoded bytes) as the
// file's original name instead of the name it was trashed under.
void recordOriginalName(const QString &pathInTrash, const QByteArray &name)
{
    const QFileInfo trashed(pathInTrash);
    QDir trash = trashed.dir();
    if (!trash.cdUp())
        return;
    const QString infoPath =
        trash.filePath(QStringLiteral("info/") + trashed.fileName() + QStringLiteral(".trashinfo"));
    QFile in(infoPath);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QList<QByteArray> lines = in.readAll().split('\n');
    in.close();
    bool changed = false;
    for (QByteArray &line : lines) {
        if (!line.startsWith("Path="))
            continue;
        const qsizetype slash = line.lastIndexOf('/');
        line = line.left(slash < 0 ? 5 : slash + 1) + name.toPercentEncoding("/");
        changed = true;
        break;
    }
    if (!changed)
        return;
    QSaveFile out(infoPath);
    const QByteArray text = lines.join('\n');
    if (out.open(QIODevice::WriteOnly) && out.write(text) == text.size())
        out.commit();
}

} // namespace

QString Decode(const QByteArray &bytes)
{
    const QString read = QFile::decodeName(bytes);
    if (QFile::encodeName(read) == bytes)
        return read;
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        if (const int length = validSequence(bytes.constData(), bytes.size(), i)) {
            name += QString::fromUtf8(bytes.constData() + i, length);
            i += length;
        } else {
            name += QChar(char16_t(0xDC00 + uchar(bytes[i])));
            ++i;
        }
    }
    return name;
}

QByteArray Encode(const QString &name)
{
    if (!HasRawBytes(name))
        return QFile::encodeName(name);
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isRawAt(name, i))
            continue;
        bytes += QFile::encodeName(name.mid(start, i - start));
        bytes += char(name[i].unicode() - 0xDC00);
        start = i + 1;
    }
    bytes += QFile::encodeName(name.mid(start));
    return bytes;
}

bool HasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isRawAt(name, i))
            return true;
    }
    return false;
}

QString Display(const QString &name)
{
    if (!HasRawBytes(name))
        return name;
    QString shown;
    shown.reserve(name.size() + 16);
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isRawAt(name, i))
            shown +=
                QStringLiteral("\\x") +
                QString::number(name[i].unicode() - 0xDC00, 16).toUpper().rightJustified(2, u'0');
        else
            shown += name[i];
    }
    return shown;
}

QString Matchable(const QString &name)
{
    QString text = name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isRawAt(text, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QStringList RawEntries(const QString &folder)
{
    QStringList names;
    QByteArray base = Encode(folder);
    const std::unique_ptr<DIR, DirCloser> dir(opendir(base.constData()));
    if (!dir)
        return names;
    if (!base.endsWith('/'))
        base += '/';
    while (const dirent *entry = readdir(dir.get())) {
        if (isValidUtf8(entry->d_name, qsizetype(std::strlen(entry->d_name))))
            continue; // Qt lists this one itself
        const QByteArray bytes(entry->d_name);
        struct stat st;
        if (stat((base + bytes).constData(), &st) == 0 && S_ISREG(st.st_mode))
            names.append(Decode(bytes));
    }
    return names;
}

FileInfo Info(const QString &path)
{
    FileInfo info;
    if (!HasRawBytes(path)) {
        const QFileInfo qt(path);
        info.exists = qt.exists();
        info.isFile = qt.isFile();
        info.isSymLink = qt.isSymLink();
        info.writable = qt.isWritable();
        info.size = qt.size();
        info.lastModified = qt.lastModified().toUTC();
        return info;
    }
    const QByteArray bytes = Encode(path);
    struct stat st;
    if (lstat(bytes.constData(), &st) == 0 && S_ISLNK(st.st_mode))
        info.isSymLink = true;
    if (stat(bytes.constData(), &st) != 0)
        return info;
    info.exists = true;
    info.isFile = S_ISREG(st.st_mode);
    info.writable = access(bytes.constData(), W_OK) == 0;
    info.size = qint64(st.st_size);
    info.lastModified = QDateTime::fromMSecsSinceEpoch(
        qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
    return info;
}

bool Open(QFile &file, QIODevice::OpenMode mode)
{
    if (!HasRawBytes(file.fileName()))
        return file.open(mode);
    if ((mode & QIODevice::ReadWrite) != QIODevice::ReadOnly)
        return false; // such files are only read
    const int fd = ::open(Encode(file.fileName()).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

void SetReaderFile(QImageReader &reader, QFile &file)
{
    const QString name = file.fileName();
    if (!HasRawBytes(name)) {
        reader.setFileName(name);
        return;
    }
    const QByteArray suffix = QFileInfo(name).suffix().toLower().toLatin1();
    Open(file, QIODevice::ReadOnly); // a file that cannot be opened the reader reports as unread
    reader.setDevice(&file);
    if (!suffix.isEmpty())
        reader.setFormat(suffix);
}

bool Rename(const QString &from, const QString &to)
{
    if (!HasRawBytes(from) && !HasRawBytes(to))
        return QFile::rename(from, to);
    return renameBytes(Encode(from), Encode(to));
}

bool Remove(const QString &path)
{
    if (!HasRawBytes(path))
        return QFile::remove(path);
    return ::unlink(Encode(path).constData()) == 0;
}

bool MoveToTrash(const QString &path, QString *pathInTrash)
{
    QString standIn = path; // the valid name it is trashed under
    const bool raw = HasRawBytes(path);
    if (raw) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString folder = path.left(slash + 1);
        const QString shown = Display(path.mid(slash + 1));
        standIn.clear();
        for (int n = 1; n <= 100 && standIn.isEmpty(); ++n) {
            const QString candidate =
                folder +
                (n == 1 ? shown : QLatin1Char('.') + shown + QLatin1Char('.') + QString::number(n));
            if (!existsBytes(QFile::encodeName(candidate)))
                standIn = candidate;
        }
        if (standIn.isEmpty() || !Rename(path, standIn))
            return false;
    }
    QString trashed;
    bool moved = QFile::moveToTrash(standIn, &trashed);
    if (moved && QDir::isRelativePath(trashed)) {
        // No trash could be set up: the file went below the working folder instead.
        QFile::rename(trashed, standIn);
        moved = false;
    }
    if (!moved) {
        if (raw)
            Rename(standIn, path);
        return false;
    }
    if (raw)
        recordOriginalName(trashed, Encode(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)));
    if (pathInTrash)
        *pathInTrash = trashed;
    return true;
}

QUrl FileUrl(const QString &path)
{
    if (!HasRawBytes(path))
        return QUrl::fromLocalFile(path);
    QString absolute = path;
    if (QDir::isRelativePath(absolute))
        absolute = QDir::currentPath() + QLatin1Char('/') + absolute;
    return QUrl::fromEncoded("file://" + Encode(absolute).toPercentEncoding("/"));
}

} // namespace NativeNames
