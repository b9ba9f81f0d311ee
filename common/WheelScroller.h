#pragma once

#include <QPointF>

class QScrollBar;
class QWheelEvent;

// Scrolls a view's two bars by the mouse wheel: the wheel scrolls vertically, Shift+wheel (or a
// sideways wheel) horizontally. A notch of a mouse wheel (120 in Qt's eighths of a degree) moves
// a bar by its notch amount; the finer deltas of a high-resolution wheel add up to that; a
// touchpad's pixel deltas move it by their pixels, a bar step being so many pixels. What is left
// over of a step waits for the next event in the same direction.
//
// The view passes the event on (ignores it) when its bars cannot move the way the wheel turns:
// at their ends, hidden or disabled. An enclosing scroll area then takes it, so a view inside a
// scrolled panel scrolls until its end, then the panel.
class WheelScroller
{
public:
    // Per axis (x horizontal, y vertical): the bar steps one notch moves, and the pixels of one
    // bar step. True when the event was the view's (the widget accepts it), false when it is to
    // go on to the parent.
    bool Scroll(const QWheelEvent &event, QScrollBar *horizontal, QScrollBar *vertical,
                QPointF stepsPerNotch, QPointF pixelsPerStep);

private:
    double m_restX = 0;
    double m_restY = 0;
};
