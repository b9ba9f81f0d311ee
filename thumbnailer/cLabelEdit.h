#pragma once

#include <QLineEdit>

namespace Pixtile {

// The in-place label editor "txtLabel": a single-line box laid over an item's label, centred on
// the cell and at least as wide as the cell, growing with the text. Enter ends the edit with
// the typed text, Escape with an empty text; losing the focus ends it as well, except to the
// editor's own context menu.
class cLabelEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit cLabelEdit(QWidget *parent = nullptr);

    // Places the editor over the label of the cell that starts at thumbLeft and is thumbWidth
    // wide, with its top at labelTop and the label's height. Width and centring follow the text.
    void place(int thumbLeft, int labelTop, int thumbWidth, int height);
    // Shows the editor with the text, all selected, and gives it the focus.
    void begin(const QString &text);

    // Width for a text: the cell width, or the text's width + 6 when that is larger.
    int widthFor(const QString &text) const;

signals:
    // The user ended the edit (Enter, Escape or focus loss); the text is what it ends with.
    void editEnded();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void reposition();
    // The open popup is the editor's own (its context menu).
    bool ownsActivePopup() const;

    int m_thumbLeft = 0;
    int m_labelTop = 0;
    int m_thumbWidth = 0;
    int m_height = 0;
};

} // namespace Pixtile
