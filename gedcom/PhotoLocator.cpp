#include "PhotoLocator.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace Gedcom {

namespace {

// "http:", "file:"... but not a drive letter ("C:\photos").
QString schemeOf(const QString &reference)
{
    const qsizetype colon = reference.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return QString();
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = reference[i];
        if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
              c == QLatin1Char('.')) ||
            c.unicode() > 0x7F)
            return QString();
    }
    return reference.left(colon).toLower();
}

} // namespace

PhotoLocator::Outcome PhotoLocator::check(const QString &candidate, QString &path) const
{
    RegularFile file = RegularFile::open(candidate, m_maxSize);
    switch (file.status()) {
    case RegularFile::Status::Missing:
        return Outcome::Missing;
    case RegularFile::Status::Open:
        break;
    default:
        return Outcome::Refused;
    }
    if (m_isImage) {
        QFile device;
        if (!device.open(file.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            return Outcome::Refused;
        if (!m_isImage(device))
            return Outcome::NotImage;
    }
    path = QDir::cleanPath(QDir(m_folder).absoluteFilePath(candidate));
    return Outcome::Found;
}

PhotoLocator::Outcome PhotoLocator::locate(const QString &reference, bool version7,
                                           QString &path) const
{
    QString local = reference.trimmed();
    if (local.isEmpty())
        return Outcome::Missing;
    const QString scheme = schemeOf(local);
    if (scheme == QLatin1String("file")) {
        local = QUrl(local).toLocalFile();
    } else if (!scheme.isEmpty()) {
        return Outcome::Remote;
    } else if (version7) {
        local = QUrl::fromPercentEncoding(local.toUtf8());
    }
    if (local.isEmpty())
        return Outcome::Missing;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));

    const bool absolute = local.startsWith(QLatin1Char('/'));
    if (m_folder.isEmpty() && !absolute)
        return Outcome::Missing; // no folder to look in
    const QString first = absolute ? local : QDir(m_folder).filePath(local);
    Outcome outcome = check(first, path);
    if (outcome != Outcome::Missing)
        return outcome;
    if (m_folder.isEmpty())
        return Outcome::Missing;
    // The last parts of the path under the GEDCOM file's folder: "C:/Media/a.jpg" is looked
    // for as "Media/a.jpg" and "a.jpg".
    const QStringList parts = local.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const qsizetype most = qMin<qsizetype>(parts.size() - (absolute ? 0 : 1), 3);
    for (qsizetype keep = most; keep >= 1; --keep) {
        const QString tail = parts.mid(parts.size() - keep).join(QLatin1Char('/'));
        if (tail.startsWith(QLatin1String("..")) || tail.contains(QLatin1String("/..")))
            continue;
        outcome = check(QDir(m_folder).filePath(tail), path);
        if (outcome != Outcome::Missing)
            return outcome;
    }
    return Outcome::Missing;
}

} // namespace Gedcom
