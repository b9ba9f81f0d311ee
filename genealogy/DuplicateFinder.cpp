#include "DuplicateFinder.h"

#include "GedcomDate.h"
#include "KinshipIndex.h"
#include "NameFolding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace Genealogy {

namespace {

namespace NF = NameFolding;

constexpr int kNoYear = std::numeric_limits<int>::min();
// A block of more persons than this says too little to compare all of them with each other
// (a common surname with a common initial); the other keys find their pairs.
constexpr size_t kLargestBlock = 400;

// A name folded for comparing: its given words, each word's common form, the surname's words
// joined by blanks.
struct FoldedName
{
    std::vector<std::string> given;
    std::vector<std::string> common; // variantOf(given[i])
    std::vector<quint32> sounds;     // soundKey(given[i])
    std::string surname;
    std::string lastSurname; // the surname's last word
    quint32 surnameSound = 0;
    quint32 lastSurnameSound = 0;

    bool isEmpty() const { return given.empty() && surname.empty(); }
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

// One tree made ready: its persons and who their parents and partners are.
struct Side
{
    std::vector<Person> persons;
    KinshipIndex kin;
};

FoldedName fold(const QString &given, const QString &surname)
{
    FoldedName name;
    name.given = NF::words(given);
    name.common.reserve(name.given.size());
    name.sounds.reserve(name.given.size());
    for (const std::string &word : name.given) {
        name.common.emplace_back(NF::variantOf(word));
        name.sounds.push_back(NF::soundKey(word));
    }
    const std::vector<std::string> last = NF::words(surname);
    for (const std::string &word : last) {
        if (!name.surname.empty())
            name.surname.push_back(' ');
        name.surname += word;
    }
    if (!last.empty())
        name.lastSurname = last.back();
    name.surnameSound = NF::soundKey(name.surname);
    name.lastSurnameSound = NF::soundKey(name.lastSurname);
    return name;
}

int yearOf(const QString &date)
{
    if (date.isEmpty())
        return kNoYear;
    bool ok = false;
    const int plain = date.toInt(&ok);
    if (ok)
        return plain;
    const DateValue value = GedcomDate::parse(date);
    if (!value.isDate() || !value.first.valid)
        return kNoYear;
    return int(value.first.reckonedYear());
}

Side prepare(const DuplicateSource &source)
{
    Side side;
    side.kin = KinshipIndex::build(source.rows, source.families);
    side.persons.resize(source.rows.size());
    for (size_t i = 0; i < source.rows.size(); ++i) {
        const PersonRow &row = source.rows[i];
        Person &p = side.persons[i];
        p.name = fold(row.Fname, row.Sname);
        if (!row.PrtFname.isEmpty() || !row.PrtSname.isEmpty())
            p.rowPartner = fold(row.PrtFname, row.PrtSname);
        p.birth = yearOf(row.Bdate);
        p.death = yearOf(row.Ddate);
        p.birthPlace = NF::placeKey(row.Bplace);
        p.deathPlace = NF::placeKey(row.Dplace);
        p.sex = source.sexes.value(row.ID, Sex::None);
        if (!p.name.isEmpty()) {
            std::string all = p.name.surname;
            for (const std::string &word : p.name.given)
                all += '/' + word;
            p.nameHash = quint64(std::hash<std::string>()(all)) | 1;
        }
    }
    return side;
}

// How common each name is among the persons compared: a rare name borne by both counts more.
void countNames(Side &a, Side *b)
{
    QHash<quint64, int> counts;
    for (Side *side : {&a, b})
        if (side)
            for (const Person &p : side->persons)
                if (p.nameHash)
                    ++counts[p.nameHash];
    for (Side *side : {&a, b})
        if (side)
            for (Person &p : side->persons)
                p.nameCount = counts.value(p.nameHash);
}

bool hasDigit(const std::string &word)
{
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// How alike two folded words are: 1 the same, less for a variant, one letter apart, the same
// sound, or an initial.
double wordLikeness(const std::string &a, const std::string &commonA, quint32 soundA,
                    const std::string &b, const std::string &commonB, quint32 soundB)
{
    if (a == b)
        return 1;
    if (commonA == commonB)
        return 0.9;
    // Numbers ("Son 1", "Henry (2)", "3rd") agree only when they are the same.
    if (hasDigit(a) || hasDigit(b))
        return 0;
    if (std::max(a.size(), b.size()) >= 4 && NF::oneEditApart(a, b))
        return 0.85;
    if (soundA == soundB)
        return 0.75;
    if ((a.size() == 1 || b.size() == 1) && a.front() == b.front())
        return 0.6;
    return 0;
}

// Given names: the first words weigh most, then how many words of the shorter name the other
// has. -1 when either has none.
double givenLikeness(const FoldedName &a, const FoldedName &b)
{
    if (a.given.empty() || b.given.empty())
        return -1;
    const double first =
        wordLikeness(a.given[0], a.common[0], a.sounds[0], b.given[0], b.common[0], b.sounds[0]);
    const FoldedName &fewer = a.given.size() <= b.given.size() ? a : b;
    const FoldedName &more = &fewer == &a ? b : a;
    double rest = 0;
    int conflicts = 0;
    for (size_t i = 0; i < fewer.given.size(); ++i) {
        double best = 0;
        for (size_t j = 0; j < more.given.size() && best < 1; ++j)
            best = std::max(best, wordLikeness(fewer.given[i], fewer.common[i], fewer.sounds[i],
                                               more.given[j], more.common[j], more.sounds[j]));
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
double surnameLikeness(const FoldedName &a, const FoldedName &b)
{
    if (a.surname.empty() && b.surname.empty())
        return -1;
    if (a.surname.empty() || b.surname.empty())
        return 0.2;
    return std::max(
        wordLikeness(a.surname, a.surname, a.surnameSound, b.surname, b.surname, b.surnameSound),
        0.8 * wordLikeness(a.lastSurname, a.lastSurname, a.lastSurnameSound, b.lastSurname,
                           b.lastSurname, b.lastSurnameSound));
}

// Two relatives' names (a parent, a partner), 0 to 1.
double relativeLikeness(const FoldedName &a, const FoldedName &b)
{
    const double given = givenLikeness(a, b);
    const double surname = surnameLikeness(a, b);
    if (given < 0)
        return surname < 0 ? 0 : 0.5 * surname;
    return 0.65 * given + 0.35 * (surname < 0 ? 0.6 : surname);
}

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
    if (a.size() >= 4 && b.size() >= 4 && NF::oneEditApart(a, b))
        return 4;
    return -6;
}

// The names of a person's relatives on one side: the parents, or the partners (with the row's
// partner columns where the families name none).
enum class Kin { Parents, Partners, Children };

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

// Points for the relatives of one kind: their best match, and a second one.
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
            mine = std::max(mine, relativeLikeness(*left[l], *right[r]));
        if (mine >= 0.8)
            ++matched;
        if (mine > best) {
            second = best;
            best = mine;
        } else {
            second = std::max(second, mine);
        }
    }
    // Children: each one the other has too counts, up to three.
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

// Raw points, unbounded, then pressed into 0..100 keeping the order.
double score(const Side &sa, int a, const Side &sb, int b, double bound)
{
    const Person &pa = sa.persons[size_t(a)];
    const Person &pb = sb.persons[size_t(b)];
    const double given = givenLikeness(pa.name, pb.name);
    const double surname = surnameLikeness(pa.name, pb.name);
    if (given < 0 && surname < 0)
        return 0;
    // The names alone stay below the usual bound: a pair needs a date, a place or a relative
    // that agrees as well.
    double raw = (given < 0 ? 10 : 40 * given) + (surname < 0 ? 10 : 20 * surname);
    if (pa.nameHash && pa.nameHash == pb.nameHash)
        raw += std::clamp(10 - 3 * std::log2(double(pa.nameCount)), 0.0, 8.0);
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

quint64 textHash(std::string_view text)
{
    return quint64(std::hash<std::string_view>()(text));
}

quint64 blockKey(quint64 kind, quint64 value)
{
    return (kind << 56) ^ (value & 0x00ffffffffffffffULL);
}

// The sound of the first given name of a person's first relative of a kind, 0 for none.
quint64 relativeSound(const Side &side, int person, Kin kin)
{
    quint64 sound = 0;
    forEachRelative(side, person, kin, [&](const FoldedName &n) {
        if (sound == 0 && !n.given.empty())
            sound = NF::soundKey(n.common.front());
    });
    return sound;
}

// The blocking keys of one person.
void keysOf(const Side &side, int person, std::vector<quint64> &keys)
{
    keys.clear();
    const Person &p = side.persons[size_t(person)];
    const FoldedName &n = p.name;
    const char givenInitial = n.given.empty() ? 0 : n.given.front().front();
    const char surnameInitial = n.surname.empty() ? 0 : n.surname.front();
    if (!n.surname.empty())
        keys.push_back(blockKey(1, quint64(NF::soundKey(n.surname)) * 256 + quint8(givenInitial)));
    if (!n.given.empty()) {
        const quint64 common = NF::soundKey(n.common.front());
        const quint64 own = NF::soundKey(n.given.front());
        keys.push_back(blockKey(2, common * 256 + quint8(surnameInitial)));
        if (own != common)
            keys.push_back(blockKey(2, own * 256 + quint8(surnameInitial)));
        if (p.birth != kNoYear)
            keys.push_back(blockKey(3, textHash(n.common.front()) * 31 + quint64(p.birth)));
        if (n.given.size() > 1)
            keys.push_back(
                blockKey(5, quint64(NF::soundKey(n.given[1])) * 256 + quint8(givenInitial)));
    }
    if (!n.surname.empty() && p.birth != kNoYear)
        keys.push_back(blockKey(4, textHash(n.surname) * 31 + quint64(p.birth)));
    // Keys that survive a letter lost from the names: an initial with a year or a relative.
    const quint64 initials = quint64(quint8(givenInitial)) * 256 + quint8(surnameInitial);
    if (p.birth != kNoYear)
        keys.push_back(blockKey(6, initials * 100000 + quint64(p.birth + 50000)));
    if (p.death != kNoYear)
        keys.push_back(blockKey(7, initials * 100000 + quint64(p.death + 50000)));
    for (const Kin kin : {Kin::Parents, Kin::Partners}) {
        if (const quint64 sound = relativeSound(side, person, kin))
            keys.push_back(blockKey(kin == Kin::Parents ? 8 : 9, sound * 65536 + initials));
    }
}

// Pairs (first side's number, second side's number) that share a key, each once.
std::vector<quint64> candidates(const Side &a, const Side *b)
{
    struct Entry
    {
        quint64 key;
        quint32 person; // the second side's persons follow the first's
    };
    const size_t countA = a.persons.size();
    const size_t countB = b ? b->persons.size() : 0;
    std::vector<Entry> entries;
    entries.reserve((countA + countB) * 5);
    std::vector<quint64> keys;
    for (size_t i = 0; i < countA + countB; ++i) {
        if (i < countA)
            keysOf(a, int(i), keys);
        else
            keysOf(*b, int(i - countA), keys);
        for (const quint64 k : keys)
            entries.push_back({k, quint32(i)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &x, const Entry &y) {
        return x.key != y.key ? x.key < y.key : x.person < y.person;
    });
    std::vector<quint64> pairs;
    for (size_t begin = 0; begin < entries.size();) {
        size_t end = begin + 1;
        while (end < entries.size() && entries[end].key == entries[begin].key)
            ++end;
        if (end - begin > 1 && end - begin <= kLargestBlock) {
            if (!b) {
                for (size_t i = begin; i < end; ++i)
                    for (size_t j = i + 1; j < end; ++j)
                        pairs.push_back(quint64(entries[i].person) << 32 | entries[j].person);
            } else {
                size_t split = begin; // the first side's persons come first
                while (split < end && entries[split].person < countA)
                    ++split;
                for (size_t i = begin; i < split; ++i)
                    for (size_t j = split; j < end; ++j)
                        pairs.push_back(quint64(entries[i].person) << 32 |
                                        (entries[j].person - countA));
            }
        }
        begin = end;
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

// Whether b is a's parent, child, partner, grandparent or grandchild: a person is never the
// double of those (namesakes two generations apart are common).
bool linked(const Side &side, int a, int b)
{
    auto has = [](std::span<const int> list, int person) {
        return std::find(list.begin(), list.end(), person) != list.end();
    };
    if (has(side.kin.partners(a), b))
        return true;
    for (const int parent : side.kin.parents(a))
        if (parent == b || has(side.kin.parents(parent), b))
            return true;
    for (const int child : side.kin.children(a))
        if (child == b || has(side.kin.children(child), b))
            return true;
    return false;
}

std::vector<DuplicatePair> run(const Side &a, const Side *b, const DuplicateOptions &options)
{
    const Side &other = b ? *b : a;
    std::vector<DuplicatePair> result;
    for (const quint64 pair : candidates(a, b)) {
        const int first = int(pair >> 32);
        const int second = int(pair & 0xffffffffU);
        // A person is not the double of a parent, a child or a partner in the same tree.
        if (!b && linked(a, first, second))
            continue;
        const double s = score(a, first, other, second, options.minScore);
        if (s >= options.minScore)
            result.push_back({s, first, second});
    }
    std::stable_sort(
        result.begin(), result.end(),
        [](const DuplicatePair &x, const DuplicatePair &y) { return x.score > y.score; });
    return result;
}

} // namespace

std::vector<DuplicatePair> DuplicateFinder::find(const DuplicateSource &tree,
                                                 const DuplicateOptions &options)
{
    Side side = prepare(tree);
    countNames(side, nullptr);
    return run(side, nullptr, options);
}

std::vector<DuplicatePair> DuplicateFinder::find(const DuplicateSource &tree,
                                                 const DuplicateSource &other,
                                                 const DuplicateOptions &options)
{
    Side first = prepare(tree);
    Side second = prepare(other);
    countNames(first, &second);
    return run(first, &second, options);
}

} // namespace Genealogy
