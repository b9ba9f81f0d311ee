#include "DuplicateFinder.h"

#include "DuplicateSides.h"

#include <algorithm>

namespace Genealogy {

namespace {

using namespace Duplicates;

// A block of more persons than this says too little to compare all of them with each other
// (a common surname with a common initial); the other keys find their pairs.
constexpr size_t kLargestBlock = 400;

quint64 blockKey(quint64 kind, quint64 value)
{
    return (kind << 56) ^ (value & 0x00ffffffffffffffULL);
}

// The sound of the common form of the first given name of a person's first relative of a
// kind, 0 for none.
quint64 relativeSound(const Side &side, int person, Kin kin)
{
    quint64 sound = 0;
    forEachRelative(side, person, kin, [&](const FoldedName &n) {
        if (sound == 0 && !n.given.empty())
            sound = side.words->word(side.words->word(n.given.front()).common).sound;
    });
    return sound;
}

// The blocking keys of one person.
void keysOf(const Side &side, int person, std::vector<quint64> &keys)
{
    keys.clear();
    const Dictionary &words = *side.words;
    const Person &p = side.persons[size_t(person)];
    const FoldedName &n = p.name;
    const char givenInitial = n.given.empty() ? 0 : words.word(n.given.front()).text.front();
    const char surnameInitial = n.surname < 0 ? 0 : words.word(n.surname).text.front();
    if (n.surname >= 0)
        keys.push_back(
            blockKey(1, quint64(words.word(n.surname).sound) * 256 + quint8(givenInitial)));
    if (!n.given.empty()) {
        const Dictionary::Word &first = words.word(n.given.front());
        const quint64 common = words.word(first.common).sound;
        keys.push_back(blockKey(2, common * 256 + quint8(surnameInitial)));
        if (first.sound != common)
            keys.push_back(blockKey(2, quint64(first.sound) * 256 + quint8(surnameInitial)));
        if (p.birth != kNoYear)
            keys.push_back(blockKey(3, quint64(first.common) * 100000 + quint64(p.birth + 50000)));
        if (n.given.size() > 1)
            keys.push_back(
                blockKey(5, quint64(words.word(n.given[1]).sound) * 256 + quint8(givenInitial)));
    }
    if (n.surname >= 0 && p.birth != kNoYear)
        keys.push_back(blockKey(4, quint64(n.surname) * 100000 + quint64(p.birth + 50000)));
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
    Dictionary words;
    Side side = prepare(tree, words);
    countNames(side, nullptr);
    return run(side, nullptr, options);
}

std::vector<DuplicatePair> DuplicateFinder::find(const DuplicateSource &tree,
                                                 const DuplicateSource &other,
                                                 const DuplicateOptions &options)
{
    Dictionary words;
    Side first = prepare(tree, words);
    Side second = prepare(other, words);
    countNames(first, &second);
    return run(first, &second, options);
}

} // namespace Genealogy
