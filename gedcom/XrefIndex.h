#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace Gedcom {

// Finds records by their cross-reference id: an open-addressing hash table of record numbers.
// The ids are views the caller keeps alive. The first record inserted under an id wins.
class XrefIndex
{
public:
    using KeyOf = std::function<QByteArrayView(int record)>;

    // Room for `count` ids.
    void reserve(qsizetype count);
    // Adds the record under its id; false (and nothing added) when the id is already there.
    bool insert(int record, QByteArrayView id, const KeyOf &keyOf);
    // The record of the id, or -1.
    int find(QByteArrayView id, const KeyOf &keyOf) const;

private:
    std::vector<int> m_slots;      // record number + 1; 0 = empty
    std::vector<quint32> m_hashes; // low bits of each id's hash
    qsizetype m_count = 0;
};

} // namespace Gedcom
