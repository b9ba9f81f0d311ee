#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

namespace Pixtile {

// Shows the busy pointer over one widget for its lifetime (the widget may go meanwhile).
class WidgetBusyCursor
{
public:
    explicit WidgetBusyCursor(QWidget *widget)
        : m_widget(widget), m_old(widget->cursor()),
          m_hadCursor(widget->testAttribute(Qt::WA_SetCursor))
    {
        widget->setCursor(Qt::BusyCursor);
    }
    ~WidgetBusyCursor()
    {
        if (!m_widget)
            return;
        if (m_hadCursor)
            m_widget->setCursor(m_old);
        else
            m_widget->unsetCursor();
    }
    WidgetBusyCursor(const WidgetBusyCursor &) = delete;
    WidgetBusyCursor &operator=(const WidgetBusyCursor &) = delete;

private:
    QPointer<QWidget> m_widget;
    QCursor m_old;
    bool m_hadCursor;
};

} // namespace Pixtile
