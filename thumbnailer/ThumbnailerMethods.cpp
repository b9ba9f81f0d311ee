// The Thumbnailer's view, selection and editing methods, its saved design, its about box and
// the widget events it answers.
#include "Thumbnailer.h"

#include "ModalSeam.h"
#include "PropertyBag.h"
#include "ReplacingFile.h"
#include "ThumbAboutBox.h"
#include "ThumbCellAccess.h"
#include "ThumbLimits.h"
#include "ThumbPersistence.h"
#include "ThumbnailerPrivate.h"
#include "mThumbnailer.h"

#include <QEvent>
#include <QImageWriter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

using namespace Pixtile;

// ---- the grid ------------------------------------------------------------------------------

int Thumbnailer::Rows() const
{
    return d->view.layout().rows;
}

int Thumbnailer::Columns() const
{
    return d->view.columns();
}

int Thumbnailer::VisibleRows() const
{
    return d->view.visible().visibleRows;
}

int Thumbnailer::VisibleItems() const
{
    return d->view.visible().visibleItems;
}

int Thumbnailer::VisiblePartItems() const
{
    return d->view.visible().visiblePartItems;
}

int Thumbnailer::VisibleFirst() const
{
    return d->view.visible().visibleFirst;
}

int Thumbnailer::VisibleLast() const
{
    return d->view.visible().visibleLast;
}

::Thumbnails &Thumbnailer::Thumbnails() const
{
    return d->model.thumbnails();
}

void Thumbnailer::Refresh()
{
    d->view.refresh();
}

void Thumbnailer::DrawItems()
{
    d->view.drawItems();
}

void Thumbnailer::EnsureVisible(const QVariant &vKey)
{
    int index = 0;
    switch (vKey.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        index = vKey.toInt();
        break;
    default:
        index = d->model.indexOf(vKey.toString());
        if (index == 0)
            return;
    }
    if (index < 1 || index > Items())
        return;
    d->view.ensureVisible(index);
}

Thumb *Thumbnailer::HitTest(float X, float Y, int &THH)
{
    THH = 0;
    return d->model.shownItem(d->view.itemAt(QPointF(X, Y), &THH));
}

// ---- selection -----------------------------------------------------------------------------

Thumb *Thumbnailer::SelectedItem() const
{
    return d->model.selection().SelectedItem();
}

void Thumbnailer::setSelectedItem(Thumb *item)
{
    d->setSelectedItem(item);
}

QStringList Thumbnailer::SelThumbs() const
{
    return d->model.selection().SelThumbs();
}

// ---- editing -------------------------------------------------------------------------------

bool Thumbnailer::RenameItem(const QString &sName, const QString &sNewName)
{
    return d->renameItem(sName, sNewName);
}

bool Thumbnailer::DeleteItems(const QString &sPathNames)
{
    return d->deleteItems(sPathNames);
}

bool Thumbnailer::ExportThumb(const QString &Name, const QString &SavePath, int Style)
{
    const Thumb *thumb = d->model.thumbs().Item(Name);
    if (!thumb || SavePath.isEmpty())
        return false;
    const QImage image =
        d->pipeline.cells().cellImage(ThumbCellAccess::cell(*thumb), Style != theClear);
    if (image.isNull())
        return false;
    // An existing file is replaced only by a complete bitmap (never a pipe or a device).
    ReplacingFile file(SavePath);
    QImageWriter writer(&file, "bmp");
    return file.open(QIODevice::WriteOnly) && writer.write(image) && file.commit();
}

void Thumbnailer::StartLabelEdit()
{
    d->labels.start();
}

void Thumbnailer::ShowAboutBox()
{
    ThumbAboutBox box(this);
    ModalSeam::exec(box);
}

// ---- saved design --------------------------------------------------------------------------

void Thumbnailer::WriteProperties(PropertyBag &bag) const
{
    ThumbPersistence::Write(*this, bag);
}

void Thumbnailer::ReadProperties(const PropertyBag &bag)
{
    const QVariantMap v = ThumbPersistence::Read(bag);
    auto number = [&](const char *name) { return v.value(QLatin1String(name)).toLongLong(); };
    auto flag = [&](const char *name) { return v.value(QLatin1String(name)).toBool(); };
    ThumbSettings &s = d->settings;

    s.borderStyle = ethBorderStyle(number("BorderStyle"));
    d->applyBorderStyle();
    s.backColor = quint32(number("BackColor"));
    s.backClrItem = quint32(number("BackClrItem"));
    s.thumbWidth = ThumbLimits::clampThumbSize(int(number("ThumbWidth")));
    s.thumbHeight = ThumbLimits::clampThumbSize(int(number("ThumbHeight")));
    s.thumbOffset = ThumbLimits::clampOffset(int(number("ThumbOffset")));
    s.thumbSpace = ThumbLimits::clampSpace(int(number("ThumbSpace")));
    // Enumerated values are taken as stored (an unknown border style draws no edge).
    s.thumbBorderStyle = ethBorder(number("ThumbBorderStyle"));
    s.thumbBorderInStyle = ethBorderIn(number("ThumbBorderInStyle"));
    s.labelBorderStyle = ethBorder(number("LabelBorderStyle"));
    s.hasLabel = flag("HasLabel");
    s.labelEdit = ethLabelEdit(number("LabelEdit"));
    s.showHidden = flag("ShowHidden");
    s.showSystem = flag("ShowSystem");
    s.showReadOnly = flag("ShowReadOnly");
    s.canDelete = flag("CanDelete");
    s.dragDrop = flag("DragDrop");
    s.sorted = ethSort(number("Sorted"));
    s.sortOrder = ethSortOrder(number("SortOrder"));
    s.fsoEnable = flag("FSOEnable");
    s.tooltips = flag("Tooltips");
    s.getType = flag("GetType");
    s.getSize = flag("GetSize");
    s.getDate = flag("GetDate");
    s.getDims = flag("GetDims");
    s.getExt = flag("GetExt");
    s.useThumbnailCache = flag("UseThumbnailCache");
    // Stored only: nothing is listed until the host asks.
    s.path = v.value(QStringLiteral("Path")).toString();
    s.pattern = v.value(QStringLiteral("Pattern")).toString();
    s.patterns = mThumbnailer::ParsePatterns(s.pattern);
    if (s.patterns.isEmpty()) {
        s.pattern = QStringLiteral("*.bmp");
        s.patterns = mThumbnailer::ParsePatterns(s.pattern);
    }

    d->enforceOffsetRule();
    d->view.recomputeGeometry();
    d->view.reset();
    d->mouse.setToolTips(s.tooltips);
    d->view.surface()->setAcceptDrops(s.dragDrop);
    if (s.userMode)
        d->tmrEndProc->start();
}

// ---- widget events -------------------------------------------------------------------------

void Thumbnailer::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (d)
        DrawItems();
}

void Thumbnailer::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    if (d)
        d->hostSeen = true;
}

void Thumbnailer::wheelEvent(QWheelEvent *event)
{
    if (!d) {
        event->ignore();
        return;
    }
    // The vertical bar counts rows, the horizontal one pixels.
    QScrollBar *across = d->view.horizontalBar();
    const QPointF perNotch(across->singleStep(), 1);
    const QPointF pixelsPerStep(1, std::max(1, d->view.geometry().rowPitch));
    event->setAccepted(
        d->wheel.Scroll(*event, across, d->view.verticalBar(), perNotch, pixelsPerStep));
}

void Thumbnailer::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (d && event->type() == QEvent::FontChange) {
        d->view.recomputeGeometry();
        DrawItems();
    }
}
