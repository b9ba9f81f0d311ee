#include "PersonFinder.h"

#include "SearchText.h"
#include "TextTable.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

const QChar kGap(0x0001); // between the parts of a person's place in the display order

// The persons' words and their place in the display order are made from texts that many
// persons share (first names, surnames): each distinct text is folded and split into words once,
// and persons are ordered by the ranks of their folded names, their keys breaking ties.
class IndexTexts
{
public:
    // The folded form of a name (as a number into Folded()), folding and splitting it when new.
    quint32 Name(const QString &text)
    {
        const quint32 raw = m_raw.Add(text);
        if (raw < m_foldedOfRaw.size())
            return m_foldedOfRaw[raw];
        const QString folded = SearchText::Fold(text);
        const quint32 number = m_folded.Add(folded);
        if (number == m_wordStart.size() - 1) {
            SearchText::ForEachWord(
                folded, [this](QStringView w) { m_nameWords.push_back(m_words.Add(w)); });
            m_wordStart.push_back(quint32(m_nameWords.size()));
            m_hasGap = m_hasGap || folded.contains(kGap);
        }
        m_foldedOfRaw.push_back(number);
        return number;
    }
    // Folds a key into Keys() (its place there is returned) and adds its words to `words`.
    std::pair<quint32, quint32> Key(const QString &key, std::vector<quint32> &words)
    {
        const auto start = quint32(m_keys.size());
        if (isAscii(key)) {
            for (QChar c : key) {
                const char16_t u = c.unicode();
                m_keys.push_back(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
            }
        } else {
            const QString folded = SearchText::Fold(key);
            m_keys.insert(m_keys.end(), folded.utf16(), folded.utf16() + folded.size());
        }
        const auto length = quint32(m_keys.size() - start);
        SearchText::ForEachWord(KeyText(start, length),
                                [&](QStringView w) { words.push_back(m_words.Add(w)); });
        return {start, length};
    }

    QStringView KeyText(quint32 start, quint32 length) const
    {
        return QStringView(m_keys.data() + start, qsizetype(length));
    }
    const TextTable &Folded() const { return m_folded; }
    const TextTable &Words() const { return m_words; }
    // The words of a folded name.
    const quint32 *WordsBegin(quint32 folded) const
    {
        return m_nameWords.data() + m_wordStart[folded];
    }
    const quint32 *WordsEnd(quint32 folded) const
    {
        return m_nameWords.data() + m_wordStart[folded + 1];
    }
    // Some folded name holds the character that separates the parts of the display order.
    bool HasGap() const { return m_hasGap; }

private:
    static bool isAscii(const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() >= 0x80)
                return false;
        }
        return true;
    }

    TextTable m_raw;                     // names as the persons have them
    std::vector<quint32> m_foldedOfRaw;  // per raw name
    TextTable m_folded;                  // folded names
    std::vector<quint32> m_wordStart{0}; // per folded name, into m_nameWords
    std::vector<quint32> m_nameWords;    // word numbers
    TextTable m_words;                   // every word of names and keys
    std::vector<char16_t> m_keys;        // folded keys, one after the other
    bool m_hasGap = false;
};

// Compares a + gap with b + gap, as the display order compares the first parts of two persons.
// Neither holds the gap.
int compareWithGap(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    if (const int c = a.first(n).compare(b.first(n)))
        return c;
    if (a.size() == b.size())
        return 0;
    // The shorter one goes on with the gap, which only U+0000 is below.
    if (a.size() < b.size())
        return b[n].unicode() == 0 ? 1 : -1;
    return a[n].unicode() == 0 ? -1 : 1;
}

// The first eight UTF-16 units of a text as two numbers that compare as the texts do (a text
// that runs out counts as U+0000).
std::pair<quint64, quint64> prefixOf(QStringView text)
{
    quint64 part[2] = {0, 0};
    for (qsizetype i = 0; i < 8; ++i) {
        const quint64 unit = i < text.size() ? text[i].unicode() : 0;
        part[i / 4] |= unit << (48 - 16 * (i % 4));
    }
    return {part[0], part[1]};
}

// The numbers of the texts of a table, in the order of their texts.
template <typename Less> std::vector<quint32> sortedTexts(const TextTable &texts, Less less)
{
    std::vector<quint32> order(texts.Count());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), less);
    return order;
}

// The rank of each text number in an order.
std::vector<quint32> ranksOf(const std::vector<quint32> &order)
{
    std::vector<quint32> rank(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        rank[order[i]] = quint32(i);
    return rank;
}

// The distinct words in UTF-8, in byte order: `text` holds them side by side, `start` where
// each begins (one more at the end). Sorted by their first eight bytes, then in full.
void sortedWords(const TextTable &words, QByteArray &text, std::vector<quint32> &start)
{
    QByteArray all;
    std::vector<quint32> at{0};
    at.reserve(words.Count() + 1);
    for (quint32 w = 0; w < words.Count(); ++w) {
        all += words.At(w).toUtf8();
        at.push_back(quint32(all.size()));
    }
    const auto bytes = [&](quint32 w) {
        return QByteArrayView(all.constData() + at[w], qsizetype(at[w + 1] - at[w]));
    };
    struct Entry
    {
        quint64 prefix;
        quint32 word;
    };
    std::vector<Entry> entries(words.Count());
    for (quint32 w = 0; w < words.Count(); ++w) {
        quint64 prefix = 0;
        const QByteArrayView b = bytes(w);
        for (qsizetype i = 0; i < 8; ++i)
            prefix = prefix << 8 | (i < b.size() ? quint8(b[i]) : 0u);
        entries[w] = Entry{prefix, w};
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return bytes(a.word).compare(bytes(b.word)) < 0;
    });
    text.clear();
    text.reserve(all.size());
    start.assign(1, 0);
    start.reserve(entries.size() + 1);
    for (const Entry &e : entries) {
        text += bytes(e.word);
        start.push_back(quint32(text.size()));
    }
    // The rank of each word, handed back through `at` reused.
    at.assign(words.Count(), 0);
    for (size_t i = 0; i < entries.size(); ++i)
        at[entries[i].word] = quint32(i);
    start.insert(start.end(), at.begin(), at.end()); // ranks follow the starts
}

int gapBytes(quint32 gap)
{
    int n = 1;
    while (gap >= 0x80) {
        gap >>= 7;
        ++n;
    }
    return n;
}

} // namespace

void PersonFinder::Build(const cPeople &people)
{
    std::vector<cPersonPtr> persons;
    persons.reserve(size_t(people.Count()));
    for (int i = 1; i <= people.Count(); ++i) {
        if (cPersonPtr person = people.Item(i))
            persons.push_back(std::move(person));
    }
    build(persons);
}

void PersonFinder::Build(const cPeople &people, const QStringList &keys)
{
    std::vector<cPersonPtr> persons;
    persons.reserve(size_t(keys.size()));
    for (const QString &key : keys) {
        if (cPersonPtr person = people.Item(key))
            persons.push_back(std::move(person));
    }
    build(persons);
}

void PersonFinder::build(const std::vector<cPersonPtr> &persons)
{
    // Each person's folded names and key, and the words of its key.
    struct Person
    {
        quint32 surname, firstName, partnerFirstName, partnerSurname;
        quint32 keyStart, keyLength;
        quint32 keyWordStart;
    };
    const size_t count = persons.size();
    IndexTexts texts;
    std::vector<Person> folded(count);
    // The keys, read while each person is at hand: fetched again in display order, persons lie
    // far apart in memory and reading them costs more than all the rest.
    std::vector<QString> keys(count);
    std::vector<quint32> keyWords;
    keyWords.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const cPerson &p = *persons[i];
        Person &f = folded[i];
        f.firstName = texts.Name(p.Fname());
        f.surname = texts.Name(p.Sname());
        f.partnerFirstName = texts.Name(p.PrtFname());
        f.partnerSurname = texts.Name(p.PrtSname());
        f.keyWordStart = quint32(keyWords.size());
        keys[i] = p.Key();
        std::tie(f.keyStart, f.keyLength) = texts.Key(keys[i], keyWords);
    }
    auto keyWordEnd = [&](size_t i) {
        return i + 1 < count ? folded[i + 1].keyWordStart : quint32(keyWords.size());
    };

    // The display order: surname, first name, key, all folded; persons alike keep their order.
    std::vector<quint32> order(count);
    std::iota(order.begin(), order.end(), 0u);
    if (!texts.HasGap()) {
        const TextTable &names = texts.Folded();
        const std::vector<quint32> nameRank = ranksOf(sortedTexts(names, [&](quint32 a, quint32 b) {
            return compareWithGap(names.At(a), names.At(b)) < 0;
        }));
        // Sorted as small entries side by side: the ranks of both names, the first units of
        // the key; the whole key only where those are alike.
        struct Sortable
        {
            quint64 names;
            quint64 keyHigh, keyLow;
            quint32 person;
        };
        std::vector<Sortable> sortable(count);
        for (size_t i = 0; i < count; ++i) {
            const Person &f = folded[i];
            const auto [high, low] = prefixOf(texts.KeyText(f.keyStart, f.keyLength));
            sortable[i] = Sortable{quint64(nameRank[f.surname]) << 32 | nameRank[f.firstName], high,
                                   low, quint32(i)};
        }
        std::sort(sortable.begin(), sortable.end(), [&](const Sortable &x, const Sortable &y) {
            if (x.names != y.names)
                return x.names < y.names;
            if (x.keyHigh != y.keyHigh)
                return x.keyHigh < y.keyHigh;
            if (x.keyLow != y.keyLow)
                return x.keyLow < y.keyLow;
            const Person &a = folded[x.person];
            const Person &b = folded[y.person];
            const int c = texts.KeyText(a.keyStart, a.keyLength)
                              .compare(texts.KeyText(b.keyStart, b.keyLength));
            return c != 0 ? c < 0 : x.person < y.person;
        });
        for (size_t rank = 0; rank < count; ++rank)
            order[rank] = sortable[rank].person;
    } else {
        // A name holding the separator itself: compare the parts joined, as they are defined.
        std::vector<QString> joined(count);
        for (size_t i = 0; i < count; ++i) {
            const Person &f = folded[i];
            joined[i] = texts.Folded().At(f.surname).toString() + kGap;
            joined[i] += texts.Folded().At(f.firstName);
            joined[i] += kGap;
            joined[i] += texts.KeyText(f.keyStart, f.keyLength);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](quint32 a, quint32 b) { return joined[a] < joined[b]; });
    }

    // The words in byte order, and the persons having each (in display order).
    const TextTable &words = texts.Words();
    std::vector<quint32> wordStart;
    sortedWords(words, m_text, wordStart);
    const size_t wordCount = words.Count();
    const std::vector<quint32> wordRank(wordStart.begin() + qsizetype(wordCount + 1),
                                        wordStart.end());
    wordStart.resize(wordCount + 1);
    m_wordStart = std::move(wordStart);
    m_wordStart.shrink_to_fit();
    std::vector<quint32> personStart(count + 1, 0);
    std::vector<quint32> personWords;
    personWords.reserve(keyWords.size() * 4);
    m_keyChars.clear();
    m_keyStart.assign(1, 0);
    m_keyStart.reserve(count + 1);
    for (size_t rank = 0; rank < count; ++rank) {
        const quint32 i = order[rank];
        const Person &f = folded[i];
        m_keyChars.insert(m_keyChars.end(), keys[i].utf16(), keys[i].utf16() + keys[i].size());
        m_keyStart.push_back(quint32(m_keyChars.size()));
        keys[i] = QString();
        const size_t first = personWords.size();
        for (quint32 name : {f.firstName, f.surname, f.partnerFirstName, f.partnerSurname}) {
            for (const quint32 *w = texts.WordsBegin(name); w != texts.WordsEnd(name); ++w)
                personWords.push_back(wordRank[*w]);
        }
        for (quint32 k = f.keyWordStart; k < keyWordEnd(i); ++k)
            personWords.push_back(wordRank[keyWords[k]]);
        // The same word twice in one person counts once.
        std::sort(personWords.begin() + qsizetype(first), personWords.end());
        personWords.erase(std::unique(personWords.begin() + qsizetype(first), personWords.end()),
                          personWords.end());
        personStart[rank + 1] = quint32(personWords.size());
    }
    m_keyChars.shrink_to_fit();

    // Two passes over the persons in display order: the bytes of each word's gaps, then the gaps.
    constexpr quint32 kNoRank = 0xFFFFFFFFu; // before the first: the first gap is rank + 1
    std::vector<quint32> last(wordCount, kNoRank);
    m_firstPosting.assign(wordCount + 1, 0);
    for (size_t rank = 0; rank < count; ++rank) {
        for (quint32 k = personStart[rank]; k < personStart[rank + 1]; ++k) {
            const quint32 w = personWords[k];
            m_firstPosting[w + 1] += quint32(gapBytes(quint32(rank) - last[w]));
            last[w] = quint32(rank);
        }
    }
    for (size_t w = 0; w < wordCount; ++w)
        m_firstPosting[w + 1] += m_firstPosting[w];
    m_postings.assign(m_firstPosting[wordCount], 0);
    std::vector<quint32> next(m_firstPosting.begin(), m_firstPosting.end() - 1);
    std::fill(last.begin(), last.end(), kNoRank);
    for (size_t rank = 0; rank < count; ++rank) {
        for (quint32 k = personStart[rank]; k < personStart[rank + 1]; ++k) {
            const quint32 w = personWords[k];
            quint32 gap = quint32(rank) - last[w];
            last[w] = quint32(rank);
            quint32 &at = next[w];
            while (gap >= 0x80) {
                m_postings[at++] = quint8(0x80 | (gap & 0x7F));
                gap >>= 7;
            }
            m_postings[at++] = quint8(gap);
        }
    }
    m_marks.assign(count, 0);
    m_generation = 0;
}

qint64 PersonFinder::Bytes() const
{
    return qint64(sizeof(*this)) + m_text.capacity() +
           qint64(m_wordStart.capacity() + m_firstPosting.capacity() + m_keyStart.capacity() +
                  m_marks.capacity()) *
               qint64(sizeof(quint32)) +
           qint64(m_postings.capacity()) + qint64(m_keyChars.capacity()) * 2;
}

QByteArrayView PersonFinder::word(size_t i) const
{
    return QByteArrayView(m_text.constData() + m_wordStart[i],
                          qsizetype(m_wordStart[i + 1] - m_wordStart[i]));
}

std::pair<size_t, size_t> PersonFinder::wordsStartingWith(QByteArrayView folded) const
{
    const size_t words = m_wordStart.size() - 1;
    size_t lo = 0, hi = words;
    // First word not below the prefix.
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (word(mid).compare(folded) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const size_t first = lo;
    hi = words;
    // First word after it that does not start with the prefix.
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (word(mid).startsWith(folded))
            lo = mid + 1;
        else
            hi = mid;
    }
    return {first, lo};
}

std::vector<int> PersonFinder::Find(QStringView query) const
{
    std::vector<QByteArray> words;
    const QString folded = SearchText::Fold(query);
    SearchText::ForEachWord(folded, [&](QStringView w) { words.push_back(w.toUtf8()); });

    std::vector<int> found;
    if (words.empty()) {
        found.resize(size_t(Count()));
        std::iota(found.begin(), found.end(), 0);
        return found;
    }
    const auto needed = quint32(words.size());
    if (m_generation > std::numeric_limits<quint32>::max() - needed - 1) {
        std::fill(m_marks.begin(), m_marks.end(), 0);
        m_generation = 0;
    }
    const quint32 base = m_generation;
    m_generation += needed;
    // After query word k a person's mark is base + k exactly when it matched words 1 to k
    // (marks of earlier queries are at most base).
    for (quint32 k = 1; k <= needed; ++k) {
        const auto [first, end] = wordsStartingWith(words[k - 1]);
        for (size_t w = first; w < end; ++w) {
            quint32 rank = 0xFFFFFFFFu;
            for (quint32 p = m_firstPosting[w]; p < m_firstPosting[w + 1];) {
                quint32 gap = 0;
                for (int shift = 0;; shift += 7) {
                    const quint8 b = m_postings[p++];
                    gap |= quint32(b & 0x7F) << shift;
                    if (!(b & 0x80))
                        break;
                }
                rank += gap;
                quint32 &mark = m_marks[rank];
                if (k == 1 ? mark <= base : mark == base + k - 1)
                    mark = base + k;
            }
        }
    }
    for (size_t rank = 0; rank < m_marks.size(); ++rank) {
        if (m_marks[rank] == base + needed)
            found.push_back(int(rank));
    }
    return found;
}
