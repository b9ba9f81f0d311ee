#pragma once

#include "ModalSeam.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTest>

#include <functional>

// Works modal windows from the keyboard, as a user would: every window shown through ModalSeam
// is shown and made active, the next step of the script gets it, and the window's result is what
// the keys left (a window still open afterwards is cancelled). Keys go to the widget with the
// keyboard focus; the keys pressed are counted, the text typed is not.
class KeyScript
{
public:
    using Step = std::function<void(QDialog &)>;

    KeyScript()
        : m_driver([this](QDialog &dialog) {
              shown << dialog.objectName();
              // The window under it gets the keyboard back afterwards, as a window system
              // gives it back when a modal window closes.
              QPointer<QWidget> under = QApplication::activeWindow();
              QPointer<QWidget> focus = QApplication::focusWidget();
              dialog.show();
              QApplication::setActiveWindow(&dialog);
              if (!QTest::qWaitForWindowActive(&dialog))
                  failures << QStringLiteral("%1 did not become active").arg(dialog.objectName());
              focusFirst(dialog);
              if (m_steps.isEmpty()) {
                  failures << QStringLiteral("no step for %1").arg(dialog.objectName());
              } else {
                  const Step step = m_steps.takeFirst();
                  step(dialog);
              }
              if (dialog.isVisible())
                  dialog.reject();
              if (under && under->isVisible()) {
                  QApplication::setActiveWindow(under);
                  if (!QTest::qWaitForWindowActive(under))
                      failures << QStringLiteral("%1 did not become active again")
                                      .arg(under->objectName());
                  if (focus)
                      focus->setFocus(Qt::ActiveWindowFocusReason);
              }
              return dialog.result();
          })
    {
    }

    void then(Step step) { m_steps.append(std::move(step)); }

    // One key (with its modifiers) to the focused widget, counted.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ++keys;
        QWidget *target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        QTest::keyClick(target, key, modifiers);
    }
    // Makes a window shown outside the script the active one.
    static bool activate(QWidget &window)
    {
        QApplication::setActiveWindow(&window);
        const bool active = QTest::qWaitForWindowActive(&window);
        focusFirst(window);
        return active;
    }
    // Text typed into the focused widget, not counted.
    static void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    // The keyboard in the window: where the window put it, else its first control.
    static void focusFirst(QWidget &window)
    {
        if (window.isAncestorOf(QApplication::focusWidget()))
            return;
        if (QWidget *focus = window.focusWidget()) {
            focus->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
        for (QWidget *next = window.nextInFocusChain(); next && next != &window;
             next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(&window) &&
                next->isEnabled()) {
                next->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }

    int keys = 0;
    QStringList shown;
    QStringList failures;
    bool done() const { return m_steps.isEmpty(); }

private:
    QList<Step> m_steps;
    ScopedModalDriver m_driver;
};
