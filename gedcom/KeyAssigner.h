#pragma once

#include "FoldedKeySet.h"

#include <QString>

#include <functional>
#include <vector>

namespace Gedcom {

// Gives each row of an import a key no other row of the import has (ignoring case), that is not
// the root key in any case (IsRootKeyUpperCased) and that the caller does not report as taken (a
// key of another tree, or an existing photo folder: photo folders are shared by key across
// trees, so two imports must not mix their people's photos). A key that cannot be used as it is gets "-2", "-3", ...
class KeyAssigner
{
public:
    using IsTaken = std::function<bool(const QString &key)>;

    explicit KeyAssigner(IsTaken isTaken) : m_isTaken(std::move(isTaken)) {}

    void reserve(qsizetype keys) { m_used.reserve(keys); }

    // The key for a row that wants `wanted`; `hash` is FoldedKeySet::hash(wanted).
    QString assign(const QString &wanted, quint32 hash);
    QString assign(const QString &wanted) { return assign(wanted, FoldedKeySet::hash(wanted)); }
    // Fetches ahead what assigning a key of this hash will look at.
    void prefetch(quint32 hash) const { m_used.prefetch(hash); }

private:
    bool isFree(const QString &key, quint32 hash) const;

    IsTaken m_isTaken;
    FoldedKeySet m_used;
    FoldedKeySet m_clashed;        // wanted keys that were not free
    std::vector<int> m_nextSuffix; // per clashed key
};

} // namespace Gedcom
