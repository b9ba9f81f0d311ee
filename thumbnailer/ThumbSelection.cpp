#include "ThumbSelection.h"

#include "Thumbs.h"

namespace Pixtile {

Thumb *ThumbSelection::SelectedItem() const
{
    return m_current.isEmpty() ? nullptr : m_thumbs.Item(m_current);
}

bool ThumbSelection::isCurrent(const QString &name) const
{
    return !m_current.isEmpty() && m_current.compare(name, Qt::CaseInsensitive) == 0 &&
           m_thumbs.Item(m_current) != nullptr;
}

bool ThumbSelection::isSelected(const QString &name) const
{
    const Thumb *thumb = m_thumbs.Item(name);
    return thumb && thumb->Selected();
}

int ThumbSelection::indexIn(const QString &name) const
{
    for (int i = 0; i < m_selThumbs.size(); ++i)
        if (m_selThumbs.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ThumbSelection::setCurrentOnly(const QString &name)
{
    if (const Thumb *thumb = m_thumbs.Item(name))
        m_current = thumb->Name();
}

void ThumbSelection::select(const QString &name)
{
    Thumb *thumb = m_thumbs.Item(name);
    if (!thumb)
        return;
    thumb->setSelected(true);
    if (indexIn(thumb->Name()) < 0)
        m_selThumbs.append(thumb->Name());
}

void ThumbSelection::deselect(const QString &name)
{
    if (Thumb *thumb = m_thumbs.Item(name))
        thumb->setSelected(false);
    const int index = indexIn(name);
    if (index >= 0)
        m_selThumbs.removeAt(index);
}

void ThumbSelection::toggle(const QString &name)
{
    if (isSelected(name))
        deselect(name);
    else
        select(name);
}

bool ThumbSelection::clearSelection()
{
    const bool had = !m_selThumbs.isEmpty();
    for (const QString &name : std::as_const(m_selThumbs))
        if (Thumb *thumb = m_thumbs.Item(name))
            thumb->setSelected(false);
    m_selThumbs.clear();
    return had;
}

bool ThumbSelection::setSelectedItem(const QString &name)
{
    const Thumb *thumb = m_thumbs.Item(name);
    if (!thumb)
        return false;
    if (isCurrent(name) && thumb->Selected())
        return false;
    m_current = thumb->Name();
    select(name);
    return true;
}

bool ThumbSelection::pressOnItem(const QString &name, bool ctrlOnly, bool dragDrop)
{
    const Thumb *thumb = m_thumbs.Item(name);
    if (!thumb || ctrlOnly)
        return false;
    if (thumb->Selected() && dragDrop) {
        if (isCurrent(name))
            return false;
        m_current = thumb->Name();
        return true;
    }
    const bool changed = !isCurrent(name);
    clearSelection();
    select(name);
    m_current = thumb->Name();
    return changed;
}

bool ThumbSelection::ctrlClick(const QString &name)
{
    const Thumb *thumb = m_thumbs.Item(name);
    if (!thumb)
        return false;
    toggle(name);
    if (isCurrent(name))
        return false;
    m_current = thumb->Name();
    return true;
}

void ThumbSelection::clickOnSpace(bool ctrl)
{
    if (!ctrl)
        clearSelection();
}

bool ThumbSelection::dragStart(const QString &name)
{
    const Thumb *thumb = m_thumbs.Item(name);
    if (!thumb)
        return false;
    m_current = thumb->Name();
    if (thumb->Selected())
        return false;
    select(name);
    return true;
}

bool ThumbSelection::bandStarted(bool ctrl)
{
    if (ctrl || m_selThumbs.isEmpty())
        return false;
    return clearSelection();
}

void ThumbSelection::bandSelect(const QStringList &names, bool ctrl)
{
    for (const QString &name : names) {
        if (ctrl)
            toggle(name);
        else
            select(name);
    }
}

bool ThumbSelection::moveTo(const QString &name)
{
    if (!m_thumbs.Item(name))
        return false;
    clearSelection();
    return setSelectedItem(name);
}

void ThumbSelection::selectAll(const QStringList &namesInOrder)
{
    m_selThumbs.clear();
    for (const QString &name : namesInOrder) {
        if (Thumb *thumb = m_thumbs.Item(name)) {
            thumb->setSelected(true);
            m_selThumbs.append(thumb->Name());
        }
    }
}

void ThumbSelection::renamed(const QString &oldName, const QString &newName)
{
    const int index = indexIn(oldName);
    if (index >= 0)
        m_selThumbs[index] = newName;
    if (!m_current.isEmpty() && m_current.compare(oldName, Qt::CaseInsensitive) == 0)
        m_current = newName;
}

void ThumbSelection::removed(const QString &name)
{
    const int index = indexIn(name);
    if (index >= 0)
        m_selThumbs.removeAt(index);
    if (!m_current.isEmpty() && m_current.compare(name, Qt::CaseInsensitive) == 0)
        m_current.clear();
}

void ThumbSelection::reset()
{
    m_selThumbs.clear();
    m_current.clear();
}

} // namespace Pixtile
