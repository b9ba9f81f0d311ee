#include "ThumbMouse.h"

#include "NativeNames.h"
#include "ThumbInputCodes.h"
#include "ThumbnailerPrivate.h"
#include "cToolTip.h"

#include <QMouseEvent>

namespace Pixtile {

ThumbMouse::ThumbMouse(ThumbnailerPrivate &d) : d(d)
{
    if (d.settings.tooltips)
        m_toolTip = std::make_unique<cToolTip>();
}

ThumbMouse::~ThumbMouse() = default;

void ThumbMouse::setToolTips(bool on)
{
    if (on && !m_toolTip)
        m_toolTip = std::make_unique<cToolTip>();
    else if (!on)
        m_toolTip.reset();
}

void ThumbMouse::press(QMouseEvent *event)
{
    const int button = ThumbInputCodes::Button(event->button());
    if (button != 1 && button != 2)
        return;
    const QPoint point = event->position().toPoint();
    const int shift = ThumbInputCodes::Shift(event->modifiers());
    QPointer<Thumbnailer> self(d.q);

    d.labels.end();
    if (!self)
        return;
    m_dragStarted = false;
    // The pressed item is the one under the pointer (the hovered one).
    m_hoverIndex = d.view.itemAt(point);
    Thumb *thumb = d.model.shownItem(m_hoverIndex);
    m_pressedName = thumb ? thumb->Name() : QString();

    if (!thumb) {
        m_pressedOnItem = false;
        d.band.anchorAt(point);
        emit d.q->MouseDown(nullptr, button, shift, point.x(), point.y());
        return;
    }
    m_pressPoint = point;
    m_pressedOnItem = true;
    const QString name = thumb->Name();
    ThumbSelection &selection = d.model.selection();

    if (shift == 2) {
        // Ctrl+click toggles at the release.
        emit d.q->MouseDown(thumb, button, shift, point.x(), point.y());
        return;
    }
    if (thumb->Selected() && d.settings.dragDrop) {
        // A drag may follow: the selection stays as it is.
        if (selection.isCurrent(name)) {
            emit d.q->MouseDown(thumb, button, shift, point.x(), point.y());
            return;
        }
        selection.pressOnItem(name, false, true);
        d.view.paintVisible();
        emit d.q->MouseDown(thumb, button, shift, point.x(), point.y());
        if (self)
            if (Thumb *t = d.model.thumbs().Item(name))
                emit d.q->SelChanged(t);
        return;
    }
    const bool changed = selection.pressOnItem(name, false, false);
    emit d.q->MouseDown(thumb, button, shift, point.x(), point.y());
    if (!self)
        return;
    if (changed)
        if (Thumb *t = d.model.thumbs().Item(name))
            emit d.q->SelChanged(t);
    if (self)
        d.view.paintVisible();
}

void ThumbMouse::move(QMouseEvent *event)
{
    const int held = ThumbInputCodes::Buttons(event->buttons());
    if (held != 0 && (held & 3) == 0)
        return; // only the middle button
    const QPoint point = event->position().toPoint();
    const int shift = ThumbInputCodes::Shift(event->modifiers());
    QPointer<Thumbnailer> self(d.q);

    if (d.model.thumbnails().Count() == 0) {
        if (m_toolTip)
            m_toolTip->DelToolTip(d.view.surface());
        m_hoverIndex = 0;
        emit d.q->MouseMove(held, shift, point.x(), point.y());
        return;
    }

    if (held != 0) {
        if (!m_pressedOnItem) {
            d.band.begin();
        } else if (d.settings.dragDrop && !m_dragStarted &&
                   (std::abs(point.x() - m_pressPoint.x()) > 2 ||
                    std::abs(point.y() - m_pressPoint.y()) > 2)) {
            m_dragStarted = true;
            if (d.model.selection().dragStart(m_pressedName))
                d.view.paintVisible();
            d.dragDrop.startDrag(m_pressedName);
            return;
        }
    } else {
        m_pressPoint = point;
    }

    const int oldHover = m_hoverIndex;
    m_hoverIndex = d.view.itemAt(point);

    if (d.band.active() && !d.labels.editing())
        d.band.moveCorner(point, (shift & 2) != 0);

    if (m_hoverIndex != oldHover && !d.band.active()) {
        if (m_toolTip) {
            m_toolTip->DelToolTip(d.view.surface());
            if (m_hoverIndex > 0)
                m_toolTip->SetToolTip(
                    d.view.surface(),
                    NativeNames::Display(d.model.thumbnails().Item(m_hoverIndex)->Name()));
        }
    }

    emit d.q->MouseMove(held, shift, point.x(), point.y());
    if (!self || m_hoverIndex <= 0 || m_hoverIndex > d.model.thumbnails().Count())
        return;
    if (Thumb *thumb = d.model.shownItem(m_hoverIndex))
        emit d.q->HitTest(thumb);
}

void ThumbMouse::release(QMouseEvent *event)
{
    const int button = ThumbInputCodes::Button(event->button());
    if (button != 1 && button != 2)
        return;
    QPoint point = event->position().toPoint();
    const int shift = ThumbInputCodes::Shift(event->modifiers());
    const bool ctrl = (shift & 2) != 0;
    QPointer<Thumbnailer> self(d.q);
    ::Thumbs &thumbs = d.model.thumbs();

    if (m_dblClickSeen) {
        m_dblClickSeen = false;
        d.band.end();
        return;
    }

    Thumb *pressed = m_pressedOnItem ? thumbs.Item(m_pressedName) : nullptr;
    const QString pressedName = pressed ? pressed->Name() : QString();

    if (d.band.active()) {
        point.setX(std::max(0, point.x()));
        point.setY(std::max(0, point.y()));
        m_lastClicked.clear();
        d.band.select(point, ctrl);
        emit d.q->MouseUp(pressed, button, shift, point.x(), point.y());
        if (self)
            emit d.q->Click(pressedName.isEmpty() ? nullptr : thumbs.Item(pressedName));
        return;
    }

    if (pressed) {
        if (ctrl) {
            const bool changed = d.model.selection().ctrlClick(pressedName);
            d.view.paintVisible();
            if (changed)
                emit d.q->SelChanged(pressed);
            if (!self)
                return;
        } else if (d.settings.labelEdit == Thumbnailer::thlManual) {
            m_lastClicked = pressedName;
            d.q->EnsureVisible(pressedName);
        } else {
            const Thumbnail *shown = d.model.thumbnails().Item(pressedName);
            const bool onLabel = shown && point.x() > shown->ThumbLeft() &&
                                 point.x() < shown->ThumbRight() && point.y() > shown->LabelTop() &&
                                 point.y() < shown->LabelBottom();
            if (onLabel && pressedName.compare(m_lastClicked, Qt::CaseInsensitive) == 0) {
                if (button == 1) {
                    d.labels.start();
                    return;
                }
            } else {
                m_lastClicked = pressedName;
                d.q->EnsureVisible(pressedName);
            }
        }
        if (!self)
            return;
        pressed = thumbs.Item(pressedName);
        emit d.q->MouseUp(pressed, button, shift, point.x(), point.y());
        if (self)
            emit d.q->Click(thumbs.Item(pressedName));
        return;
    }

    // On empty space.
    d.model.selection().clickOnSpace(ctrl);
    m_lastClicked.clear();
    d.view.paintVisible();
    emit d.q->MouseUp(nullptr, button, shift, point.x(), point.y());
    if (self)
        emit d.q->Click(nullptr);
}

void ThumbMouse::doubleClick(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    m_dblClickSeen = true;
    emit d.q->DblClick(d.model.shownItem(d.view.itemAt(event->position().toPoint())));
}

void ThumbMouse::dragEnded()
{
    m_pressedOnItem = false;
    m_dragStarted = false;
}

void ThumbMouse::itemRenamed(const QString &oldName, const QString &newName)
{
    if (m_pressedName.compare(oldName, Qt::CaseInsensitive) == 0)
        m_pressedName = newName;
    if (m_lastClicked.compare(oldName, Qt::CaseInsensitive) == 0)
        m_lastClicked = newName;
}

void ThumbMouse::itemLeaving(const QString &name)
{
    if (m_pressedName.compare(name, Qt::CaseInsensitive) == 0) {
        m_pressedName.clear();
        m_pressedOnItem = false;
    }
}

void ThumbMouse::reset()
{
    m_dragStarted = m_dblClickSeen = false;
    m_pressedOnItem = false;
    m_pressedName.clear();
    m_lastClicked.clear();
    m_hoverIndex = 0;
    if (m_toolTip)
        m_toolTip->DelToolTip(d.view.surface());
}

} // namespace Pixtile
