#include "cLevels.h"

cLevelPtr cLevels::Add(cLevelPtr level, const QString &key)
{
    if (!level)
        return nullptr;
    if (!m_levels.Append(key, level))
        return nullptr;
    return level;
}

cLevelPtr cLevels::AddNew(const QString &key)
{
    return Add(std::make_shared<cLevel>(), key);
}
