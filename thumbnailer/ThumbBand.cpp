#include "ThumbBand.h"

#include "ThumbnailerPrivate.h"

#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace Pixtile {

QRect ThumbBand::normalised(QPoint anchor, QPoint corner)
{
    const int left = std::min(anchor.x(), corner.x());
    const int right = std::max(anchor.x(), corner.x());
    const int top = std::min(anchor.y(), corner.y());
    const int bottom = std::max(anchor.y(), corner.y());
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect ThumbBand::itemBox(const ThumbBandGrid &grid, int index)
{
    if (grid.columns <= 0 || index < 1)
        return {};
    const int k = index - 1;
    const int row = k / grid.columns;
    const int column = k % grid.columns;
    const int x = column * grid.columnPitch + grid.thumbSpace;
    const int y = (row - grid.firstRow) * grid.rowPitch + grid.thumbSpace - grid.yShift;
    const int bottom =
        grid.labelHeight > 0 ? y + grid.thumbHeight + 1 + grid.labelHeight : y + grid.thumbHeight;
    // Half-open: [x, x + width + 1) x [y, bottom + 1)
    return QRect(x, y, grid.thumbWidth + 1, bottom - y + 1);
}

QList<int> ThumbBand::itemsInBand(const ThumbBandGrid &grid, int left, int top, int right,
                                  int bottom)
{
    QList<int> hits;
    if (grid.items <= 0 || grid.columns <= 0 || left >= right || top >= bottom)
        return hits;
    for (int index = 1; index <= grid.items; ++index) {
        const QRect box = itemBox(grid, index);
        const int l = std::max(left, box.x());
        const int r = std::min(right, box.x() + box.width());
        const int t = std::max(top, box.y());
        const int b = std::min(bottom, box.y() + box.height());
        if (l < r && t < b)
            hits.append(index);
    }
    return hits;
}

int ThumbBand::touchedEdges(QPoint corner, const QRect &visible)
{
    int dirs = ScrollNone;
    const int left = visible.x();
    const int top = visible.y();
    const int right = visible.x() + visible.width();
    const int bottom = visible.y() + visible.height();
    if (corner.x() <= left + 2)
        dirs |= ScrollLeft;
    if (corner.x() >= right - 2)
        dirs |= ScrollRight;
    if (corner.y() <= top + 2)
        dirs |= ScrollUp;
    if (corner.y() >= bottom - 2)
        dirs |= ScrollDown;
    return dirs;
}

std::optional<int> ThumbBand::scrollInterval(int y, int visibleTop, int visibleBottom)
{
    int outside;
    if (y <= visibleTop + 2)
        outside = visibleTop - y;
    else if (y >= visibleBottom - 2)
        outside = y - visibleBottom;
    else
        return std::nullopt;
    if (outside <= 5)
        return 350;
    if (outside <= 13)
        return 250;
    if (outside <= 21)
        return 150;
    if (outside <= 30)
        return 100;
    return 50;
}

void ThumbBand::DrawFrame(QImage &image, const QRect &band, const QRect &clip)
{
    const QRect area = clip.intersected(image.rect());
    if (area.isEmpty() || image.depth() != 32)
        return;
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) != 0 || !area.contains(x, y))
            return;
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        line[x] = (line[x] & 0xFF000000u) | (~line[x] & 0x00FFFFFFu);
    };
    const int l = band.left();
    const int t = band.top();
    const int r = band.right();
    const int b = band.bottom();
    // Every edge pixel once, so that a frame one pixel thin is still drawn.
    for (int x = l; x <= r; ++x) {
        invert(x, t);
        if (b != t)
            invert(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        invert(l, y);
        if (r != l)
            invert(r, y);
    }
}

// ---- the band of one control -------------------------------------------------------------

ThumbBand::ThumbBand(ThumbnailerPrivate &d) : d(d), m_tmrAutoScroll(new QTimer(d.q))
{
    m_tmrAutoScroll->setObjectName(QStringLiteral("tmrAutoScroll"));
    m_tmrAutoScroll->setInterval(50);
    QObject::connect(m_tmrAutoScroll, &QTimer::timeout, &d.receiver, [this] { autoScrollTick(); });
}

void ThumbBand::anchorAt(QPoint point)
{
    m_anchor = point;
    m_corner = point;
}

void ThumbBand::begin()
{
    m_bandMode = true;
}

ThumbBandGrid ThumbBand::grid() const
{
    const ThumbSettings &s = d.settings;
    const GridGeometry &geometry = d.view.geometry();
    ThumbBandGrid grid;
    grid.items = d.model.count();
    grid.columns = d.view.columns();
    grid.thumbWidth = s.thumbWidth;
    grid.thumbHeight = s.thumbHeight;
    grid.thumbSpace = s.thumbSpace;
    grid.columnPitch = geometry.columnPitch;
    grid.rowPitch = geometry.rowPitch;
    grid.labelHeight = s.hasLabel ? geometry.labelHeight : 0;
    grid.firstRow = d.view.visible().firstRow;
    grid.yShift = d.view.visible().paintShift;
    return grid;
}

void ThumbBand::drawFrame()
{
    if (m_shown)
        return;
    m_frame = normalised(m_anchor, m_corner);
    m_clip = d.view.visibleArea().adjusted(-1, -1, 1, 1);
    DrawFrame(d.view.surface()->canvas(), m_frame, m_clip);
    m_shown = true;
    d.view.surface()->update();
}

void ThumbBand::eraseFrame()
{
    if (!m_shown)
        return;
    DrawFrame(d.view.surface()->canvas(), m_frame, m_clip);
    m_shown = false;
    d.view.surface()->update();
}

void ThumbBand::moveCorner(QPoint point, bool ctrl)
{
    eraseFrame();
    m_corner = point;
    if (!m_bandStarted) {
        m_bandStarted = true;
        if (d.model.selection().bandStarted(ctrl))
            d.view.paintVisible();
    }
    updateAutoScroll();
    drawFrame();
}

void ThumbBand::select(QPoint point, bool ctrl)
{
    m_tmrAutoScroll->stop();
    eraseFrame();
    m_corner = point;
    m_bandMode = m_bandStarted = false;
    const QRect band = normalised(m_anchor, m_corner);
    const QList<int> hits =
        itemsInBand(grid(), band.left(), band.top(), band.right(), band.bottom());
    QStringList names;
    for (int index : hits)
        names.append(d.model.records()[index - 1].Name);
    d.model.selection().bandSelect(names, ctrl);
    d.view.paintVisible();
}

void ThumbBand::cancel()
{
    if (!m_bandMode)
        return;
    m_tmrAutoScroll->stop();
    eraseFrame();
    m_anchor = m_corner;
    m_bandMode = m_bandStarted = false;
    d.view.surface()->update();
}

void ThumbBand::end()
{
    m_tmrAutoScroll->stop();
    eraseFrame();
    m_bandMode = m_bandStarted = false;
}

void ThumbBand::reset()
{
    m_tmrAutoScroll->stop();
    m_shown = false;
    m_bandMode = m_bandStarted = false;
}

int ThumbBand::scrollableDirections() const
{
    const QScrollBar *h = d.view.horizontalBar();
    const QScrollBar *v = d.view.verticalBar();
    int dirs = ScrollNone;
    if (!h->isHidden()) {
        if (h->value() > 0)
            dirs |= ScrollLeft;
        if (h->value() < h->maximum())
            dirs |= ScrollRight;
    }
    if (!v->isHidden()) {
        if (v->value() > 0)
            dirs |= ScrollUp;
        if (v->value() < v->maximum())
            dirs |= ScrollDown;
    }
    return dirs;
}

void ThumbBand::updateAutoScroll()
{
    const QRect area = d.view.visibleArea();
    if ((touchedEdges(m_corner, area) & scrollableDirections()) == ScrollNone) {
        m_tmrAutoScroll->stop();
        return;
    }
    if (const std::optional<int> interval =
            scrollInterval(m_corner.y(), area.top(), area.top() + area.height());
        interval && *interval != m_tmrAutoScroll->interval())
        m_tmrAutoScroll->setInterval(*interval);
    if (!m_tmrAutoScroll->isActive())
        m_tmrAutoScroll->start();
}

void ThumbBand::autoScrollTick()
{
    if (!m_bandMode) {
        m_tmrAutoScroll->stop();
        return;
    }
    const int dirs = touchedEdges(m_corner, d.view.visibleArea()) & scrollableDirections();
    if (dirs == ScrollNone) {
        m_tmrAutoScroll->stop();
        return;
    }
    eraseFrame();
    if (dirs & (ScrollLeft | ScrollRight)) {
        QScrollBar *h = d.view.horizontalBar();
        const int step = h->singleStep();
        const int old = h->value();
        h->setValue(old + ((dirs & ScrollLeft) ? -step : step));
        // The corner stays over the same place of the view while the surface moves.
        m_corner.rx() += h->value() - old;
    }
    if (dirs & (ScrollUp | ScrollDown)) {
        const int oldFirst = d.view.visible().firstRow;
        const int oldShift = d.view.visible().paintShift;
        {
            QScrollBar *v = d.view.verticalBar();
            const QSignalBlocker block(v);
            v->setValue(v->value() + ((dirs & ScrollUp) ? -1 : 1));
        }
        d.view.paintVisible();
        // Keep the band on the same items: its anchor moves by what the rows moved.
        const int shift = (d.view.visible().firstRow - oldFirst) * d.view.geometry().rowPitch +
                          (d.view.visible().paintShift - oldShift);
        m_anchor.ry() -= shift;
    }
    drawFrame();
    updateAutoScroll();
}

} // namespace Pixtile
