// What the Thumbnailer changes on the user's behalf: in-place renaming through the label,
// RenameItem, deleting the selection and DeleteItems, and exporting a thumbnail.
#include "Thumbnailer.h"

#include "MessageService.h"
#include "ThumbFileOps.h"
#include "ThumbSelection.h"
#include "ThumbSurface.h"
#include "WaitCursor.h"
#include "cLabelEdit.h"
#include "mThumbnailer.h"

namespace {
const QString kListPath = QStringLiteral("<List>");
}

// ---- label editing -------------------------------------------------------------------------

void Thumbnailer::StartLabelEdit()
{
    if (!m_hasLabel || m_startingEdit)
        return;
    Thumb *thumb = m_selection->SelectedItem();
    if (!thumb || !m_thumbnails->Item(thumb->Name()))
        return;
    if (m_editing)
        EndLabelEdit();
    m_startingEdit = true;
    QPointer<Thumbnailer> self(this);
    const QString name = thumb->Name();
    m_editName = name;
    emit BeforeLabelEdit(thumb);
    if (!self)
        return;
    m_startingEdit = false;
    const Thumbnail *shown = m_thumbnails->Item(name);
    if (!shown || !m_thumbs->Item(name)) {
        m_editName.clear();
        return;
    }
    m_txtLabel->place(shown->ThumbLeft(), shown->LabelTop(), m_thumbWidth,
                      shown->LabelBottom() - shown->LabelTop());
    m_editing = true;
    m_txtLabel->begin(name);
}

void Thumbnailer::EndLabelEdit()
{
    const bool hadFocus = m_txtLabel->hasFocus();
    m_txtLabel->hide();
    if (!m_editing)
        return;
    // Cleared first: a handler or a message below must not end the same edit again.
    m_editing = false;
    const QString oldName = m_editName;
    const QString text = m_txtLabel->text();
    m_editName.clear();
    m_txtLabel->clear();
    if (hadFocus)
        m_picBase->setFocus(Qt::OtherFocusReason);

    QPointer<Thumbnailer> self(this);
    Thumb *thumb = m_thumbs->Item(oldName);
    if (!thumb)
        return;
    bool cancel = false;
    if (text.isEmpty() || text == thumb->Name()) {
        emit AfterLabelEdit(thumb, QString(), &cancel);
        return;
    }
    emit AfterLabelEdit(thumb, text, &cancel);
    if (!self || cancel)
        return;
    thumb = m_thumbs->Item(oldName);
    if (!thumb)
        return;
    // Item names ignore case: a name another item has is refused before any file changes.
    const Thumb *other = m_thumbs->Item(text);
    if (other && other != thumb) {
        if (m_path == kListPath)
            ShowMessage(QStringLiteral("Filenames must be unique even if they reside in "
                                       "different directories."),
                        QStringLiteral("Duplicate entries detected"), MsgIcon::Critical,
                        MsgButtons::OkOnly, this);
        return;
    }
    if (m_fsoEnable && !ThumbFileOps::RenameFile(this, thumb->Path(), thumb->Name(), text))
        return;
    if (self)
        RenameItem(oldName, text);
}

bool Thumbnailer::RenameItem(const QString &sName, const QString &sNewName)
{
    if (sNewName.isEmpty() || !ThumbFileOps::IsPlainFileName(sNewName))
        return false;
    Thumb *thumb = m_thumbs->Item(sName);
    if (!thumb || thumb->Name() == sNewName)
        return false;
    // Another item of that name (without regard to case) refuses; the item itself may change
    // the case of its name.
    const Thumb *other = m_thumbs->Item(sNewName);
    if (other && other != thumb)
        return false;
    // Nor may it take the name of a listed file that is still to be rendered.
    const int listed = recordIndexOf(sNewName);
    if (listed > 0 && m_cursor.pending(listed - 1))
        return false;
    const QString oldName = thumb->Name();
    for (FileRecord &record : m_records) {
        if (record.Name.compare(oldName, Qt::CaseInsensitive) == 0) {
            record.Name = sNewName;
            break;
        }
    }
    m_thumbs->Rekey(oldName, sNewName);
    thumb->setName(sNewName);
    m_selection->renamed(oldName, sNewName);
    if (m_pressedName.compare(oldName, Qt::CaseInsensitive) == 0)
        m_pressedName = sNewName;
    if (m_lastClicked.compare(oldName, Qt::CaseInsensitive) == 0)
        m_lastClicked = sNewName;
    if (Thumbnail *shown = m_thumbnails->Item(oldName)) {
        m_thumbnails->Rekey(oldName, sNewName);
        shown->setName(sNewName);
        PaintLabel(sNewName);
        Refresh();
    }
    emit ItemRename(thumb, oldName);
    return true;
}

// ---- deleting ------------------------------------------------------------------------------

void Thumbnailer::deleteSelection()
{
    if (!m_canDelete || m_selection->SelThumbs().isEmpty())
        return;
    // Each item's own folder (in list mode the items lie in several).
    QStringList paths;
    for (const QString &name : m_selection->SelThumbs())
        if (const Thumb *thumb = m_thumbs->Item(name))
            paths.append(thumb->Path() + thumb->Name());
    if (paths.isEmpty())
        return;
    if (m_fsoEnable && !ThumbFileOps::DeleteToRecycleBin(this, paths))
        return;
    WaitCursor busy;
    DeleteItems(ThumbFileOps::JoinNulList(paths));
}

bool Thumbnailer::DeleteItems(const QString &sPathNames)
{
    if (m_deletingItems)
        return false;
    const QString ending(2, QChar(0));
    if (sPathNames.size() <= 2 || !sPathNames.endsWith(ending))
        return false;
    m_deletingItems = true;
    QPointer<Thumbnailer> self(this);
    const QStringList paths = mThumbnailer::SplitNulList(sPathNames.chopped(2));
    for (const QString &path : paths) {
        const QString folder = mThumbnailer::ParentFolder(path);
        const QString name = mThumbnailer::FileNameOf(path);
        const Thumb *thumb = m_thumbs->Item(name);
        if (!thumb) {
            // A listed file still waiting to be rendered goes before it is rendered.
            const int record = recordIndexOf(name);
            if (record > 0 && m_cursor.pending(record - 1)) {
                m_records.removeAt(record - 1);
                m_cursor.removed(record - 1);
                --m_items;
                emit ItemDelete(folder, name);
                if (!self)
                    return false;
            }
            continue;
        }
        const QString itemName = thumb->Name();
        const int record = recordIndexOf(itemName);
        if (record > 0) {
            m_records.removeAt(record - 1);
            m_cursor.removed(record - 1);
        }
        if (m_editing && m_editName.compare(itemName, Qt::CaseInsensitive) == 0) {
            m_editing = false;
            m_editName.clear();
            m_txtLabel->hide();
            m_txtLabel->clear();
        }
        m_selection->removed(itemName);
        if (m_pressedName.compare(itemName, Qt::CaseInsensitive) == 0) {
            m_pressedName.clear();
            m_pressedOnItem = false;
        }
        m_thumbnails->Remove(itemName);
        m_thumbs->Remove(itemName);
        --m_items;
        emit ItemDelete(folder, name);
        if (!self)
            return false;
    }
    m_hoverIndex = 0;
    DrawItems();
    m_deletingItems = false;
    emit ItemsDeleted(int(paths.size()));
    return true;
}

// ---- export --------------------------------------------------------------------------------

bool Thumbnailer::ExportThumb(const QString &Name, const QString &SavePath, int Style)
{
    const Thumb *thumb = m_thumbs->Item(Name);
    if (!thumb || SavePath.isEmpty())
        return false;
    const QImage image = cellImage(*thumb, Style != theClear);
    if (image.isNull())
        return false;
    return image.save(SavePath, "BMP");
}
