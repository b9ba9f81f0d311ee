#pragma once

#include "PersonRowText.h"
#include "TextArena.h"
#include "cPeople.h"

#include <QStringList>

namespace Chart {

// Builds a person collection from the rows of a tree table, on any one thread: each text is
// turned into a QString once and shared by every person that has it (names, places, dates and
// parent keys that repeat), every person is indexed by key, and the children of every parent
// key are listed, all in the one pass. A row whose key is already present is skipped and its
// key noted; nothing is shown (the caller reports them, on the window's thread).
class PeopleBuilder
{
public:
    explicit PeopleBuilder(qsizetype expectedRows = 0);

    void AddRow(const PersonRowText &row);
    // The same with the row's hashes made already (TextHash::RowHashes).
    void AddRow(const PersonRowText &row, const quint32 *hashes);
    // Fetches ahead what adding this row will look at: stage 0 some rows before, stage 1 fewer
    // rows before (see TextArena).
    void Prefetch(const PersonRowText &row, const quint32 *hashes, int stage) const;
    // The keys of the rows skipped, in order.
    const QStringList &Duplicates() const { return m_duplicates; }
    // The collection, in the order the rows came.
    cPeople Finish();

private:
    // Texts are shared within kinds of columns: first names, surnames, dates, places, notes.
    enum Kind { kFirstNames, kSurnames, kDates, kPlaces, kNotes, kKinds };
    struct Shared
    {
        TextArena arena;
        qsizetype asked = 0;
        qsizetype found = 0;
        bool off = false; // the texts of this kind hardly repeat: they are no longer looked up
    };
    quint32 shared(Shared &kind, const char *data, qsizetype size, quint32 hash);
    quint32 group(const char *data, qsizetype size, quint32 hash);

    cPeople m_people;
    Shared m_kinds[kKinds];
    TextArena m_parents; // parent keys, numbered by their group
    bool m_parentsFull = false;
    QStringList m_duplicates;
};

} // namespace Chart
