#include "cLevels.h"

#include "MessageService.h"

cLevelPtr cLevels::Add(cLevelPtr level, const QString &key)
{
    if (!level)
        return nullptr;
    if (!m_levels.Append(key, level)) {
        ReportError(kErrDuplicateKey, QString::fromLatin1(kDuplicateKeyDescription));
        return nullptr;
    }
    return level;
}

cLevelPtr cLevels::AddNew(const QString &key)
{
    return Add(std::make_shared<cLevel>(), key);
}
