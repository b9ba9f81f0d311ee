#include "mThumbnailer.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace mThumbnailer {

QString AddBackslash(const QString &s)
{
    if (s.isEmpty() || s.endsWith(QLatin1Char('/')))
        return s;
    return s + QLatin1Char('/');
}

bool PathExists(const QString &s)
{
    const QString path = s.trimmed();
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString TrimNull(const QString &s)
{
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul < 0)
        return s.trimmed();
    return s.left(nul);
}

static QString dropTrailingSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path.left(path.size() - 1) : path;
}

QString ParentFolder(const QString &path)
{
    const QString p = dropTrailingSeparator(path);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : p.left(slash + 1);
}

QString FileNameOf(const QString &path)
{
    const QString p = dropTrailingSeparator(path);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? p : p.mid(slash + 1);
}

bool ContainsText(const QStringList &list, const QString &s)
{
    return list.contains(s, Qt::CaseInsensitive);
}

QString ExtensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

QStringList SplitNulList(const QString &s)
{
    return s.split(QChar(0));
}

bool AcceptPattern(const QString &current, const QString &value, QString &stored)
{
    if (value == current || value.contains(QLatin1Char('?')) || value.size() <= 4)
        return false;
    stored = value.endsWith(QLatin1Char(';')) ? value.left(value.size() - 1) : value;
    return true;
}

QStringList ParsePatterns(const QString &pattern)
{
    const QStringList pieces = pattern.split(QLatin1Char(';'));
    QStringList kept;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString piece = pieces[i].trimmed();
        if (piece.isEmpty())
            continue;
        const qsizetype dot = piece.indexOf(QLatin1Char('.'));
        if (piece.mid(dot < 0 ? 0 : dot).contains(QLatin1Char('*')))
            continue;
        if (i == pieces.size() - 1 && piece.size() <= 4)
            continue;
        kept.append(piece);
    }
    return kept;
}

bool MatchesPattern(const QString &name, const QString &pattern)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

} // namespace mThumbnailer
