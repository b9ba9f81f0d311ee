#include "TreeChart.h"

#include "ChartCanvas.h"
#include "PropertyBag.h"

#include <QApplication>

namespace {

// Colours are kept in the saved design as unsigned 32-bit numbers.
QVariant color(OleColor value)
{
    return QVariant::fromValue<uint>(value);
}

} // namespace

void TreeChart::changed(const char *name, bool redraw)
{
    emit PropertyChanged(QString::fromLatin1(name));
    if (redraw && m_userMode)
        DrawChart();
}

void TreeChart::applyBorder()
{
    if (m_settings.BorderStyle == 1) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

QFont TreeChart::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

void TreeChart::setBackColor(OleColor value)
{
    m_settings.BackColor = value;
    m_picture.setBackground(TranslateColor(value));
    m_canvas->update();
    changed("BackColor");
}

void TreeChart::setBorderStyle(int value)
{
    m_settings.BorderStyle = value;
    applyBorder();
    changed("BorderStyle");
}

void TreeChart::setEnabled(bool value)
{
    m_settings.Enabled = value;
    QWidget::setEnabled(value);
    changed("Enabled", false);
}

void TreeChart::setGlobalSet(bool value)
{
    m_settings.GlobalSet = value;
    changed("GlobalSet");
}

void TreeChart::setFont(const QFont &font)
{
    m_font = font;
    m_picture.setFont(font);
    changed("Font");
}

void TreeChart::setNodeSpaceH(int value)
{
    // The new gap shows at the next Refresh, resize or redrawing change.
    m_settings.NodeSpaceH = value;
    changed("NodeSpaceH", false);
}

void TreeChart::setOffsetX(int value)
{
    m_settings.OffsetX = value;
    changed("OffsetX");
}

void TreeChart::setOffsetY(int value)
{
    m_settings.OffsetY = value;
    changed("OffsetY");
}

void TreeChart::setLinkStyle(int value)
{
    m_settings.LinkStyle = value;
    changed("LinkStyle");
}

void TreeChart::setExpand(int value)
{
    m_settings.Expand = value;
    changed("Expand");
}

void TreeChart::setNodeWidth(int value)
{
    m_settings.NodeWidth = value;
    changed("NodeWidth");
}

void TreeChart::setNodeHeight(int value)
{
    m_settings.NodeHeight = value;
    changed("NodeHeight");
}

void TreeChart::setNodeSpaceV(int value)
{
    m_settings.NodeSpaceV = value;
    changed("NodeSpaceV");
}

void TreeChart::setNodeShadowSize(int value)
{
    m_settings.NodeShadowSize = value;
    changed("NodeShadowSize");
}

void TreeChart::setConnectorColor(OleColor value)
{
    m_settings.ConnectorColor = value;
    changed("ConnectorColor");
}

void TreeChart::setNodeBgColorA(OleColor value)
{
    m_settings.NodeBgColorA = value;
    changed("NodeBgColorA");
}

void TreeChart::setNodeBgColorB(OleColor value)
{
    m_settings.NodeBgColorB = value;
    changed("NodeBgColorB");
}

void TreeChart::setNodeForeColorA(OleColor value)
{
    m_settings.NodeForeColorA = value;
    changed("NodeForeColorA");
}

void TreeChart::setNodeForeColorB(OleColor value)
{
    m_settings.NodeForeColorB = value;
    changed("NodeForeColorB");
}

void TreeChart::setNodeFrameColor(OleColor value)
{
    m_settings.NodeFrameColor = value;
    changed("NodeFrameColor");
}

void TreeChart::setNodeShadowColor(OleColor value)
{
    m_settings.NodeShadowColor = value;
    changed("NodeShadowColor");
}

void TreeChart::setNodeSelBgColorA(OleColor value)
{
    m_settings.NodeSelBgColorA = value;
    changed("NodeSelBgColorA");
}

void TreeChart::setNodeSelBgColorB(OleColor value)
{
    m_settings.NodeSelBgColorB = value;
    changed("NodeSelBgColorB");
}

void TreeChart::setNodeSelForeColorA(OleColor value)
{
    m_settings.NodeSelForeColorA = value;
    changed("NodeSelForeColorA");
}

void TreeChart::setNodeSelForeColorB(OleColor value)
{
    m_settings.NodeSelForeColorB = value;
    changed("NodeSelForeColorB");
}

void TreeChart::setNodeSelFrameColor(OleColor value)
{
    m_settings.NodeSelFrameColor = value;
    changed("NodeSelFrameColor");
}

void TreeChart::setNodeSelShadowColor(OleColor value)
{
    m_settings.NodeSelShadowColor = value;
    changed("NodeSelShadowColor");
}

void TreeChart::ApplySettings(const ChartSettings &settings)
{
    m_settings = settings;
    QWidget::setEnabled(m_settings.Enabled);
    applyBorder();
    m_picture.setBackground(TranslateColor(m_settings.BackColor));
    changed("");
}

void TreeChart::WriteProperties(PropertyBag &bag) const
{
    const ChartSettings d;
    bag.WriteProperty(QStringLiteral("BackColor"), color(m_settings.BackColor), color(d.BackColor));
    bag.WriteProperty(QStringLiteral("BorderStyle"), m_settings.BorderStyle, d.BorderStyle);
    bag.WriteProperty(QStringLiteral("Enabled"), m_settings.Enabled, d.Enabled);
    bag.WriteProperty(QStringLiteral("GlobalSet"), m_settings.GlobalSet, d.GlobalSet);
    bag.WriteProperty(QStringLiteral("OffsetX"), m_settings.OffsetX, d.OffsetX);
    bag.WriteProperty(QStringLiteral("OffsetY"), m_settings.OffsetY, d.OffsetY);
    bag.WriteProperty(QStringLiteral("ConnectorColor"), color(m_settings.ConnectorColor),
                      color(d.ConnectorColor));
    bag.WriteProperty(QStringLiteral("LinkStyle"), m_settings.LinkStyle, d.LinkStyle);
    bag.WriteProperty(QStringLiteral("Expand"), m_settings.Expand, d.Expand);
    bag.WriteProperty(QStringLiteral("NodeWidth"), m_settings.NodeWidth, d.NodeWidth);
    bag.WriteProperty(QStringLiteral("NodeHeight"), m_settings.NodeHeight, d.NodeHeight);
    bag.WriteProperty(QStringLiteral("NodeSpaceH"), m_settings.NodeSpaceH, d.NodeSpaceH);
    bag.WriteProperty(QStringLiteral("NodeSpaceV"), m_settings.NodeSpaceV, d.NodeSpaceV);
    bag.WriteProperty(QStringLiteral("NodeShadowSize"), m_settings.NodeShadowSize,
                      d.NodeShadowSize);
    bag.WriteProperty(QStringLiteral("NodeBgColorA"), color(m_settings.NodeBgColorA),
                      color(d.NodeBgColorA));
    bag.WriteProperty(QStringLiteral("NodeBgColorB"), color(m_settings.NodeBgColorB),
                      color(d.NodeBgColorB));
    bag.WriteProperty(QStringLiteral("NodeForeColorA"), color(m_settings.NodeForeColorA),
                      color(d.NodeForeColorA));
    bag.WriteProperty(QStringLiteral("NodeForeColorB"), color(m_settings.NodeForeColorB),
                      color(d.NodeForeColorB));
    bag.WriteProperty(QStringLiteral("NodeFrameColor"), color(m_settings.NodeFrameColor),
                      color(d.NodeFrameColor));
    bag.WriteProperty(QStringLiteral("NodeShadowColor"), color(m_settings.NodeShadowColor),
                      color(d.NodeShadowColor));
    bag.WriteProperty(QStringLiteral("NodeSelBgColorA"), color(m_settings.NodeSelBgColorA),
                      color(d.NodeSelBgColorA));
    bag.WriteProperty(QStringLiteral("NodeSelBgColorB"), color(m_settings.NodeSelBgColorB),
                      color(d.NodeSelBgColorB));
    bag.WriteProperty(QStringLiteral("NodeSelForeColorA"), color(m_settings.NodeSelForeColorA),
                      color(d.NodeSelForeColorA));
    bag.WriteProperty(QStringLiteral("NodeSelForeColorB"), color(m_settings.NodeSelForeColorB),
                      color(d.NodeSelForeColorB));
    bag.WriteProperty(QStringLiteral("NodeSelFrameColor"), color(m_settings.NodeSelFrameColor),
                      color(d.NodeSelFrameColor));
    bag.WriteProperty(QStringLiteral("NodeSelShadowColor"), color(m_settings.NodeSelShadowColor),
                      color(d.NodeSelShadowColor));
    bag.WriteProperty(QStringLiteral("Font"), m_font.toString(), ambientFont().toString());
}

void TreeChart::ReadProperties(const PropertyBag &bag)
{
    const ChartSettings d;
    ChartSettings s;
    s.BackColor = bag.ReadProperty(QStringLiteral("BackColor"), color(d.BackColor)).toUInt();
    s.BorderStyle = bag.readInt(QStringLiteral("BorderStyle"), d.BorderStyle);
    s.Enabled = bag.readBool(QStringLiteral("Enabled"), d.Enabled);
    s.GlobalSet = bag.readBool(QStringLiteral("GlobalSet"), d.GlobalSet);
    s.OffsetX = bag.readInt(QStringLiteral("OffsetX"), d.OffsetX);
    s.OffsetY = bag.readInt(QStringLiteral("OffsetY"), d.OffsetY);
    s.ConnectorColor =
        bag.ReadProperty(QStringLiteral("ConnectorColor"), color(d.ConnectorColor)).toUInt();
    s.LinkStyle = bag.readInt(QStringLiteral("LinkStyle"), d.LinkStyle);
    s.Expand = bag.readInt(QStringLiteral("Expand"), d.Expand);
    s.NodeWidth = bag.readInt(QStringLiteral("NodeWidth"), d.NodeWidth);
    s.NodeHeight = bag.readInt(QStringLiteral("NodeHeight"), d.NodeHeight);
    s.NodeSpaceH = bag.readInt(QStringLiteral("NodeSpaceH"), d.NodeSpaceH);
    s.NodeSpaceV = bag.readInt(QStringLiteral("NodeSpaceV"), d.NodeSpaceV);
    s.NodeShadowSize = bag.readInt(QStringLiteral("NodeShadowSize"), d.NodeShadowSize);
    s.NodeBgColorA =
        bag.ReadProperty(QStringLiteral("NodeBgColorA"), color(d.NodeBgColorA)).toUInt();
    s.NodeBgColorB =
        bag.ReadProperty(QStringLiteral("NodeBgColorB"), color(d.NodeBgColorB)).toUInt();
    s.NodeForeColorA =
        bag.ReadProperty(QStringLiteral("NodeForeColorA"), color(d.NodeForeColorA)).toUInt();
    s.NodeForeColorB =
        bag.ReadProperty(QStringLiteral("NodeForeColorB"), color(d.NodeForeColorB)).toUInt();
    s.NodeFrameColor =
        bag.ReadProperty(QStringLiteral("NodeFrameColor"), color(d.NodeFrameColor)).toUInt();
    s.NodeShadowColor =
        bag.ReadProperty(QStringLiteral("NodeShadowColor"), color(d.NodeShadowColor)).toUInt();
    s.NodeSelBgColorA =
        bag.ReadProperty(QStringLiteral("NodeSelBgColorA"), color(d.NodeSelBgColorA)).toUInt();
    s.NodeSelBgColorB =
        bag.ReadProperty(QStringLiteral("NodeSelBgColorB"), color(d.NodeSelBgColorB)).toUInt();
    s.NodeSelForeColorA =
        bag.ReadProperty(QStringLiteral("NodeSelForeColorA"), color(d.NodeSelForeColorA)).toUInt();
    s.NodeSelForeColorB =
        bag.ReadProperty(QStringLiteral("NodeSelForeColorB"), color(d.NodeSelForeColorB)).toUInt();
    s.NodeSelFrameColor =
        bag.ReadProperty(QStringLiteral("NodeSelFrameColor"), color(d.NodeSelFrameColor)).toUInt();
    s.NodeSelShadowColor =
        bag.ReadProperty(QStringLiteral("NodeSelShadowColor"), color(d.NodeSelShadowColor))
            .toUInt();
    m_settings = s;
    QWidget::setEnabled(s.Enabled);
    applyBorder();
    m_picture.setBackground(TranslateColor(s.BackColor));
    const QString fontText = bag.readString(QStringLiteral("Font"), ambientFont().toString());
    QFont font = ambientFont();
    if (font.fromString(fontText))
        m_font = font;
    else
        m_font = ambientFont();
    m_picture.setFont(m_font);
    m_canvas->update();
}

QFont MainWindowChartFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void ApplyMainWindowDesign(TreeChart &chart)
{
    const bool running = chart.UserMode();
    chart.setUserMode(false);
    chart.setFont(MainWindowChartFont());
    chart.setUserMode(running);
    chart.ApplySettings(ChartSettings::MainWindow());
}
