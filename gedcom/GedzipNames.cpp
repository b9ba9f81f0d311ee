// The names of GEDZIP entries: what may stand in an archive, the names an export gives its media
// files, and the FILE values that name them.
#include "Gedzip.h"

#include <QFileInfo>
#include <QUrl>

namespace Gedcom {

namespace {

constexpr qsizetype kMaxPartBytes = 255; // a file name on every common file system

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

} // namespace

QString gedzipNameProblem(const QString &name, bool gedcom)
{
    if (name.isEmpty())
        return QStringLiteral("an entry has an empty name");
    const QString quoted = QLatin1Char('\'') + name + QLatin1Char('\'');
    if (name == QLatin1String("gedcom.ged") && !gedcom)
        return QStringLiteral("the name %1 is the GEDCOM file's").arg(quoted);
    if (name.startsWith(QLatin1Char('/')))
        return QStringLiteral("the name %1 is an absolute path").arg(quoted);
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("the name %1 holds a backslash").arg(quoted);
    if (name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter())
        return QStringLiteral("the name %1 begins with a drive letter").arg(quoted);
    if (std::any_of(name.cbegin(), name.cend(), isControl))
        return QStringLiteral("the name %1 holds a control character").arg(quoted);
    for (const QString &part : name.split(QLatin1Char('/'))) {
        if (part.isEmpty())
            return QStringLiteral("the name %1 has an empty part").arg(quoted);
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QStringLiteral("the name %1 holds the part '%2'").arg(quoted, part);
        if (part.toUtf8().size() > kMaxPartBytes)
            return QStringLiteral("the name %1 has a part longer than %2 bytes")
                .arg(quoted)
                .arg(kMaxPartBytes);
    }
    return {};
}

QString GedzipNames::add(const QString &sourcePath)
{
    QString file = QFileInfo(sourcePath).fileName();
    for (QChar &c : file) {
        if (isControl(c) || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            c = QLatin1Char('_');
    }
    while (file.toUtf8().size() > kMaxPartBytes - 8) // room for "-NNNNNN"
        file.chop(file.size() >= 2 && file.back().isLowSurrogate() ? 2 : 1);
    if (file.isEmpty() || file == QLatin1String(".") || file == QLatin1String(".."))
        file = QStringLiteral("file");
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? file.left(dot) : file;
    const QString extension = dot > 0 ? file.mid(dot) : QString();
    QString name = QLatin1String("media/") + file;
    for (int n = 2; m_used.contains(name.toCaseFolded()); ++n)
        name = QStringLiteral("media/%1-%2%3").arg(stem).arg(n).arg(extension);
    m_used.insert(name.toCaseFolded());
    return name;
}

QString gedzipFileValue(const QString &entryName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(entryName, "/!$&'()*+,;=@"));
}

QString gedzipEntryName(const QString &fileValue)
{
    return QUrl::fromPercentEncoding(fileValue.toUtf8());
}

} // namespace Gedcom
