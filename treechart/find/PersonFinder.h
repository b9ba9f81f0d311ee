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
// and one entry per distinct word; the persons themselves stay in the collection. It is compact
// (Bytes(): well under 120 bytes a person at 1,000,000 persons): the words once each in UTF-8,
// the persons having a word as the gaps between their places, a byte or two each, the keys side
// by side. A built index is only read: Find and KeyAt may run on any one thread at a time, and
// the index may be built on a worker and handed over.
//
// Results come in display order: by surname, then first name, then key (compared as folded).
class PersonFinder
{
public:
    // Indexes every person of `people`.
    void Build(const cPeople &people);
    // Indexes the persons of `people` with these keys (keys naming nobody are skipped).
    void Build(const cPeople &people, const QStringList &keys);
    // Indexes these persons (a worker may build from them while they stay unchanged).
    void Build(const std::vector<cPersonPtr> &persons) { build(persons); }

    // Number of persons indexed.
    int Count() const { return int(m_keyStart.size()) - 1; }
    // The persons matching the query, as indexes into the display order (ascending). An empty
    // query (no word) matches every person.
    std::vector<int> Find(QStringView query) const;
    // The key of the person at a place of the display order.
    QString KeyAt(int rank) const { return KeyViewAt(rank).toString(); }
    // The same key without a copy.
    QStringView KeyViewAt(int rank) const
    {
        return QStringView(m_keyChars.data() + m_keyStart[size_t(rank)],
                           qsizetype(m_keyStart[size_t(rank) + 1] - m_keyStart[size_t(rank)]));
    }
    // Bytes the index holds.
    qint64 Bytes() const;

private:
    void build(const std::vector<cPersonPtr> &persons);
    // The range of distinct words starting with the folded word.
    std::pair<size_t, size_t> wordsStartingWith(QByteArrayView folded) const;
    QByteArrayView word(size_t i) const;

    QByteArray m_text;                   // every distinct folded word in UTF-8, in byte order
    std::vector<quint32> m_wordStart;    // per word, into m_text; one more at the end
    std::vector<quint32> m_firstPosting; // per word, into m_postings; one more at the end
    // Per word, the persons (display order) having it, ascending, as the gaps from the one
    // before (the first from -1), seven bits a byte, the high bit set on all but a gap's last.
    std::vector<quint8> m_postings;
    std::vector<char16_t> m_keyChars;   // the keys in display order, side by side
    std::vector<quint32> m_keyStart{0}; // per person, into m_keyChars; one more at the end
    // Per person: how many words of the current query it has matched so far, offset by a
    // generation so that the array needs no clearing between queries.
    mutable std::vector<quint32> m_marks;
    mutable quint32 m_generation = 0;
};
