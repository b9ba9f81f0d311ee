#pragma once

#include "PersonRecord.h"

#include <QHashFunctions> // std::hash<QString>
#include <QList>
#include <QString>

#include <unordered_map>
#include <vector>

namespace Gedcom {

// How the rows of one tree become families on export.
//
// A row's PrntKey links it as a child of the row it names. A PrntKey that is kRootKey makes a root;
// one that names no row, names the row itself, or closes a cycle is not a link: the row is written
// with _PRNTKEY (in a cycle, the row that comes first in row order loses its link).
//
// Two rows whose notes end with the lines an import writes for a partner pair ("Children
// listed under: L" and "Partner ID: L" on one, "Partner ID: Q" on the other) and that name each
// other as partner are written as one family, without those lines, when importing that family
// gives the same two rows again; otherwise each row keeps its lines as text and gets a partner
// of its own.
class ExportLinks
{
public:
    explicit ExportLinks(const QList<PersonRecord> &rows);

    // The row this row is a child of, or -1.
    int parent(int row) const { return m_parent[size_t(row)]; }
    // True when the row's PrntKey is written as _PRNTKEY.
    bool keepsParentKey(int row) const { return m_keepKey[size_t(row)]; }
    const std::vector<int> &children(int row) const { return m_children[size_t(row)]; }
    // For the line parent of a pair, the other row; -1 otherwise.
    int sharedPartner(int row) const { return m_sharedPartner[size_t(row)]; }
    // For the other row of a pair, the line parent; -1 otherwise.
    int sharedWith(int row) const { return m_sharedWith[size_t(row)]; }
    // The notes to write: without the partner lines for a pair.
    const QString &notes(int row) const;

private:
    void linkParents(const QList<PersonRecord> &rows);
    void cutCycles();
    void findPairs(const QList<PersonRecord> &rows);

    std::unordered_map<QString, int> m_rowOfKey; // the first row of each key

    std::vector<int> m_parent;
    std::vector<char> m_keepKey;
    std::vector<std::vector<int>> m_children;
    std::vector<int> m_sharedPartner, m_sharedWith;
    std::vector<QString> m_pairNotes;
    const QList<PersonRecord> &m_rows;
};

} // namespace Gedcom
