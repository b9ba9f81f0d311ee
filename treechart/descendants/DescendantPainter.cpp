#include "DescendantPainter.h"

#include "ChartPicture.h"
#include "PersonNode.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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
            const int parent = tree.At(box.person).parent;
            if (parent >= 0)
                brush.Connector(place, placeOf(parent), settings.LinkStyle, 1, connector);
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
    m_geometry.ForEachRowIn(chartRect, [&](int generation, int begin, int end) {
        if (highest < 0)
            highest = generation;
        lowest = generation;
        for (int i = begin; i < end; ++i) {
            Shown &box = shown.emplace_back();
            box.person = i;
            if (m_captions) {
                if (const cPerson *person = tree.At(i).person) {
                    box.captionA = PersonCaptionA(*person);
                    box.captionB = PersonCaptionB(*person);
                }
            }
            ++drawn;
            if (shown.size() >= size_t(kChunk))
                flush();
        }
    });
    flush();
    // The thick path over everything, from the lowest row painted (or the selected person)
    // up to the row above the highest.
    if (m_selected >= 0 && highest >= 0) {
        const int bottom = std::min(lowest + 1, int(m_path.size()) - 1);
        const int top = std::max(highest - 1, 0);
        for (int g = bottom; g > top; --g)
            brush.Connector(placeOf(m_path[size_t(g)]), placeOf(m_path[size_t(g) - 1]),
                            settings.LinkStyle, 3, connector);
    }
    return drawn;
}
