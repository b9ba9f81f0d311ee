#pragma once

#include <QHashFunctions> // std::hash<QString>
#include <QString>

#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace Gedcom {

// Gives each row of an import a key no other row of the import has (ignoring case), that is not
// "ROOT" (any case) and that the caller does not report as taken (a key of another tree, or an
// existing photo folder: photo folders are shared by key across trees, so two imports must not
// mix their people's photos). A key that cannot be used as it is gets "-2", "-3", ...
class KeyAssigner
{
public:
    using IsTaken = std::function<bool(const QString &key)>;

    explicit KeyAssigner(IsTaken isTaken) : m_isTaken(std::move(isTaken)) {}

    void reserve(qsizetype keys) { m_used.reserve(size_t(keys)); }

    QString assign(const QString &wanted);

private:
    bool isFree(const QString &key) const;

    // Keys compared and hashed without regard to case, without making folded copies.
    struct FoldedHash
    {
        size_t operator()(const QString &key) const noexcept;
    };
    struct FoldedEqual
    {
        bool operator()(const QString &a, const QString &b) const noexcept
        {
            return a.compare(b, Qt::CaseInsensitive) == 0;
        }
    };

    IsTaken m_isTaken;
    // Standard containers: the QHash of Qt 6.4 is several times slower with many string keys.
    std::unordered_set<QString, FoldedHash, FoldedEqual> m_used;
    std::unordered_map<QString, int, FoldedHash, FoldedEqual> m_nextSuffix; // per wanted key
};

} // namespace Gedcom
