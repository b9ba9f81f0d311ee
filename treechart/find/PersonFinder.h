#pragma once

#include "cPeople.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Finds persons by the start of any word of their names, their partner's names or their key,
// without regard to letter case or accents ("lof" finds "Löfgren", "ann" finds "Mary-Anne").
// A query of several words finds the persons that match every word.
//
// Build the index once per tree (and again after persons were added, changed or removed);
// a query then costs a binary search per query word and a pass over the matching entries, far
// below a keystroke's time on a tree of 100,000 persons. The index holds, per person, its key
// and one entry per distinct word; the persons themselves stay in the collection.
//
// Results come in display order: by surname, then first name, then key (compared as folded).
class PersonFinder
{
public:
    // Indexes every person of `people`.
    void Build(const cPeople &people);
    // Indexes the persons of `people` with these keys (keys naming nobody are skipped).
    void Build(const cPeople &people, const QStringList &keys);

    // Number of persons indexed.
    int Count() const { return int(m_keys.size()); }
    // The persons matching the query, as indexes into the display order (ascending). An empty
    // query (no word) matches every person.
    std::vector<int> Find(QStringView query) const;
    // The key of the person at a place of the display order.
    const QString &KeyAt(int rank) const { return m_keys[size_t(rank)]; }

private:
    void build(const std::vector<cPersonPtr> &persons);
    // The range of distinct words starting with the folded word.
    std::pair<size_t, size_t> wordsStartingWith(QStringView folded) const;
    QStringView word(size_t i) const;

    struct Word
    {
        quint32 offset; // into m_text
        quint32 length;
    };
    QString m_text;                      // every distinct folded word, one after the other
    std::vector<Word> m_words;           // sorted
    std::vector<quint32> m_firstPosting; // per word, into m_postings; one more at the end
    std::vector<quint32> m_postings;     // persons (display order) having the word, ascending
    std::vector<QString> m_keys;         // per person in display order
    // Per person: how many words of the current query it has matched so far, offset by a
    // generation so that the array needs no clearing between queries.
    mutable std::vector<quint32> m_marks;
    mutable quint32 m_generation = 0;
};
