#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// Text prepared for searching names: compared without regard to letter case or accents.
namespace SearchText {

// Compatibility decomposition with every combining mark dropped, then case folded: "Löfgren"
// becomes "lofgren", "ﬁ" becomes "fi", "STRASSE" and "Straße" both become "strasse".
QString Fold(QStringView text);

// Calls `word` with each word of the text: each longest run of letters and digits.
void ForEachWord(QStringView text, const std::function<void(QStringView word)> &word);

} // namespace SearchText
