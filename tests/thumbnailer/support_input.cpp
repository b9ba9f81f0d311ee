#include "support_input.h"

#include "Thumbnailer.h"
#include "support_pixtile.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
QString nameOrDash(const Thumb *thumb)
{
    return thumb ? thumb->Name() : QStringLiteral("-");
}
} // namespace

InputRig::InputRig(int count, int width, int height)
{
    for (int i = 1; i <= count; ++i)
        PixtileTestFiles::writeImage(m_dir.filePath(nameOf(i)), 40, 30,
                                     QColor::fromHsv((i * 37) % 360, 160, 220));
    m_control = std::make_unique<Thumbnailer>();
    Thumbnailer &c = *m_control;
    c.resize(width, height);
    c.show();
    c.setPath(m_dir.path());
    PixtileTestWait::WaitShown(c);

    QObject::connect(&c, &Thumbnailer::MouseDown, [this](Thumb *t, int b, int s, float, float) {
        m_events << QStringLiteral("MouseDown %1 %2 %3").arg(nameOrDash(t)).arg(b).arg(s);
    });
    QObject::connect(&c, &Thumbnailer::MouseUp, [this](Thumb *t, int b, int s, float, float) {
        m_events << QStringLiteral("MouseUp %1 %2 %3").arg(nameOrDash(t)).arg(b).arg(s);
    });
    QObject::connect(&c, &Thumbnailer::Click,
                     [this](Thumb *t) { m_events << QStringLiteral("Click ") + nameOrDash(t); });
    QObject::connect(&c, &Thumbnailer::DblClick,
                     [this](Thumb *t) { m_events << QStringLiteral("DblClick ") + nameOrDash(t); });
    QObject::connect(&c, &Thumbnailer::SelChanged, [this](Thumb *t) {
        m_events << QStringLiteral("SelChanged ") + nameOrDash(t);
    });
    QObject::connect(&c, &Thumbnailer::BeforeLabelEdit, [this](Thumb *t) {
        m_events << QStringLiteral("BeforeLabelEdit ") + nameOrDash(t);
    });
    QObject::connect(
        &c, &Thumbnailer::AfterLabelEdit, [this](Thumb *t, const QString &text, bool *) {
            m_events << QStringLiteral("AfterLabelEdit %1 [%2]").arg(nameOrDash(t), text);
        });
    QObject::connect(&c, &Thumbnailer::ItemRename, [this](Thumb *t, const QString &old) {
        m_events << QStringLiteral("ItemRename %1 %2").arg(nameOrDash(t), old);
    });
    QObject::connect(
        &c, &Thumbnailer::ItemDelete, [this](const QString &path, const QString &name) {
            m_events << QStringLiteral("ItemDelete %1 %2")
                            .arg(path == folder() ? QStringLiteral("<dir>") : path, name);
        });
    QObject::connect(&c, &Thumbnailer::ItemsDeleted,
                     [this](int n) { m_events << QStringLiteral("ItemsDeleted %1").arg(n); });
}

InputRig::~InputRig() = default;

QWidget *InputRig::surface() const
{
    return m_control->findChild<QWidget *>(QStringLiteral("picBase"));
}

QPoint InputRig::picturePoint(const QString &name) const
{
    const Thumbnail *t = m_control->Thumbnails().Item(name);
    if (!t)
        return QPoint(-1000, -1000);
    return QPoint((t->ThumbLeft() + t->ThumbRight()) / 2, (t->ThumbTop() + t->ThumbBottom()) / 2);
}

QPoint InputRig::labelPoint(const QString &name) const
{
    const Thumbnail *t = m_control->Thumbnails().Item(name);
    if (!t)
        return QPoint(-1000, -1000);
    return QPoint((t->ThumbLeft() + t->ThumbRight()) / 2, (t->LabelTop() + t->LabelBottom()) / 2);
}

QPoint InputRig::spacePoint() const
{
    // Left of the first column, inside the space margin.
    return QPoint(2, 2);
}

void InputRig::press(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held |= button;
    QWidget *w = surface();
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(pos), QPointF(w->mapToGlobal(pos)), button,
                      m_held, modifiers);
    QApplication::sendEvent(w, &event);
}

void InputRig::move(QPoint pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QWidget *w = surface();
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                      buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

void InputRig::release(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held &= ~Qt::MouseButtons(button);
    QWidget *w = surface();
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                      button, m_held, modifiers);
    QApplication::sendEvent(w, &event);
}

void InputRig::click(QPoint pos, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    press(pos, button, modifiers);
    release(pos, button, modifiers);
}

void InputRig::doubleClick(QPoint pos)
{
    press(pos);
    release(pos);
    QWidget *w = surface();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
    release(pos);
}

void InputRig::key(int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(surface(), &event);
}

QStringList InputRig::takeEvents()
{
    QStringList events = m_events;
    m_events.clear();
    return events;
}

QStringList InputRig::flagged() const
{
    QStringList names;
    for (int i = 1; i <= m_control->Thumbs().Count(); ++i)
        if (m_control->Thumbs().Item(i)->Selected())
            names << m_control->Thumbs().Item(i)->Name();
    return names;
}

QString InputRig::current() const
{
    const Thumb *t = m_control->SelectedItem();
    return t ? t->Name() : QString();
}
