#include "mFunctions.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QWidget>
#include <QWindow>

void UnloadAllForms()
{
    // The platform keeps its windows newest first; windows never shown have no platform window
    // and close after them.
    QList<QWidget *> newestFirst;
    QList<QWidget *> neverShown;
    QHash<QWindow *, QWidget *> byHandle;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        if (QWindow *handle = widget->windowHandle())
            byHandle.insert(handle, widget);
        else
            neverShown << widget;
    }
    for (QWindow *window : QGuiApplication::allWindows()) {
        if (QWidget *widget = byHandle.value(window))
            newestFirst << widget;
    }
    // Closing one window may close or delete others: hold them by guarded pointers.
    QList<QPointer<QWidget>> guarded(newestFirst.cbegin(), newestFirst.cend());
    for (QWidget *widget : std::as_const(neverShown))
        guarded << widget;
    for (const QPointer<QWidget> &widget : std::as_const(guarded)) {
        if (widget)
            widget->close();
    }
}

int ScrollBarHeight()
{
    const int height =
        QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    return height < 1 ? 16 : height;
}
