#include "DescendantPainter.h"

#include "ChartPicture.h"
#include "PersonNode.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

using namespace Chart;

DescendantPainter::DescendantPainter(const DescendantGeometry &geometry, QFont font)
    : m_geometry(geometry), m_font(std::move(font)), m_captionFont(m_font),
      m_sprites(std::make_unique<BoxSprites>())
{
    m_captionFont.setWeight(QFont::Normal);
    m_fontDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
}

void DescendantPainter::setSelected(int person)
{
    m_selected = person >= 0 && person < m_geometry.Count() ? person : -1;
    m_path.clear();
    if (m_selected < 0)
        return;
    const DescendantTree &tree = m_geometry.Tree();
    m_path.resize(size_t(tree.At(m_selected).generation) + 1);
    for (int p = m_selected; p >= 0; p = tree.At(p).parent)
        m_path[size_t(tree.At(p).generation)] = p;
}

QColor DescendantPainter::Background() const
{
    return TranslateColor(m_geometry.Settings().BackColor);
}

BoxPlace DescendantPainter::placeOf(int person) const
{
    return BoxPlace{m_geometry.Left(person), m_geometry.Top(person), m_geometry.Right(person),
                    m_geometry.Bottom(person), m_geometry.Center(person)};
}

int DescendantPainter::Paint(QPainter &painter, const QRect &chartRect) const
{
    const ChartSettings &settings = m_geometry.Settings();
    const DescendantTree &tree = m_geometry.Tree();
    painter.fillRect(chartRect, Background());
    const QRect clip = chartRect & QRect(QPoint(0, 0), m_geometry.ChartSize());
    if (clip.isEmpty())
        return 0;
    const BoxColors normal = ChartPicture::ChartColors(settings, false);
    const BoxColors selected = ChartPicture::ChartColors(settings, true);
    const QRgb connector = TranslateColor(settings.ConnectorColor).rgb();
    ChartBrush brush(painter, clip, m_captionFont, m_fontDpi, QFontMetrics(m_captionFont),
                     m_cache.get());
    // Boxes never overlap and are drawn over the background just filled.
    brush.UseSprites(m_sprites.get(), Background());

    // The boxes of one stretch with their captions: shaped together, then drawn in order.
    struct Shown
    {
        int person;
        QString captionA, captionB;
        int notedA = -1, notedB = -1;
    };
    std::vector<Shown> shown;
    const auto flush = [&] {
        if (brush.Caching()) {
            for (Shown &box : shown) {
                box.notedA = brush.Note(box.captionA);
                box.notedB = brush.Note(box.captionB);
            }
            brush.Shape();
        }
        for (const Shown &box : shown) {
            const BoxPlace place = placeOf(box.person);
            const BoxColors &colors = box.person == m_selected ? selected : normal;
            brush.Box(BoxShape::Of(place, settings, colors));
            if (const QColor sex = SexColor(tree.At(box.person).sex); sex.isValid())
                brush.Fill(QRect(place.left + 1, place.top + 1, 3, settings.NodeHeight - 1),
                           sex.rgb());
            const int parent = tree.At(box.person).parent;
            if (parent >= 0) {
                // The connector runs from the upper box down to the lower one.
                if (m_geometry.Flipped())
                    brush.Connector(placeOf(parent), place, settings.LinkStyle, 1, connector);
                else
                    brush.Connector(place, placeOf(parent), settings.LinkStyle, 1, connector);
            }
            // Boxes do not overlap and connectors stay between the rows: a caption inside its
            // box can wait to be drawn with the others.
            const QRect inside(QPoint(place.left, place.top), QPoint(place.right, place.bottom));
            brush.Text(box.captionA, BoxShape::CaptionA(place), colors.foreA.rgb(),
                       {nullptr, box.notedA, &inside});
            brush.Text(box.captionB, BoxShape::CaptionB(place, settings), colors.foreB.rgb(),
                       {nullptr, box.notedB, &inside});
        }
        brush.DrawKept();
        shown.clear();
    };
    int drawn = 0;
    int lowest = -1, highest = -1; // generations painted
    std::vector<std::pair<int, int>> rows;
    m_geometry.ForEachRowIn(chartRect, [&](int generation, int begin, int end) {
        if (highest < 0)
            highest = generation;
        lowest = generation;
        rows.emplace_back(begin, end);
        for (int i = begin; i < end; ++i) {
            Shown &box = shown.emplace_back();
            box.person = i;
            if (m_captions) {
                if (const cPerson *person = tree.At(i).person) {
                    box.captionA = PersonCaptionA(*person);
                    box.captionB = m_years ? YearsOf(*person) : PersonCaptionB(*person);
                }
            }
            ++drawn;
            if (shown.size() >= size_t(kChunk))
                flush();
        }
    });
    flush();
    for (const auto &[begin, end] : rows)
        paintMarks(brush, begin, end);
    paintRepeatLinks(brush, clip);
    // The thick path over everything, from the lowest row painted (or the selected person)
    // up to the row above the highest.
    if (m_selected >= 0 && highest >= 0) {
        // Rows run the other way when flipped.
        const int bottom = std::min(std::max(lowest, highest) + 1, int(m_path.size()) - 1);
        const int top = std::max(std::min(lowest, highest) - 1, 0);
        for (int g = bottom; g > top; --g) {
            const BoxPlace child = placeOf(m_path[size_t(g)]);
            const BoxPlace parent = placeOf(m_path[size_t(g) - 1]);
            if (m_geometry.Flipped())
                brush.Connector(parent, child, settings.LinkStyle, 3, connector);
            else
                brush.Connector(child, parent, settings.LinkStyle, 3, connector);
        }
    }
    return drawn;
}

namespace {

QString nameOf(const cPerson &person)
{
    const QString name = (person.Fname() + QLatin1Char(' ') + person.Sname()).trimmed();
    return name.isEmpty() ? person.Key() : name;
}

} // namespace

void DescendantPainter::paintMarks(ChartBrush &brush, int begin, int end) const
{
    const ChartSettings &settings = m_geometry.Settings();
    const DescendantTree &tree = m_geometry.Tree();
    const QRgb text = TranslateColor(settings.ConnectorColor).rgb();
    const QRgb mark = RepeatColor().rgb();
    const int lineHeight = QFontMetrics(m_captionFont).height();
    for (int i = begin; i < end; ++i) {
        const DescendantTree::Person &person = tree.At(i);
        const BoxPlace place = placeOf(i);
        // The other parent, named once above the first of its children in a row of siblings.
        const bool firstOfFamily = person.parent >= 0 && (i == tree.At(person.parent).firstChild ||
                                                          tree.At(i - 1).partner != person.partner);
        if (m_captions && person.partner && firstOfFamily &&
            settings.NodeSpaceV >= lineHeight + 4) {
            // As far as the next sibling's connector, so that no line crosses the name; the
            // last sibling's no farther than the chart's edge, which an export cuts.
            const DescendantTree::Person &parent = tree.At(person.parent);
            const bool last = i + 1 >= parent.firstChild + parent.childCount;
            const int room = (last ? std::min(settings.NodeWidth,
                                              m_geometry.ChartSize().width() - place.center - 4)
                                   : m_geometry.Center(i + 1) - place.center) -
                             8;
            const QString caption = QFontMetrics(m_captionFont)
                                        .elidedText(QStringLiteral("+ ") + nameOf(*person.partner),
                                                    Qt::ElideRight, std::max(room, 0));
            brush.Text(caption, QPoint(place.center + 4, place.top - lineHeight - 1), text);
        }
        // A person reached on two lines: a mark in the box's top right corner.
        if (person.repeated)
            brush.Fill(QRect(place.right - settings.NodeShadowSize - 10, place.top + 3, 6, 6),
                       mark);
        // A branch that goes on: a short stub with a bar below the box.
        if (person.closed) {
            // Within the chart's margin below the last row (or above the first).
            const int y = m_geometry.Flipped() ? place.top - 8 : place.bottom + 1;
            const bool up = m_geometry.Flipped();
            brush.Fill(QRect(place.center, up ? y + 2 : y, 1, 5), text);
            brush.Fill(QRect(place.center - 4, up ? y : y + 5, 9, 2), text);
        }
    }
}

void DescendantPainter::paintRepeatLinks(ChartBrush &brush, const QRect &clip) const
{
    if (!m_captions)
        return;
    // Under the box that reaches a person again, in the upper half of the gap below it: an
    // arrow and the names of those drawn elsewhere (a line across a wide chart would cross
    // everything in between).
    const ChartSettings &settings = m_geometry.Settings();
    const DescendantTree &tree = m_geometry.Tree();
    const QFontMetrics metrics(m_captionFont);
    const int lineHeight = metrics.height();
    if (settings.NodeSpaceV < 2 * lineHeight + 4)
        return;
    const QRgb mark = RepeatColor().rgb();
    const std::vector<DescendantTree::Cut> &cuts = tree.Cuts();
    for (size_t i = 0; i < cuts.size();) {
        const int parent = cuts[i].parent;
        size_t end = i;
        QStringList names;
        for (; end < cuts.size() && cuts[end].parent == parent; ++end) {
            if (const cPerson *person = tree.At(cuts[end].at).person)
                names << nameOf(*person);
        }
        i = end;
        if (parent < 0)
            continue;
        const QRect area = repeatLinkArea(parent);
        if (!area.intersects(clip))
            continue;
        const int width = area.width();
        const int y = area.top();
        const BoxPlace place = placeOf(parent);
        const QString text =
            metrics.elidedText(QStringLiteral("\u2192 ") + names.join(QStringLiteral(", ")),
                               Qt::ElideRight, width - 4);
        brush.Text(text, QPoint(place.left + 2, y), mark);
    }
}

QString DescendantPainter::YearsOf(const cPerson &person)
{
    static const QRegularExpression year(QStringLiteral("\\b(\\d{3,4})\\b"));
    const QString born = year.match(person.Bdate()).captured(1);
    const QString died = year.match(person.Ddate()).captured(1);
    if (born.isEmpty() && died.isEmpty())
        return QString();
    return (born + QStringLiteral(" - ") + died).trimmed();
}

QColor DescendantPainter::SexColor(Genealogy::Sex sex)
{
    switch (sex) {
    case Genealogy::Sex::Male:
        return QColor(0x3A, 0x6E, 0xC8);
    case Genealogy::Sex::Female:
        return QColor(0xD0, 0x4A, 0x8A);
    default:
        return QColor();
    }
}

QRect DescendantPainter::repeatLinkArea(int parent) const
{
    const ChartSettings &settings = m_geometry.Settings();
    const int lineHeight = QFontMetrics(m_captionFont).height();
    const BoxPlace place = placeOf(parent);
    const int y = m_geometry.Flipped() ? place.top - lineHeight - 1 : place.bottom + 1;
    return QRect(place.left, y, settings.NodeWidth + settings.NodeSpaceH, lineHeight + 1);
}

int DescendantPainter::RepeatLinkAt(QPointF chartPoint) const
{
    const ChartSettings &settings = m_geometry.Settings();
    if (!m_captions || settings.NodeSpaceV < 2 * QFontMetrics(m_captionFont).height() + 4)
        return -1;
    for (const DescendantTree::Cut &cut : m_geometry.Tree().Cuts()) {
        if (cut.parent >= 0 && cut.at >= 0 &&
            repeatLinkArea(cut.parent).contains(chartPoint.toPoint()))
            return cut.at;
    }
    return -1;
}
