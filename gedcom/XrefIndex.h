#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <vector>

namespace Gedcom {

// Finds records by their cross-reference id: an open-addressing hash table of record numbers.
// The ids are spans of one text the caller keeps alive (passed to every call); each place holds
// the hash, the record and where its id lies, so a search reads one place and the id's bytes.
// The first record inserted under an id wins.
class XrefIndex
{
public:
    // Room for `count` ids.
    void reserve(qsizetype count);
    // Adds the record under the id text[offset, offset + size); false (and nothing added) when
    // the id is already there.
    bool insert(int record, quint32 offset, quint32 size, const char *text);
    // The record of the id, or -1.
    int find(QByteArrayView id, const char *text) const;
    // The records of many ids (-1 where none), the same as calling find for each, but with the
    // places and ids of later ids fetched ahead while earlier ones are compared: on a large file
    // the places lie far apart in memory, and waiting for each one in turn takes most of the time.
    void findAll(const QByteArrayView *ids, int *records, size_t count, const char *text) const;

private:
    struct Place
    {
        quint32 hash = 0;
        qint32 record = -1; // -1: empty
        quint32 offset = 0;
        quint32 size = 0;
    };
    static quint32 hashOf(QByteArrayView id);
    int findHashed(QByteArrayView id, quint32 hash, const char *text) const;
    void place(const Place &entry);

    std::vector<Place> m_places;
    size_t m_mask = 0;
    qsizetype m_count = 0;
};

} // namespace Gedcom
