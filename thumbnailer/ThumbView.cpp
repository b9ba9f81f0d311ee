#include "ThumbView.h"

#include "PixtileMessages.h"
#include "ThumbCellStore.h"
#include "ThumbDelegate.h"
#include "ThumbModel.h"
#include "ThumbSettings.h"
#include "ThumbSurface.h"
#include "Thumbnailer.h"
#include "TranslateColor.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace Pixtile {

ThumbView::ThumbView(Thumbnailer *control, const ThumbSettings &settings, ThumbModel &model,
                     const ThumbCellStore &cells, ThumbSurfaceInput &input)
    : m_control(control), m_settings(settings), m_model(model), m_cells(cells),
      m_viewport(new QWidget(control)), m_picBase(new ThumbSurface(input, control)),
      m_vScroll(new QScrollBar(Qt::Vertical, m_viewport)),
      m_hScroll(new QScrollBar(Qt::Horizontal, m_viewport))
{
    m_viewport->setObjectName(QStringLiteral("viewport"));
    m_picBase->setParent(m_viewport);
    m_vScroll->setObjectName(QStringLiteral("VScroll"));
    m_vScroll->hide();
    m_hScroll->setObjectName(QStringLiteral("HScroll"));
    m_hScroll->hide();
}

void ThumbView::recomputeGeometry()
{
    const int textHeight = QFontMetrics(m_control->font()).height();
    const int bar = m_control->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_hScroll);
    m_geometry = GridGeometry::compute(m_settings.grid(), textHeight, bar);
}

void ThumbView::reset()
{
    const QSignalBlocker blockV(m_vScroll);
    const QSignalBlocker blockH(m_hScroll);
    m_vScroll->hide();
    m_vScroll->setValue(0);
    m_hScroll->hide();
    m_hScroll->setValue(0);
    m_layout = GridLayout();
    m_visible = VisibleRange();
    m_viewport->setGeometry(m_control->contentsRect());
    m_picBase->move(0, 0);
    m_picBase->resizeSurface(m_viewport->width(), m_viewport->height(),
                             TranslateColor(m_settings.backColor));
    m_picBase->update();
}

void ThumbView::layOut()
{
    m_viewport->setGeometry(m_control->contentsRect());
    const int W = m_viewport->width();
    const int H = m_viewport->height();
    const int items = m_model.count();
    if (items <= 0) {
        reset();
        return;
    }
    m_layout = GridLayout::compute(m_geometry, W, H, items);
    const int S = m_geometry.scrollBarSize;
    const QSignalBlocker blockV(m_vScroll);
    const QSignalBlocker blockH(m_hScroll);
    if (m_layout.verticalBar) {
        m_vScroll->setRange(0, m_layout.verticalMax);
        m_vScroll->setPageStep(m_layout.verticalLargeChange);
        m_vScroll->setSingleStep(1);
        m_vScroll->setGeometry(W - S, 0, S, m_layout.horizontalBar ? H - S : H);
        m_vScroll->show();
        m_vScroll->raise();
    } else {
        m_vScroll->hide();
        m_vScroll->setValue(0);
    }
    if (m_layout.horizontalBar) {
        m_hScroll->setRange(0, m_layout.horizontalMax);
        m_hScroll->setPageStep(std::max(1, m_layout.visibleAreaWidth));
        m_hScroll->setSingleStep(std::max(1, m_geometry.columnPitch / 4));
        m_hScroll->setGeometry(0, H - S, m_layout.verticalBar ? W - S : W, S);
        m_hScroll->show();
        m_hScroll->raise();
    } else {
        m_hScroll->hide();
        m_hScroll->setValue(0);
    }
    m_picBase->move(m_layout.horizontalBar ? -m_hScroll->value() : 0, 0);
    m_picBase->resizeSurface(m_layout.surfaceWidth, m_layout.surfaceHeight,
                             TranslateColor(m_settings.backColor));
}

void ThumbView::drawItems()
{
    if (m_picBase->isHidden())
        return;
    layOut();
    paintVisible();
}

void ThumbView::refresh()
{
    m_picBase->update();
}

void ThumbView::paintVisible()
{
    QImage &canvas = m_picBase->canvas();
    const int items = m_model.count();
    m_visible = VisibleRange();
    if (items > 0 && m_layout.columns > 0)
        m_visible = VisibleRange::compute(m_geometry, canvas.width(), canvas.height(), items,
                                          m_layout.rows, !m_vScroll->isHidden(), m_vScroll->value(),
                                          m_vScroll->maximum(), !m_hScroll->isHidden());
    canvas.fill(TranslateColor(m_settings.backColor));
    ::Thumbnails &thumbnails = m_model.thumbnails();
    thumbnails.Clear();
    const int first = m_visible.visibleFirst;
    const int last = m_visible.visibleLast;
    if (first > 0 && last >= first && last <= items) {
        QPainter painter(&canvas);
        painter.setFont(m_control->font());
        const ThumbDelegate delegate(m_settings, m_geometry, m_cells, m_model.selection());
        const int W = m_settings.thumbWidth;
        const int H = m_settings.thumbHeight;
        const int columns = std::max(1, m_visible.columns);
        const int shift = (!m_vScroll->isHidden() && m_vScroll->value() >= m_vScroll->maximum())
                              ? m_visible.overhang
                              : 0;
        const QRect surfaceRect = canvas.rect();
        for (int i = first, k = 0; i <= last; ++i, ++k) {
            const Thumb *thumb = m_model.itemAt(i);
            if (!thumb)
                continue;
            const int x = (k % columns) * m_geometry.columnPitch + m_settings.thumbSpace;
            const int y = (k / columns) * m_geometry.rowPitch + m_settings.thumbSpace - shift;
            delegate.paintItem(painter, *thumb, x, y, surfaceRect);
            Thumbnail shown;
            shown.setPath(thumb->Path());
            shown.setName(thumb->Name());
            shown.setThumbLeft(x);
            shown.setThumbTop(y);
            shown.setThumbRight(x + W);
            shown.setThumbBottom(y + H);
            if (m_settings.hasLabel) {
                shown.setLabelTop(y + H + 1);
                shown.setLabelBottom(y + H + 1 + m_geometry.labelHeight);
            } else {
                shown.setLabelTop(-1);
                shown.setLabelBottom(-1);
            }
            if (!thumbnails.Add(shown, thumb->Name()))
                PixtileMessages::ShowNameTaken(m_control);
        }
    }
    m_picBase->update();
}

void ThumbView::paintLabel(const QString &name)
{
    if (!m_settings.hasLabel)
        return;
    const Thumbnail *shown = m_model.thumbnails().Item(name);
    const Thumb *thumb = m_model.thumbs().Item(name);
    if (!shown || !thumb)
        return;
    {
        QPainter painter(&m_picBase->canvas());
        painter.setFont(m_control->font());
        ThumbDelegate(m_settings, m_geometry, m_cells, m_model.selection())
            .paintLabel(painter, *thumb, shown->ThumbLeft(), shown->ThumbTop());
    }
    m_picBase->update();
}

int ThumbView::itemAt(QPointF point, int *part) const
{
    const ::Thumbnails &thumbnails = m_model.thumbnails();
    const double X = point.x();
    const double Y = point.y();
    for (int i = 1; i <= thumbnails.Count(); ++i) {
        const Thumbnail *t = thumbnails.Item(i);
        const int bottom = m_settings.hasLabel ? t->LabelBottom() : t->ThumbBottom();
        if (X >= t->ThumbLeft() && X <= t->ThumbRight() && Y >= t->ThumbTop() && Y <= bottom) {
            if (part) {
                if (Y < t->ThumbBottom())
                    *part = Thumbnailer::THT_ONICON;
                else if (Y > t->LabelTop())
                    *part = Thumbnailer::THT_ONLABEL;
                else
                    *part = Thumbnailer::THT_ONSPACE;
            }
            return i;
        }
    }
    return 0;
}

void ThumbView::setVerticalValue(int value)
{
    value = std::clamp(value, 0, m_vScroll->maximum());
    if (value == m_vScroll->value())
        paintVisible();
    else
        m_vScroll->setValue(value); // repaints through the bar's change handling
}

void ThumbView::ensureVisible(int index)
{
    const int columns = this->columns();
    if (columns <= 0 || m_vScroll->isHidden()) {
        paintVisible();
        return;
    }
    const int row = (index - 1) / columns;
    const int rowPitch = std::max(1, m_geometry.rowPitch);
    const int visibleHeight = visibleArea().height();
    const int fullRows = std::max(1, FloorDiv(visibleHeight - m_settings.thumbSpace, rowPitch));
    if (index < m_visible.visibleFirst) {
        setVerticalValue(row);
        return;
    }
    if (index > m_visible.visibleLast) {
        setVerticalValue(row - fullRows + 1);
        return;
    }
    const Thumbnail *shown = m_model.thumbnails().Item(m_model.records()[index - 1].Name);
    if (shown) {
        const int bottom = m_settings.hasLabel ? shown->LabelBottom() : shown->ThumbBottom();
        if (shown->ThumbTop() < 0) {
            setVerticalValue(row);
            return;
        }
        if (bottom > visibleHeight) {
            setVerticalValue(row - fullRows + 1);
            return;
        }
    }
    paintVisible();
}

QRect ThumbView::visibleArea() const
{
    const int left = m_hScroll->isHidden() ? 0 : m_hScroll->value();
    const int width = m_layout.columns > 0 ? m_layout.visibleAreaWidth : m_viewport->width();
    const int height =
        m_viewport->height() - (m_hScroll->isHidden() ? 0 : m_geometry.scrollBarSize);
    return QRect(left, 0, std::max(0, width), std::max(0, height));
}

void ThumbView::followHorizontalBar()
{
    if (!m_hScroll->isHidden())
        m_picBase->move(-m_hScroll->value(), 0);
}

} // namespace Pixtile
