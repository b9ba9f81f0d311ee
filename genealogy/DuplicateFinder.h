#pragma once

#include "FamilyKeys.h"
#include "PersonRow.h"
#include "Vocabulary.h"

#include <QHash>
#include <QString>

#include <span>
#include <vector>

namespace Genealogy {

// One tree as the duplicate finder reads it: its rows, and where the tree has them, its families
// (for parents and partners) and its persons' sexes by key. A tree made by hand (rows only) is
// read from its PrntKey links and partner columns alone.
struct DuplicateSource
{
    std::span<const PersonRow> rows;
    std::span<const FamilyKeys> families;
    QHash<QString, Sex> sexes;
};

// A likely pair: the persons by their number in the rows (`second` in the other tree when two
// were compared) and how alike they are, 0 to 100.
struct DuplicatePair
{
    double score = 0;
    int first = -1;
    int second = -1;

    int roundedScore() const { return int(score + 0.5); }
};

struct DuplicateOptions
{
    // The lowest score a pair is listed with.
    double minScore = 70;
};

// Finds persons recorded twice, in one tree or between two. Candidates are the persons that
// share a blocking key (the sound of the surname with the given name's initial, the sound of the
// given name with the surname's initial, a given name or surname with the birth year, the
// initials with the birth or death year or with a parent's or partner's given name); accents,
// case and common variants of given names ("Wilhelm", "William") are folded first, and a key
// that a great many persons share is left to the others. Each candidate pair is scored from the
// names (a rare name shared counts more), the birth and death years (a year apart still counts),
// the places, the sex and the names of the parents, partners and children; in one tree a person
// is never paired with its parent, child, partner, grandparent or grandchild. The result is best
// first; pairs of equal score keep the order of the rows. `minScore` 0 lists every candidate.
class DuplicateFinder
{
public:
    static std::vector<DuplicatePair> find(const DuplicateSource &tree,
                                           const DuplicateOptions &options = {});
    static std::vector<DuplicatePair> find(const DuplicateSource &tree,
                                           const DuplicateSource &other,
                                           const DuplicateOptions &options = {});
};

} // namespace Genealogy
