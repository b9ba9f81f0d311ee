#pragma once

#include <QString>

namespace Pixtile {

class ThumbnailerPrivate;
class cLabelEdit;

// Renaming an item in place through its label: the editor "txtLabel" over the label of the
// current item, BeforeLabelEdit when it opens and AfterLabelEdit when it ends, then the rename
// of the file (with FSOEnable) and of the item.
class ThumbLabelEditing
{
public:
    explicit ThumbLabelEditing(ThumbnailerPrivate &d);

    // StartLabelEdit: opens the editor on the current item (labels on, item shown).
    void start();
    // Ends an open edit with the editor's text (Enter, focus loss, scrolling, a press on the
    // surface): AfterLabelEdit, then the rename unless refused. Only hides the editor otherwise.
    void end();
    bool editing() const { return m_editing; }
    // The item is about to leave: an edit open on it ends without any event.
    void itemLeaving(const QString &name);
    cLabelEdit *editor() const { return m_txtLabel; }

private:
    ThumbnailerPrivate &d;
    cLabelEdit *m_txtLabel;
    QString m_editName;
    bool m_editing = false;
    bool m_startingEdit = false;
};

} // namespace Pixtile
