#include "Thumbs.h"

bool Thumbs::Add(const Thumb &mThumb, const QString &sKey)
{
    if (m_list.contains(sKey))
        return false;
    auto copy = std::make_unique<Thumb>(mThumb);
    copy->m_selected = false;
    return m_list.append(sKey, std::move(copy));
}

bool Thumbs::Rekey(const QString &oldKey, const QString &newKey)
{
    Thumb *thumb = m_list.find(oldKey);
    if (!thumb || !m_list.rekey(oldKey, newKey))
        return false;
    thumb->setName(newKey);
    return true;
}
