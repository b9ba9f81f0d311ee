#include "WheelScroller.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Whether the bar can move by a step of this sign.
bool canMove(const QScrollBar *bar, double towards)
{
    if (!bar || bar->isHidden() || !bar->isEnabled() || towards == 0)
        return false;
    return towards > 0 ? bar->value() < bar->maximum() : bar->value() > bar->minimum();
}

// Adds the amount to what was left over (dropping it when the direction changed) and moves the
// bar by the whole steps in it.
void move(QScrollBar *bar, double amount, double &rest)
{
    if ((amount > 0) != (rest > 0) && rest != 0)
        rest = 0;
    rest += amount;
    const double whole = std::trunc(rest);
    rest -= whole;
    if (whole != 0) {
        const double target = std::clamp(double(bar->value()) + whole, double(bar->minimum()),
                                         double(bar->maximum()));
        bar->setValue(int(target));
    }
}

} // namespace

bool WheelScroller::Scroll(const QWheelEvent &event, QScrollBar *horizontal, QScrollBar *vertical,
                           QPointF stepsPerNotch, QPointF pixelsPerStep)
{
    // The wheel's turn: pixels from a touchpad, else eighths of a degree; Shift turns a vertical
    // wheel sideways. Then in bar steps, positive towards the bars' maximum (the wheel turned
    // towards the user).
    const QPoint pixels = event.pixelDelta();
    const bool byPixels = !pixels.isNull() && pixelsPerStep.x() > 0 && pixelsPerStep.y() > 0;
    QPointF turn = byPixels ? QPointF(pixels) : QPointF(event.angleDelta());
    if (event.modifiers() & Qt::ShiftModifier)
        turn = QPointF(turn.x() != 0 ? turn.x() : turn.y(), 0);
    const QPointF amount =
        byPixels
            ? QPointF(-turn.x() / pixelsPerStep.x(), -turn.y() / pixelsPerStep.y())
            : QPointF(-turn.x() * stepsPerNotch.x() / 120.0, -turn.y() * stepsPerNotch.y() / 120.0);

    const bool across = canMove(horizontal, amount.x());
    const bool down = canMove(vertical, amount.y());
    if (!across && !down) {
        m_restX = m_restY = 0;
        return false;
    }
    if (across)
        move(horizontal, amount.x(), m_restX);
    if (down)
        move(vertical, amount.y(), m_restY);
    return true;
}
