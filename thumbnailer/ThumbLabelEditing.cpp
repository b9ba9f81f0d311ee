#include "ThumbLabelEditing.h"

#include "MessageService.h"
#include "NativeNames.h"
#include "ThumbFileOps.h"
#include "ThumbnailerPrivate.h"
#include "cLabelEdit.h"

namespace Pixtile {

ThumbLabelEditing::ThumbLabelEditing(ThumbnailerPrivate &d)
    : d(d), m_txtLabel(new cLabelEdit(d.view.surface()))
{
    QObject::connect(m_txtLabel, &cLabelEdit::editEnded, &d.receiver, [this] { end(); });
}

void ThumbLabelEditing::start()
{
    if (!d.settings.hasLabel || m_startingEdit)
        return;
    Thumb *thumb = d.model.selection().SelectedItem();
    if (!thumb || !d.model.thumbnails().Item(thumb->Name()))
        return;
    if (m_editing)
        end();
    m_startingEdit = true;
    QPointer<Thumbnailer> self(d.q);
    const QString name = thumb->Name();
    m_editName = name;
    emit d.q->BeforeLabelEdit(thumb);
    if (!self)
        return;
    m_startingEdit = false;
    const Thumbnail *shown = d.model.thumbnails().Item(name);
    if (!shown || !d.model.thumbs().Item(name)) {
        m_editName.clear();
        return;
    }
    m_txtLabel->place(shown->ThumbLeft(), shown->LabelTop(), d.settings.thumbWidth,
                      shown->LabelBottom() - shown->LabelTop());
    m_editing = true;
    m_txtLabel->begin(NativeNames::Display(name));
}

void ThumbLabelEditing::end()
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
        d.view.surface()->setFocus(Qt::OtherFocusReason);

    QPointer<Thumbnailer> self(d.q);
    Thumb *thumb = d.model.thumbs().Item(oldName);
    if (!thumb)
        return;
    bool cancel = false;
    // A name that is not valid UTF-8 is edited as shown: left so, it stays as it is.
    if (text.isEmpty() || text == thumb->Name() || text == NativeNames::Display(thumb->Name())) {
        emit d.q->AfterLabelEdit(thumb, QString(), &cancel);
        return;
    }
    emit d.q->AfterLabelEdit(thumb, text, &cancel);
    if (!self || cancel)
        return;
    thumb = d.model.thumbs().Item(oldName);
    if (!thumb)
        return;
    // Item names ignore case: a name another item has is refused before any file changes.
    const Thumb *other = d.model.thumbs().Item(text);
    if (other && other != thumb) {
        if (d.settings.listMode())
            ShowMessage(QStringLiteral("Filenames must be unique even if they reside in "
                                       "different directories."),
                        QStringLiteral("Duplicate entries detected"), MsgIcon::Critical,
                        MsgButtons::OkOnly, d.q);
        return;
    }
    if (d.settings.fsoEnable && !ThumbFileOps::RenameFile(d.q, thumb->Path(), thumb->Name(), text))
        return;
    if (self)
        d.renameItem(oldName, text);
}

void ThumbLabelEditing::itemLeaving(const QString &name)
{
    if (!m_editing || m_editName.compare(name, Qt::CaseInsensitive) != 0)
        return;
    m_editing = false;
    m_editName.clear();
    m_txtLabel->hide();
    m_txtLabel->clear();
}

} // namespace Pixtile
