#pragma once

#include <QString>
#include <QStringList>

// Small text and file helpers of the control. Paths use '/' as separator.
namespace mThumbnailer {

// The Path of a control whose items come from a list of files in more than one folder.
inline constexpr QLatin1String kListPath("<List>");

// Appends '/' when the text does not end with one (an empty text gets none).
QString AddBackslash(const QString &s);
// True when the trimmed path names an existing file or folder.
bool PathExists(const QString &s);
// Text before the first NUL; empty when NUL is first; the trimmed text when there is none.
QString TrimNull(const QString &s);
// Drops one trailing separator, then keeps everything up to and including the last one.
QString ParentFolder(const QString &path);
// Drops one trailing separator, then keeps what follows the last one.
QString FileNameOf(const QString &path);
// Membership without regard to case.
bool ContainsText(const QStringList &list, const QString &s);
// Upper-cased text after the last '.', empty when there is none.
QString ExtensionOf(const QString &name);
// Splits at NUL; a text without NUL gives one element.
QStringList SplitNulList(const QString &s);

// Pattern rules: whether a new pattern text is taken at all, and how it is stored.
// Returns false when `value` is to be ignored (equal to `current`, contains '?', or 4
// characters or shorter); otherwise `stored` is the value with one trailing ';' dropped.
bool AcceptPattern(const QString &current, const QString &value, QString &stored);
// The pattern list of a stored pattern: the pieces that keep no '*' after their first '.', the
// last piece only when longer than 4 characters. Empty when none stays.
QStringList ParsePatterns(const QString &pattern);
// Whether a file name matches a pattern ('*' and '?' wildcards, without regard to case).
bool MatchesPattern(const QString &name, const QString &pattern);

} // namespace mThumbnailer
