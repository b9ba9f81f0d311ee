#include "cToolTip.h"

#include <QToolTip>
#include <QWidget>

cToolTip::~cToolTip()
{
    if (m_window)
        DelToolTip(m_window);
}

void cToolTip::SetToolTip(QWidget *window, const QString &text)
{
    if (!window)
        return;
    if (m_window && m_window != window)
        m_window->setToolTip(QString());
    m_window = window;
    m_text = text;
    window->setToolTip(text);
}

void cToolTip::DelToolTip(QWidget *window)
{
    if (!window)
        return;
    window->setToolTip(QString());
    if (QToolTip::isVisible())
        QToolTip::hideText();
    if (window == m_window) {
        m_window = nullptr;
        m_text.clear();
    }
}
