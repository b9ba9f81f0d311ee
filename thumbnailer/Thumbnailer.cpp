// The Thumbnailer's construction and its appearance and behaviour properties.
#include "Thumbnailer.h"

#include "ThumbLimits.h"
#include "ThumbnailerPrivate.h"

#include <QTimer>

using namespace Pixtile;

Thumbnailer::Thumbnailer(QWidget *parent)
    : QFrame(parent), d(std::make_unique<ThumbnailerPrivate>(this))
{
    setObjectName(QStringLiteral("Thumbnailer"));
    setBorderStyle(thbFixedSingle);
    d->view.recomputeGeometry();
    d->view.reset();
    d->tmrEndProc->start();
}

Thumbnailer::~Thumbnailer() = default;

// ---- appearance ----------------------------------------------------------------------------

Thumbnailer::ethBorderStyle Thumbnailer::BorderStyle() const
{
    return d->settings.borderStyle;
}

void Thumbnailer::setBorderStyle(ethBorderStyle value)
{
    d->settings.borderStyle = value;
    d->applyBorderStyle();
    d->markChanged("BorderStyle");
}

quint32 Thumbnailer::BackColor() const
{
    return d->settings.backColor;
}

void Thumbnailer::setBackColor(quint32 value)
{
    d->settings.backColor = value;
    d->markChanged("BackColor");
    if (d->settings.userMode)
        d->view.paintVisible();
}

quint32 Thumbnailer::BackClrItem() const
{
    return d->settings.backClrItem;
}

void Thumbnailer::setBackClrItem(quint32 value)
{
    d->settings.backClrItem = value;
    d->markChanged("BackClrItem");
}

int Thumbnailer::ThumbWidth() const
{
    return d->settings.thumbWidth;
}

void Thumbnailer::setThumbWidth(int value)
{
    d->settings.thumbWidth = ThumbLimits::clampThumbSize(value);
    d->markChanged("ThumbWidth");
    d->afterSizeChange();
}

int Thumbnailer::ThumbHeight() const
{
    return d->settings.thumbHeight;
}

void Thumbnailer::setThumbHeight(int value)
{
    d->settings.thumbHeight = ThumbLimits::clampThumbSize(value);
    d->markChanged("ThumbHeight");
    d->afterSizeChange();
}

int Thumbnailer::ThumbOffset() const
{
    return d->settings.thumbOffset;
}

void Thumbnailer::setThumbOffset(int value)
{
    d->settings.thumbOffset = ThumbLimits::clampOffset(value);
    d->markChanged("ThumbOffset");
    d->afterSizeChange();
}

int Thumbnailer::ThumbSpace() const
{
    return d->settings.thumbSpace;
}

void Thumbnailer::setThumbSpace(int value)
{
    d->settings.thumbSpace = ThumbLimits::clampSpace(value);
    d->markChanged("ThumbSpace");
    d->view.recomputeGeometry();
    if (d->settings.userMode)
        DrawItems();
}

Thumbnailer::ethBorder Thumbnailer::ThumbBorderStyle() const
{
    return d->settings.thumbBorderStyle;
}

void Thumbnailer::setThumbBorderStyle(ethBorder value)
{
    d->settings.thumbBorderStyle = value;
    d->markChanged("ThumbBorderStyle");
    d->enforceOffsetRule();
    d->view.recomputeGeometry();
}

Thumbnailer::ethBorderIn Thumbnailer::ThumbBorderInStyle() const
{
    return d->settings.thumbBorderInStyle;
}

void Thumbnailer::setThumbBorderInStyle(ethBorderIn value)
{
    d->settings.thumbBorderInStyle = value;
    d->markChanged("ThumbBorderInStyle");
    d->enforceOffsetRule();
    d->view.recomputeGeometry();
}

Thumbnailer::ethBorder Thumbnailer::LabelBorderStyle() const
{
    return d->settings.labelBorderStyle;
}

void Thumbnailer::setLabelBorderStyle(ethBorder value)
{
    d->settings.labelBorderStyle = value;
    d->markChanged("LabelBorderStyle");
    d->view.recomputeGeometry();
    if (d->settings.userMode)
        DrawItems();
}

bool Thumbnailer::HasLabel() const
{
    return d->settings.hasLabel;
}

void Thumbnailer::setHasLabel(bool value)
{
    d->settings.hasLabel = value;
    d->markChanged("HasLabel");
    d->view.recomputeGeometry();
    if (d->settings.userMode)
        DrawItems();
}

// ---- behaviour -----------------------------------------------------------------------------

namespace {
// A setting that needs nothing redone: stored and marked changed.
template <typename T> void store(ThumbnailerPrivate &d, T &member, T value, const char *name)
{
    member = value;
    d.markChanged(name);
}
} // namespace

Thumbnailer::ethLabelEdit Thumbnailer::LabelEdit() const
{
    return d->settings.labelEdit;
}

void Thumbnailer::setLabelEdit(ethLabelEdit value)
{
    store(*d, d->settings.labelEdit, value, "LabelEdit");
}

bool Thumbnailer::ShowHidden() const
{
    return d->settings.showHidden;
}

void Thumbnailer::setShowHidden(bool value)
{
    store(*d, d->settings.showHidden, value, "ShowHidden");
}

bool Thumbnailer::ShowSystem() const
{
    return d->settings.showSystem;
}

void Thumbnailer::setShowSystem(bool value)
{
    store(*d, d->settings.showSystem, value, "ShowSystem");
}

bool Thumbnailer::ShowReadOnly() const
{
    return d->settings.showReadOnly;
}

void Thumbnailer::setShowReadOnly(bool value)
{
    store(*d, d->settings.showReadOnly, value, "ShowReadOnly");
}

bool Thumbnailer::CanDelete() const
{
    return d->settings.canDelete;
}

void Thumbnailer::setCanDelete(bool value)
{
    store(*d, d->settings.canDelete, value, "CanDelete");
}

bool Thumbnailer::DragDrop() const
{
    return d->settings.dragDrop;
}

void Thumbnailer::setDragDrop(bool value)
{
    store(*d, d->settings.dragDrop, value, "DragDrop");
    d->view.surface()->setAcceptDrops(value);
}

Thumbnailer::ethSort Thumbnailer::Sorted() const
{
    return d->settings.sorted;
}

void Thumbnailer::setSorted(ethSort value)
{
    store(*d, d->settings.sorted, value, "Sorted");
    d->resortShown();
}

Thumbnailer::ethSortOrder Thumbnailer::SortOrder() const
{
    return d->settings.sortOrder;
}

void Thumbnailer::setSortOrder(ethSortOrder value)
{
    store(*d, d->settings.sortOrder, value, "SortOrder");
    d->resortShown();
}

bool Thumbnailer::FSOEnable() const
{
    return d->settings.fsoEnable;
}

void Thumbnailer::setFSOEnable(bool value)
{
    store(*d, d->settings.fsoEnable, value, "FSOEnable");
}

bool Thumbnailer::Tooltips() const
{
    return d->settings.tooltips;
}

void Thumbnailer::setTooltips(bool value)
{
    store(*d, d->settings.tooltips, value, "Tooltips");
    if (d->settings.userMode)
        d->mouse.setToolTips(value);
}

bool Thumbnailer::GetType() const
{
    return d->settings.getType;
}

void Thumbnailer::setGetType(bool value)
{
    store(*d, d->settings.getType, value, "GetType");
}

bool Thumbnailer::GetSize() const
{
    return d->settings.getSize;
}

void Thumbnailer::setGetSize(bool value)
{
    store(*d, d->settings.getSize, value, "GetSize");
}

bool Thumbnailer::GetDate() const
{
    return d->settings.getDate;
}

void Thumbnailer::setGetDate(bool value)
{
    store(*d, d->settings.getDate, value, "GetDate");
}

bool Thumbnailer::GetDims() const
{
    return d->settings.getDims;
}

void Thumbnailer::setGetDims(bool value)
{
    store(*d, d->settings.getDims, value, "GetDims");
}

bool Thumbnailer::GetExt() const
{
    return d->settings.getExt;
}

void Thumbnailer::setGetExt(bool value)
{
    store(*d, d->settings.getExt, value, "GetExt");
}

bool Thumbnailer::UseThumbnailCache() const
{
    return d->settings.useThumbnailCache;
}

void Thumbnailer::setUseThumbnailCache(bool value)
{
    store(*d, d->settings.useThumbnailCache, value, "UseThumbnailCache");
}

bool Thumbnailer::UserMode() const
{
    return d->settings.userMode;
}

void Thumbnailer::setUserMode(bool value)
{
    d->settings.userMode = value;
}
