#include "ChartPicture.h"

#include "CaptionCache.h"

#include "ChartLayout.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Pixel of a coordinate that may end in .5 (half a box height, the middle of a gap): such a
// coordinate goes to the pixel below or right of it, so the line between the halves of a box
// lies in the lower half, as a click on it does.
int pixel(double value)
{
    return int(std::ceil(value));
}

QColor pick(OleColor own, OleColor chart)
{
    return TranslateColor(own == kInheritColor ? chart : own);
}

// Whether two rectangles share a pixel.
bool meets(const QRect &a, const QRect &b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

} // namespace

void ChartPicture::Clear()
{
    m_steps.clear();
    m_groups.clear();
    m_texts.clear();
}

void ChartPicture::Prepare(const ChartSettings &s)
{
    cNode plain;
    m_globalSet = s.GlobalSet;
    ChartSettings global = s;
    global.GlobalSet = true;
    m_normal = ChooseColors(plain, global);
    plain.setSelected(true);
    m_selected = ChooseColors(plain, global);
    m_connector = TranslateColor(s.ConnectorColor);
}

void ChartPicture::beginGroup()
{
    m_groups.push_back(Group{QRect(), m_steps.size(), m_steps.size()});
}

void ChartPicture::endGroup()
{
    Group &group = m_groups.back();
    group.end = m_steps.size();
    if (group.first == group.end)
        return;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (size_t i = group.first; i < group.end; ++i) {
        const QRect &r = m_steps[i].bounds;
        left = std::min(left, r.left());
        top = std::min(top, r.top());
        right = std::max(right, r.right());
        bottom = std::max(bottom, r.bottom());
    }
    group.bounds = QRect(QPoint(left, top), QPoint(right, bottom));
}

void ChartPicture::setFont(const QFont &font)
{
    // Captions are printed in normal weight, whatever the weight of the chart's font.
    m_font = font;
    m_font.setWeight(QFont::Normal);
    const QFontMetrics metrics(m_font);
    m_fontDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
    m_ascent = metrics.ascent();
    m_lineBound = std::max(metrics.height(), 1) * 2;
    m_charBound = std::max(metrics.maxWidth(), m_lineBound);
    for (const Step &step : m_steps)
        step.textWidth = -1;
}

ChartPicture::BoxColors ChartPicture::ChooseColors(const cNode &node, const ChartSettings &s)
{
    const bool sel = node.Selected();
    if (s.GlobalSet) {
        if (sel)
            return {TranslateColor(s.NodeSelBgColorA),   TranslateColor(s.NodeSelBgColorB),
                    TranslateColor(s.NodeSelForeColorA), TranslateColor(s.NodeSelForeColorB),
                    TranslateColor(s.NodeSelFrameColor), TranslateColor(s.NodeSelShadowColor)};
        return {TranslateColor(s.NodeBgColorA),   TranslateColor(s.NodeBgColorB),
                TranslateColor(s.NodeForeColorA), TranslateColor(s.NodeForeColorB),
                TranslateColor(s.NodeFrameColor), TranslateColor(s.NodeShadowColor)};
    }
    if (sel)
        return {pick(node.SelBgColorA(), s.NodeSelBgColorA),
                pick(node.SelBgColorB(), s.NodeSelBgColorB),
                pick(node.SelForeColorA(), s.NodeSelForeColorA),
                pick(node.SelForeColorB(), s.NodeSelForeColorB),
                pick(node.SelFrameColor(), s.NodeSelFrameColor),
                pick(node.SelShadowColor(), s.NodeSelShadowColor)};
    return {pick(node.BgColorA(), s.NodeBgColorA),     pick(node.BgColorB(), s.NodeBgColorB),
            pick(node.ForeColorA(), s.NodeForeColorA), pick(node.ForeColorB(), s.NodeForeColorB),
            pick(node.FrameColor(), s.NodeFrameColor), pick(node.ShadowColor(), s.NodeShadowColor)};
}

void ChartPicture::fill(double x1, double y1, double x2, double y2, const QColor &color)
{
    const QRect rect(QPoint(pixel(std::min(x1, x2)), pixel(std::min(y1, y2))),
                     QPoint(pixel(std::max(x1, x2)), pixel(std::max(y1, y2))));
    m_steps.push_back(Step{rect, Kind::Fill, 0, color.rgb(), QLineF()});
}

void ChartPicture::line(double x1, double y1, double x2, double y2, int width, const QColor &color)
{
    const double half = (width - 1) / 2;
    if (y1 == y2 || x1 == x2) {
        // Level and upright lines are filled bands, both end points included; a thick line
        // reaches past its ends by half its width so that the corners of an elbow are square.
        fill(std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
             std::max(y1, y2) + half, color);
        return;
    }
    const QLineF shape(x1, y1, x2, y2);
    const QRect bounds = QRectF(shape.p1(), shape.p2())
                             .normalized()
                             .toAlignedRect()
                             .adjusted(-width - 1, -width - 1, width + 1, width + 1);
    m_steps.push_back(Step{bounds, Kind::Line, width, color.rgb(), shape});
}

void ChartPicture::text(const QString &value, int x, int y, const QColor &color)
{
    if (value.isEmpty())
        return;
    // A generous box: text is never clipped to the box it belongs to and may run on.
    const qint64 width = qint64(value.size()) * m_charBound + 2LL * m_lineBound;
    const QRect bounds(x - m_lineBound, y - m_lineBound, int(std::min<qint64>(width, 1 << 30)),
                       3 * m_lineBound);
    m_texts.push_back(value);
    m_steps.push_back(
        Step{bounds, Kind::Text, 0, color.rgb(), QLineF(x, y, x, y), int(m_texts.size() - 1)});
}

void ChartPicture::connector(const cNode &node, const cNode &parent, int linkStyle, int width,
                             const QColor &color)
{
    const double c = node.Center();
    const double t = node.Top();
    const double pc = parent.Center();
    const double pb = parent.Bottom();
    if (linkStyle == 0) {
        // Straight, stopping 15 pixels short of both boxes.
        line(c, t - 15, pc, pb + 15, width, color);
    } else if (linkStyle == 1) {
        // Elbow: down from the parent, across, down into the box.
        const double mid = pb + (t - pb) / 2;
        line(pc, pb, pc, mid, width, color);
        line(pc, mid, c, mid, width, color);
        line(c, mid, c, t, width, color);
    }
}

void ChartPicture::DrawNode(const cNode &node, const ChartSettings &s)
{
    beginGroup();
    const BoxColors &colors =
        m_globalSet ? (node.Selected() ? m_selected : m_normal) : ChooseColors(node, s);
    const double l = node.Left();
    const double t = node.Top();
    const double r = node.Right() - s.NodeShadowSize;  // right edge of the box itself
    const double b = node.Bottom() - s.NodeShadowSize; // bottom edge of the box itself
    const double halfH = s.NodeHeight / 2.0;

    fill(l + s.NodeShadowSize, t + s.NodeShadowSize, node.Right(), node.Bottom(), colors.shadow);
    fill(l, t, r, b - halfH, colors.bgA);
    fill(l, b - halfH, r, b, colors.bgB);
    line(l, t, r, t, 1, colors.frame);
    line(l, b, r, b, 1, colors.frame);
    line(l, t, l, b, 1, colors.frame);
    line(r, t, r, b, 1, colors.frame);
    line(l, t + halfH, r, t + halfH, 1, colors.frame);

    if (const cNode *parent = node.ParentNode().get())
        connector(node, *parent, s.LinkStyle, 1, m_connector);

    text(node.CaptionA(), node.Left() + 4, node.Top() + 2, colors.foreA);
    text(node.CaptionB(), node.Left() + 4, ChartLayout::RoundHalfEven(t + halfH + 2), colors.foreB);
    endGroup();
}

void ChartPicture::DrawSelectedPath(const cNode &selected, const ChartSettings &s)
{
    const QColor color = m_connector;
    // A host that links nodes into a ring would otherwise keep this loop going for ever.
    QSet<const cNode *> seen;
    const cNode *node = &selected;
    while (const cNode *parent = node->ParentNode().get()) {
        if (seen.contains(node))
            break;
        seen.insert(node);
        beginGroup();
        connector(*node, *parent, s.LinkStyle, 3, color);
        endGroup();
        node = parent;
    }
}

void ChartPicture::paint(QPainter &painter, const QRect &chartRect, Background background) const
{
    painter.save();
    if (background == Background::Fill)
        painter.fillRect(chartRect, m_background);
    const QRect clip = chartRect & QRect(QPoint(0, 0), m_canvasSize);
    if (clip.isEmpty()) {
        painter.restore();
        return;
    }
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The chart is measured in pixels of the screen. A device of another resolution (a PDF, a
    // printer) would enlarge a font given in points by its resolution on top of the painter's
    // scale: the font is given there in the points that come out at the same size.
    QFont font = m_font;
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : m_fontDpi;
    if (deviceDpi > 0 && deviceDpi != m_fontDpi && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * m_fontDpi / deviceDpi);
    painter.setFont(font);

    // Zoomed out, a band thinner than a pixel of the device (a one-pixel line) would fall
    // between the device's pixels and vanish: bands keep at least one device pixel.
    const QTransform &scale = painter.worldTransform();
    const QSizeF thinnest(scale.m11() > 0 && scale.m11() < 1 ? 1 / scale.m11() : 1,
                          scale.m22() > 0 && scale.m22() < 1 ? 1 / scale.m22() : 1);

    // Repeated identical fills (the shared stretch of sibling connectors) are painted once.
    QRect lastFill;
    QRgb lastColor = 0;
    QRgb textColor = 0;
    bool textColorSet = false;
    const QFontMetrics metrics(m_font);
    const int slack = metrics.height();
    for (const Group &group : m_groups) {
        if (!meets(group.bounds, clip))
            continue;
        for (size_t i = group.first; i < group.end; ++i) {
            const Step &step = m_steps[i];
            if (!meets(step.bounds, clip))
                continue;
            switch (step.kind) {
            case Kind::Fill: {
                const QRect visible = step.bounds & clip;
                if (visible == lastFill && step.color == lastColor)
                    continue;
                if (thinnest.width() > 1 || thinnest.height() > 1)
                    painter.fillRect(
                        QRectF(visible.topLeft(),
                               QSizeF(std::max<qreal>(visible.width(), thinnest.width()),
                                      std::max<qreal>(visible.height(), thinnest.height()))),
                        QColor(step.color));
                else
                    painter.fillRect(visible, QColor(step.color));
                lastFill = visible;
                lastColor = step.color;
                continue;
            }
            case Kind::Line: {
                QPen pen{QColor(step.color)};
                pen.setWidth(step.width);
                pen.setCapStyle(Qt::SquareCap);
                painter.setPen(pen);
                textColorSet = false;
                painter.drawLine(step.line);
                break;
            }
            case Kind::Text: {
                const QString &value = m_texts[size_t(step.text)];
                const CaptionCache::Caption *caption =
                    m_captionCache ? &m_captionCache->Get(value, font) : nullptr;
                // The text's true extent, measured once, decides whether it reaches the clip;
                // cached captions are not measured apart from drawing them: their bound does.
                if (step.textWidth < 0)
                    step.textWidth = caption ? step.bounds.width() - 2 * m_lineBound
                                             : metrics.horizontalAdvance(value);
                const QRect extent(int(step.line.x1()) - slack, step.bounds.top(),
                                   step.textWidth + 2 * slack, step.bounds.height());
                if (!meets(extent, clip))
                    continue;
                if (step.color != textColor || !textColorSet) {
                    // Changing the pen costs as much as a short caption: only when needed.
                    painter.setPen(QColor(step.color));
                    textColor = step.color;
                    textColorSet = true;
                }
                const QPointF baseline(step.line.x1(), step.line.y1() + m_ascent);
                if (caption)
                    painter.drawStaticText(baseline - QPointF(0, caption->ascent), caption->text);
                else
                    painter.drawText(baseline, value);
                break;
            }
            }
            lastFill = QRect();
        }
    }
    painter.restore();
}

QImage ChartPicture::render(const QRect &chartRect) const
{
    QImage image(chartRect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(m_background);
    QPainter painter(&image);
    painter.translate(-chartRect.topLeft());
    paint(painter, chartRect);
    return image;
}
