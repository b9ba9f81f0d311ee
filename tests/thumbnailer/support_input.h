#pragma once

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Thumb;
class Thumbnailer;
class QWidget;

// A shown Thumbnailer over a folder of small pictures, with helpers that drive its surface by
// synthetic mouse and key events and record the input events it raises, in order.
class InputRig
{
public:
    // `count` bitmaps p01.bmp, p02.bmp, ... in a temporary folder; the control is `width` x
    // `height` and shows that folder.
    explicit InputRig(int count, int width = 320, int height = 260);
    ~InputRig();

    Thumbnailer &control() { return *m_control; }
    QWidget *surface() const;
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString filePath(const QString &name) const { return folder() + name; }
    static QString nameOf(int index)
    {
        return QStringLiteral("p%1.bmp").arg(index, 2, 10, QLatin1Char('0'));
    }

    // Points on a visible item (by name): the middle of its picture, of its label, and the gap
    // between cell and label.
    QPoint picturePoint(const QString &name) const;
    QPoint labelPoint(const QString &name) const;
    // A point of the surface that holds no item.
    QPoint spacePoint() const;

    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void move(QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void release(QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void click(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton);
    void doubleClick(QPoint pos);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // The events raised since the last take, as text ("SelChanged p03.bmp", "Click -", ...).
    QStringList takeEvents();
    // Names of the items whose Selected flag is set, in Thumbs order.
    QStringList flagged() const;
    QString current() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Thumbnailer> m_control;
    QStringList m_events;
    Qt::MouseButtons m_held;
};
