#pragma once

#include "ChartSettings.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QRect>
#include <QTransform>

#include <array>

class CaptionCache;
class QPainter;

namespace Chart {

// Where a box stands, in chart pixels, as a node of the chart has it: right and bottom include
// the shadow.
struct BoxPlace
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int center = 0;
};

// The six colours of one box as drawn.
struct BoxColors
{
    QColor bgA, bgB, foreA, foreB, frame, shadow;
};

// A box as it is drawn: the box itself (edges included, without its shadow), the row of the
// divider, the first row of the lower half, the shadow's size and the colours.
struct BoxShape
{
    QRect box;
    int divider = 0;
    int lowerHalf = 0;
    int shadow = 0;
    QRgb bgA = 0, bgB = 0, frame = 0, shadowColor = 0;

    static BoxShape Of(const BoxPlace &place, const ChartSettings &s, const BoxColors &colors);
    // Where the two captions start (top-left corners).
    static QPoint CaptionA(const BoxPlace &place);
    static QPoint CaptionB(const BoxPlace &place, const ChartSettings &s);
};

// The line from a parent box down to a box in a link style: 0 a straight line stopping 15 pixels
// short of both boxes, 1 an elbow (down from the parent, across, down into the box), anything
// else none.
struct ConnectorShape
{
    enum class Kind { None, Straight, Elbow };
    Kind kind = Kind::None;
    // Straight: the line; Elbow: from the parent's centre and bottom to the box's centre and top.
    QLineF line;

    static ConnectorShape Of(const BoxPlace &box, const BoxPlace &parent, int linkStyle);
    // The three bands of an elbow `width` pixels wide: down, across, down.
    std::array<QRect, 3> ElbowBands(int width) const;
};

// Boxes drawn once for each look they take on the device and copied from then on: zoomed out, a
// box is a handful of pixels in one of a few patterns of rounding, and copying its pixels costs
// a fraction of filling its shadow, outline and halves again. At most a few megabytes are kept.
class BoxSprites
{
public:
    // The device pixels of a box from its top-left corner: the outline's inner and outer edges,
    // the divider, the shadow, and the colours (background where neither box nor shadow is).
    struct Key
    {
        int innerLeft, innerRight, right, innerTop, divider, belowDivider, innerBottom, bottom;
        int shadowLeft, shadowTop, shadowRight, shadowBottom;
        QRgb frame, bgA, bgB, shadow, background;
        bool operator==(const Key &other) const;
    };
    const QImage &Get(const Key &key);
    void Clear()
    {
        m_sprites.clear();
        m_bytes = 0;
    }
    int Count() const { return int(m_sprites.size()); }

    static constexpr qsizetype kLimitBytes = 4 << 20;

private:
    QHash<Key, QImage> m_sprites;
    qsizetype m_bytes = 0;
};
size_t qHash(const BoxSprites::Key &key, size_t seed = 0);

// How ChartBrush::Text draws a caption.
struct CaptionOptions
{
    int *width = nullptr;
    int noted = -1;
    const QRect *keepWithin = nullptr;
};

// Draws the chart's shapes on a painter whose transform maps chart pixels to the device (a
// translation and a scale): bands (level and upright lines, filled rectangles), sloping lines,
// boxes, connectors and captions, only inside the clip rectangle.
//
// On a raster device the edges are rounded to whole device pixels once, by the brush itself:
// zoomed out, every line of a box keeps one device pixel and meets its neighbours, a box takes
// three fills and a straight connector one. At a scale of 1 this is exactly what drawing each
// line and half on its own gives. Documents get each line and half as they are, in chart pixels.
class ChartBrush
{
public:
    // Sets the painter up (clip, font: `fontDpi` is the resolution the font's size was meant
    // for; captions from the cache when one is given and the device draws pixels) until the
    // brush ends. `metrics` measure the font as the chart was laid out with it.
    ChartBrush(QPainter &painter, const QRect &clip, const QFont &font, int fontDpi,
               const QFontMetrics &metrics, CaptionCache *cache);
    ~ChartBrush();
    ChartBrush(const ChartBrush &) = delete;
    ChartBrush &operator=(const ChartBrush &) = delete;

    // The captions about to be drawn, when they come from the cache: Note each one (its number
    // goes to Text), then Shape.
    bool Caching() const { return m_cache != nullptr; }
    int Note(const QString &caption);
    void Shape();

    // A rectangle of the chart (edges included), kept at least one device pixel thick.
    void Fill(const QRect &band, QRgb color);
    // A line from one point to another, `width` pixels wide; level and upright lines are bands
    // (both end points included, a thick one reaching past its ends by half its width).
    void Line(double x1, double y1, double x2, double y2, int width, QRgb color);
    // The shadow, the halves and the outline with the divider.
    void Box(const BoxShape &box);
    // The line from a parent box down to a box, in the chart's link style.
    void Connector(const BoxPlace &box, const BoxPlace &parent, int linkStyle, int width,
                   QRgb color);
    // An elbow (ConnectorShape::line).
    void Elbow(const QLineF &line, int width, QRgb color);
    // A caption with its top-left corner at the point. `width` keeps the text's measured width
    // between calls (may be null; -1 until measured); `noted` is its number from Note (-1: not
    // noted). A caption from the cache that lies wholly inside `keepWithin` (nothing drawn later
    // reaches in there) waits for DrawKept, to be drawn with others in one go.
    void Text(const QString &text, QPoint topLeft, QRgb color,
              const CaptionOptions &options = CaptionOptions());
    // Draws the captions kept back.
    void DrawKept();
    // Boxes are copied from the sprites, where every pixel of a box's rectangle (shadow
    // included) is the background before the box is drawn (as in a chart whose boxes do not
    // overlap, drawn over its background).
    void UseSprites(BoxSprites *sprites, QColor background);

    // The box a band fills: edges included, both ends of a thick line reaching past by half its
    // width.
    static QRect Band(double x1, double y1, double x2, double y2, int width);
    // The box a slanted line `width` pixels wide may touch.
    static QRect LineBounds(const QLineF &line, int width);

private:
    int deviceX(double x) const;
    int deviceY(double y) const;
    // Draws in device pixels or in chart pixels from now on.
    void deviceSpace();
    void chartSpace();
    // Fills device pixels [x0, x1) × [y0, y1).
    void fillDevice(int x0, int y0, int x1, int y1, QRgb color);
    void fillBand(const QRect &band, QRgb color);
    // The box copied from its sprite.
    void sprite(const BoxShape &shape, const QRect &shadow);

    QPainter &m_painter;
    QRect m_clip;
    CaptionCache *m_cache = nullptr;
    bool m_device = false; // edges rounded by the brush
    QTransform m_toDevice; // chart pixels to the pixels the brush rounds to
    QTransform m_chartTransform;
    bool m_inDeviceSpace = false; // the painter draws in device pixels (no transform)
    BoxSprites *m_sprites = nullptr;
    QRgb m_background = 0;
    QSizeF m_thinnest;
    int m_ascent = 0;
    int m_slack = 0;
    int m_lineBound = 0;
    QFontMetrics m_metrics;
    // Repeated identical fills are painted once.
    QRect m_lastFill;
    QRgb m_lastColor = 0;
    QRgb m_textColor = 0;
    bool m_textColorSet = false;
};

} // namespace Chart
