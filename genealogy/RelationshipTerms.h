#pragma once

#include "Vocabulary.h"

#include <QString>

namespace Genealogy::RelationshipTerms {

// What a person is to another by blood, in plain English: the person is `up` generations below
// the nearest common ancestor and the other `down` below it. `sex` is the first person's
// (sex-specific words where known, "uncle or aunt" where not); `half` when the two lines from
// the common ancestor start with two children who share one parent of two (half-siblings,
// half-uncle, half-first cousin). Examples: (0,1) father, (2,0) grandson, (1,1) sister,
// (1,3) great-uncle, (1,4) great-grand-uncle, (3,1) great-nephew, (2,2) first cousin,
// (3,4) second cousin once removed, (0,0) "same person".
QString blood(int up, int down, Sex sex, bool half = false);

// The English ordinal word of n: "first" ... "tenth", then "11th", "12th", "21st", ...
QString ordinal(int n);
// "once", "twice", "three times", ... "ten times", then "11 times".
QString times(int n);

// The sex-specific word: male, female, or the neutral one.
QString bySex(Sex sex, const char *male, const char *female, const char *neutral);

} // namespace Genealogy::RelationshipTerms
