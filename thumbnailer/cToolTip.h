#pragma once

#include <QPointer>
#include <QString>

class QWidget;

// The control's tooltip: one tool per window, showing a text when the pointer rests on it.
// Releasing the object removes the tool it set.
class cToolTip
{
public:
    cToolTip() = default;
    ~cToolTip();
    cToolTip(const cToolTip &) = delete;
    cToolTip &operator=(const cToolTip &) = delete;

    // Registers the text as the window's tooltip.
    void SetToolTip(QWidget *window, const QString &text);
    // Removes the window's tooltip (and hides it if shown).
    void DelToolTip(QWidget *window);

    QString text() const { return m_text; }

private:
    QPointer<QWidget> m_window;
    QString m_text;
};
