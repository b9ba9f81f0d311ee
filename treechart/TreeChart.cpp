#include "TreeChart.h"

#include "ChartCanvas.h"
#include "ChartLayout.h"
#include "ChartProperties.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <cmath>

using namespace Chart;

TreeChart::TreeChart(QWidget *parent) : QFrame(parent)
{
    m_canvas = new ChartCanvas(this);
    m_hScroll = new QScrollBar(Qt::Horizontal, this);
    m_hScroll->setObjectName(QStringLiteral("HScroll"));
    m_vScroll = new QScrollBar(Qt::Vertical, this);
    m_vScroll->setObjectName(QStringLiteral("VScroll"));
    m_corner = new QWidget(this);
    m_corner->setObjectName(QStringLiteral("picSize"));
    m_corner->setAutoFillBackground(true);
    m_corner->setBackgroundRole(QPalette::Button);

    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_barThickness = extent < 1 ? 16 : extent;
    m_vScroll->resize(m_barThickness, m_vScroll->height());
    m_hScroll->resize(m_hScroll->width(), m_barThickness);
    m_corner->resize(m_barThickness, m_barThickness);

    // The chart takes the focus by Tab and by a click on the canvas; the bars never take it.
    setFocusPolicy(Qt::StrongFocus);
    m_hScroll->setFocusPolicy(Qt::NoFocus);
    m_vScroll->setFocusPolicy(Qt::NoFocus);

    connect(m_hScroll, &QScrollBar::valueChanged, this, &TreeChart::HScrollChanged);
    connect(m_hScroll, &QScrollBar::sliderMoved, this, &TreeChart::HScrollChanged);
    connect(m_vScroll, &QScrollBar::valueChanged, this, &TreeChart::VScrollChanged);
    connect(m_vScroll, &QScrollBar::sliderMoved, this, &TreeChart::VScrollChanged);

    connect(m_canvas, &ChartCanvas::mouseMoved, this, &TreeChart::MouseMove);
    connect(m_canvas, &ChartCanvas::mousePressed, this, &TreeChart::MouseDown);
    connect(m_canvas, &ChartCanvas::mouseReleased, this, &TreeChart::canvasMouseUp);
    connect(m_canvas, &ChartCanvas::doubleClicked, this, &TreeChart::canvasDoubleClick);

    m_picture.setFont(font());
    applyLook();
    ArrangeView();
    UpdateScrollBars();
}

TreeChart::~TreeChart() = default;

void TreeChart::Clear()
{
    m_picture.Clear();
    m_selectedNode.reset();
    m_levels.Clear();
    m_canvas->update();
}

void TreeChart::Refresh()
{
    DrawChart();
}

void TreeChart::RefreshCut(int rows)
{
    // The rows above the cut keep their places (each row is placed by the rows above it only):
    // measuring them alone gives the size the chart had with them alone.
    cLevels upper;
    for (int i = 1; i <= std::min(rows, m_levels.Count()); ++i)
        upper.Add(m_levels.Item(i));
    const QSize size = upper.Count() > 0 ? ChartLayout::Arrange(upper, m_settings, 0, 0) : QSize();
    const auto limit = [](QScrollBar *bar, int room) {
        bar->setValue(std::min(bar->value(), std::max(0, room)));
    };
    limit(m_hScroll, int(std::ceil(size.width() * m_zoom)) - m_viewWidth);
    limit(m_vScroll, int(std::ceil(size.height() * m_zoom)) - m_viewHeight);
    DrawChart();
}

void TreeChart::setSelectedNode(cNodePtr node)
{
    m_selectedNode = std::move(node);
    if (m_selectedNode)
        m_selectedNode->setSelected(true);
}

void TreeChart::DrawChart()
{
    ++m_drawCount;
    m_picture.Clear();
    const int vPos = m_vScroll->value();
    const int hPos = m_hScroll->value();
    ArrangeView();
    m_chartSize = QSize();
    if (m_levels.Count() > 0) {
        m_picture.Prepare(m_settings);
        // Laid out against an empty view: the chart's own size, which the view only enlarges.
        m_chartSize = ChartLayout::Arrange(m_levels, m_settings, 0, 0, [this](cNode &node) {
            m_picture.DrawNode(node, m_settings);
        });
        if (m_selectedNode)
            m_picture.DrawSelectedPath(*m_selectedNode, m_settings);
    }
    m_canvasSize = m_chartSize.expandedTo(viewInChart());
    m_picture.setCanvasSize(m_canvasSize);
    UpdateScrollBars();
    // A position beyond a bar's new range ends at the range's end.
    m_vScroll->setValue(vPos);
    m_hScroll->setValue(hPos);
    VScrollChanged(m_vScroll->value());
    HScrollChanged(m_hScroll->value());
    m_canvas->update();
}

void TreeChart::ArrangeView()
{
    const QRect inner = contentsRect();
    m_viewWidth = std::max(0, inner.width() - m_barThickness);
    m_viewHeight = std::max(0, inner.height() - m_barThickness);
    m_corner->move(inner.x() + m_viewWidth, inner.y() + m_viewHeight);
    m_canvas->setGeometry(inner.x(), inner.y(), m_viewWidth, m_viewHeight);
    m_canvasSize = viewInChart();
    if (!m_userMode)
        UpdateScrollBars();
}

void TreeChart::UpdateScrollBars()
{
    const QRect inner = contentsRect();
    const QSize canvas = scaledCanvas();
    // Ranges are full 32-bit values: every box of a long row can be scrolled to.
    if (canvas.width() > m_viewWidth) {
        m_hScroll->setRange(0, canvas.width() - m_viewWidth);
        m_hScroll->setSingleStep(
            std::max(1, int((m_settings.NodeWidth + m_settings.NodeSpaceH) * m_zoom)));
        m_hScroll->setPageStep(std::max(1, m_viewWidth));
    } else {
        m_hScroll->setRange(0, 0);
        m_hScroll->setSingleStep(1);
        m_hScroll->setPageStep(1);
    }
    m_hScroll->setGeometry(inner.x(), inner.y() + m_viewHeight, m_viewWidth, m_barThickness);

    if (canvas.height() > m_viewHeight) {
        m_vScroll->setRange(0, canvas.height() - m_viewHeight);
        m_vScroll->setSingleStep(
            std::max(1, int((m_settings.NodeHeight + m_settings.NodeSpaceV) * m_zoom)));
        m_vScroll->setPageStep(std::max(1, m_viewHeight));
    } else {
        m_vScroll->setRange(0, 0);
        m_vScroll->setSingleStep(1);
        m_vScroll->setPageStep(1);
    }
    m_vScroll->setGeometry(inner.x() + m_viewWidth, inner.y(), m_barThickness, m_viewHeight);
}

void TreeChart::HScrollChanged(int value)
{
    // The canvas's left edge goes to -value, or to the far end when the value lies beyond it.
    const int spare = scaledCanvas().width() - m_viewWidth;
    const int left = spare > value ? -value : -spare;
    if (m_scrollOffset.x() != -left) {
        m_scrollOffset.setX(-left);
        m_canvas->update();
    }
}

void TreeChart::VScrollChanged(int value)
{
    const int spare = scaledCanvas().height() - m_viewHeight;
    const int top = spare > value ? -value : -spare;
    if (m_scrollOffset.y() != -top) {
        m_scrollOffset.setY(-top);
        m_canvas->update();
    }
}

void TreeChart::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    DrawChart();
}

void TreeChart::wheelEvent(QWheelEvent *event)
{
    // Ctrl+wheel zooms about the point under the mouse; nothing behind the chart scrolls.
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0) {
            const QPointF anchor = event->position() - QPointF(m_canvas->pos());
            setZoom(m_zoom * std::pow(kZoomStep, delta / 120.0), anchor);
        }
        event->accept();
        return;
    }
    // A notch moves a bar by its arrow step; a touchpad moves the chart by its pixels.
    const QPointF perNotch(m_hScroll->singleStep(), m_vScroll->singleStep());
    event->setAccepted(m_wheel.Scroll(*event, m_hScroll, m_vScroll, perNotch, QPointF(1, 1)));
}

void TreeChart::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_picture.setFont(font());
        m_canvas->update();
        if (!m_reading)
            changed(ChartPropertyOf<ChartProperty::WidgetFont>());
    } else if (event->type() == QEvent::EnabledChange) {
        if (!m_reading)
            changed(ChartPropertyOf<ChartProperty::WidgetEnabled>());
    }
}

void TreeChart::paintRect(QPainter &painter, const QRect &chartRect) const
{
    m_picture.paint(painter, chartRect);
}

QImage TreeChart::renderRect(const QRect &chartRect) const
{
    return m_picture.render(chartRect);
}

cNodePtr TreeChart::hitTest(double x, double y) const
{
    const int shadow = m_settings.NodeShadowSize;
    for (const cLevelPtr &level : m_levels) {
        if (!level)
            continue;
        for (const cNodePtr &node : *level) {
            // The shadow strip is not part of the box; the edges are.
            if (node && node->Left() <= x && x <= node->Right() - shadow && node->Top() <= y &&
                y <= node->Bottom() - shadow)
                return node;
        }
    }
    return nullptr;
}

bool TreeChart::inPartA(const cNode &node, double y) const
{
    return y < node.Top() + m_settings.NodeHeight / 2.0;
}

void TreeChart::moveSelectionTo(const cNodePtr &node)
{
    if (m_selectedNode)
        m_selectedNode->setSelected(false);
    setSelectedNode(node);
    // The picture waits for the host's Refresh; only the focus frame follows at once.
    if (hasFocus())
        m_canvas->update();
}

void TreeChart::canvasMouseUp(short button, short shift, float x, float y)
{
    m_lastX = ChartLayout::RoundHalfEven(x);
    m_lastY = ChartLayout::RoundHalfEven(y);
    emit MouseUp(button, shift, x, y);
    // The signal holds the node while the host's handler runs: it may cut the rows that held it.
    if (const cNodePtr hit = hitTest(x, y)) {
        const bool partA = inPartA(*hit, y);
        moveSelectionTo(hit);
        emit NodeClick(hit, partA);
    }
}

void TreeChart::canvasDoubleClick()
{
    if (const cNodePtr hit = hitTest(m_lastX, m_lastY)) {
        const bool partA = inPartA(*hit, m_lastY);
        moveSelectionTo(hit);
        emit NodeDblClick(hit, partA);
    }
}
