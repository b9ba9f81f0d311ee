#include "ExportLinks.h"

#include "NotesText.h"

namespace Gedcom {

ExportLinks::ExportLinks(const QList<PersonRecord> &rows) : m_rows(rows)
{
    const size_t n = size_t(rows.size());
    m_parent.assign(n, -1);
    m_keepKey.assign(n, 0);
    m_children.resize(n);
    m_sharedPartner.assign(n, -1);
    m_sharedWith.assign(n, -1);
    m_pairNotes.resize(n);
    linkParents(rows);
    cutCycles();
    for (size_t r = 0; r < n; ++r) {
        if (m_parent[r] >= 0)
            m_children[size_t(m_parent[r])].push_back(int(r));
    }
    findPairs(rows);
}

const QString &ExportLinks::notes(int row) const
{
    if (m_sharedPartner[size_t(row)] >= 0 || m_sharedWith[size_t(row)] >= 0)
        return m_pairNotes[size_t(row)];
    return m_rows[row].Notes;
}

void ExportLinks::linkParents(const QList<PersonRecord> &rows)
{
    m_rowOfKey.reserve(size_t(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r)
        m_rowOfKey.emplace(rows[r].ID, int(r)); // a key twice (never in a store): the first wins
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString &key = rows[r].PrntKey;
        if (IsRootKey(key))
            continue;
        const auto found = m_rowOfKey.find(key);
        const int parent = found == m_rowOfKey.end() ? -1 : found->second;
        if (parent < 0 || parent == int(r))
            m_keepKey[size_t(r)] = 1;
        else
            m_parent[size_t(r)] = parent;
    }
}

// Follows each chain of parents once, without recursion; in each cycle found, the row that
// comes first in row order keeps its key as text instead of its link.
void ExportLinks::cutCycles()
{
    enum : char { Unknown, OnPath, Done };
    std::vector<char> status(m_parent.size(), Unknown);
    std::vector<int> path;
    for (size_t start = 0; start < m_parent.size(); ++start) {
        path.clear();
        int r = int(start);
        while (r >= 0 && status[size_t(r)] == Unknown) {
            status[size_t(r)] = OnPath;
            path.push_back(r);
            r = m_parent[size_t(r)];
        }
        if (r >= 0 && status[size_t(r)] == OnPath) {
            // The cycle is the part of the path from r on.
            size_t from = 0;
            while (path[from] != r)
                ++from;
            int first = r;
            for (size_t i = from; i < path.size(); ++i)
                first = qMin(first, path[i]);
            m_parent[size_t(first)] = -1;
            m_keepKey[size_t(first)] = 1;
        }
        for (int onPath : path)
            status[size_t(onPath)] = Done;
    }
}

void ExportLinks::findPairs(const QList<PersonRecord> &rows)
{
    auto isChild = [this](int r) { return m_parent[size_t(r)] >= 0; };
    for (qsizetype qi = 0; qi < rows.size(); ++qi) {
        const PersonRecord &q = rows[qi];
        if (!q.Notes.contains(QLatin1String("Partner ID: ")))
            continue;
        const NotesText::PartnerLines qLines = NotesText::splitPartnerLines(q.Notes);
        if (!qLines.found || !qLines.childrenLine || qLines.childrenListedUnder != qLines.partnerId)
            continue;
        const auto found = m_rowOfKey.find(qLines.partnerId);
        const int li = found == m_rowOfKey.end() ? -1 : found->second;
        if (li < 0 || li == int(qi) || m_sharedPartner[size_t(li)] >= 0 ||
            m_sharedWith[size_t(li)] >= 0 || m_sharedPartner[size_t(qi)] >= 0)
            continue;
        const PersonRecord &l = rows[li];
        // The line parent's notes end with "Partner ID: Q" alone.
        const QString suffix = NotesText::partnerIdLine(q.ID);
        QString lBase;
        if (l.Notes == suffix)
            lBase = QString();
        else if (l.Notes.endsWith(QLatin1Char('\n') + suffix))
            lBase = l.Notes.chopped(suffix.size() + 1);
        else
            continue;
        const NotesText::PartnerLines lLines = NotesText::splitPartnerLines(l.Notes);
        if (lLines.childrenLine && lLines.childrenListedUnder == q.ID)
            continue; // both claim the other's children: not a pair an import writes
        if (l.PrtFname != q.Fname || l.PrtSname != q.Sname || q.PrtFname != l.Fname ||
            q.PrtSname != l.Sname)
            continue;
        // The next import must choose L as the family's line parent and keep a row for Q.
        const bool qHasChildren = !m_children[size_t(qi)].empty();
        if (!((isChild(li) && isChild(int(qi))) || (!isChild(int(qi)) && qHasChildren)))
            continue;
        m_sharedPartner[size_t(li)] = int(qi);
        m_sharedWith[size_t(qi)] = li;
        m_pairNotes[size_t(li)] = lBase;
        m_pairNotes[size_t(qi)] = qLines.base;
    }
}

} // namespace Gedcom
