#pragma once

#include "CaptionCache.h"
#include "ChartBrush.h"
#include "DescendantGeometry.h"

#include <QColor>
#include <QFont>

#include <memory>
#include <vector>

class QPainter;

// Draws a descendant chart with the main chart's own drawing (ChartBrush): the same boxes,
// colours, captions, connectors and thick selected path. Only what reaches into the rectangle
// being painted is drawn, a stretch of boxes at a time, so memory stays the same however large
// the chart is. Captions come from the persons the tree was built from (last name first, as in
// the main chart).
class DescendantPainter
{
public:
    // The geometry and the persons of its tree must outlive the painter.
    DescendantPainter(const DescendantGeometry &geometry, QFont font);

    // The selected person (-1 for none): drawn in the selected colours, with the thick path up to
    // its top person.
    void setSelected(int person);
    int Selected() const { return m_selected; }
    // Captions are left out while false (zoomed far out, where they would be unreadable).
    void setCaptionsShown(bool shown) { m_captions = shown; }
    bool CaptionsShown() const { return m_captions; }
    // Captions are kept laid out between paints while true (for the screen; exports leave it
    // off so that documents hold plain text).
    void setCaptionCache(bool cached) { m_cache.reset(cached ? new CaptionCache : nullptr); }
    bool CaptionCacheUsed() const { return m_cache != nullptr; }
    // The lower half of each box shows the person's years ("1819 - 1901") instead of the
    // partner (the ancestor chart, where the partner is the box beside).
    void setYearsShown(bool shown) { m_years = shown; }
    bool YearsShown() const { return m_years; }
    // "1819 - 1901", "1819 -", "- 1901" from the first year each date holds; empty without.
    static QString YearsOf(const cPerson &person);
    // The colour of the edge of a man's and a woman's box.
    static QColor SexColor(Genealogy::Sex sex);
    const QFont &Font() const { return m_font; }
    QColor Background() const;

    // Paints the part of the chart in `chartRect` (chart coordinates) onto a painter that maps
    // chart coordinates to its device, background included. Returns the number of boxes drawn.
    int Paint(QPainter &painter, const QRect &chartRect) const;

    // How many boxes are drawn at most in one go.
    static constexpr int kChunk = 4096;

    // The person a red arrow under a box names first (the link to where that person is drawn)
    // when the chart point lies on the arrow's line, else -1.
    int RepeatLinkAt(QPointF chartPoint) const;

    // The colour of the marks of persons drawn once but reached twice, and of the links to them.
    static QColor RepeatColor() { return QColor(0xC0, 0x30, 0x30); }

private:
    Chart::BoxPlace placeOf(int person) const;
    // The partner named on the connector, the mark of a person reached twice and of a closed
    // branch, for the boxes [begin, end) of one row.
    void paintMarks(Chart::ChartBrush &brush, int begin, int end) const;
    // Under a box that reaches persons drawn elsewhere: an arrow and their names.
    void paintRepeatLinks(Chart::ChartBrush &brush, const QRect &clip) const;
    // Where the arrow under the box of `parent` stands.
    QRect repeatLinkArea(int parent) const;

    const DescendantGeometry &m_geometry;
    QFont m_font;
    QFont m_captionFont; // in normal weight, as the main chart prints captions
    int m_fontDpi = 96;  // the resolution the font's point size was measured at
    int m_selected = -1;
    std::vector<int> m_path; // the selected person's line, by generation
    bool m_captions = true;
    bool m_years = false;
    std::unique_ptr<CaptionCache> m_cache;        // changed while painting
    std::unique_ptr<Chart::BoxSprites> m_sprites; // likewise
};
