#pragma once

#include "FileRecord.h"
#include "GridGeometry.h"
#include "RenderCursor.h"
#include "Thumb.h"
#include "Thumbnail.h"
#include "Thumbnails.h"
#include "Thumbs.h"

#include <QFrame>
#include <QImage>
#include <QPointer>
#include <QStringList>

#include <memory>

class PropertyBag;
class QDropEvent;
class ThumbSelection;
class cLabelEdit;
class cToolTip;
struct ThumbBandGrid;
class QLineEdit;
class QMenu;
class QMimeData;
class QPainter;
class QScrollBar;
class QTimer;
class ThumbSurface;
class cMemDCs;

// The thumbnail viewer: shows the image files of a folder (Path + Pattern) or of an explicit
// list (FilesList) as a grid of cells with optional labels. Every picture is decoded once into
// memory cells; painting copies cells only.
//
// Child objects carry their names: the drawing surface "picBase", the bars "VScroll" and
// "HScroll", the label editor "txtLabel", the timers "tmrEndProc" and "tmrAutoScroll", and the
// popup menu "mnuPopup".
//
// Items lent through signals (Thumb *) belong to the control and are valid during the handler.
class Thumbnailer : public QFrame
{
    Q_OBJECT

    // Appearance
    Q_PROPERTY(ethBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 BackClrItem READ BackClrItem WRITE setBackClrItem)
    Q_PROPERTY(int ThumbWidth READ ThumbWidth WRITE setThumbWidth)
    Q_PROPERTY(int ThumbHeight READ ThumbHeight WRITE setThumbHeight)
    Q_PROPERTY(int ThumbOffset READ ThumbOffset WRITE setThumbOffset)
    Q_PROPERTY(int ThumbSpace READ ThumbSpace WRITE setThumbSpace)
    Q_PROPERTY(ethBorder ThumbBorderStyle READ ThumbBorderStyle WRITE setThumbBorderStyle)
    Q_PROPERTY(ethBorderIn ThumbBorderInStyle READ ThumbBorderInStyle WRITE setThumbBorderInStyle)
    Q_PROPERTY(ethBorder LabelBorderStyle READ LabelBorderStyle WRITE setLabelBorderStyle)
    Q_PROPERTY(bool HasLabel READ HasLabel WRITE setHasLabel)
    // Behaviour
    Q_PROPERTY(ethLabelEdit LabelEdit READ LabelEdit WRITE setLabelEdit)
    Q_PROPERTY(bool ShowHidden READ ShowHidden WRITE setShowHidden)
    Q_PROPERTY(bool ShowSystem READ ShowSystem WRITE setShowSystem)
    Q_PROPERTY(bool ShowReadOnly READ ShowReadOnly WRITE setShowReadOnly)
    Q_PROPERTY(bool CanDelete READ CanDelete WRITE setCanDelete)
    Q_PROPERTY(bool DragDrop READ DragDrop WRITE setDragDrop)
    Q_PROPERTY(ethSort Sorted READ Sorted WRITE setSorted)
    Q_PROPERTY(ethSortOrder SortOrder READ SortOrder WRITE setSortOrder)
    Q_PROPERTY(bool FSOEnable READ FSOEnable WRITE setFSOEnable)
    Q_PROPERTY(bool Tooltips READ Tooltips WRITE setTooltips)
    Q_PROPERTY(bool GetType READ GetType WRITE setGetType)
    Q_PROPERTY(bool GetSize READ GetSize WRITE setGetSize)
    Q_PROPERTY(bool GetDate READ GetDate WRITE setGetDate)
    Q_PROPERTY(bool GetDims READ GetDims WRITE setGetDims)
    Q_PROPERTY(bool GetExt READ GetExt WRITE setGetExt)
    // Source
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(QString Pattern READ Pattern WRITE setPattern)
    Q_PROPERTY(QStringList FilesList READ FilesList WRITE setFilesList)
    // Read-only state
    Q_PROPERTY(int Items READ Items)
    Q_PROPERTY(int Rows READ Rows)
    Q_PROPERTY(int Columns READ Columns)
    Q_PROPERTY(int VisibleRows READ VisibleRows)
    Q_PROPERTY(int VisibleItems READ VisibleItems)
    Q_PROPERTY(int VisiblePartItems READ VisiblePartItems)
    Q_PROPERTY(int VisibleFirst READ VisibleFirst)
    Q_PROPERTY(int VisibleLast READ VisibleLast)
    Q_PROPERTY(QStringList SelThumbs READ SelThumbs)
    // False while the control is shown in a designer or a property page preview: Path and
    // FilesList are then only stored and nothing is listed.
    Q_PROPERTY(bool UserMode READ UserMode WRITE setUserMode)

public:
    enum ethBorderStyle { thbNone = 0, thbFixedSingle = 1 };
    Q_ENUM(ethBorderStyle)
    enum ethBorder {
        thoThinRaisedLight = 0,
        thoThinRaisedDark = 1,
        thoThinSunkenLight = 2,
        thoThinSunkenDark = 3,
        thoRaised = 4,
        thoSunken = 5,
        thoEtched = 6,
        thoBump = 7
    };
    Q_ENUM(ethBorder)
    enum ethBorderIn {
        thiNone = 0,
        thiThinRaisedLight = 1,
        thiThinRaisedDark = 2,
        thiThinSunkenLight = 3,
        thiThinSunkenDark = 4,
        thiRaised = 5,
        thiSunken = 6,
        thiEtched = 7,
        thiBump = 8
    };
    Q_ENUM(ethBorderIn)
    enum ethLabelEdit { thlAutomatic = 0, thlManual = 1 };
    Q_ENUM(ethLabelEdit)
    enum ethSort {
        thsByName = 0,
        thsByType = 1,
        thsBySize = 2,
        thsByDate = 3,
        thsByDims = 4,
        thsByExt = 5
    };
    Q_ENUM(ethSort)
    enum ethSortOrder { thdAscending = 0, thdDescending = 1 };
    Q_ENUM(ethSortOrder)
    enum ethExportStyles { theClear = 0, theFull = 1 };
    Q_ENUM(ethExportStyles)
    enum THHITTESTINFO { THT_ONICON = 1, THT_ONLABEL = 2, THT_ONSPACE = 4 };
    Q_ENUM(THHITTESTINFO)

    explicit Thumbnailer(QWidget *parent = nullptr);
    ~Thumbnailer() override;

    // ---- properties -------------------------------------------------------------------
    ethBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(ethBorderStyle value);
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 value);
    quint32 BackClrItem() const { return m_backClrItem; }
    void setBackClrItem(quint32 value);
    int ThumbWidth() const { return m_thumbWidth; }
    void setThumbWidth(int value); // limited to 20..200
    int ThumbHeight() const { return m_thumbHeight; }
    void setThumbHeight(int value); // limited to 20..200
    int ThumbOffset() const { return m_thumbOffset; }
    void setThumbOffset(int value); // limited to 1..10, then the offset rule
    int ThumbSpace() const { return m_thumbSpace; }
    void setThumbSpace(int value); // limited to 1..20
    ethBorder ThumbBorderStyle() const { return m_thumbBorderStyle; }
    void setThumbBorderStyle(ethBorder value);
    ethBorderIn ThumbBorderInStyle() const { return m_thumbBorderInStyle; }
    void setThumbBorderInStyle(ethBorderIn value);
    ethBorder LabelBorderStyle() const { return m_labelBorderStyle; }
    void setLabelBorderStyle(ethBorder value);
    bool HasLabel() const { return m_hasLabel; }
    void setHasLabel(bool value);

    ethLabelEdit LabelEdit() const { return m_labelEdit; }
    void setLabelEdit(ethLabelEdit value);
    bool ShowHidden() const { return m_showHidden; }
    void setShowHidden(bool value);
    bool ShowSystem() const { return m_showSystem; }
    void setShowSystem(bool value);
    bool ShowReadOnly() const { return m_showReadOnly; }
    void setShowReadOnly(bool value);
    bool CanDelete() const { return m_canDelete; }
    void setCanDelete(bool value);
    bool DragDrop() const { return m_dragDrop; }
    void setDragDrop(bool value);
    ethSort Sorted() const { return m_sorted; }
    void setSorted(ethSort value);
    ethSortOrder SortOrder() const { return m_sortOrder; }
    void setSortOrder(ethSortOrder value);
    bool FSOEnable() const { return m_fsoEnable; }
    void setFSOEnable(bool value);
    bool Tooltips() const { return m_tooltips; }
    void setTooltips(bool value);
    bool GetType() const { return m_getType; }
    void setGetType(bool value);
    bool GetSize() const { return m_getSize; }
    void setGetSize(bool value);
    bool GetDate() const { return m_getDate; }
    void setGetDate(bool value);
    bool GetDims() const { return m_getDims; }
    void setGetDims(bool value);
    bool GetExt() const { return m_getExt; }
    void setGetExt(bool value);

    // Folder shown (ends with '/'), or "<List>" when a FilesList spans several folders.
    QString Path() const { return m_path; }
    void setPath(const QString &value);
    QString Pattern() const { return m_pattern; }
    void setPattern(const QString &value);
    QStringList FilesList() const { return m_filesList; }
    void setFilesList(const QStringList &value);

    // The current item (with the focus rectangle), or nullptr. Setting selects it, scrolls to
    // it and raises SelChanged (run time only).
    Thumb *SelectedItem() const;
    void setSelectedItem(Thumb *item);

    int Items() const { return m_items; }
    int Rows() const { return m_layout.rows; }
    int Columns() const { return m_visible.columns ? m_visible.columns : m_layout.columns; }
    int VisibleRows() const { return m_visible.visibleRows; }
    int VisibleItems() const { return m_visible.visibleItems; }
    int VisiblePartItems() const { return m_visible.visiblePartItems; }
    int VisibleFirst() const { return m_visible.visibleFirst; }
    int VisibleLast() const { return m_visible.visibleLast; }
    // Names of the selected items in the order they were selected.
    QStringList SelThumbs() const;
    // The items, and the rectangles of the items drawn in the last paint.
    ::Thumbs &Thumbs() const { return *m_thumbs; }
    ::Thumbnails &Thumbnails() const { return *m_thumbnails; }

    bool UserMode() const { return m_userMode; }
    void setUserMode(bool value) { m_userMode = value; }

    // ---- methods ----------------------------------------------------------------------
    void Clear();
    void StopDraw();
    void Refresh();
    void Redraw();
    void DrawItems();
    bool AddItem(const QString &sPath, const QString &sName);
    bool RenameItem(const QString &sName, const QString &sNewName);
    // sPathNames: full paths, each followed by '\0', the list ended by one more '\0'.
    bool DeleteItems(const QString &sPathNames);
    // vKey: an item index (number) or a file name.
    void EnsureVisible(const QVariant &vKey);
    // The item at a surface point, or nullptr; THH receives a THHITTESTINFO value.
    Thumb *HitTest(float X, float Y, int &THH);
    bool ExportThumb(const QString &Name, const QString &SavePath, int Style);
    void StartLabelEdit();
    void ShowAboutBox();

    // Saved design (keys and defaults of the property table; defaults are not written).
    void WriteProperties(PropertyBag &bag) const;
    void ReadProperties(const PropertyBag &bag);

signals:
    void BeforePathChange(const QString &sPath, bool *Cancel);
    void AfterPathChange(int ItemsCount);
    void AfterListChange(int ItemsCount);
    void AfterPatternChange();
    void ItemsCountChange(int ItemsCount);
    void AfterThumbAdd(int Index, const QString &Name);
    void ThumbsAdded(int Items);
    void Interrupted();
    // Same name as the HitTest method; connect with QOverload<Thumb *>::of(&Thumbnailer::HitTest).
    void HitTest(Thumb *thumb);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseDown(Thumb *thumb, int Button, int Shift, float X, float Y);
    void MouseUp(Thumb *thumb, int Button, int Shift, float X, float Y);
    void Click(Thumb *thumb);
    void DblClick(Thumb *thumb);
    void SelChanged(Thumb *thumb);
    void ItemAdd(Thumb *thumb);
    void ItemRename(Thumb *thumb, const QString &sOldName);
    void ItemDelete(const QString &sPath, const QString &sName);
    void ItemsDeleted(int ItemsCount);
    void ItemsStartDrag(QMimeData *Data, int *DropEffect);
    void ItemsDragOver(QMimeData *Data, int *DropEffect, int *Button, int *Shift, float X, float Y,
                       int State);
    void ItemsDragDrop(QMimeData *Data, int *DropEffect, bool *Cancel);
    void ItemsCompleteDrag(int DropEffect);
    void BeforeLabelEdit(Thumb *thumb);
    void AfterLabelEdit(Thumb *thumb, const QString &NewText, bool *bCancel);
    // A saved property changed (the host's saved design is out of date).
    void PropertyChanged(const QString &name);

public:
    // ---- control internals, for the control's own helper classes ------------------------
    // Display-ordered records (0-based; item index i is records()[i - 1]).
    FileRecords &records() { return m_records; }
    const GridGeometry &geometry() const { return m_geometry; }
    const GridLayout &layoutState() const { return m_layout; }
    const VisibleRange &visibleRange() const { return m_visible; }
    int Overhang() const { return m_visible.overhang; }
    ThumbSurface *surface() const { return m_picBase; }
    QScrollBar *verticalBar() const { return m_vScroll; }
    QScrollBar *horizontalBar() const { return m_hScroll; }
    cMemDCs &memDCs() const { return *m_memDCs; }
    // The rendered cell of an item as an image (whole cell, or the picture alone).
    QImage cellImage(const Thumb &thumb, bool wholeCell) const;
    // The selection (Selected flags, SelThumbs and the current item kept together).
    ThumbSelection &selection() const { return *m_selection; }
    // Replaces the selection by these items, in this order (flags follow).
    void setSelThumbs(const QStringList &names);
    QString selectedItemName() const;
    // Makes an item current without selecting it.
    void setSelectedItemName(const QString &name);
    // The tooltip object; null while Tooltips is off.
    cToolTip *toolTipObject() const { return m_toolTip.get(); }
    bool labelEditing() const { return m_editing; }
    // Shift bits of the mouse events: 1 Shift, 2 Ctrl, 4 Alt.
    static int ShiftCode(Qt::KeyboardModifiers modifiers);
    void setItemsCount(int value) { m_items = value; }
    // Computes the visible range for the current bar position and paints the visible items.
    void PaintVisible();
    // Repaints one visible item's label box (after a rename).
    void PaintLabel(const QString &name);
    bool listingActive() const { return m_listing; }
    bool renderingActive() const { return m_rendering; }
    // Screen width used to size memory cells (0 = the primary screen's).
    void setScreenWidthForCells(int width) { m_screenWidthOverride = width; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class ThumbSurface;
    // Input on the drawing surface (selection, keys, label editing, drag and drop).
    void picBase_MouseDown(QMouseEvent *event);
    void picBase_MouseMove(QMouseEvent *event);
    void picBase_MouseUp(QMouseEvent *event);
    void picBase_DblClick(QMouseEvent *event);
    void picBase_KeyDown(QKeyEvent *event);
    void picBase_DragEnter(QDragEnterEvent *event);
    void picBase_DragMove(QDragMoveEvent *event);
    void picBase_DragLeave(QDragLeaveEvent *event);
    void picBase_Drop(QDropEvent *event);
    void VScroll_Change();
    void HScroll_Change();
    void tmrEndProc_Timer();
    void EndLabelEdit();
    // Drops hover, press, band and drag state (on Clear).
    void resetInteraction();
    void applyBorderStyle();

    // mouse, band and keys
    int hoverIndexAt(QPoint point) const;
    int recordIndexOf(const QString &name) const;
    int currentIndex() const;
    void setVerticalValue(int value);
    QRect visibleArea() const;
    ThumbBandGrid bandGrid() const;
    void drawBandFrame();
    void eraseBandFrame();
    int scrollableDirections() const;
    void updateAutoScroll();
    void tmrAutoScroll_Timer();
    void moveToIndex(int index);
    void selectAll();
    // deleting, dragging and dropping
    void deleteSelection();
    void startDrag();
    bool isOwnDrag(const QDropEvent *event) const;
    void dragOver(QDropEvent *event, int state);
    bool transferIn(const QStringList &files, int effect);

    void markChanged(const char *name);
    // Stores a setting that needs no redraw and marks it changed.
    template <typename T> void store(T &member, const T &value, const char *name)
    {
        member = value;
        markChanged(name);
    }
    void resortShown();
    void recomputeGeometry();
    void enforceOffsetRule();
    void afterSizeChange();
    void resetView();
    void layOutGrid();
    void sortRecords();
    // Folder or list listing; -1 when interrupted, else the number of records.
    int listSource(bool listMode);
    // Cell store and rendering of every record; false when interrupted or failed.
    enum class RenderResult { Done, Interrupted, Failed, Gone };
    RenderResult renderAll();
    // Rendering has ended: a sort asked for meanwhile is applied.
    void endRendering();
    void paintLabel(QPainter &painter, const Thumb &thumb, int x, int y);
    // Lists, sorts, renders and paints; false when interrupted. After a false result the
    // control may be gone.
    bool showSource(bool listMode);
    int screenWidthForCells() const;
    static bool alive(const QPointer<Thumbnailer> &self, quint64 generation);

    // settings
    ethBorderStyle m_borderStyle = thbFixedSingle;
    quint32 m_backColor = 0x8000000F;
    quint32 m_backClrItem = 0x8000000F;
    int m_thumbWidth = 60;
    int m_thumbHeight = 60;
    int m_thumbOffset = 10;
    int m_thumbSpace = 10;
    ethBorder m_thumbBorderStyle = thoThinRaisedDark;
    ethBorderIn m_thumbBorderInStyle = thiNone;
    ethBorder m_labelBorderStyle = thoThinSunkenDark;
    bool m_hasLabel = true;
    ethLabelEdit m_labelEdit = thlManual;
    bool m_showHidden = true;
    bool m_showSystem = true;
    bool m_showReadOnly = true;
    bool m_canDelete = false;
    bool m_dragDrop = false;
    ethSort m_sorted = thsByName;
    ethSortOrder m_sortOrder = thdAscending;
    bool m_fsoEnable = false;
    bool m_tooltips = true;
    bool m_getType = false;
    bool m_getSize = false;
    bool m_getDate = false;
    bool m_getDims = false;
    bool m_getExt = false;
    QString m_path;
    QString m_pattern = QStringLiteral("*.bmp");
    QStringList m_patterns;
    QStringList m_filesList;
    bool m_userMode = true;

    // state
    FileRecords m_records;
    int m_items = 0;
    std::unique_ptr<::Thumbs> m_thumbs;
    std::unique_ptr<::Thumbnails> m_thumbnails;
    std::unique_ptr<ThumbSelection> m_selection;
    std::unique_ptr<cMemDCs> m_memDCs;
    GridGeometry m_geometry;
    GridLayout m_layout;
    VisibleRange m_visible;
    bool m_listing = false;
    bool m_rendering = false;
    // Where rendering stands while the host changes the items between two files.
    RenderCursor m_cursor;
    bool m_addingItem = false;
    quint64 m_generation = 0;
    bool m_hostSeen = false;
    int m_screenWidthOverride = 0;
    // geometry of the existing memory cells, and AddItem's own block
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_cellOffset = 0;
    int m_cellsPerRow = 0;
    int m_addCapacity = 0;
    int m_addUsed = 0;

    // children (the viewport clips the surface to the inside of the border)
    QWidget *m_viewport = nullptr;
    ThumbSurface *m_picBase = nullptr;
    QScrollBar *m_vScroll = nullptr;
    QScrollBar *m_hScroll = nullptr;
    cLabelEdit *m_txtLabel = nullptr;
    QTimer *m_tmrEndProc = nullptr;
    QTimer *m_tmrAutoScroll = nullptr;
    QMenu *m_mnuPopup = nullptr;

    // input state
    std::unique_ptr<cToolTip> m_toolTip;
    int m_hoverIndex = 0; // 1-based in Thumbnails, 0 over empty space
    QString m_pressedName;
    QPoint m_pressPoint;
    bool m_pressedOnItem = false;
    bool m_bandMode = false;
    bool m_bandStarted = false;
    bool m_dragStarted = false;
    bool m_dblClickSeen = false;
    bool m_movingTo = false;
    QString m_lastClicked;
    QPoint m_bandAnchor;
    QPoint m_bandCorner;
    bool m_bandShown = false;
    QRect m_bandFrame;
    QRect m_bandClip;
    int m_scrollDirs = 0;
    // label editing
    QString m_editName;
    bool m_editing = false;
    bool m_startingEdit = false;
    // deleting, dragging and dropping
    bool m_deletingItems = false;
    bool m_ownDrag = false;
    int m_dropButton = 1;
    int m_dropEffect = 0;
    std::unique_ptr<QMimeData> m_dragOverData;
};
