#include "FanChart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

constexpr double kCentre = 70; // radius of the person's own circle
constexpr double kRing = 80;   // width of a ring
constexpr double kMargin = 12;

QString nameOf(const cPerson &person)
{
    const QString name = (person.Fname() + QLatin1Char(' ') + person.Sname()).trimmed();
    return name.isEmpty() ? person.Key() : name;
}

// Scales the font by `factor`; false when the result would be too small to draw at all.
bool fitToWidth(QFont &font, double factor)
{
    if (font.pointSizeF() > 0) {
        const double size = font.pointSizeF() * factor;
        if (size < 1)
            return false;
        font.setPointSizeF(size);
        return true;
    }
    const int size = int(font.pixelSize() * factor);
    if (size < 1)
        return false;
    font.setPixelSize(size);
    return true;
}

} // namespace

FanChart::FanChart(const KinshipLinks &links, const QString &rootKey, int generations, Span span,
                   Colours colours, QFont font, QString title)
    : m_generations(std::clamp(generations, kMinGenerations, kMaxGenerations)), m_span(span),
      m_colours(colours), m_font(std::move(font)), m_title(std::move(title))
{
    const size_t count = size_t(1) << m_generations; // numbers 1 .. 2^g - 1
    m_slots.assign(count, nullptr);
    m_repeat.assign(count, false);
    m_slots[1] = links.Person(links.NumberOf(rootKey));
    std::unordered_set<const cPerson *> seen;
    if (m_slots[1])
        seen.insert(m_slots[1]);
    const DescendantTree::LinksOf parentsOf = links.Parents();
    std::vector<DescendantTree::Linked> parents;
    for (size_t n = 1; 2 * n + 1 < count; ++n) {
        if (!m_slots[n] || m_repeat[n])
            continue;
        parents.clear();
        parentsOf(*m_slots[n], parents);
        // The father first where the sexes tell; else the order of the links.
        std::stable_sort(parents.begin(), parents.end(), [&links](const auto &x, const auto &y) {
            return links.SexOf(*x.person) == Genealogy::Sex::Male &&
                   links.SexOf(*y.person) != Genealogy::Sex::Male;
        });
        for (size_t k = 0; k < std::min<size_t>(parents.size(), 2); ++k) {
            const size_t slot = 2 * n + k;
            m_slots[slot] = parents[k].person;
            m_repeat[slot] = !seen.insert(parents[k].person).second;
        }
    }
    m_ancestors = int(seen.size()) - (m_slots[1] ? 1 : 0);
}

double FanChart::spanAngle() const
{
    switch (m_span) {
    case Span::Half:
        return 180;
    case Span::ThreeQuarters:
        return 270;
    case Span::Full:
        break;
    }
    return 360;
}

double FanChart::startAngle() const
{
    // Symmetric about twelve o'clock, the father's side on the left.
    return 90 + spanAngle() / 2;
}

double FanChart::innerRadius(int ring) const
{
    return ring == 0 ? 0 : kCentre + (ring - 1) * kRing;
}

QPointF FanChart::centre() const
{
    const double r = innerRadius(m_generations);
    return QPointF(r + kMargin, r + kMargin);
}

QSize FanChart::Size() const
{
    const double r = innerRadius(m_generations);
    const double height = m_span == Span::Half ? r + 2 * kMargin : 2 * (r + kMargin);
    return QSize(int(std::ceil(2 * (r + kMargin))), int(std::ceil(height)));
}

int FanChart::BoxCount() const
{
    return int(std::count_if(m_slots.begin(), m_slots.end(), [](const cPerson *p) { return p; }));
}

QColor FanChart::SlotColour(int slot) const
{
    if (slot <= 1)
        return QColor(0xFF, 0xF4, 0xD6);
    const int generation = int(std::floor(std::log2(slot)));
    if (m_colours == Colours::ByGeneration)
        return QColor::fromHsv((generation * 37) % 360, 60, 245);
    if (generation == 1)
        return QColor(0xE8, 0xE8, 0xE8);
    // The grandparent whose branch the slot is on: its number 4 to 7.
    const int branch = slot >> (generation - 2);
    static const int hues[] = {210, 140, 30, 330};
    return QColor::fromHsv(hues[branch - 4], 50 + 10 * std::min(generation, 6), 245);
}

void FanChart::Paint(QPainter &painter, const QRect &chartRect) const
{
    painter.fillRect(chartRect, Qt::white);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centre();
    const QPen frame(QColor(0x60, 0x60, 0x80), 1);
    QFont italic = m_font;
    italic.setItalic(true);
    // The person's own circle (or half circle).
    if (const cPerson *root = m_slots[1]) {
        painter.setPen(frame);
        painter.setBrush(SlotColour(1));
        const QRectF circle(c.x() - kCentre, c.y() - kCentre, 2 * kCentre, 2 * kCentre);
        if (m_span == Span::Half)
            painter.drawPie(circle, 0, 180 * 16);
        else
            painter.drawEllipse(circle);
        painter.setFont(m_font);
        painter.setPen(Qt::black);
        const QRectF text(c.x() - kCentre + 6,
                          c.y() - (m_span == Span::Half ? kCentre / 2 + 10 : 10), 2 * kCentre - 12,
                          20);
        painter.drawText(
            text, Qt::AlignCenter,
            QFontMetrics(m_font).elidedText(nameOf(*root), Qt::ElideRight, int(text.width())));
    }
    for (int ring = 1; ring < m_generations; ++ring) {
        const int first = 1 << ring;
        const double inner = innerRadius(ring);
        const double outer = inner + kRing;
        const double slotSpan = spanAngle() / first;
        for (int k = 0; k < first; ++k) {
            const int slot = first + k;
            const cPerson *person = m_slots[size_t(slot)];
            if (!person)
                continue;
            const double a0 = startAngle() - k * slotSpan; // counter-clockwise angles
            QPainterPath wedge;
            const QRectF outerBox(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
            const QRectF innerBox(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
            wedge.arcMoveTo(outerBox, a0);
            wedge.arcTo(outerBox, a0, -slotSpan);
            wedge.arcTo(innerBox, a0 - slotSpan, slotSpan);
            wedge.closeSubpath();
            if (!wedge.boundingRect().intersects(chartRect))
                continue;
            painter.setPen(frame);
            painter.setBrush(SlotColour(slot));
            painter.drawPath(wedge);

            // The name: along the arc where the slot is wide, outwards where it is narrow.
            const double mid = (a0 - slotSpan / 2) * M_PI / 180;
            const double radius = (inner + outer) / 2;
            const QPointF at(c.x() + radius * std::cos(mid), c.y() - radius * std::sin(mid));
            const double arc = radius * slotSpan * M_PI / 180;
            const bool along = arc >= kRing;
            QFont font = m_repeat[size_t(slot)] ? italic : m_font;
            const int room = int(along ? arc - 8 : kRing - 8);
            if (!along) {
                // Running outwards, the name must fit the slot's width where it is narrowest,
                // at the name's inner end; in the outer rings it is written smaller (sharp in
                // an export, which can be enlarged) rather than over its neighbours.
                const double width = (radius - room / 2.0) * slotSpan * M_PI / 180;
                const double height = QFontMetricsF(font).height();
                if (width < height && !fitToWidth(font, 0.9 * width / height))
                    continue;
            }
            const QFontMetrics metrics(font);
            painter.save();
            painter.translate(at);
            double degrees = -(a0 - slotSpan / 2);
            degrees += along ? 90 : 0;
            // Keep text upright-ish: never upside down.
            if (along && std::sin(mid) < 0)
                degrees += 180;
            if (!along && std::cos(mid) < 0)
                degrees += 180;
            painter.rotate(degrees);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QString text = metrics.elidedText(nameOf(*person), Qt::ElideRight, room);
            painter.drawText(QRectF(-room / 2.0, -metrics.height() / 2.0, room, metrics.height()),
                             Qt::AlignCenter, text);
            painter.restore();
        }
    }
    painter.restore();
}
