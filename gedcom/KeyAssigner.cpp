#include "KeyAssigner.h"

#include "PersonRecord.h"

namespace Gedcom {

bool KeyAssigner::isFree(const QString &key, quint32 hash) const
{
    if (IsRootKeyUpperCased(key))
        return false;
    if (m_used.indexOf(key, hash) != FoldedKeySet::kNone)
        return false;
    return !m_isTaken || !m_isTaken(key);
}

QString KeyAssigner::assign(const QString &wanted, quint32 hash)
{
    QString key = wanted;
    if (!isFree(key, hash)) {
        const int clash = m_clashed.insert(wanted);
        if (size_t(clash) == m_nextSuffix.size())
            m_nextSuffix.push_back(2);
        int &suffix = m_nextSuffix[size_t(clash)];
        do {
            key = wanted + QLatin1Char('-') + QString::number(suffix++);
            hash = FoldedKeySet::hash(key);
        } while (!isFree(key, hash));
    }
    m_used.add(key, hash);
    return key;
}

} // namespace Gedcom
