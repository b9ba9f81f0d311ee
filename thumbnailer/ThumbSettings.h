#pragma once

#include "FolderLister.h"
#include "GridGeometry.h"
#include "ThumbRenderer.h"
#include "Thumbnailer.h"
#include "mThumbnailer.h"

#include <QString>
#include <QStringList>

namespace Pixtile {

// The values behind the Thumbnailer's properties, read by every part of the control. Only the
// control's setters write them.
struct ThumbSettings
{
    Thumbnailer::ethBorderStyle borderStyle = Thumbnailer::thbFixedSingle;
    quint32 backColor = 0x8000000F;
    quint32 backClrItem = 0x8000000F;
    int thumbWidth = 60;
    int thumbHeight = 60;
    int thumbOffset = 10;
    int thumbSpace = 10;
    Thumbnailer::ethBorder thumbBorderStyle = Thumbnailer::thoThinRaisedDark;
    Thumbnailer::ethBorderIn thumbBorderInStyle = Thumbnailer::thiNone;
    Thumbnailer::ethBorder labelBorderStyle = Thumbnailer::thoThinSunkenDark;
    bool hasLabel = true;
    Thumbnailer::ethLabelEdit labelEdit = Thumbnailer::thlManual;
    bool showHidden = true;
    bool showSystem = true;
    bool showReadOnly = true;
    bool canDelete = false;
    bool dragDrop = false;
    Thumbnailer::ethSort sorted = Thumbnailer::thsByName;
    Thumbnailer::ethSortOrder sortOrder = Thumbnailer::thdAscending;
    bool fsoEnable = false;
    bool tooltips = true;
    bool getType = false;
    bool getSize = false;
    bool getDate = false;
    bool getDims = false;
    bool getExt = false;
    // Pictures come from (and go into) the thumbnail cache shared with the desktop.
    bool useThumbnailCache = true;
    // The source: a folder ending in '/' (or "<List>") with its patterns, or a list of files.
    QString path;
    QString pattern = QStringLiteral("*.bmp");
    QStringList patterns;
    QStringList filesList;
    bool userMode = true;

    GridSettings grid() const
    {
        GridSettings s;
        s.thumbWidth = thumbWidth;
        s.thumbHeight = thumbHeight;
        s.thumbSpace = thumbSpace;
        s.thumbBorderStyle = thumbBorderStyle;
        s.thumbBorderInStyle = thumbBorderInStyle;
        s.labelBorderStyle = labelBorderStyle;
        s.hasLabel = hasLabel;
        return s;
    }

    // What a listing gathers; the attribute filters apply to folders only.
    ListOptions listOptions() const
    {
        ListOptions o;
        o.getType = getType;
        o.getSize = getSize;
        o.getDate = getDate;
        o.getDims = getDims;
        o.getExt = getExt;
        o.showHidden = showHidden;
        o.showSystem = showSystem;
        o.showReadOnly = showReadOnly;
        return o;
    }

    // The cell a picture is fitted into, for cells of the given size and offset with the
    // current border styles.
    ThumbRenderer::CellSpec cellFor(int cellWidth, int cellHeight, int offset) const
    {
        ThumbRenderer::CellSpec cell;
        cell.cellWidth = cellWidth;
        cell.cellHeight = cellHeight;
        cell.outerBorder = OuterBorderWidth(thumbBorderStyle);
        cell.offset = offset;
        cell.innerBorder = InnerBorderWidth(thumbBorderInStyle);
        return cell;
    }

    bool listMode() const { return path == mThumbnailer::kListPath; }
};

} // namespace Pixtile
