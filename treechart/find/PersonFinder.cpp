#include "PersonFinder.h"

#include "SearchText.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

struct Sortable
{
    QString order; // folded surname, first name and key, separated by U+0001
    cPersonPtr person;
};

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
    const QChar gap(0x0001);
    std::vector<Sortable> sorted;
    sorted.reserve(persons.size());
    for (const cPersonPtr &p : persons)
        sorted.push_back(Sortable{SearchText::Fold(p->Sname()) + gap +
                                      SearchText::Fold(p->Fname()) + gap +
                                      SearchText::Fold(p->Key()),
                                  p});
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Sortable &a, const Sortable &b) { return a.order < b.order; });

    // Every word of every person, in one buffer: (word, person) pairs sorted by word.
    struct Entry
    {
        quint32 offset, length, rank;
    };
    QString buffer;
    std::vector<Entry> entries;
    entries.reserve(sorted.size() * 4);
    m_keys.clear();
    m_keys.reserve(sorted.size());
    for (size_t rank = 0; rank < sorted.size(); ++rank) {
        const cPerson &p = *sorted[rank].person;
        m_keys.push_back(p.Key());
        for (const QString &field : {p.Fname(), p.Sname(), p.PrtFname(), p.PrtSname(), p.Key()}) {
            const QString folded = SearchText::Fold(field);
            SearchText::ForEachWord(folded, [&](QStringView w) {
                entries.push_back(Entry{quint32(buffer.size()), quint32(w.size()), quint32(rank)});
                buffer.append(w);
            });
        }
    }
    const auto view = [&buffer](const Entry &e) {
        return QStringView(buffer).mid(e.offset, e.length);
    };
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        const int c = view(a).compare(view(b));
        return c != 0 ? c < 0 : a.rank < b.rank;
    });

    m_text.clear();
    m_words.clear();
    m_firstPosting.clear();
    m_postings.clear();
    m_postings.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        const bool newWord = i == 0 || view(entries[i - 1]) != view(e);
        if (newWord) {
            m_words.push_back(Word{quint32(m_text.size()), e.length});
            m_text.append(view(e));
            m_firstPosting.push_back(quint32(m_postings.size()));
        } else if (entries[i - 1].rank == e.rank) {
            continue; // the same word twice in one person
        }
        m_postings.push_back(e.rank);
    }
    m_firstPosting.push_back(quint32(m_postings.size()));
    m_text.squeeze();
    m_marks.assign(m_keys.size(), 0);
    m_generation = 0;
}

QStringView PersonFinder::word(size_t i) const
{
    return QStringView(m_text).mid(m_words[i].offset, m_words[i].length);
}

std::pair<size_t, size_t> PersonFinder::wordsStartingWith(QStringView folded) const
{
    size_t lo = 0, hi = m_words.size();
    // First word not below the prefix.
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (word(mid).compare(folded) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const size_t first = lo;
    hi = m_words.size();
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
    std::vector<QString> words;
    const QString folded = SearchText::Fold(query);
    SearchText::ForEachWord(folded, [&](QStringView w) { words.push_back(w.toString()); });

    std::vector<int> found;
    if (words.empty()) {
        found.resize(m_keys.size());
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
            for (quint32 p = m_firstPosting[w]; p < m_firstPosting[w + 1]; ++p) {
                quint32 &mark = m_marks[m_postings[p]];
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
