#include "TreeChart.h"

#include "ChartCanvas.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <cmath>

using namespace Chart;

namespace {

// Room kept around a box scrolled into view: its focus frame.
constexpr int kFocusMargin = 4;

struct Place
{
    cLevelPtr row;
    int rowNumber = 0; // 1-based; 0 when the node is in no row
    int position = 0;  // 1-based within the row
};

Place locate(const cLevels &levels, const cNode *node)
{
    Place place;
    if (!node)
        return place;
    int r = 0;
    for (const cLevelPtr &level : levels) {
        ++r;
        if (!level)
            continue;
        int j = 0;
        for (const cNodePtr &candidate : *level) {
            ++j;
            if (candidate.get() == node)
                return Place{level, r, j};
        }
    }
    return place;
}

} // namespace

int TreeChart::BoxCount() const
{
    int count = 0;
    for (const cLevelPtr &level : m_levels)
        count += level ? level->Count() : 0;
    return count;
}

void TreeChart::ClickNode(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    // Held here: the host's handler may cut the row that holds the node.
    const cNodePtr clicked = node;
    moveSelectionTo(clicked);
    emit NodeClick(clicked, PartA);
    if (m_selectedNode)
        ScrollIntoView(*m_selectedNode);
}

void TreeChart::ScrollIntoView(const cNode &node)
{
    const QPoint offset = m_scrollOffset;
    // In view pixels: the box as the zoom shows it.
    const auto scaled = [this](int v) { return int(std::floor(v * m_zoom)); };
    const int left = scaled(node.Left()) - kFocusMargin;
    const int right = int(std::ceil(node.Right() * m_zoom)) + kFocusMargin;
    const int top = scaled(node.Top()) - kFocusMargin;
    const int bottom = int(std::ceil(node.Bottom() * m_zoom)) + kFocusMargin;
    // A box wider or taller than the view shows its left or top part.
    if (right > offset.x() + m_viewWidth)
        m_hScroll->setValue(right - m_viewWidth);
    if (left < m_scrollOffset.x())
        m_hScroll->setValue(left);
    if (bottom > offset.y() + m_viewHeight)
        m_vScroll->setValue(bottom - m_viewHeight);
    if (top < m_scrollOffset.y())
        m_vScroll->setValue(top);
}

cNodePtr TreeChart::keyTarget(int key, bool *handled) const
{
    *handled = true;
    const Place place = locate(m_levels, m_selectedNode.get());
    if (!place.row) {
        // Nothing selected (or the selected box is no longer shown): start in the first row.
        const cLevelPtr first = m_levels.Item(1);
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
            return first ? first->Item(1) : nullptr;
        case Qt::Key_End:
            return first ? first->Item(first->Count()) : nullptr;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return nullptr;
        default:
            *handled = false;
            return nullptr;
        }
    }
    const cLevel &row = *place.row;
    switch (key) {
    case Qt::Key_Left:
        return row.Item(place.position - 1);
    case Qt::Key_Right:
        return row.Item(place.position + 1);
    case Qt::Key_Home:
        return row.Item(1);
    case Qt::Key_End:
        return row.Item(row.Count());
    case Qt::Key_Up: {
        const cNodePtr &parent = m_selectedNode->ParentNode();
        // Only a parent that is itself a box of the chart.
        return locate(m_levels, parent.get()).row ? parent : nullptr;
    }
    case Qt::Key_Down: {
        const cLevelPtr below = m_levels.Item(place.rowNumber + 1);
        if (!below)
            return nullptr;
        for (const cNodePtr &child : *below) {
            if (child && child->ParentNode() == m_selectedNode)
                return child;
        }
        return nullptr;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return m_selectedNode;
    default:
        *handled = false;
        return nullptr;
    }
}

void TreeChart::keyPressEvent(QKeyEvent *event)
{
    if (zoomKey(*event)) {
        event->accept();
        return;
    }
    // Only plain keys: other shortcuts with modifiers belong to the host.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    bool handled = false;
    const cNodePtr target = mods == Qt::NoModifier ? keyTarget(event->key(), &handled) : nullptr;
    if (!handled) {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!target)
        return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // As a double-click on the upper half of the selected box.
        moveSelectionTo(target);
        emit NodeDblClick(target, true);
        if (m_selectedNode)
            ScrollIntoView(*m_selectedNode);
    } else if (target == m_selectedNode) {
        ScrollIntoView(*target); // already there (Home on the first box, say)
    } else {
        ClickNode(target, true);
    }
}

void TreeChart::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    m_canvas->update();
}

void TreeChart::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    m_canvas->update();
}
