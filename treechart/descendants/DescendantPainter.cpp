#include "DescendantPainter.h"

#include "ChartPicture.h"
#include "PersonNode.h"

#include <QHash>
#include <QPainter>

#include <deque>

namespace {

// The boxes of one stretch, made for drawing and thrown away after it. They live in one
// container and refer to each other by pointers that own nothing.
class Boxes
{
public:
    explicit Boxes(const DescendantGeometry &geometry) : m_geometry(geometry) {}

    // The box of person i, geometry set; made once per stretch.
    cNode &box(int i)
    {
        auto it = m_index.find(i);
        if (it != m_index.end())
            return *it.value();
        cNode &node = m_nodes.emplace_back();
        node.setKey(m_geometry.Tree().At(i).key);
        node.SetAllColors(kInheritColor);
        node.setLeft(m_geometry.Left(i));
        node.setRight(m_geometry.Right(i));
        node.setTop(m_geometry.Top(i));
        node.setBottom(m_geometry.Bottom(i));
        node.setCenter(m_geometry.Center(i));
        m_index.insert(i, &node);
        return node;
    }
    static cNodePtr share(cNode &node) { return cNodePtr(cNodePtr(), &node); }
    void clear()
    {
        m_nodes.clear();
        m_index.clear();
    }

private:
    const DescendantGeometry &m_geometry;
    std::deque<cNode> m_nodes; // stable addresses
    QHash<int, cNode *> m_index;
};

} // namespace

DescendantPainter::DescendantPainter(const DescendantGeometry &geometry, const cPeople &people,
                                     QFont font)
    : m_geometry(geometry), m_people(people), m_font(std::move(font))
{
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

int DescendantPainter::Paint(QPainter &painter, const QRect &chartRect) const
{
    const ChartSettings &settings = m_geometry.Settings();
    const DescendantTree &tree = m_geometry.Tree();
    ChartPicture picture;
    picture.setBackground(Background());
    picture.setFont(m_font);
    picture.setCaptionCache(m_cache.get());
    picture.setCanvasSize(m_geometry.ChartSize());
    painter.fillRect(chartRect, Background());

    Boxes boxes(m_geometry);
    int drawn = 0;
    int inChunk = 0;
    int lowest = -1, highest = -1; // generations painted
    const auto flush = [&] {
        picture.paint(painter, chartRect, ChartPicture::Background::Keep);
        picture.Clear();
        boxes.clear();
        inChunk = 0;
    };
    picture.Prepare(settings);
    m_geometry.ForEachRowIn(chartRect, [&](int generation, int begin, int end) {
        if (highest < 0)
            highest = generation;
        lowest = generation;
        for (int i = begin; i < end; ++i) {
            cNode &node = boxes.box(i);
            node.setSelected(i == m_selected);
            if (m_captions) {
                if (const cPersonPtr person = m_people.Item(node.Key())) {
                    node.setCaptionA(PersonCaptionA(*person));
                    node.setCaptionB(PersonCaptionB(*person));
                }
            }
            const int parent = tree.At(i).parent;
            if (parent >= 0)
                node.setParentNode(Boxes::share(boxes.box(parent)));
            picture.DrawNode(node, settings);
            ++drawn;
            if (++inChunk >= kChunk)
                flush();
        }
    });
    // The thick path over everything, from the lowest row painted (or the selected person)
    // up to the row above the highest.
    if (m_selected >= 0 && highest >= 0) {
        const int bottom = std::min(lowest + 1, int(m_path.size()) - 1);
        const int top = std::max(highest - 1, 0);
        cNode *below = nullptr;
        for (int g = bottom; g >= top; --g) {
            cNode &node = boxes.box(m_path[size_t(g)]);
            if (below)
                below->setParentNode(Boxes::share(node));
            node.setParentNode(nullptr);
            below = &node;
        }
        if (bottom >= top)
            picture.DrawSelectedPath(boxes.box(m_path[size_t(bottom)]), settings);
    }
    flush();
    return drawn;
}
