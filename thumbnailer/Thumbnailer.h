#pragma once

#include "Thumb.h"
#include "Thumbnail.h"
#include "Thumbnails.h"
#include "Thumbs.h"

#include <QFrame>
#include <QStringList>
#include <QVariant>

#include <memory>

class PropertyBag;
class QMimeData;
namespace Pixtile {
class ThumbnailerPrivate;
class ThumbnailerTestAccess;
} // namespace Pixtile

// The thumbnail viewer: shows the image files of a folder (Path + Pattern) or of an explicit
// list (FilesList) as a grid of cells with optional labels. Every picture is decoded once into
// memory cells; painting copies cells only.
//
// Child objects carry their names: the drawing surface "picBase", the bars "VScroll" and
// "HScroll", the label editor "txtLabel", the timers "tmrEndProc" and "tmrAutoScroll", and the
// popup menu "mnuPopup".
//
// Items lent through signals (Thumb *) belong to the control and are valid during the handler.
//
// Setting Path or FilesList and calling Redraw return at once: the files are listed, decoded
// and added from the event loop afterwards (the decoding on all cores), and the events of the
// listing and the rendering (ItemsCountChange, AfterThumbAdd, ThumbsAdded or Interrupted, then
// AfterPathChange or AfterListChange) come then, in their order and with their values. When it
// has all ended, RenderFinished is raised; Rendering() tells whether it is under way. Clear, a
// new Path or FilesList and Redraw cancel a rendering under way: nothing of it arrives after
// them.
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
    Q_PROPERTY(bool UseThumbnailCache READ UseThumbnailCache WRITE setUseThumbnailCache)
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
    // Each enumeration is an int: a saved design may hold any number for it, which is taken as
    // it is (and must then be a value of the type).
    enum ethBorderStyle : int { thbNone = 0, thbFixedSingle = 1 };
    Q_ENUM(ethBorderStyle)
    enum ethBorder : int {
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
    enum ethBorderIn : int {
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
    enum ethLabelEdit : int { thlAutomatic = 0, thlManual = 1 };
    Q_ENUM(ethLabelEdit)
    enum ethSort : int {
        thsByName = 0,
        thsByType = 1,
        thsBySize = 2,
        thsByDate = 3,
        thsByDims = 4,
        thsByExt = 5
    };
    Q_ENUM(ethSort)
    enum ethSortOrder : int { thdAscending = 0, thdDescending = 1 };
    Q_ENUM(ethSortOrder)
    enum ethExportStyles : int { theClear = 0, theFull = 1 };
    Q_ENUM(ethExportStyles)
    enum THHITTESTINFO : int { THT_ONICON = 1, THT_ONLABEL = 2, THT_ONSPACE = 4 };
    Q_ENUM(THHITTESTINFO)

    explicit Thumbnailer(QWidget *parent = nullptr);
    ~Thumbnailer() override;

    // ---- properties -------------------------------------------------------------------
    ethBorderStyle BorderStyle() const;
    void setBorderStyle(ethBorderStyle value);
    quint32 BackColor() const;
    void setBackColor(quint32 value);
    quint32 BackClrItem() const;
    void setBackClrItem(quint32 value);
    int ThumbWidth() const;
    void setThumbWidth(int value); // limited to 20..200
    int ThumbHeight() const;
    void setThumbHeight(int value); // limited to 20..200
    int ThumbOffset() const;
    void setThumbOffset(int value); // limited to 1..10, then the offset rule
    int ThumbSpace() const;
    void setThumbSpace(int value); // limited to 1..20
    ethBorder ThumbBorderStyle() const;
    void setThumbBorderStyle(ethBorder value);
    ethBorderIn ThumbBorderInStyle() const;
    void setThumbBorderInStyle(ethBorderIn value);
    ethBorder LabelBorderStyle() const;
    void setLabelBorderStyle(ethBorder value);
    bool HasLabel() const;
    void setHasLabel(bool value);

    ethLabelEdit LabelEdit() const;
    void setLabelEdit(ethLabelEdit value);
    bool ShowHidden() const;
    void setShowHidden(bool value);
    bool ShowSystem() const;
    void setShowSystem(bool value);
    bool ShowReadOnly() const;
    void setShowReadOnly(bool value);
    bool CanDelete() const;
    void setCanDelete(bool value);
    bool DragDrop() const;
    void setDragDrop(bool value);
    ethSort Sorted() const;
    void setSorted(ethSort value);
    ethSortOrder SortOrder() const;
    void setSortOrder(ethSortOrder value);
    bool FSOEnable() const;
    void setFSOEnable(bool value);
    bool Tooltips() const;
    void setTooltips(bool value);
    bool GetType() const;
    void setGetType(bool value);
    bool GetSize() const;
    void setGetSize(bool value);
    bool GetDate() const;
    void setGetDate(bool value);
    bool GetDims() const;
    void setGetDims(bool value);
    bool GetExt() const;
    void setGetExt(bool value);
    // Pictures are taken from the thumbnail cache shared with the desktop when it holds them,
    // and put there when they are decoded (stored; applies at the next rendering).
    bool UseThumbnailCache() const;
    void setUseThumbnailCache(bool value);

    // Folder shown (ends with '/'), or "<List>" when a FilesList spans several folders.
    QString Path() const;
    void setPath(const QString &value);
    QString Pattern() const;
    void setPattern(const QString &value);
    QStringList FilesList() const;
    void setFilesList(const QStringList &value);

    // The current item (with the focus rectangle), or nullptr. Setting selects it, scrolls to
    // it and raises SelChanged (run time only).
    Thumb *SelectedItem() const;
    void setSelectedItem(Thumb *item);

    int Items() const;
    int Rows() const;
    int Columns() const;
    int VisibleRows() const;
    int VisibleItems() const;
    int VisiblePartItems() const;
    int VisibleFirst() const;
    int VisibleLast() const;
    // Names of the selected items in the order they were selected.
    QStringList SelThumbs() const;
    // The items, and the rectangles of the items drawn in the last paint.
    ::Thumbs &Thumbs() const;
    ::Thumbnails &Thumbnails() const;

    bool UserMode() const;
    void setUserMode(bool value);

    // ---- methods ----------------------------------------------------------------------
    void Clear();
    void StopDraw();
    // Listing or rendering a source is under way (from setting Path or FilesList, or Redraw,
    // until RenderFinished).
    bool Rendering() const;
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
    // The listing and rendering that setting Path or FilesList or Redraw started has ended
    // (done, stopped or failed), after its last event. Not raised for one that Clear, a new
    // source or Redraw replaced.
    void RenderFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The wheel scrolls the rows (Shift+wheel sideways, where there is a horizontal bar), a notch
    // a row; at the end of the rows the wheel goes on to the control's parent (a scrolled panel
    // then scrolls).
    void wheelEvent(QWheelEvent *event) override;

private:
    friend class Pixtile::ThumbnailerPrivate;
    friend class Pixtile::ThumbnailerTestAccess;
    std::unique_ptr<Pixtile::ThumbnailerPrivate> d;
};
