#include "Thumbnails.h"

bool Thumbnails::Add(const Thumbnail &mThumbnail, const QString &sKey)
{
    if (m_list.contains(sKey))
        return false;
    return m_list.append(sKey, std::make_unique<Thumbnail>(mThumbnail));
}

bool Thumbnails::Rekey(const QString &oldKey, const QString &newKey)
{
    Thumbnail *item = m_list.find(oldKey);
    if (!item || !m_list.rekey(oldKey, newKey))
        return false;
    item->setName(newKey);
    return true;
}
