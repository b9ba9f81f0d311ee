#include "ChartBrush.h"

#include "CaptionCache.h"
#include "ChartLayout.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Chart {

namespace {

// Pixel of a coordinate that may end in .5 (half a box height, the middle of a gap): such a
// coordinate goes to the pixel below or right of it, so the line between the halves of a box
// lies in the lower half, as a click on it does.
int pixel(double value)
{
    return int(std::ceil(value));
}

// The pixels from one corner to the other, both included.
QRect span(double x1, double y1, double x2, double y2)
{
    return QRect(QPoint(pixel(std::min(x1, x2)), pixel(std::min(y1, y2))),
                 QPoint(pixel(std::max(x1, x2)), pixel(std::max(y1, y2))));
}

// Whether two rectangles share a pixel.
bool meets(const QRect &a, const QRect &b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

} // namespace

bool BoxSprites::Key::operator==(const Key &other) const
{
    return std::memcmp(this, &other, sizeof(Key)) == 0;
}

size_t qHash(const BoxSprites::Key &key, size_t seed)
{
    return qHashBits(&key, sizeof(key), seed);
}

const QImage &BoxSprites::Get(const Key &key)
{
    const auto found = m_sprites.constFind(key);
    if (found != m_sprites.cend())
        return found.value();
    const int width = std::max(key.right, key.shadowRight);
    const int height = std::max(key.bottom, key.shadowBottom);
    QImage sprite(width, height, QImage::Format_RGB32);
    const auto fill = [&sprite](int x0, int y0, int x1, int y1, QRgb color) {
        for (int y = std::max(y0, 0); y < y1; ++y) {
            auto *line = reinterpret_cast<QRgb *>(sprite.scanLine(y));
            std::fill(line + std::max(x0, 0), line + std::max(x1, x0), 0xff000000 | color);
        }
    };
    // As the brush fills a box: the shadow, the outline, the halves.
    fill(0, 0, width, height, key.background);
    fill(key.shadowLeft, key.shadowTop, key.shadowRight, key.shadowBottom, key.shadow);
    fill(0, 0, key.right, key.bottom, key.frame);
    fill(key.innerLeft, key.innerTop, key.innerRight, key.divider, key.bgA);
    fill(key.innerLeft, key.belowDivider, key.innerRight, key.innerBottom, key.bgB);
    const qsizetype bytes = sprite.sizeInBytes();
    if (m_bytes + bytes > kLimitBytes)
        Clear();
    m_bytes += bytes;
    return m_sprites.insert(key, std::move(sprite)).value();
}

BoxShape BoxShape::Of(const BoxPlace &place, const ChartSettings &s, const BoxColors &colors)
{
    BoxShape shape;
    const double l = place.left;
    const double t = place.top;
    const double r = place.right - s.NodeShadowSize;  // right edge of the box itself
    const double b = place.bottom - s.NodeShadowSize; // bottom edge of the box itself
    const double halfH = s.NodeHeight / 2.0;
    shape.box = span(l, t, r, b);
    shape.divider = pixel(t + halfH);
    shape.lowerHalf = pixel(b - halfH);
    shape.shadow = s.NodeShadowSize;
    shape.bgA = colors.bgA.rgb();
    shape.bgB = colors.bgB.rgb();
    shape.frame = colors.frame.rgb();
    shape.shadowColor = colors.shadow.rgb();
    return shape;
}

QPoint BoxShape::CaptionA(const BoxPlace &place)
{
    return QPoint(place.left + 4, place.top + 2);
}

QPoint BoxShape::CaptionB(const BoxPlace &place, const ChartSettings &s)
{
    return QPoint(place.left + 4, ChartLayout::RoundHalfEven(place.top + s.NodeHeight / 2.0 + 2));
}

ChartBrush::ChartBrush(QPainter &painter, const QRect &clip, const QFont &font, int fontDpi,
                       const QFontMetrics &metrics, CaptionCache *cache)
    : m_painter(painter), m_clip(clip), m_metrics(metrics)
{
    painter.save();
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The chart is measured in pixels of the screen. A device of another resolution (a PDF, a
    // printer) would enlarge a font given in points by its resolution on top of the painter's
    // scale: the font is given there in the points that come out at the same size.
    QFont deviceFont = font;
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : fontDpi;
    if (deviceDpi > 0 && deviceDpi != fontDpi && deviceFont.pointSizeF() > 0)
        deviceFont.setPointSizeF(deviceFont.pointSizeF() * fontDpi / deviceDpi);
    painter.setFont(deviceFont);

    // Zoomed out, a band thinner than a pixel of the device (a one-pixel line) would fall
    // between the device's pixels and vanish: bands keep at least one device pixel.
    const QTransform &scale = painter.worldTransform();
    m_thinnest = QSizeF(scale.m11() > 0 && scale.m11() < 1 ? 1 / scale.m11() : 1,
                        scale.m22() > 0 && scale.m22() < 1 ? 1 / scale.m22() : 1);
    m_toDevice = painter.deviceTransform();
    m_chartTransform = painter.worldTransform();
    const QPaintEngine *engine = painter.paintEngine();
    m_device = engine && engine->type() == QPaintEngine::Raster &&
               m_toDevice.type() <= QTransform::TxScale && m_toDevice.m11() > 0 &&
               m_toDevice.m22() > 0;
    m_cache = cache && cache->Begin(painter) ? cache : nullptr;

    m_ascent = metrics.ascent();
    m_slack = metrics.height();
    m_lineBound = std::max(metrics.height(), 1) * 2;
}

ChartBrush::~ChartBrush()
{
    if (m_cache) {
        DrawKept();
        m_cache->End();
    }
    m_painter.restore();
}

int ChartBrush::Note(const QString &caption)
{
    return m_cache && !caption.isEmpty() ? m_cache->Note(caption) : -1;
}

void ChartBrush::DrawKept()
{
    if (!m_cache)
        return;
    chartSpace();
    m_cache->DrawKept(m_painter);
    m_textColorSet = false;
}

void ChartBrush::Shape()
{
    if (m_cache)
        m_cache->Shape();
}

QRect ChartBrush::Band(double x1, double y1, double x2, double y2, int width)
{
    const double half = (width - 1) / 2;
    return span(std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
                std::max(y1, y2) + half);
}

void ChartBrush::UseSprites(BoxSprites *sprites, QColor background)
{
    // Copying pixels needs the painter without a transform, in pixels of the device: the device
    // must not scale what is drawn on it (a screen of more than one device pixel a pixel).
    const QTransform &world = m_chartTransform;
    if (!m_device || !sprites || world.type() > QTransform::TxScale ||
        world.m11() != m_toDevice.m11() || world.m22() != m_toDevice.m22())
        return;
    m_sprites = sprites;
    m_background = background.rgb();
    // Rounded in the painter's own coordinates, which differ from the device's by whole pixels.
    m_toDevice = world;
}

void ChartBrush::deviceSpace()
{
    if (!m_inDeviceSpace) {
        m_painter.setWorldTransform(QTransform());
        m_inDeviceSpace = true;
    }
}

void ChartBrush::chartSpace()
{
    if (m_inDeviceSpace) {
        m_painter.setWorldTransform(m_chartTransform);
        m_inDeviceSpace = false;
    }
}

int ChartBrush::deviceX(double x) const
{
    return qRound(m_toDevice.m11() * x + m_toDevice.dx());
}

int ChartBrush::deviceY(double y) const
{
    return qRound(m_toDevice.m22() * y + m_toDevice.dy());
}

void ChartBrush::fillDevice(int x0, int y0, int x1, int y1, QRgb color)
{
    if (x1 <= x0 || y1 <= y0)
        return;
    if (m_inDeviceSpace) {
        m_painter.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), QColor(color));
        return;
    }
    // Given back in chart pixels that the painter maps onto those device pixels to within far
    // less than half a pixel.
    const double sx = m_toDevice.m11(), sy = m_toDevice.m22();
    const double dx = m_toDevice.dx(), dy = m_toDevice.dy();
    m_painter.fillRect(
        QRectF(QPointF((x0 - dx) / sx, (y0 - dy) / sy), QPointF((x1 - dx) / sx, (y1 - dy) / sy)),
        QColor(color));
}

void ChartBrush::fillBand(const QRect &band, QRgb color)
{
    if (!meets(band, m_clip))
        return;
    const QRect visible = band & m_clip;
    if (visible == m_lastFill && color == m_lastColor)
        return;
    m_lastFill = visible;
    m_lastColor = color;
    if (m_device) {
        const int x0 = deviceX(visible.left());
        const int y0 = deviceY(visible.top());
        fillDevice(x0, y0, std::max(deviceX(visible.right() + 1), x0 + 1),
                   std::max(deviceY(visible.bottom() + 1), y0 + 1), color);
    } else if (m_thinnest.width() > 1 || m_thinnest.height() > 1) {
        m_painter.fillRect(QRectF(visible.topLeft(),
                                  QSizeF(std::max<qreal>(visible.width(), m_thinnest.width()),
                                         std::max<qreal>(visible.height(), m_thinnest.height()))),
                           QColor(color));
    } else {
        m_painter.fillRect(visible, QColor(color));
    }
}

void ChartBrush::Fill(const QRect &band, QRgb color)
{
    fillBand(band, color);
}

QRect ChartBrush::LineBounds(const QLineF &line, int width)
{
    return QRectF(line.p1(), line.p2())
        .normalized()
        .toAlignedRect()
        .adjusted(-width - 1, -width - 1, width + 1, width + 1);
}

void ChartBrush::Line(double x1, double y1, double x2, double y2, int width, QRgb color)
{
    if (y1 == y2 || x1 == x2) {
        fillBand(Band(x1, y1, x2, y2, width), color);
        return;
    }
    const QLineF shape(x1, y1, x2, y2);
    const QRect bounds = LineBounds(shape, width);
    if (!meets(bounds, m_clip))
        return;
    chartSpace();
    QPen pen{QColor(color)};
    pen.setWidth(width);
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    m_textColorSet = false;
    m_painter.drawLine(shape);
    m_lastFill = QRect();
}

void ChartBrush::Box(const BoxShape &shape)
{
    const QRect &box = shape.box;
    const int s = shape.shadow;
    const QRect shadow(box.topLeft() + QPoint(s, s), box.bottomRight() + QPoint(s, s));
    const bool whole = box.width() > 2 && box.height() > 2 && shape.divider == shape.lowerHalf &&
                       shape.divider > box.top() && shape.divider < box.bottom();
    if (m_sprites && whole && s >= 0) {
        if (meets(box | shadow, m_clip))
            sprite(shape, shadow);
        return;
    }
    fillBand(shadow, shape.shadowColor);
    if (m_device && whole) {
        if (!meets(box, m_clip))
            return;
        // The outline and the divider are what the halves leave of a box in the frame's colour.
        const int left = deviceX(box.left());
        const int innerLeft = std::max(deviceX(box.left() + 1), left + 1);
        const int innerRight = deviceX(box.right());
        const int right = std::max(deviceX(box.right() + 1), innerRight + 1);
        const int top = deviceY(box.top());
        const int innerTop = std::max(deviceY(box.top() + 1), top + 1);
        const int divider = deviceY(shape.divider);
        const int belowDivider = std::max(deviceY(shape.divider + 1), divider + 1);
        const int innerBottom = deviceY(box.bottom());
        const int bottom = std::max(deviceY(box.bottom() + 1), innerBottom + 1);
        fillDevice(left, top, right, bottom, shape.frame);
        fillDevice(innerLeft, innerTop, innerRight, divider, shape.bgA);
        fillDevice(innerLeft, belowDivider, innerRight, innerBottom, shape.bgB);
        m_lastFill = QRect();
        return;
    }
    const int l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    fillBand(span(l, t, r, shape.lowerHalf), shape.bgA);
    fillBand(span(l, shape.lowerHalf, r, b), shape.bgB);
    fillBand(span(l, t, r, t), shape.frame);
    fillBand(span(l, b, r, b), shape.frame);
    fillBand(span(l, t, l, b), shape.frame);
    fillBand(span(r, t, r, b), shape.frame);
    fillBand(span(l, shape.divider, r, shape.divider), shape.frame);
}

void ChartBrush::sprite(const BoxShape &shape, const QRect &shadow)
{
    const QRect &box = shape.box;
    const int left = deviceX(box.left());
    const int top = deviceY(box.top());
    BoxSprites::Key key{};
    key.innerRight = deviceX(box.right()) - left;
    key.innerLeft = std::max(deviceX(box.left() + 1) - left, 1);
    key.right = std::max(deviceX(box.right() + 1) - left, key.innerRight + 1);
    key.innerTop = std::max(deviceY(box.top() + 1) - top, 1);
    key.divider = deviceY(shape.divider) - top;
    key.belowDivider = std::max(deviceY(shape.divider + 1) - top, key.divider + 1);
    key.innerBottom = deviceY(box.bottom()) - top;
    key.bottom = std::max(deviceY(box.bottom() + 1) - top, key.innerBottom + 1);
    key.shadowLeft = deviceX(shadow.left()) - left;
    key.shadowTop = deviceY(shadow.top()) - top;
    key.shadowRight = std::max(deviceX(shadow.right() + 1) - left, key.shadowLeft + 1);
    key.shadowBottom = std::max(deviceY(shadow.bottom() + 1) - top, key.shadowTop + 1);
    key.frame = shape.frame;
    key.bgA = shape.bgA;
    key.bgB = shape.bgB;
    key.shadow = shape.shadowColor;
    key.background = m_background;
    deviceSpace();
    m_painter.drawImage(QPoint(left, top), m_sprites->Get(key));
    m_lastFill = QRect();
}

ConnectorShape ConnectorShape::Of(const BoxPlace &box, const BoxPlace &parent, int linkStyle)
{
    const double c = box.center;
    const double t = box.top;
    const double pc = parent.center;
    const double pb = parent.bottom;
    if (linkStyle == 0)
        return ConnectorShape{Kind::Straight, QLineF(c, t - 15, pc, pb + 15)};
    if (linkStyle == 1)
        return ConnectorShape{Kind::Elbow, QLineF(pc, pb, c, t)};
    return ConnectorShape();
}

std::array<QRect, 3> ConnectorShape::ElbowBands(int width) const
{
    const double pc = line.x1(), pb = line.y1(), c = line.x2(), t = line.y2();
    const double mid = pb + (t - pb) / 2;
    return {ChartBrush::Band(pc, pb, pc, mid, width), ChartBrush::Band(pc, mid, c, mid, width),
            ChartBrush::Band(c, mid, c, t, width)};
}

void ChartBrush::Connector(const BoxPlace &box, const BoxPlace &parent, int linkStyle, int width,
                           QRgb color)
{
    const ConnectorShape shape = ConnectorShape::Of(box, parent, linkStyle);
    if (shape.kind == ConnectorShape::Kind::Straight)
        Line(shape.line.x1(), shape.line.y1(), shape.line.x2(), shape.line.y2(), width, color);
    else if (shape.kind == ConnectorShape::Kind::Elbow)
        Elbow(shape.line, width, color);
}

void ChartBrush::Elbow(const QLineF &line, int width, QRgb color)
{
    if (m_device && line.x1() == line.x2()) {
        // Straight down: the three stretches are one band.
        fillBand(Band(line.x2(), line.y1(), line.x2(), line.y2(), width), color);
        return;
    }
    for (const QRect &band : ConnectorShape{ConnectorShape::Kind::Elbow, line}.ElbowBands(width))
        fillBand(band, color);
}

void ChartBrush::Text(const QString &value, QPoint topLeft, QRgb color,
                      const CaptionOptions &caption)
{
    if (value.isEmpty())
        return;
    // The text's true extent decides whether it reaches the clip: from the cache, or measured
    // (once, when the caller keeps the width).
    qreal advance = -1;
    if (m_cache)
        advance = caption.noted >= 0 ? m_cache->Compose(caption.noted) : m_cache->Compose(value);
    int measured = 0;
    if (advance >= 0)
        measured = int(std::ceil(advance));
    else if (caption.width && *caption.width >= 0)
        measured = *caption.width;
    else
        measured = m_metrics.horizontalAdvance(value);
    if (caption.width)
        *caption.width = measured;
    const QRect extent(topLeft.x() - m_slack, topLeft.y() - m_lineBound, measured + 2 * m_slack,
                       3 * m_lineBound);
    if (!meets(extent, m_clip))
        return;
    const QPointF baseline(topLeft.x(), topLeft.y() + m_ascent);
    if (advance >= 0 && caption.keepWithin &&
        caption.keepWithin->contains(QRect(topLeft, QSize(measured + 1, m_metrics.height())))) {
        m_cache->Keep(baseline, color);
        return;
    }
    chartSpace();
    if (color != m_textColor || !m_textColorSet) {
        // Changing the pen costs as much as a short caption: only when needed.
        m_painter.setPen(QColor(color));
        m_textColor = color;
        m_textColorSet = true;
    }
    if (advance >= 0)
        m_cache->Draw(m_painter, baseline);
    else
        m_painter.drawText(baseline, value);
    m_lastFill = QRect();
}

} // namespace Chart
