#pragma once

#include "ChartBrush.h"
#include "ChartSettings.h"
#include "cNode.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRect>
#include <QString>

#include <vector>

class CaptionCache;
class QPainter;
class QImage;

namespace Chart {

// What the chart has drawn, kept as a list of drawing steps in chart coordinates: the retained
// canvas of the chart without a bitmap the size of the chart. Steps are painted in the order
// they were drawn, so later boxes cover earlier ones; painting a rectangle of the chart touches
// only the steps that reach into it.
class ChartPicture
{
public:
    // Blanks the picture (keeps background, font and canvas size).
    void Clear();
    void setBackground(const QColor &color) { m_background = color; }
    QColor background() const { return m_background; }
    // The caption font: the given font in normal weight.
    void setFont(const QFont &font);
    QFont font() const { return m_font; }
    // The resolution the font's point size was measured at.
    int FontDpi() const { return m_fontDpi; }
    // Captions are painted from the cache when one is set and the painter draws pixels (not
    // owned; null: laid out at each paint).
    void setCaptionCache(CaptionCache *cache) { m_captionCache = cache; }
    // The canvas extent: nothing is painted outside it.
    void setCanvasSize(const QSize &size) { m_canvasSize = size; }
    QSize canvasSize() const { return m_canvasSize; }

    // Resolves the chart's colours once before a drawing pass.
    void Prepare(const ChartSettings &settings);
    // Draws one box from its geometry: shadow, halves, outline, divider, the connector to its
    // parent and the two captions, in the colours chosen by the settings.
    void DrawNode(const cNode &node, const ChartSettings &settings);
    // The same for a box given by its place, colours and captions (the parent's place, if any,
    // for the connector).
    void DrawBox(const BoxPlace &place, const BoxPlace *parent, const BoxColors &colors,
                 const QString &captionA, const QString &captionB, const ChartSettings &settings);
    // Draws the thick path from the selected node up to the top of its line of ancestors.
    void DrawSelectedPath(const cNode &selected, const ChartSettings &settings);

    // Paints the part of the chart inside `chartRect` (chart coordinates) onto a painter that
    // maps chart coordinates to its device: the background first, unless it is kept (for a
    // picture painted over another one, a part of a larger chart).
    enum class Background { Fill, Keep };
    void paint(QPainter &painter, const QRect &chartRect,
               Background background = Background::Fill) const;
    // The rectangle as an image of its size.
    QImage render(const QRect &chartRect) const;

    int stepCount() const { return int(m_steps.size()); }

    using BoxColors = Chart::BoxColors;
    static BoxColors ChooseColors(const cNode &node, const ChartSettings &settings);
    // The colours of every box when the chart's colours apply to all (as Prepare resolves them).
    static BoxColors ChartColors(const ChartSettings &settings, bool selected);
    static BoxPlace PlaceOf(const cNode &node);

private:
    enum class Kind : unsigned char { Fill, Line, Text, Box, Elbow };
    struct Step
    {
        QRect bounds; // everything the step may paint lies inside
        Kind kind;
        int width; // Line, Elbow: line width
        QRgb color;
        QLineF line;    // Line: the line; Elbow: from the parent's centre and bottom to the box's
                        // centre and top; Text: p1 is the top-left corner
        int index = -1; // Text: into m_texts; Box: into m_boxes
        mutable int textWidth = -1; // Text: measured when first painted
    };
    // The steps of one box, or of one stretch of the selected path.
    struct Group
    {
        QRect bounds;
        size_t first;
        size_t end;
    };

    void line(double x1, double y1, double x2, double y2, int width, const QColor &color);
    void text(const QString &text, QPoint at, const QColor &color);
    void connector(const BoxPlace &box, const BoxPlace &parent, int linkStyle, int width,
                   const QColor &color);

    void beginGroup();
    void endGroup();
    // Calls `visit` for each step reaching into the rectangle, in the order they were drawn.
    template <typename F> void forEachStepIn(const QRect &clip, F &&visit) const;

    std::vector<Step> m_steps; // plain values, so that blanking the picture is cheap
    std::vector<QString> m_texts;
    std::vector<BoxShape> m_boxes;
    std::vector<Group> m_groups;
    BoxColors m_normal;
    BoxColors m_selected;
    QColor m_connector;
    bool m_globalSet = true;
    QColor m_background = Qt::white;
    QFont m_font;
    int m_charBound = 16; // no glyph of the font (or its fallbacks) is wider
    int m_lineBound = 32; // nor taller
    int m_fontDpi = 96;   // the resolution the font's point size was measured at
    QSize m_canvasSize;
    CaptionCache *m_captionCache = nullptr;
};

} // namespace Chart
