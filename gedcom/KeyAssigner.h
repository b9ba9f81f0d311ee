#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

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

    QString assign(const QString &wanted);

private:
    bool isFree(const QString &key) const;

    IsTaken m_isTaken;
    QSet<QString> m_used;             // case-folded
    QHash<QString, int> m_nextSuffix; // per wanted key (case-folded): many rows may want one
};

} // namespace Gedcom
