#include "cLabelEdit.h"

#include "GridGeometry.h"

#include <QApplication>
#include <QKeyEvent>

namespace Pixtile {

cLabelEdit::cLabelEdit(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("txtLabel"));
    setFrame(true);
    setAlignment(Qt::AlignCenter);
    hide();
    connect(this, &QLineEdit::textChanged, this, &cLabelEdit::reposition);
}

int cLabelEdit::widthFor(const QString &text) const
{
    const int textWidth = fontMetrics().horizontalAdvance(text) + 6;
    return std::max(m_thumbWidth, textWidth);
}

void cLabelEdit::place(int thumbLeft, int labelTop, int thumbWidth, int height)
{
    m_thumbLeft = thumbLeft;
    m_labelTop = labelTop;
    m_thumbWidth = thumbWidth;
    m_height = std::max(height, fontMetrics().height() + 4);
    reposition();
}

void cLabelEdit::reposition()
{
    const int width = widthFor(text());
    // Centred on the cell: Int(ThumbWidth / 2 + ThumbLeft - width / 2).
    const int left = FloorDiv(m_thumbWidth + 2 * m_thumbLeft - width, 2);
    setGeometry(left, m_labelTop, width, m_height);
}

void cLabelEdit::begin(const QString &text)
{
    setText(text);
    reposition();
    show();
    raise();
    selectAll();
    setFocus(Qt::OtherFocusReason);
}

void cLabelEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit editEnded();
        return;
    case Qt::Key_Escape:
        event->accept();
        clear();
        emit editEnded();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

bool cLabelEdit::ownsActivePopup() const
{
    for (const QWidget *w = QApplication::activePopupWidget(); w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

void cLabelEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The editor's own context menu (cut, copy, paste) takes the focus while it is open; the
    // focus comes back when it closes and the edit goes on.
    if (event->reason() == Qt::PopupFocusReason && ownsActivePopup())
        return;
    if (isVisible())
        emit editEnded();
}

} // namespace Pixtile
