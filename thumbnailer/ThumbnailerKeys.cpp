// Keyboard input of the Thumbnailer: moving the current item, Escape, Delete, F2, F5 and
// Ctrl+A.
#include "Thumbnailer.h"

#include "ThumbKeys.h"
#include "ThumbSelection.h"
#include "ThumbSurface.h"

#include <QKeyEvent>
#include <QTimer>

int Thumbnailer::currentIndex() const
{
    const Thumb *current = m_selection->SelectedItem();
    return current ? recordIndexOf(current->Name()) : 0;
}

void Thumbnailer::moveToIndex(int index)
{
    if (m_movingTo || index < 1 || index > m_records.size())
        return;
    m_movingTo = true;
    QPointer<Thumbnailer> self(this);
    m_selection->clearSelection();
    setSelectedItem(m_thumbs->Item(m_records[index - 1].Name));
    if (self)
        m_movingTo = false;
}

void Thumbnailer::selectAll()
{
    // The items on screen first, so that they show the selection at once.
    for (int i = 1; i <= m_thumbnails->Count(); ++i)
        if (Thumb *thumb = m_thumbs->Item(m_thumbnails->Item(i)->Name()))
            thumb->setSelected(true);
    PaintVisible();
    QStringList names;
    for (int i = 1; i <= m_thumbs->Count(); ++i)
        names.append(m_thumbs->Item(i)->Name());
    m_selection->selectAll(names);
}

void Thumbnailer::picBase_KeyDown(QKeyEvent *event)
{
    const ThumbKeyCommand command = ClassifyThumbKey(event->key(), event->modifiers());
    switch (command) {
    case ThumbKeyCommand::Navigate: {
        const ThumbKeyGrid grid{m_items, Columns(), VisibleRows(), Overhang()};
        const int current = currentIndex();
        const int target = ThumbKeyTarget(event->key(), current, grid);
        if (target > 0)
            moveToIndex(target);
        break;
    }
    case ThumbKeyCommand::StopDraw:
        StopDraw();
        if (m_bandMode) {
            m_tmrAutoScroll->stop();
            eraseBandFrame();
            m_bandAnchor = m_bandCorner;
            m_bandMode = m_bandStarted = false;
            m_picBase->update();
        }
        break;
    case ThumbKeyCommand::DeleteSelected:
        if (m_canDelete)
            deleteSelection();
        break;
    case ThumbKeyCommand::StartLabelEdit:
        if (m_labelEdit == thlAutomatic)
            StartLabelEdit();
        break;
    case ThumbKeyCommand::Redraw:
        Redraw();
        break;
    case ThumbKeyCommand::SelectAll:
        selectAll();
        break;
    case ThumbKeyCommand::None:
        event->ignore();
        return;
    }
    event->accept();
}
