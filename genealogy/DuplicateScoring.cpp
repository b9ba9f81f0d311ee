// The score of a pair of persons: names, years, places, sex and relatives.
#include "DuplicateSides.h"

#include "NameFolding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Genealogy::Duplicates {

namespace {

// How alike two folded words are: 1 the same, less for a variant, one letter apart, the same
// sound, or an initial.
double wordLikeness(const Dictionary &words, int a, int b)
{
    if (a == b)
        return 1;
    const Dictionary::Word &wa = words.word(a);
    const Dictionary::Word &wb = words.word(b);
    if (wa.common == wb.common)
        return 0.9;
    // Numbers ("Son 1", "Henry (2)", "3rd") agree only when they are the same.
    if (wa.digit || wb.digit)
        return 0;
    const size_t la = wa.text.size(), lb = wb.text.size();
    if (std::max(la, lb) >= 4 && (la > lb ? la - lb : lb - la) <= 1 &&
        NameFolding::oneEditApart(wa.text, wb.text))
        return 0.85;
    if (wa.sound == wb.sound)
        return 0.75;
    if ((la == 1 || lb == 1) && wa.text.front() == wb.text.front())
        return 0.6;
    return 0;
}

// Given names: the first words weigh most, then how many words of the shorter name the other
// has. -1 when either has none.
double givenLikeness(const Dictionary &words, const FoldedName &a, const FoldedName &b)
{
    if (a.given.empty() || b.given.empty())
        return -1;
    const double first = wordLikeness(words, a.given[0], b.given[0]);
    const FoldedName &fewer = a.given.size() <= b.given.size() ? a : b;
    const FoldedName &more = &fewer == &a ? b : a;
    double rest = 0;
    int conflicts = 0;
    for (const int word : fewer.given) {
        double best = 0;
        for (size_t j = 0; j < more.given.size() && best < 1; ++j)
            best = std::max(best, wordLikeness(words, word, more.given[j]));
        rest += best;
        if (best < 0.5)
            ++conflicts;
    }
    rest /= double(fewer.given.size());
    // Extra words on one side only (a second given name left out) cost a little; a second
    // given name that differs ("James Findlay", "James Irwin") tells two persons apart.
    const double extra = double(more.given.size() - fewer.given.size()) * 0.03;
    return std::max(0.0, 0.6 * first + 0.4 * rest - extra - 0.25 * conflicts);
}

// Surnames: -1 when neither has one.
double surnameLikeness(const Dictionary &words, const FoldedName &a, const FoldedName &b)
{
    if (a.surname < 0 && b.surname < 0)
        return -1;
    if (a.surname < 0 || b.surname < 0)
        return 0.2;
    return std::max(wordLikeness(words, a.surname, b.surname),
                    0.8 * wordLikeness(words, a.lastSurname, b.lastSurname));
}

// Two relatives' names (a parent, a partner, a child), 0 to 1.
double relativeLikeness(const Dictionary &words, const FoldedName &a, const FoldedName &b)
{
    const double given = givenLikeness(words, a, b);
    const double surname = surnameLikeness(words, a, b);
    if (given < 0)
        return surname < 0 ? 0 : 0.5 * surname;
    return 0.65 * given + 0.35 * (surname < 0 ? 0.6 : surname);
}

// Dates may be a year off; further apart, two persons.
double yearPoints(int a, int b, double same, double near)
{
    if (a == kNoYear || b == kNoYear)
        return 0;
    const int d = std::abs(a - b);
    if (d == 0)
        return same;
    if (d == 1)
        return near;
    if (d == 2)
        return 1;
    if (d <= 5)
        return -8;
    if (d <= 15)
        return -20;
    return -35;
}

double placePoints(const std::string &a, const std::string &b)
{
    if (a.empty() || b.empty())
        return 0;
    if (a == b)
        return 5;
    if (a.size() >= 4 && b.size() >= 4 && NameFolding::oneEditApart(a, b))
        return 4;
    return -6;
}

// Points for the relatives of one kind: their best match and a second one; of children, each
// one the other has too, up to three.
double relativePoints(const Side &sa, int a, const Side &sb, int b, Kin kin, double match,
                      double mismatch)
{
    // At most this many relatives of a kind are compared.
    constexpr size_t kMost = 12;
    std::array<const FoldedName *, kMost> left{}, right{};
    size_t leftCount = 0, rightCount = 0;
    forEachRelative(sa, a, kin, [&](const FoldedName &n) {
        if (!n.isEmpty() && leftCount < kMost)
            left[leftCount++] = &n;
    });
    if (leftCount == 0)
        return 0;
    forEachRelative(sb, b, kin, [&](const FoldedName &n) {
        if (!n.isEmpty() && rightCount < kMost)
            right[rightCount++] = &n;
    });
    if (rightCount == 0)
        return 0;
    double best = 0, second = 0;
    int matched = 0;
    for (size_t l = 0; l < leftCount; ++l) {
        double mine = 0;
        for (size_t r = 0; r < rightCount && mine < 1; ++r)
            mine = std::max(mine, relativeLikeness(*sa.words, *left[l], *right[r]));
        if (mine >= 0.8)
            ++matched;
        if (mine > best) {
            second = best;
            best = mine;
        } else {
            second = std::max(second, mine);
        }
    }
    if (kin == Kin::Children)
        return matched > 0 ? match * std::min(matched, 3) : (best < 0.5 ? mismatch : 0);
    if (best >= 0.8) {
        if (second >= 0.8)
            return match * 1.5;
        // Both name two relatives and only one of them agrees.
        return leftCount >= 2 && rightCount >= 2 && second < 0.5 ? match / 3 : match;
    }
    if (best < 0.5)
        return mismatch;
    return 0;
}

bool knownSex(Sex s)
{
    return s == Sex::Male || s == Sex::Female;
}

// Whether one name holds a number the other lacks ("Son" and "Son 2", "Twin 1" and "Twin 2"):
// such names were given to tell persons apart.
bool numbersDiffer(const Dictionary &words, const FoldedName &a, const FoldedName &b)
{
    auto lacks = [&](const FoldedName &x, const FoldedName &y) {
        for (const int word : x.given)
            if (words.word(word).digit &&
                std::find(y.given.begin(), y.given.end(), word) == y.given.end())
                return true;
        return false;
    };
    return lacks(a, b) || lacks(b, a);
}

bool sameName(const FoldedName &a, const FoldedName &b)
{
    return a.surname == b.surname && a.given == b.given;
}

} // namespace

// Raw points, unbounded, then pressed into 0..100 keeping the order.
double score(const Side &sa, int a, const Side &sb, int b, double bound)
{
    const Dictionary &words = *sa.words;
    const Person &pa = sa.persons[size_t(a)];
    const Person &pb = sb.persons[size_t(b)];
    const double given = givenLikeness(words, pa.name, pb.name);
    const double surname = surnameLikeness(words, pa.name, pb.name);
    if (given < 0 && surname < 0)
        return 0;
    // The names alone stay below the usual bound: a pair needs a date, a place or a relative
    // that agrees as well.
    double raw = (given < 0 ? 10 : 40 * given) + (surname < 0 ? 10 : 20 * surname);
    if (numbersDiffer(words, pa.name, pb.name))
        raw -= 30;
    // A rare name borne by both counts more.
    if (pa.nameHash && sameName(pa.name, pb.name))
        raw += std::clamp(10 - 3 * std::log2(double(std::max(pa.nameCount, 1))), 0.0, 8.0);
    raw += yearPoints(pa.birth, pb.birth, 15, 9);
    raw += yearPoints(pa.death, pb.death, 10, 6);
    raw += placePoints(pa.birthPlace, pb.birthPlace);
    raw += placePoints(pa.deathPlace, pb.deathPlace);
    if (knownSex(pa.sex) && knownSex(pb.sex))
        raw += pa.sex == pb.sex ? 3 : -40;
    // The relatives add at most this much: a pair that cannot reach the bound stops here.
    constexpr double kRelativesAtMost = 18 + 15 + 12;
    if (raw + kRelativesAtMost < bound)
        return 0;
    raw += relativePoints(sa, a, sb, b, Kin::Parents, 12, -12);
    raw += relativePoints(sa, a, sb, b, Kin::Partners, 10, -12);
    raw += relativePoints(sa, a, sb, b, Kin::Children, 4, -4);
    if (raw <= 0)
        return 0;
    if (raw <= 80)
        return raw;
    return 80 + 20 * (1 - std::exp(-(raw - 80) / 30));
}

} // namespace Genealogy::Duplicates
