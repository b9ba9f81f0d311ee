// Mouse input of the Thumbnailer: pressing, clicking and double-clicking items, the selection
// band with its automatic scrolling, hovering and tooltips, and the host's HitTest,
// EnsureVisible and SelectedItem.
#include "Thumbnailer.h"

#include "ThumbBand.h"
#include "ThumbSelection.h"
#include "ThumbSurface.h"
#include "cLabelEdit.h"
#include "cToolTip.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace {

// The button that changed, as the events report it: 1 left, 2 right, 4 middle.
int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

} // namespace

int Thumbnailer::ShiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

// ---- selection as the host sees it ---------------------------------------------------------

Thumb *Thumbnailer::SelectedItem() const
{
    return m_selection->SelectedItem();
}

QStringList Thumbnailer::SelThumbs() const
{
    return m_selection->SelThumbs();
}

void Thumbnailer::setSelThumbs(const QStringList &names)
{
    m_selection->clearSelection();
    for (const QString &name : names)
        m_selection->select(name);
}

QString Thumbnailer::selectedItemName() const
{
    const Thumb *current = m_selection->SelectedItem();
    return current ? current->Name() : QString();
}

void Thumbnailer::setSelectedItemName(const QString &name)
{
    if (name.isEmpty())
        m_selection->clearCurrent();
    else
        m_selection->setCurrentOnly(name);
}

void Thumbnailer::setSelectedItem(Thumb *item)
{
    if (!m_userMode)
        return;
    // The host may hand over a copy; the control's own item of that name is meant.
    Thumb *own = item ? m_thumbs->Item(item->Name()) : nullptr;
    if (!own) {
        PaintVisible();
        return;
    }
    const QString name = own->Name();
    if (!m_selection->setSelectedItem(name))
        return;
    QPointer<Thumbnailer> self(this);
    EnsureVisible(name);
    if (!self)
        return;
    if (Thumb *current = m_thumbs->Item(name))
        emit SelChanged(current);
    if (self)
        markChanged("SelectedItem");
}

int Thumbnailer::recordIndexOf(const QString &name) const
{
    for (int i = 0; i < m_records.size(); ++i)
        if (m_records[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
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

int Thumbnailer::hoverIndexAt(QPoint point) const
{
    for (int i = 1; i <= m_thumbnails->Count(); ++i) {
        const Thumbnail *t = m_thumbnails->Item(i);
        const int bottom = m_hasLabel ? t->LabelBottom() : t->ThumbBottom();
        if (point.x() >= t->ThumbLeft() && point.x() <= t->ThumbRight() &&
            point.y() >= t->ThumbTop() && point.y() <= bottom)
            return i;
    }
    return 0;
}

void Thumbnailer::setVerticalValue(int value)
{
    value = std::clamp(value, 0, m_vScroll->maximum());
    if (value == m_vScroll->value())
        PaintVisible();
    else
        m_vScroll->setValue(value); // repaints through the bar's change handling
}

void Thumbnailer::EnsureVisible(const QVariant &vKey)
{
    int index = 0;
    switch (vKey.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        index = vKey.toInt();
        break;
    default:
        index = recordIndexOf(vKey.toString());
        if (index == 0)
            return;
    }
    if (index < 1 || index > m_items || index > m_records.size())
        return;
    const int columns = Columns();
    if (columns <= 0 || m_vScroll->isHidden()) {
        PaintVisible();
        return;
    }
    const int row = (index - 1) / columns;
    const int rowPitch = std::max(1, m_geometry.rowPitch);
    const int visibleHeight = visibleArea().height();
    const int fullRows = std::max(1, FloorDiv(visibleHeight - m_thumbSpace, rowPitch));
    if (index < VisibleFirst()) {
        setVerticalValue(row);
        return;
    }
    if (index > VisibleLast()) {
        setVerticalValue(row - fullRows + 1);
        return;
    }
    const Thumbnail *shown = m_thumbnails->Item(m_records[index - 1].Name);
    if (shown) {
        const int bottom = m_hasLabel ? shown->LabelBottom() : shown->ThumbBottom();
        if (shown->ThumbTop() < 0) {
            setVerticalValue(row);
            return;
        }
        if (bottom > visibleHeight) {
            setVerticalValue(row - fullRows + 1);
            return;
        }
    }
    PaintVisible();
}

// ---- the band ------------------------------------------------------------------------------

QRect Thumbnailer::visibleArea() const
{
    const int left = m_hScroll->isHidden() ? 0 : m_hScroll->value();
    const int width = m_layout.columns > 0 ? m_layout.visibleAreaWidth : m_viewport->width();
    const int height =
        m_viewport->height() - (m_hScroll->isHidden() ? 0 : m_geometry.scrollBarSize);
    return QRect(left, 0, std::max(0, width), std::max(0, height));
}

ThumbBandGrid Thumbnailer::bandGrid() const
{
    ThumbBandGrid grid;
    grid.items = std::min<int>(m_items, m_records.size());
    grid.columns = Columns();
    grid.thumbWidth = m_thumbWidth;
    grid.thumbHeight = m_thumbHeight;
    grid.thumbSpace = m_thumbSpace;
    grid.columnPitch = m_geometry.columnPitch;
    grid.rowPitch = m_geometry.rowPitch;
    grid.labelHeight = m_hasLabel ? m_geometry.labelHeight : 0;
    grid.firstRow = m_visible.firstRow;
    grid.yShift = m_visible.paintShift;
    return grid;
}

void Thumbnailer::drawBandFrame()
{
    if (m_bandShown)
        return;
    m_bandFrame = ThumbBand::normalised(m_bandAnchor, m_bandCorner);
    m_bandClip = visibleArea().adjusted(-1, -1, 1, 1);
    ThumbBand::DrawFrame(m_picBase->canvas(), m_bandFrame, m_bandClip);
    m_bandShown = true;
    m_picBase->update();
}

void Thumbnailer::eraseBandFrame()
{
    if (!m_bandShown)
        return;
    ThumbBand::DrawFrame(m_picBase->canvas(), m_bandFrame, m_bandClip);
    m_bandShown = false;
    m_picBase->update();
}

int Thumbnailer::scrollableDirections() const
{
    int dirs = ScrollNone;
    if (!m_hScroll->isHidden()) {
        if (m_hScroll->value() > 0)
            dirs |= ScrollLeft;
        if (m_hScroll->value() < m_hScroll->maximum())
            dirs |= ScrollRight;
    }
    if (!m_vScroll->isHidden()) {
        if (m_vScroll->value() > 0)
            dirs |= ScrollUp;
        if (m_vScroll->value() < m_vScroll->maximum())
            dirs |= ScrollDown;
    }
    return dirs;
}

void Thumbnailer::updateAutoScroll()
{
    const QRect area = visibleArea();
    m_scrollDirs = ThumbBand::touchedEdges(m_bandCorner, area) & scrollableDirections();
    if (m_scrollDirs == ScrollNone) {
        m_tmrAutoScroll->stop();
        return;
    }
    if (const std::optional<int> interval =
            ThumbBand::scrollInterval(m_bandCorner.y(), area.top(), area.top() + area.height());
        interval && *interval != m_tmrAutoScroll->interval())
        m_tmrAutoScroll->setInterval(*interval);
    if (!m_tmrAutoScroll->isActive())
        m_tmrAutoScroll->start();
}

void Thumbnailer::tmrAutoScroll_Timer()
{
    if (!m_bandMode) {
        m_tmrAutoScroll->stop();
        return;
    }
    const int dirs = ThumbBand::touchedEdges(m_bandCorner, visibleArea()) & scrollableDirections();
    if (dirs == ScrollNone) {
        m_tmrAutoScroll->stop();
        return;
    }
    eraseBandFrame();
    if (dirs & (ScrollLeft | ScrollRight)) {
        const int step = m_hScroll->singleStep();
        const int old = m_hScroll->value();
        m_hScroll->setValue(old + ((dirs & ScrollLeft) ? -step : step));
        // The corner stays over the same place of the view while the surface moves.
        const int moved = m_hScroll->value() - old;
        m_bandCorner.rx() += moved;
    }
    if (dirs & (ScrollUp | ScrollDown)) {
        const int oldFirst = m_visible.firstRow;
        const int oldShift = m_visible.paintShift;
        {
            const QSignalBlocker block(m_vScroll);
            m_vScroll->setValue(m_vScroll->value() + ((dirs & ScrollUp) ? -1 : 1));
        }
        PaintVisible();
        // Keep the band on the same items: its anchor moves by what the rows moved.
        const int shift = (m_visible.firstRow - oldFirst) * m_geometry.rowPitch +
                          (m_visible.paintShift - oldShift);
        m_bandAnchor.ry() -= shift;
    }
    drawBandFrame();
    updateAutoScroll();
}

// ---- mouse ---------------------------------------------------------------------------------

void Thumbnailer::picBase_MouseDown(QMouseEvent *event)
{
    const int button = buttonCode(event->button());
    if (button != 1 && button != 2)
        return;
    const QPoint point = event->position().toPoint();
    const int shift = ShiftCode(event->modifiers());
    QPointer<Thumbnailer> self(this);

    EndLabelEdit();
    if (!self)
        return;
    m_dragStarted = false;
    // The pressed item is the one under the pointer (the hovered one).
    m_hoverIndex = hoverIndexAt(point);
    const Thumbnail *shown = m_hoverIndex > 0 ? m_thumbnails->Item(m_hoverIndex) : nullptr;
    Thumb *thumb = shown ? m_thumbs->Item(shown->Name()) : nullptr;
    m_pressedName = thumb ? thumb->Name() : QString();

    if (!thumb) {
        m_pressedOnItem = false;
        m_bandAnchor = point;
        m_bandCorner = point;
        emit MouseDown(nullptr, button, shift, point.x(), point.y());
        return;
    }
    m_pressPoint = point;
    m_pressedOnItem = true;
    const QString name = thumb->Name();

    if (shift == 2) {
        // Ctrl+click toggles at the release.
        emit MouseDown(thumb, button, shift, point.x(), point.y());
        return;
    }
    if (thumb->Selected() && m_dragDrop) {
        // A drag may follow: the selection stays as it is.
        if (m_selection->isCurrent(name)) {
            emit MouseDown(thumb, button, shift, point.x(), point.y());
            return;
        }
        m_selection->pressOnItem(name, false, true);
        PaintVisible();
        emit MouseDown(thumb, button, shift, point.x(), point.y());
        if (self)
            if (Thumb *t = m_thumbs->Item(name))
                emit SelChanged(t);
        return;
    }
    const bool changed = m_selection->pressOnItem(name, false, false);
    emit MouseDown(thumb, button, shift, point.x(), point.y());
    if (!self)
        return;
    if (changed)
        if (Thumb *t = m_thumbs->Item(name))
            emit SelChanged(t);
    if (self)
        PaintVisible();
}

void Thumbnailer::picBase_MouseMove(QMouseEvent *event)
{
    const int held = buttonsCode(event->buttons());
    if (held != 0 && (held & 3) == 0)
        return; // only the middle button
    const QPoint point = event->position().toPoint();
    const int shift = ShiftCode(event->modifiers());
    QPointer<Thumbnailer> self(this);

    if (m_thumbnails->Count() == 0) {
        if (m_toolTip)
            m_toolTip->DelToolTip(m_picBase);
        m_hoverIndex = 0;
        emit MouseMove(held, shift, point.x(), point.y());
        return;
    }

    if (held != 0) {
        if (!m_pressedOnItem) {
            m_bandMode = true;
        } else if (m_dragDrop && !m_dragStarted &&
                   (std::abs(point.x() - m_pressPoint.x()) > 2 ||
                    std::abs(point.y() - m_pressPoint.y()) > 2)) {
            m_dragStarted = true;
            if (m_selection->dragStart(m_pressedName))
                PaintVisible();
            startDrag();
            return;
        }
    } else {
        m_pressPoint = point;
    }

    const int oldHover = m_hoverIndex;
    m_hoverIndex = hoverIndexAt(point);

    if (m_bandMode && !m_editing) {
        eraseBandFrame();
        m_bandCorner = point;
        if (!m_bandStarted) {
            m_bandStarted = true;
            if (m_selection->bandStarted((shift & 2) != 0))
                PaintVisible();
        }
        updateAutoScroll();
        drawBandFrame();
    }

    if (m_hoverIndex != oldHover && !m_bandMode) {
        if (m_toolTip) {
            m_toolTip->DelToolTip(m_picBase);
            if (m_hoverIndex > 0)
                m_toolTip->SetToolTip(m_picBase, m_thumbnails->Item(m_hoverIndex)->Name());
        }
    }

    emit MouseMove(held, shift, point.x(), point.y());
    if (!self || m_hoverIndex <= 0 || m_hoverIndex > m_thumbnails->Count())
        return;
    if (Thumb *thumb = m_thumbs->Item(m_thumbnails->Item(m_hoverIndex)->Name()))
        emit HitTest(thumb);
}

void Thumbnailer::picBase_MouseUp(QMouseEvent *event)
{
    const int button = buttonCode(event->button());
    if (button != 1 && button != 2)
        return;
    QPoint point = event->position().toPoint();
    const int shift = ShiftCode(event->modifiers());
    const bool ctrl = (shift & 2) != 0;
    QPointer<Thumbnailer> self(this);

    if (m_dblClickSeen) {
        m_dblClickSeen = false;
        m_tmrAutoScroll->stop();
        eraseBandFrame();
        m_bandMode = m_bandStarted = false;
        return;
    }

    Thumb *pressed = m_pressedOnItem ? m_thumbs->Item(m_pressedName) : nullptr;
    const QString pressedName = pressed ? pressed->Name() : QString();

    if (m_bandMode) {
        point.setX(std::max(0, point.x()));
        point.setY(std::max(0, point.y()));
        m_tmrAutoScroll->stop();
        m_lastClicked.clear();
        eraseBandFrame();
        m_bandCorner = point;
        m_bandMode = m_bandStarted = false;
        const QRect band = ThumbBand::normalised(m_bandAnchor, m_bandCorner);
        const QList<int> hits = ThumbBand::itemsInBand(bandGrid(), band.left(), band.top(),
                                                       band.right(), band.bottom());
        QStringList names;
        for (int index : hits)
            names.append(m_records[index - 1].Name);
        m_selection->bandSelect(names, ctrl);
        PaintVisible();
        emit MouseUp(pressed, button, shift, point.x(), point.y());
        if (self)
            emit Click(pressedName.isEmpty() ? nullptr : m_thumbs->Item(pressedName));
        return;
    }

    if (pressed) {
        if (ctrl) {
            const bool changed = m_selection->ctrlClick(pressedName);
            PaintVisible();
            if (changed)
                emit SelChanged(pressed);
            if (!self)
                return;
        } else if (m_labelEdit == thlManual) {
            m_lastClicked = pressedName;
            EnsureVisible(pressedName);
        } else {
            const Thumbnail *shown = m_thumbnails->Item(pressedName);
            const bool onLabel = shown && point.x() > shown->ThumbLeft() &&
                                 point.x() < shown->ThumbRight() && point.y() > shown->LabelTop() &&
                                 point.y() < shown->LabelBottom();
            if (onLabel && pressedName.compare(m_lastClicked, Qt::CaseInsensitive) == 0) {
                if (button == 1) {
                    StartLabelEdit();
                    return;
                }
            } else {
                m_lastClicked = pressedName;
                EnsureVisible(pressedName);
            }
        }
        if (!self)
            return;
        pressed = m_thumbs->Item(pressedName);
        emit MouseUp(pressed, button, shift, point.x(), point.y());
        if (self)
            emit Click(m_thumbs->Item(pressedName));
        return;
    }

    // On empty space.
    m_selection->clickOnSpace(ctrl);
    m_lastClicked.clear();
    PaintVisible();
    emit MouseUp(nullptr, button, shift, point.x(), point.y());
    if (self)
        emit Click(nullptr);
}

void Thumbnailer::picBase_DblClick(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    m_dblClickSeen = true;
    const int index = hoverIndexAt(event->position().toPoint());
    Thumb *thumb = index > 0 ? m_thumbs->Item(m_thumbnails->Item(index)->Name()) : nullptr;
    emit DblClick(thumb);
}

// ---- tooltips ------------------------------------------------------------------------------

void Thumbnailer::setTooltips(bool value)
{
    m_tooltips = value;
    markChanged("Tooltips");
    if (!m_userMode)
        return;
    if (value && !m_toolTip)
        m_toolTip = std::make_unique<cToolTip>();
    else if (!value)
        m_toolTip.reset();
}

void Thumbnailer::resetInteraction()
{
    m_tmrAutoScroll->stop();
    m_bandShown = false; // the surface is cleared with the items
    m_bandMode = m_bandStarted = false;
    m_dragStarted = m_dblClickSeen = false;
    m_pressedOnItem = false;
    m_pressedName.clear();
    m_lastClicked.clear();
    m_hoverIndex = 0;
    m_selection->reset();
    if (m_toolTip)
        m_toolTip->DelToolTip(m_picBase);
}
