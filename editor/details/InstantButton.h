#pragma once

#include <QCheckBox>
#include <QEvent>
#include <QPushButton>
#include <QShortcutEvent>

// A button whose letter (Alt+C for "&Cite...") acts at once and leaves the keyboard where it
// was: the list the user works in keeps the focus, so the next key goes on with it. (A plain
// button takes the focus and clicks a moment later.)
template <class Button> class Instant : public Button
{
public:
    using Button::Button;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(e)->isAmbiguous() &&
            this->isEnabled()) {
            this->click();
            return true;
        }
        return Button::event(e);
    }
};

using InstantButton = Instant<QPushButton>;
using InstantCheckBox = Instant<QCheckBox>;
