#pragma once

#include <QString>
#include <QStringList>

class Thumb;
class Thumbs;

namespace Pixtile {

// The selection of the Thumbnailer: the Selected flag of each item, the names of the selected
// items in the order they were selected (SelThumbs) and the current item (SelectedItem, the one
// with the focus rectangle). Every operation keeps the three consistent. The current item is
// held by name, so an item that has gone simply yields no object.
//
// Operations that may change the current item report whether they did, so that the control
// can raise SelChanged.
class ThumbSelection
{
public:
    explicit ThumbSelection(Thumbs &thumbs) : m_thumbs(thumbs) {}

    const QStringList &SelThumbs() const { return m_selThumbs; }
    // The current item, or null.
    Thumb *SelectedItem() const;
    bool isCurrent(const QString &name) const;
    bool isSelected(const QString &name) const;

    // Makes an item current without selecting it (the first item after a listing).
    void setCurrentOnly(const QString &name);
    // Drops the current item (its selection stays).
    void clearCurrent() { m_current.clear(); }

    // Selects an item and appends it to SelThumbs; nothing when it is selected already.
    void select(const QString &name);
    // Deselects an item and removes it from SelThumbs, the others keeping their order.
    void deselect(const QString &name);
    void toggle(const QString &name);
    // Deselects every item named in SelThumbs and empties it. True when anything was selected.
    bool clearSelection();

    // Setting SelectedItem: the item becomes current and selected (other selected items stay).
    // False when it already was the selected current item (nothing changed).
    bool setSelectedItem(const QString &name);

    // Mouse press on an item. With Ctrl alone nothing happens yet (the toggle comes with the
    // release). With a selected item and dragging allowed the selection stays and the item
    // becomes current. Otherwise the item becomes the only selection. True when the current
    // item changed.
    bool pressOnItem(const QString &name, bool ctrlOnly, bool dragDrop);
    // Ctrl+click released on an item: toggles it and makes it current. True when the current
    // item changed.
    bool ctrlClick(const QString &name);
    // Click on empty space: without Ctrl the selection is dropped; the current item stays.
    void clickOnSpace(bool ctrl);
    // A drag leaves the pressed item: it becomes current and is selected. True when it was not
    // selected before.
    bool dragStart(const QString &name);

    // The band started moving: without Ctrl an existing selection is dropped. True when it was.
    bool bandStarted(bool ctrl);
    // The band was released over these items (in grid order): each is selected, or with Ctrl
    // toggled.
    void bandSelect(const QStringList &names, bool ctrl);

    // Keyboard move: only this item selected and current. True when the current item changed.
    bool moveTo(const QString &name);
    // Ctrl+A: every item selected, SelThumbs all names in the given (Thumbs) order.
    void selectAll(const QStringList &namesInOrder);

    // An item was renamed: its entry in SelThumbs and the current name follow.
    void renamed(const QString &oldName, const QString &newName);
    // An item is about to leave: its name leaves SelThumbs and it stops being current.
    void removed(const QString &name);
    // Clear: no selection, no current item (flags are dropped with the items).
    void reset();

private:
    int indexIn(const QString &name) const;

    Thumbs &m_thumbs;
    QStringList m_selThumbs;
    QString m_current;
};

} // namespace Pixtile
