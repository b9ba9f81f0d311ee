#pragma once

#include "FileRecord.h"
#include "ThumbSelection.h"
#include "Thumbnails.h"
#include "Thumbs.h"

namespace Pixtile {

// The items of the control: the listed files in display order (one record each), the Thumb of
// every rendered file, the rectangles of the items drawn last, and the selection. Item positions
// are 1-based in display order; names are compared without regard to case.
class ThumbModel
{
public:
    ThumbModel() = default;
    ThumbModel(const ThumbModel &) = delete;
    ThumbModel &operator=(const ThumbModel &) = delete;

    FileRecords &records() { return m_records; }
    const FileRecords &records() const { return m_records; }
    ::Thumbs &thumbs() { return m_thumbs; }
    const ::Thumbs &thumbs() const { return m_thumbs; }
    ::Thumbnails &thumbnails() { return m_thumbnails; }
    const ::Thumbnails &thumbnails() const { return m_thumbnails; }
    ThumbSelection &selection() { return m_selection; }
    const ThumbSelection &selection() const { return m_selection; }

    // The number of items (Items): one record per listed or added file.
    int count() const { return int(m_records.size()); }
    // Position of the record of that name, 0 when there is none.
    int indexOf(const QString &name) const;
    // The item at a position, or null (not rendered yet, or no such position).
    Thumb *itemAt(int index) const;
    // The item whose rectangles the last paint recorded at a 1-based place of Thumbnails.
    Thumb *shownItem(int place) const;

    // The item of a rendered file, with the file's information and its cell.
    static Thumb makeThumb(const FileRecord &record, const ThumbCell &cell);
    // Adds the item of a rendered file under its name. False when the name is taken already
    // (nothing is shown: the caller tells the user).
    bool addThumb(const Thumb &thumb);

    // Gives an item, its record and its entries a new name (placement and selection stay).
    // True when the item was shown in the last paint.
    bool rename(const QString &oldName, const QString &newName);
    // Takes an item out: its record, its entries in the selection and in Thumbnails, its Thumb.
    // The 0-based index its record had, or -1 when it had none.
    int remove(const QString &name);

    // No records, items, rectangles or selection.
    void clear();

private:
    FileRecords m_records;
    ::Thumbs m_thumbs;
    ::Thumbnails m_thumbnails;
    ThumbSelection m_selection{m_thumbs};
};

} // namespace Pixtile
