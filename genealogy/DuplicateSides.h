#pragma once

#include "DuplicateFinder.h"
#include "KinshipIndex.h"

#include <QtGlobal>

#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

// The duplicate finder's inner parts: the trees made ready for comparing, and the score of a
// pair. Not for use outside the finder.
namespace Genealogy::Duplicates {

constexpr int kNoYear = std::numeric_limits<int>::min();

// Every folded word of the trees compared, once: words are compared by number.
class Dictionary
{
public:
    struct Word
    {
        std::string text;
        int common = -1;    // the number of its common form (variantOf)
        quint32 sound = 0;  // soundKey
        bool digit = false; // holds a digit: agrees with nothing but itself
    };

    int intern(const std::string &text);
    const Word &word(int id) const { return m_words[size_t(id)]; }

private:
    int add(const std::string &text);

    std::unordered_map<std::string, int> m_ids;
    std::vector<Word> m_words;
};

// A name folded for comparing: its given words and its surname (all its words as one, and its
// last word), by number; -1 for none.
struct FoldedName
{
    std::vector<int> given;
    int surname = -1;
    int lastSurname = -1;

    bool isEmpty() const { return given.empty() && surname < 0; }
};

struct Person
{
    FoldedName name;
    FoldedName rowPartner; // the partner columns of the row
    int birth = kNoYear;
    int death = kNoYear;
    std::string birthPlace;
    std::string deathPlace;
    Sex sex = Sex::None;
    quint64 nameHash = 0; // of all the words of the name; 0 for no name
    int nameCount = 0;    // how many persons of the trees compared bear the same name
};

// One tree made ready: its persons and who their parents, partners and children are.
struct Side
{
    const Dictionary *words = nullptr;
    std::vector<Person> persons;
    KinshipIndex kin;
};

Side prepare(const DuplicateSource &source, Dictionary &words);
// How common each name is among the persons compared (`b` may be null).
void countNames(Side &a, Side *b);

enum class Kin { Parents, Partners, Children };

// The names of a person's relatives of a kind (the row's partner columns where the families
// name no partner).
template <typename Visit> void forEachRelative(const Side &side, int person, Kin kin, Visit &&visit)
{
    const std::span<const int> relatives = kin == Kin::Parents    ? side.kin.parents(person)
                                           : kin == Kin::Partners ? side.kin.partners(person)
                                                                  : side.kin.children(person);
    for (const int r : relatives)
        visit(side.persons[size_t(r)].name);
    if (kin == Kin::Partners && relatives.empty() &&
        !side.persons[size_t(person)].rowPartner.isEmpty())
        visit(side.persons[size_t(person)].rowPartner);
}

// How alike person a of one side and person b of the other are, 0 to 100; 0 as soon as the
// pair cannot reach `bound`.
double score(const Side &sa, int a, const Side &sb, int b, double bound);

} // namespace Genealogy::Duplicates
