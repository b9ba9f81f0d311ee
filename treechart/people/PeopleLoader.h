#pragma once

#include "FlatIndex.h"
#include "PersonRowText.h"
#include "cPeople.h"

// Fills a person collection from the rows of a tree table as they are read: each text is
// turned into a QString once and shared by every person that has it (names, places, dates and
// notes that repeat), every person is indexed by key, and the children of every parent key are
// listed, all in the one pass. A key already present is reported as cPeople::Add reports it, and
// that row is skipped.
class PeopleLoader
{
public:
    // `expectedRows` sizes the storage up front (0 when unknown).
    explicit PeopleLoader(qsizetype expectedRows = 0);

    void AddRow(const PersonRowText &row);
    // The collection, in the order the rows came. The loader is empty afterwards.
    cPeople Finish();

private:
    // Texts are shared within kinds of columns: first names, surnames, dates, places, notes.
    enum Kind { kFirstNames, kSurnames, kDates, kPlaces, kNotes, kKinds };
    quint32 intern(Kind kind, const char *data, qsizetype size);

    cPeople m_people;
    FlatIndex m_known[kKinds];
};
