#pragma once

#include <QString>
#include <QtGlobal>

namespace Pixtile {
struct ThumbCellAccess;
}

// Where an item's rendered cell lies in the control's memory cells. Written when the item is
// rendered, read when it is painted or exported; not part of what a host sees of an item.
struct ThumbCell
{
    int DCIndex = 0;  // 1-based index of the memory cell block (cMemDCs) holding the cell
    int CellLeft = 0; // top-left corner of the ThumbWidth x ThumbHeight cell in that block
    int CellTop = 0;
    int PicLeft = 0; // top-left corner of the scaled picture in that block
    int PicTop = 0;
    int PicWidth = 1; // size of the scaled picture, each at least 1
    int PicHeight = 1;
};

// One image file shown by the Thumbnailer. A plain value type; the control's own items live in
// its Thumbs collection and are lent to event handlers by pointer.
class Thumb
{
public:
    Thumb() = default;

    // Folder of the file, always ending in a separator.
    QString Path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    // File name without folder; the item's key.
    QString Name() const { return m_name; }
    void setName(const QString &value) { m_name = value; }
    // Type name of the file; empty unless the control's GetType is on.
    QString FileType() const { return m_fileType; }
    void setFileType(const QString &value) { m_fileType = value; }
    // File size in bytes; 0 unless GetSize is on.
    qint64 Size() const { return m_size; }
    void setSize(qint64 value) { m_size = value; }
    // Last-write time as d/m/yyyy h:m:s with unpadded numbers; empty unless GetDate is on.
    QString DateMdf() const { return m_dateMdf; }
    void setDateMdf(const QString &value) { m_dateMdf = value; }
    // Stored pixel size from the file header; 0 unless GetDims is on.
    int Width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int Height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    // Upper-cased extension without the dot; empty unless GetExt is on.
    QString Extension() const { return m_extension; }
    void setExtension(const QString &value) { m_extension = value; }
    // The item is selected.
    bool Selected() const { return m_selected; }
    void setSelected(bool value) { m_selected = value; }

    // Full path of the file (Path + Name).
    QString FullPath() const { return m_path + m_name; }

private:
    friend class Thumbs;
    friend struct Pixtile::ThumbCellAccess;

    QString m_path;
    QString m_name;
    QString m_fileType;
    qint64 m_size = 0;
    QString m_dateMdf;
    int m_width = 0;
    int m_height = 0;
    QString m_extension;
    bool m_selected = false;
    ThumbCell m_cell;
};
