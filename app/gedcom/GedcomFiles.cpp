#include "GedcomFiles.h"

#include "PhotoFolders.h"
#include "TreeTables.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

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
    if (reader.size().isValid())
        return true;
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
    return files;
}

QString FileFilter()
{
    return QStringLiteral("GEDCOM files (*.ged *.GED)");
}

} // namespace GedcomFiles
