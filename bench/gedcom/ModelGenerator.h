#pragma once

#include <QString>

// Writes a GEDCOM 5.5.1 file of generated families the way a genealogy program exports a
// researched tree: founders and their descendants, each descendant married to a partner from
// outside; every person with a name (GIVN, SURN), sex and five events (birth, christening,
// occupation, residence with an address, death or census), each with a date, a place and a
// citation of one of the file's sources with a page; a note on every third person and a shared
// note on every tenth; families with a marriage (date, place, citation). Deterministic for a
// number of persons.
class ModelGenerator
{
public:
    explicit ModelGenerator(qsizetype persons) : m_persons(persons) {}

    // Streams the file to `path`; false when it cannot be written.
    bool write(const QString &path) const;

    static constexpr int kSources = 250;
    static constexpr int kSharedNotes = 100;

private:
    qsizetype m_persons;
};
