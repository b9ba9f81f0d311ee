#include "GedcomFiles.h"

#include "NativeNames.h"
#include "PhotoFolders.h"
#include "TreeTables.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QUrl>

namespace GedcomFiles {

QString ProposeTreeName(const QString &gedcomPath,
                        const std::function<bool(const QString &name)> &exists)
{
    QString base = QFileInfo(gedcomPath).completeBaseName();
    for (QChar &c : base) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    base = base.simplified();
    if (base.isEmpty())
        base = QStringLiteral("Imported tree");
    if (!TreeNameProblem(base).isEmpty())
        base.prepend(QStringLiteral("Tree "));
    QString name = base;
    for (int n = 2; exists && exists(name); ++n)
        name = base + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
    return name;
}

bool DecodesAsImage(QIODevice &file)
{
    QImageReader reader(&file);
    if (!reader.canRead())
        return false;
    // A header proves nothing of what follows it: the picture itself must decode. Formats that
    // can (JPEG) decode it at a small size, which costs little.
    constexpr int kSide = 64;
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kSide || size.height() > kSide))
        reader.setScaledSize(size.scaled(kSide, kSide, Qt::KeepAspectRatio).expandedTo({1, 1}));
    return !reader.read().isNull();
}

QStringList PhotoFiles(const QString &dataPath, const QString &key)
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> set;
        for (const QByteArray &format : QImageReader::supportedImageFormats())
            set.insert(QString::fromLatin1(format).toLower());
        return set;
    }();
    QStringList files;
    const QString folder = PhotoFolders::FolderOf(dataPath, key);
    if (folder.isEmpty())
        return files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files);
    for (const QFileInfo &entry : entries) {
        if (suffixes.contains(entry.suffix().toLower()))
            files.append(entry.absoluteFilePath());
    }
    // Names that are not valid UTF-8 (Qt's listing leaves them out) go as their file: URLs.
    const QString absolute = QDir(folder).absolutePath() + QLatin1Char('/');
    for (const QString &name : NativeNames::RawEntries(folder)) {
        if (suffixes.contains(QFileInfo(name).suffix().toLower()))
            files.append(NativeNames::FileUrl(absolute + name).toString(QUrl::FullyEncoded));
    }
    return files;
}

QString FileFilter()
{
    return QStringLiteral("GEDCOM files (*.ged *.GED);;GEDZIP archives: GEDCOM 7.0 with its media "
                          "(*.gdz *.GDZ)");
}

} // namespace GedcomFiles
