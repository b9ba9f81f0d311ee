#pragma once

#include <QPoint>
#include <QString>

#include <memory>

class QMouseEvent;
class cToolTip;

namespace Pixtile {

class ThumbnailerPrivate;

// The mouse on the drawing surface: pressing, clicking, Ctrl+clicking and double-clicking
// items, what a press on empty space or a drag away from an item leads to (the band, a drag
// out), the hovered item with its tooltip, and the mouse events of the control.
class ThumbMouse
{
public:
    explicit ThumbMouse(ThumbnailerPrivate &d);
    ~ThumbMouse();

    void press(QMouseEvent *event);
    void move(QMouseEvent *event);
    void release(QMouseEvent *event);
    void doubleClick(QMouseEvent *event);

    // Tooltips on or off (the object is made or released).
    void setToolTips(bool on);
    cToolTip *toolTip() const { return m_toolTip.get(); }

    // A drag out has ended: no press and no drag any more.
    void dragEnded();
    // An item was renamed or is leaving: the names kept follow.
    void itemRenamed(const QString &oldName, const QString &newName);
    void itemLeaving(const QString &name);
    // The items changed under the pointer: no hovered item.
    void forgetHover() { m_hoverIndex = 0; }
    // Clear: hover, press and click state dropped, the tooltip removed.
    void reset();

private:
    ThumbnailerPrivate &d;
    std::unique_ptr<cToolTip> m_toolTip;
    int m_hoverIndex = 0; // 1-based in Thumbnails, 0 over empty space
    QString m_pressedName;
    QPoint m_pressPoint;
    bool m_pressedOnItem = false;
    bool m_dragStarted = false;
    bool m_dblClickSeen = false;
    // the item clicked last (a second click on its label edits it)
    QString m_lastClicked;
};

} // namespace Pixtile
