#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

namespace Genealogy {

// Names made comparable: accents and case folded away, one ASCII word per piece of a name.
namespace NameFolding {

// The words of a name in lower-case ASCII letters and digits: accents dropped ("Zoë" gives
// "zoe"), "ß" as "ss", "æ" as "ae", "ø" as "o"; blanks, underscores, hyphens, dots, brackets and
// quotes separate words; apostrophes and other signs are dropped.
std::vector<std::string> words(QStringView text);

// The common form of a given name and its variants in other languages and as pet names
// ("wilhelm", "guillaume" and "bill" give "william"); the word itself when it has none.
std::string_view variantOf(std::string_view word);

// A sound key of a folded word: its first letter and the sound classes of the consonants after
// it (vowels, h, w and y dropped, repeats joined), at most six classes, packed into a number.
// "smith" and "smyth" share a key; 0 for an empty word.
quint32 soundKey(std::string_view word);

// Whether one word becomes the other by dropping, adding or changing one letter, or by swapping
// two neighbours.
bool oneEditApart(std::string_view a, std::string_view b);

// The first words of a place ("London, Middlesex, England" gives "london"), folded.
std::string placeKey(QStringView place);

} // namespace NameFolding

} // namespace Genealogy
