#pragma once

#include "Vocabulary.h"

#include <QString>

// The words of a report's narrative: dates as a reader says them, pronouns and kin words.
namespace Reports::Phrases {

// A date with its preposition: "on 17 August 1786", "in August 1786", "in 1786", "about 1850",
// "before 3 May 1901", "between 1850 and 1855", "from 1850 to 1855"; a text that is no date
// "on <text>" ; "" for an empty text.
QString when(const QString &date);
// A date as words without a preposition ("17 August 1786", "about 1850").
QString dateWords(const QString &date);

// "He", "She", "They" (the sex unknown).
QString pronoun(Genealogy::Sex sex);
// "son", "daughter", "child".
QString childWord(Genealogy::Sex sex);
// Lower-case roman numerals: 1 -> "i", 14 -> "xiv".
QString roman(int number);

} // namespace Reports::Phrases
