#include "KeyAssigner.h"

namespace Gedcom {

bool KeyAssigner::isFree(const QString &key) const
{
    if (key.compare(QLatin1String("ROOT"), Qt::CaseInsensitive) == 0)
        return false;
    if (m_used.contains(key.toCaseFolded()))
        return false;
    return !m_isTaken || !m_isTaken(key);
}

QString KeyAssigner::assign(const QString &wanted)
{
    QString key = wanted;
    if (!isFree(key)) {
        int &suffix = m_nextSuffix[wanted.toCaseFolded()];
        if (suffix < 2)
            suffix = 2;
        do {
            key = wanted + QLatin1Char('-') + QString::number(suffix++);
        } while (!isFree(key));
    }
    m_used.insert(key.toCaseFolded());
    return key;
}

} // namespace Gedcom
