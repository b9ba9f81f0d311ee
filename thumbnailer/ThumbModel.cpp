#include "ThumbModel.h"

#include "ThumbCellAccess.h"

namespace Pixtile {

int ThumbModel::indexOf(const QString &name) const
{
    for (int i = 0; i < m_records.size(); ++i)
        if (m_records[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

Thumb *ThumbModel::itemAt(int index) const
{
    if (index < 1 || index > m_records.size())
        return nullptr;
    return m_thumbs.Item(m_records[index - 1].Name);
}

Thumb *ThumbModel::shownItem(int place) const
{
    const Thumbnail *shown = m_thumbnails.Item(place);
    return shown ? m_thumbs.Item(shown->Name()) : nullptr;
}

Thumb ThumbModel::makeThumb(const FileRecord &record, const ThumbCell &cell)
{
    Thumb thumb;
    thumb.setPath(record.Path);
    thumb.setName(record.Name);
    thumb.setFileType(record.FileType);
    thumb.setSize(record.Size);
    thumb.setDateMdf(record.DateMdf);
    thumb.setWidth(record.Width);
    thumb.setHeight(record.Height);
    thumb.setExtension(record.Extension);
    ThumbCellAccess::cell(thumb) = cell;
    return thumb;
}

bool ThumbModel::addThumb(const Thumb &thumb)
{
    return m_thumbs.Add(thumb, thumb.Name());
}

bool ThumbModel::rename(const QString &oldName, const QString &newName)
{
    for (FileRecord &record : m_records) {
        if (record.Name.compare(oldName, Qt::CaseInsensitive) == 0) {
            record.Name = newName;
            break;
        }
    }
    m_thumbs.Rekey(oldName, newName);
    m_selection.renamed(oldName, newName);
    Thumbnail *shown = m_thumbnails.Item(oldName);
    if (!shown)
        return false;
    m_thumbnails.Rekey(oldName, newName);
    shown->setName(newName);
    return true;
}

int ThumbModel::remove(const QString &name)
{
    const int index = indexOf(name) - 1;
    if (index >= 0)
        m_records.removeAt(index);
    m_selection.removed(name);
    m_thumbnails.Remove(name);
    m_thumbs.Remove(name);
    return index;
}

void ThumbModel::clear()
{
    m_thumbs.Clear();
    m_thumbnails.Clear();
    m_records.clear();
    m_selection.reset();
}

} // namespace Pixtile
