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

namespace Chart {

namespace {

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
    m_boxes.clear();
}

ChartPicture::BoxColors ChartPicture::ChartColors(const ChartSettings &s, bool selected)
{
    cNode plain;
    plain.setSelected(selected);
    ChartSettings global = s;
    global.GlobalSet = true;
    return ChooseColors(plain, global);
}

BoxPlace ChartPicture::PlaceOf(const cNode &node)
{
    return BoxPlace{node.Left(), node.Top(), node.Right(), node.Bottom(), node.Center()};
}

void ChartPicture::Prepare(const ChartSettings &s)
{
    m_globalSet = s.GlobalSet;
    m_normal = ChartColors(s, false);
    m_selected = ChartColors(s, true);
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

void ChartPicture::line(double x1, double y1, double x2, double y2, int width, const QColor &color)
{
    if (y1 == y2 || x1 == x2) {
        // Level and upright lines are filled bands.
        m_steps.push_back(
            Step{ChartBrush::Band(x1, y1, x2, y2, width), Kind::Fill, 0, color.rgb(), QLineF()});
        return;
    }
    const QLineF shape(x1, y1, x2, y2);
    m_steps.push_back(
        Step{ChartBrush::LineBounds(shape, width), Kind::Line, width, color.rgb(), shape});
}

void ChartPicture::text(const QString &value, QPoint at, const QColor &color)
{
    if (value.isEmpty())
        return;
    // A generous box: text is never clipped to the box it belongs to and may run on.
    const qint64 width = qint64(value.size()) * m_charBound + 2LL * m_lineBound;
    const QRect bounds(at.x() - m_lineBound, at.y() - m_lineBound,
                       int(std::min<qint64>(width, 1 << 30)), 3 * m_lineBound);
    m_texts.push_back(value);
    m_steps.push_back(
        Step{bounds, Kind::Text, 0, color.rgb(), QLineF(at, at), int(m_texts.size() - 1)});
}

void ChartPicture::connector(const BoxPlace &box, const BoxPlace &parent, int linkStyle, int width,
                             const QColor &color)
{
    const ConnectorShape shape = ConnectorShape::Of(box, parent, linkStyle);
    if (shape.kind == ConnectorShape::Kind::Straight) {
        line(shape.line.x1(), shape.line.y1(), shape.line.x2(), shape.line.y2(), width, color);
    } else if (shape.kind == ConnectorShape::Kind::Elbow) {
        QRect bounds;
        for (const QRect &band : shape.ElbowBands(width))
            bounds |= band;
        m_steps.push_back(Step{bounds, Kind::Elbow, width, color.rgb(), shape.line});
    }
}

void ChartPicture::DrawNode(const cNode &node, const ChartSettings &s)
{
    const BoxColors &colors =
        m_globalSet ? (node.Selected() ? m_selected : m_normal) : ChooseColors(node, s);
    const cNode *parent = node.ParentNode().get();
    const BoxPlace parentPlace = parent ? PlaceOf(*parent) : BoxPlace();
    DrawBox(PlaceOf(node), parent ? &parentPlace : nullptr, colors, node.CaptionA(),
            node.CaptionB(), s);
}

void ChartPicture::DrawBox(const BoxPlace &place, const BoxPlace *parent, const BoxColors &colors,
                           const QString &captionA, const QString &captionB, const ChartSettings &s)
{
    beginGroup();
    m_boxes.push_back(BoxShape::Of(place, s, colors));
    const BoxShape &shape = m_boxes.back();
    const QRect shadow = shape.box.translated(shape.shadow, shape.shadow);
    m_steps.push_back(Step{shape.box | shadow, Kind::Box, 0, 0, QLineF(), int(m_boxes.size() - 1)});
    if (parent)
        connector(place, *parent, s.LinkStyle, 1, m_connector);
    text(captionA, BoxShape::CaptionA(place), colors.foreA);
    text(captionB, BoxShape::CaptionB(place, s), colors.foreB);
    endGroup();
}

void ChartPicture::DrawSelectedPath(const cNode &selected, const ChartSettings &s)
{
    // A host that links nodes into a ring would otherwise keep this loop going for ever.
    QSet<const cNode *> seen;
    const cNode *node = &selected;
    while (const cNode *parent = node->ParentNode().get()) {
        if (seen.contains(node))
            break;
        seen.insert(node);
        beginGroup();
        connector(PlaceOf(*node), PlaceOf(*parent), s.LinkStyle, 3, m_connector);
        endGroup();
        node = parent;
    }
}

template <typename F> void ChartPicture::forEachStepIn(const QRect &clip, F &&visit) const
{
    for (const Group &group : m_groups) {
        if (!meets(group.bounds, clip))
            continue;
        for (size_t i = group.first; i < group.end; ++i) {
            if (meets(m_steps[i].bounds, clip))
                visit(m_steps[i]);
        }
    }
}

void ChartPicture::paint(QPainter &painter, const QRect &chartRect, Background background) const
{
    if (background == Background::Fill)
        painter.fillRect(chartRect, m_background);
    const QRect clip = chartRect & QRect(QPoint(0, 0), m_canvasSize);
    if (clip.isEmpty())
        return;
    ChartBrush brush(painter, clip, m_font, m_fontDpi, QFontMetrics(m_font), m_captionCache);
    std::vector<int> noted; // by text
    if (brush.Caching()) {
        // What this paint may draw is shaped first, the unseen words together.
        noted.assign(m_texts.size(), -1);
        forEachStepIn(clip, [&](const Step &step) {
            if (step.kind == Kind::Text)
                noted[size_t(step.index)] = brush.Note(m_texts[size_t(step.index)]);
        });
        brush.Shape();
    }
    forEachStepIn(clip, [&](const Step &step) {
        switch (step.kind) {
        case Kind::Fill:
            brush.Fill(step.bounds, step.color);
            break;
        case Kind::Line:
            brush.Line(step.line.x1(), step.line.y1(), step.line.x2(), step.line.y2(), step.width,
                       step.color);
            break;
        case Kind::Box:
            brush.Box(m_boxes[size_t(step.index)]);
            break;
        case Kind::Elbow:
            brush.Elbow(step.line, step.width, step.color);
            break;
        case Kind::Text:
            brush.Text(m_texts[size_t(step.index)], step.line.p1().toPoint(), step.color,
                       {&step.textWidth, noted.empty() ? -1 : noted[size_t(step.index)]});
            break;
        }
    });
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

} // namespace Chart
