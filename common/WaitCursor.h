#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows the busy pointer for its lifetime and always restores the previous one.
class WaitCursor
{
public:
    WaitCursor()
        : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() { restore(); }

    // Restores the pointer early (before a message box, say); the destructor then does nothing.
    void restore()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }

    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_active;
};
