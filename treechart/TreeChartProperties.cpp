#include "TreeChart.h"

#include "ChartCanvas.h"
#include "ChartProperties.h"
#include "PropertyBag.h"

#include <QApplication>
#include <QScopedValueRollback>

using namespace Chart;

namespace {

// One lambda per alternative of a property's value.
template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
// Spelled out for compilers without aggregate deduction (clang before 17).
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

template <typename T> void TreeChart::assign(T ChartSettings::*member, T value)
{
    m_settings.*member = value;
    applyLook();
    changed(ChartPropertyOf(member));
}

void TreeChart::changed(const ChartProperty &property)
{
    emit PropertyChanged(QString::fromLatin1(property.key));
    if (property.redraw == ChartProperty::Redraw::Now && m_userMode)
        DrawChart();
}

void TreeChart::applyLook()
{
    const int frame = m_settings.BorderStyle == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame;
    if (frameStyle() != frame) {
        setFrameStyle(frame);
        setLineWidth(1);
    }
    const QColor background = TranslateColor(m_settings.BackColor);
    if (m_picture.background() != background) {
        m_picture.setBackground(background);
        m_canvas->update();
    }
}

QFont TreeChart::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

void TreeChart::setBackColor(OleColor value)
{
    assign(&ChartSettings::BackColor, value);
}

void TreeChart::setBorderStyle(int value)
{
    assign(&ChartSettings::BorderStyle, value);
}

void TreeChart::setGlobalSet(bool value)
{
    assign(&ChartSettings::GlobalSet, value);
}

void TreeChart::setOffsetX(int value)
{
    assign(&ChartSettings::OffsetX, value);
}

void TreeChart::setOffsetY(int value)
{
    assign(&ChartSettings::OffsetY, value);
}

void TreeChart::setLinkStyle(int value)
{
    assign(&ChartSettings::LinkStyle, value);
}

void TreeChart::setExpand(int value)
{
    assign(&ChartSettings::Expand, value);
}

void TreeChart::setNodeWidth(int value)
{
    assign(&ChartSettings::NodeWidth, value);
}

void TreeChart::setNodeHeight(int value)
{
    assign(&ChartSettings::NodeHeight, value);
}

void TreeChart::setNodeSpaceH(int value)
{
    assign(&ChartSettings::NodeSpaceH, value);
}

void TreeChart::setNodeSpaceV(int value)
{
    assign(&ChartSettings::NodeSpaceV, value);
}

void TreeChart::setNodeShadowSize(int value)
{
    assign(&ChartSettings::NodeShadowSize, value);
}

void TreeChart::setConnectorColor(OleColor value)
{
    assign(&ChartSettings::ConnectorColor, value);
}

void TreeChart::setNodeBgColorA(OleColor value)
{
    assign(&ChartSettings::NodeBgColorA, value);
}

void TreeChart::setNodeBgColorB(OleColor value)
{
    assign(&ChartSettings::NodeBgColorB, value);
}

void TreeChart::setNodeForeColorA(OleColor value)
{
    assign(&ChartSettings::NodeForeColorA, value);
}

void TreeChart::setNodeForeColorB(OleColor value)
{
    assign(&ChartSettings::NodeForeColorB, value);
}

void TreeChart::setNodeFrameColor(OleColor value)
{
    assign(&ChartSettings::NodeFrameColor, value);
}

void TreeChart::setNodeShadowColor(OleColor value)
{
    assign(&ChartSettings::NodeShadowColor, value);
}

void TreeChart::setNodeSelBgColorA(OleColor value)
{
    assign(&ChartSettings::NodeSelBgColorA, value);
}

void TreeChart::setNodeSelBgColorB(OleColor value)
{
    assign(&ChartSettings::NodeSelBgColorB, value);
}

void TreeChart::setNodeSelForeColorA(OleColor value)
{
    assign(&ChartSettings::NodeSelForeColorA, value);
}

void TreeChart::setNodeSelForeColorB(OleColor value)
{
    assign(&ChartSettings::NodeSelForeColorB, value);
}

void TreeChart::setNodeSelFrameColor(OleColor value)
{
    assign(&ChartSettings::NodeSelFrameColor, value);
}

void TreeChart::setNodeSelShadowColor(OleColor value)
{
    assign(&ChartSettings::NodeSelShadowColor, value);
}

void TreeChart::ApplySettings(const ChartSettings &settings)
{
    m_settings = settings;
    applyLook();
    emit PropertyChanged(QString());
    if (m_userMode)
        DrawChart();
}

QVariant TreeChart::savedValue(const ChartProperty &property) const
{
    return std::visit(
        Overloaded{
            [this]<typename T>(const ChartProperty::Setting<T> &setting) {
                return QVariant::fromValue<T>(m_settings.*setting.member);
            },
            // The chart's own setting: a disabled parent does not change what is saved.
            [this](const ChartProperty::WidgetEnabled &) {
                return QVariant(!testAttribute(Qt::WA_ForceDisabled));
            },
            [this](const ChartProperty::WidgetFont &) { return QVariant(font().toString()); },
        },
        property.value);
}

QVariant TreeChart::savedDefault(const ChartProperty &property) const
{
    return std::visit(Overloaded{
                          []<typename T>(const ChartProperty::Setting<T> &setting) {
                              return QVariant::fromValue<T>(setting.defaultValue);
                          },
                          [](const ChartProperty::WidgetEnabled &enabled) {
                              return QVariant(enabled.defaultValue);
                          },
                          [this](const ChartProperty::WidgetFont &) {
                              return QVariant(ambientFont().toString());
                          },
                      },
                      property.value);
}

void TreeChart::restore(const ChartProperty &property, const QVariant &value)
{
    std::visit(Overloaded{
                   [&]<typename T>(const ChartProperty::Setting<T> &setting) {
                       m_settings.*setting.member = value.value<T>();
                   },
                   [&](const ChartProperty::WidgetEnabled &) { setEnabled(value.toBool()); },
                   [&](const ChartProperty::WidgetFont &) {
                       // The host's font is not fixed as the chart's own: the chart follows it.
                       QFont stored;
                       const QString text = value.toString();
                       if (text != ambientFont().toString() && stored.fromString(text))
                           setFont(stored);
                       else
                           setFont(QFont());
                   },
               },
               property.value);
}

void TreeChart::WriteProperties(PropertyBag &bag) const
{
    for (const ChartProperty &property : kChartProperties)
        bag.WriteProperty(QString::fromLatin1(property.key), savedValue(property),
                          savedDefault(property));
}

void TreeChart::ReadProperties(const PropertyBag &bag)
{
    const QScopedValueRollback reading(m_reading, true);
    for (const ChartProperty &property : kChartProperties)
        restore(property,
                bag.ReadProperty(QString::fromLatin1(property.key), savedDefault(property)));
    applyLook();
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
