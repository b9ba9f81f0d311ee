#pragma once

#include "ChartPicture.h"
#include "ChartSettings.h"
#include "WheelScroller.h"
#include "cLevels.h"

#include <QFont>
#include <QFrame>
#include <QImage>
#include <QVariant>

namespace Chart {
class ChartCanvas;
}
struct ChartProperty;
class PropertyBag;
class QPainter;
class QScrollBar;

// The family-tree chart control: rows of boxes (Levels), laid out and drawn by Refresh, with
// mouse selection and scrolling.
//
// The host fills Levels (top row first, each child's ParentNode set to the stored parent node),
// then calls Refresh. A release of any mouse button on a box selects it and raises NodeClick;
// a double-click raises NodeDblClick. The chart never redraws on its own when Levels or nodes
// change: the host calls Refresh. Run-time property changes redraw at once (NodeSpaceH waits for
// the next Refresh), except while the host is in design mode (setUserMode(false)).
//
// The enabled state and the caption font are the widget's own (QWidget::setEnabled, setFont, or
// the properties "enabled" and "font" work as well as Enabled and Font). Captions are always
// drawn in normal weight, whatever the weight of the font.
//
// Child widgets, by objectName: picBase (the canvas; only its visible part is painted),
// HScroll, VScroll and picSize (the corner square).
//
// The chart is drawn in chart ("canvas") coordinates: (0, 0) is the top-left corner of the whole
// chart, and mouse coordinates in the signals are chart coordinates whatever the scroll position.
//
// Keyboard: the chart takes the focus by Tab and by a click, and frames the selected box while it
// has it. Left/Right go to the previous/next box of the selected box's row, Up to its parent box,
// Down to its first child in the row below, Home/End to the first/last box of the row; each acts
// as a click on the upper half of that box (ClickNode). With nothing selected, the first of these
// keys goes to the first box of the first row (End: the last). Return raises NodeDblClick for the
// selected box as a double-click on its upper half does. The selected box is scrolled into view
// after each key, once the host's handler has run.
//
// Mouse wheel over the chart: the wheel scrolls vertically, Shift+wheel horizontally, a notch by
// a bar's arrow step (a row of boxes, a box across); Ctrl+wheel zooms about the point under the
// mouse, as Ctrl++ (or Ctrl+=), Ctrl+- and Ctrl+0 (the chart's own size) do about the middle of
// the view while the chart has the focus. Zoomed, the scroll bars and ScrollOffset count view
// pixels; the mouse signals, the layout, the export and the picture stay in chart coordinates
// (the canvas scales the picture as it paints it, so a high-density screen stays sharp).
class TreeChart : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool GlobalSet READ GlobalSet WRITE setGlobalSet)
    Q_PROPERTY(int OffsetX READ OffsetX WRITE setOffsetX)
    Q_PROPERTY(int OffsetY READ OffsetY WRITE setOffsetY)
    Q_PROPERTY(int LinkStyle READ LinkStyle WRITE setLinkStyle)
    Q_PROPERTY(quint32 ConnectorColor READ ConnectorColor WRITE setConnectorColor)
    Q_PROPERTY(int Expand READ Expand WRITE setExpand)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int NodeWidth READ NodeWidth WRITE setNodeWidth)
    Q_PROPERTY(int NodeHeight READ NodeHeight WRITE setNodeHeight)
    Q_PROPERTY(int NodeSpaceH READ NodeSpaceH WRITE setNodeSpaceH)
    Q_PROPERTY(int NodeSpaceV READ NodeSpaceV WRITE setNodeSpaceV)
    Q_PROPERTY(int NodeShadowSize READ NodeShadowSize WRITE setNodeShadowSize)
    Q_PROPERTY(quint32 NodeBgColorA READ NodeBgColorA WRITE setNodeBgColorA)
    Q_PROPERTY(quint32 NodeBgColorB READ NodeBgColorB WRITE setNodeBgColorB)
    Q_PROPERTY(quint32 NodeForeColorA READ NodeForeColorA WRITE setNodeForeColorA)
    Q_PROPERTY(quint32 NodeForeColorB READ NodeForeColorB WRITE setNodeForeColorB)
    Q_PROPERTY(quint32 NodeFrameColor READ NodeFrameColor WRITE setNodeFrameColor)
    Q_PROPERTY(quint32 NodeShadowColor READ NodeShadowColor WRITE setNodeShadowColor)
    Q_PROPERTY(quint32 NodeSelBgColorA READ NodeSelBgColorA WRITE setNodeSelBgColorA)
    Q_PROPERTY(quint32 NodeSelBgColorB READ NodeSelBgColorB WRITE setNodeSelBgColorB)
    Q_PROPERTY(quint32 NodeSelForeColorA READ NodeSelForeColorA WRITE setNodeSelForeColorA)
    Q_PROPERTY(quint32 NodeSelForeColorB READ NodeSelForeColorB WRITE setNodeSelForeColorB)
    Q_PROPERTY(quint32 NodeSelFrameColor READ NodeSelFrameColor WRITE setNodeSelFrameColor)
    Q_PROPERTY(quint32 NodeSelShadowColor READ NodeSelShadowColor WRITE setNodeSelShadowColor)

public:
    explicit TreeChart(QWidget *parent = nullptr);
    ~TreeChart() override;

    // The rows of boxes, top row first; always exists (empty on a new control and after Clear).
    cLevels &Levels() { return m_levels; }
    const cLevels &Levels() const { return m_levels; }

    // Blanks the canvas, empties SelectedNode (no node's Selected flag is touched) and empties
    // Levels. Does not redraw the boxes and leaves the scroll bars as they are.
    void Clear();
    // Lays out and draws everything from the current Levels.
    void Refresh();
    // Refresh after the rows below row `rows` were cut and new ones added (a click opening a
    // row): the scroll position keeps no more than rows 1 to `rows` alone have room for, as if
    // they had been drawn before the new rows; the chart is still laid out and drawn once.
    void RefreshCut(int rows);

    // Acts as a click on the node's upper half (PartA true) or lower half: the selection moves to
    // it and NodeClick is raised; once the host's handler has run, the selected box is scrolled
    // into view. The keyboard uses it, and so can a host that opens a path box by box.
    void ClickNode(const cNodePtr &node, bool PartA = true);
    // Scrolls as little as needed to show the box (with its shadow and focus frame) in the
    // visible area, as of the last Refresh.
    void ScrollIntoView(const cNode &node);

    // The selected box, or null.
    cNodePtr SelectedNode() const { return m_selectedNode; }
    // Stores the reference and, when it is not null, sets that node's Selected. Does not clear
    // the previous node's Selected and does not redraw.
    void setSelectedNode(cNodePtr node);

    OleColor BackColor() const { return m_settings.BackColor; }
    void setBackColor(OleColor value);
    int BorderStyle() const { return m_settings.BorderStyle; }
    void setBorderStyle(int value);
    // The control's current enabled state (false also while a parent is disabled); set with
    // QWidget::setEnabled. A disabled chart receives no mouse input.
    bool Enabled() const { return isEnabled(); }
    bool GlobalSet() const { return m_settings.GlobalSet; }
    void setGlobalSet(bool value);
    // The caption font: the widget's font, set with QWidget::setFont.
    QFont Font() const { return font(); }
    int OffsetX() const { return m_settings.OffsetX; }
    void setOffsetX(int value);
    int OffsetY() const { return m_settings.OffsetY; }
    void setOffsetY(int value);
    int LinkStyle() const { return m_settings.LinkStyle; }
    void setLinkStyle(int value);
    int Expand() const { return m_settings.Expand; }
    void setExpand(int value);
    int NodeWidth() const { return m_settings.NodeWidth; }
    void setNodeWidth(int value);
    int NodeHeight() const { return m_settings.NodeHeight; }
    void setNodeHeight(int value);
    int NodeSpaceH() const { return m_settings.NodeSpaceH; }
    void setNodeSpaceH(int value);
    int NodeSpaceV() const { return m_settings.NodeSpaceV; }
    void setNodeSpaceV(int value);
    int NodeShadowSize() const { return m_settings.NodeShadowSize; }
    void setNodeShadowSize(int value);
    OleColor ConnectorColor() const { return m_settings.ConnectorColor; }
    void setConnectorColor(OleColor value);
    OleColor NodeBgColorA() const { return m_settings.NodeBgColorA; }
    void setNodeBgColorA(OleColor value);
    OleColor NodeBgColorB() const { return m_settings.NodeBgColorB; }
    void setNodeBgColorB(OleColor value);
    OleColor NodeForeColorA() const { return m_settings.NodeForeColorA; }
    void setNodeForeColorA(OleColor value);
    OleColor NodeForeColorB() const { return m_settings.NodeForeColorB; }
    void setNodeForeColorB(OleColor value);
    OleColor NodeFrameColor() const { return m_settings.NodeFrameColor; }
    void setNodeFrameColor(OleColor value);
    OleColor NodeShadowColor() const { return m_settings.NodeShadowColor; }
    void setNodeShadowColor(OleColor value);
    OleColor NodeSelBgColorA() const { return m_settings.NodeSelBgColorA; }
    void setNodeSelBgColorA(OleColor value);
    OleColor NodeSelBgColorB() const { return m_settings.NodeSelBgColorB; }
    void setNodeSelBgColorB(OleColor value);
    OleColor NodeSelForeColorA() const { return m_settings.NodeSelForeColorA; }
    void setNodeSelForeColorA(OleColor value);
    OleColor NodeSelForeColorB() const { return m_settings.NodeSelForeColorB; }
    void setNodeSelForeColorB(OleColor value);
    OleColor NodeSelFrameColor() const { return m_settings.NodeSelFrameColor; }
    void setNodeSelFrameColor(OleColor value);
    OleColor NodeSelShadowColor() const { return m_settings.NodeSelShadowColor; }
    void setNodeSelShadowColor(OleColor value);

    // All settings but the enabled state and the font at once, with one redraw
    // (PropertyChanged is raised once, with an empty name).
    const ChartSettings &Settings() const { return m_settings; }
    void ApplySettings(const ChartSettings &settings);

    // The saved design (the keys and defaults of kChartProperties): ReadProperties reads every
    // setting (a missing one gives its default) and neither draws nor raises PropertyChanged;
    // WriteProperties stores every setting that differs from its default and removes those that
    // equal it. "Enabled" is the chart's own setting; a missing or default "Font" leaves the chart
    // on the host's font.
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // False while the host is designing rather than running: setters then store and notify but
    // do not draw. True by default.
    bool UserMode() const { return m_userMode; }
    void setUserMode(bool running) { m_userMode = running; }

    // Layout state.
    int BarThickness() const { return m_barThickness; }
    int ViewWidth() const { return m_viewWidth; }
    int ViewHeight() const { return m_viewHeight; }
    // Chart coordinates of the last mouse release on the canvas (rounded, halves to even).
    int LastX() const { return m_lastX; }
    int LastY() const { return m_lastY; }
    // Size of the whole canvas (the chart or the visible area, whichever is larger) and the
    // chart coordinate shown at the top-left corner of the visible area.
    QSize CanvasSize() const { return m_canvasSize; }
    // Size of the chart itself (every box with the margins) as of the last Refresh, whatever the
    // size of the visible area; empty without rows. Export renders this much.
    QSize ChartSize() const { return m_chartSize; }
    // Number of boxes in all rows.
    int BoxCount() const;
    // The scroll position: the view pixel at the top-left corner of the visible area (at zoom 1,
    // a chart coordinate).
    QPoint ScrollOffset() const { return m_scrollOffset; }
    // The part of the chart the view shows, in chart coordinates.
    QRect VisibleChartRect() const;

    // Zoom: 1 is the chart's own size.
    double Zoom() const { return m_zoom; }
    // Zooms keeping the chart point under `anchor` (canvas coordinates) in its place; without
    // one, the middle of the view.
    void setZoom(double zoom, QPointF anchor = QPointF(-1, -1));
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 4.0;
    static constexpr double kZoomStep = 1.25;
    // How many times the chart has been laid out and drawn (for hosts and tests that check
    // when drawing happens).
    int DrawCount() const { return m_drawCount; }

    // Paints any rectangle of the chart (chart coordinates) as drawn by the last Refresh onto a
    // painter that maps chart coordinates to its device. Parts outside the canvas show the
    // background.
    void paintRect(QPainter &painter, const QRect &chartRect) const;
    // The rectangle as an image of its size.
    QImage renderRect(const QRect &chartRect) const;

signals:
    // Mouse over the canvas: Button is the button mask (1 left, 2 right, 4 middle), Shift the
    // modifier mask (1 Shift, 2 Ctrl, 4 Alt), X and Y chart coordinates.
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    // A release hit a box; PartA is true in the upper half (CaptionA), false in the lower half.
    // The node is passed as its shared pointer: a handler may keep it, and may cut the rows that
    // held it.
    void NodeClick(const cNodePtr &Node, bool PartA);
    // A double-click whose last release point hit a box.
    void NodeDblClick(const cNodePtr &Node, bool PartA);
    // A setting changed (the host saves its design again).
    void PropertyChanged(const QString &name);
    // The zoom changed.
    void ZoomChanged(double zoom);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The enabled state and the font are announced (and the font drawn) from here, however
    // they were set.
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void DrawChart();
    void ArrangeView();
    void UpdateScrollBars();
    void HScrollChanged(int value);
    void VScrollChanged(int value);
    // Puts the border and the canvas background in step with the settings.
    void applyLook();
    // The view's size in chart coordinates, and the canvas's in view pixels.
    QSize viewInChart() const;
    QSize scaledCanvas() const;
    // Handles Ctrl++, Ctrl+=, Ctrl+- and Ctrl+0; false for any other key.
    bool zoomKey(const QKeyEvent &event);
    QFont ambientFont() const;

    // Stores a setting through its entry of the property table, then announces it.
    template <typename T> void assign(T ChartSettings::*member, T value);
    // Tells the host that the property changed and redraws by the property's rule.
    void changed(const ChartProperty &property);
    // A property's value and default as the saved design holds them, and storing a read value.
    QVariant savedValue(const ChartProperty &property) const;
    QVariant savedDefault(const ChartProperty &property) const;
    void restore(const ChartProperty &property, const QVariant &value);

    // The first box containing the point (its shadow strip excluded), or null.
    cNodePtr hitTest(double x, double y) const;
    // Whether height y lies in the upper half of the box, where CaptionA is printed.
    bool inPartA(const cNode &node, double y) const;
    // Moves the selection to the box, as a click does.
    void moveSelectionTo(const cNodePtr &node);
    void canvasMouseUp(short button, short shift, float x, float y);
    void canvasDoubleClick();
    // The box a navigation key leads to, or null; `handled` tells whether the key is one of the
    // chart's own.
    cNodePtr keyTarget(int key, bool *handled) const;

    ChartSettings m_settings;
    cLevels m_levels;
    cNodePtr m_selectedNode;
    Chart::ChartPicture m_picture;
    Chart::ChartCanvas *m_canvas = nullptr;
    QScrollBar *m_hScroll = nullptr;
    QScrollBar *m_vScroll = nullptr;
    QWidget *m_corner = nullptr;
    int m_barThickness = 16;
    int m_viewWidth = 0;
    int m_viewHeight = 0;
    int m_lastX = 0;
    int m_lastY = 0;
    QSize m_canvasSize;
    QSize m_chartSize;
    QPoint m_scrollOffset;
    double m_zoom = 1.0;
    WheelScroller m_wheel;
    int m_drawCount = 0;
    bool m_userMode = true;
    bool m_reading = false; // a saved design is being read: nothing is announced
};

// Gives the chart the look of the main window's chart: margins 10, boxes 140 x 40 with gaps
// 20 and 40, the main window's colours and Arial 8.25 points.
void ApplyMainWindowDesign(TreeChart &chart);
// The main window's caption font.
QFont MainWindowChartFont();
