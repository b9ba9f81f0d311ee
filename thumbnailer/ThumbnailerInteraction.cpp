// Selection, mouse and keys, label editing, file operations, persistence and the about box of
// the Thumbnailer. These bodies are the minimal stand-ins until the interaction classes are
// wired in; they keep the control usable (no input handling yet).
#include "Thumbnailer.h"

#include "PropertyBag.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

void Thumbnailer::setSelectedItem(Thumb *item)
{
    if (!m_userMode)
        return;
    if (!item) {
        PaintVisible();
        return;
    }
    if (SelectedItem() == item && item->Selected())
        return;
    m_selectedName = item->Name();
    if (!item->Selected()) {
        item->setSelected(true);
        m_selThumbs.append(item->Name());
    }
    EnsureVisible(item->Name());
    emit SelChanged(item);
    markChanged("SelectedItem");
}

bool Thumbnailer::RenameItem(const QString &, const QString &)
{
    return false;
}

bool Thumbnailer::DeleteItems(const QString &)
{
    return false;
}

void Thumbnailer::EnsureVisible(const QVariant &)
{
    PaintVisible();
}

Thumb *Thumbnailer::HitTest(float X, float Y, int &THH)
{
    THH = 0;
    for (int i = 1; i <= m_thumbnails->Count(); ++i) {
        const Thumbnail *t = m_thumbnails->Item(i);
        const int bottom = m_hasLabel ? t->LabelBottom() : t->ThumbBottom();
        if (X >= t->ThumbLeft() && X <= t->ThumbRight() && Y >= t->ThumbTop() && Y <= bottom) {
            if (Y < t->ThumbBottom())
                THH = THT_ONICON;
            else if (Y > t->LabelTop())
                THH = THT_ONLABEL;
            else
                THH = THT_ONSPACE;
            return m_thumbs->Item(t->Name());
        }
    }
    return nullptr;
}

bool Thumbnailer::ExportThumb(const QString &, const QString &, int)
{
    return false;
}

void Thumbnailer::StartLabelEdit() {}

void Thumbnailer::ShowAboutBox() {}

void Thumbnailer::setTooltips(bool value)
{
    m_tooltips = value;
    markChanged("Tooltips");
}

void Thumbnailer::WriteProperties(PropertyBag &) const {}

void Thumbnailer::ReadProperties(const PropertyBag &) {}

void Thumbnailer::picBase_MouseDown(QMouseEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_MouseMove(QMouseEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_MouseUp(QMouseEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_DblClick(QMouseEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_KeyDown(QKeyEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_DragEnter(QDragEnterEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_DragMove(QDragMoveEvent *event)
{
    event->ignore();
}

void Thumbnailer::picBase_DragLeave(QDragLeaveEvent *) {}

void Thumbnailer::picBase_Drop(QDropEvent *event)
{
    event->ignore();
}

void Thumbnailer::EndLabelEdit()
{
    m_txtLabel->hide();
}

void Thumbnailer::resetInteraction() {}
