#pragma once

#include "ChartSettings.h"

#include <QtGlobal>

#include <array>
#include <variant>

// One saved property of the chart: its key (also the name of the chart's Qt property), where its
// value lives with its default, and when a change shows in the picture.
struct ChartProperty
{
    // A member of ChartSettings and its default.
    template <typename T> struct Setting
    {
        T ChartSettings::*member;
        T defaultValue;
    };
    using Number = Setting<int>;
    using Color = Setting<OleColor>;
    using Flag = Setting<bool>;
    // The widget's own enabled state (the chart's own setting, not one inherited from a disabled
    // parent).
    struct WidgetEnabled
    {
        bool defaultValue;
    };
    // The widget's own font; its default is the host's font.
    struct WidgetFont
    {
    };
    using Value = std::variant<Number, Color, Flag, WidgetEnabled, WidgetFont>;

    enum class Redraw {
        Now,         // the chart is drawn again at once (while the host is running)
        NextRefresh, // the change shows at the next Refresh, resize or redrawing change
        Never,       // the picture stays as it is
    };

    const char *key;
    Value value;
    Redraw redraw = Redraw::Now;
};

// The saved properties, in the order the saved design is written and read. The defaults are
// those of a new chart, of a key missing from a saved design, and of writing one (a value equal
// to its default is not stored).
inline constexpr std::array<ChartProperty, 27> kChartProperties{{
    {"BackColor", ChartProperty::Color{&ChartSettings::BackColor, SystemColor(COLOR_WINDOW)}},
    {"BorderStyle", ChartProperty::Number{&ChartSettings::BorderStyle, 1}},
    {"Enabled", ChartProperty::WidgetEnabled{true}, ChartProperty::Redraw::Never},
    {"GlobalSet", ChartProperty::Flag{&ChartSettings::GlobalSet, true}},
    {"OffsetX", ChartProperty::Number{&ChartSettings::OffsetX, 100}},
    {"OffsetY", ChartProperty::Number{&ChartSettings::OffsetY, 100}},
    {"ConnectorColor",
     ChartProperty::Color{&ChartSettings::ConnectorColor, SystemColor(COLOR_WINDOWTEXT)}},
    {"LinkStyle", ChartProperty::Number{&ChartSettings::LinkStyle, 1}},
    {"Expand", ChartProperty::Number{&ChartSettings::Expand, 1}},
    {"NodeWidth", ChartProperty::Number{&ChartSettings::NodeWidth, 130}},
    {"NodeHeight", ChartProperty::Number{&ChartSettings::NodeHeight, 35}},
    // 2200 (not 220) on purpose: saved designs rely on it.
    {"NodeSpaceH", ChartProperty::Number{&ChartSettings::NodeSpaceH, 2200},
     ChartProperty::Redraw::NextRefresh},
    {"NodeSpaceV", ChartProperty::Number{&ChartSettings::NodeSpaceV, 150}},
    {"NodeShadowSize", ChartProperty::Number{&ChartSettings::NodeShadowSize, 2}},
    {"NodeBgColorA",
     ChartProperty::Color{&ChartSettings::NodeBgColorA, SystemColor(COLOR_3DLIGHT)}},
    {"NodeBgColorB",
     ChartProperty::Color{&ChartSettings::NodeBgColorB, SystemColor(COLOR_BTNHIGHLIGHT)}},
    {"NodeForeColorA",
     ChartProperty::Color{&ChartSettings::NodeForeColorA, SystemColor(COLOR_BTNFACE)}},
    {"NodeForeColorB",
     ChartProperty::Color{&ChartSettings::NodeForeColorB, SystemColor(COLOR_BTNFACE)}},
    {"NodeFrameColor",
     ChartProperty::Color{&ChartSettings::NodeFrameColor, SystemColor(COLOR_BTNSHADOW)}},
    {"NodeShadowColor",
     ChartProperty::Color{&ChartSettings::NodeShadowColor, SystemColor(COLOR_BTNSHADOW)}},
    {"NodeSelBgColorA",
     ChartProperty::Color{&ChartSettings::NodeSelBgColorA, SystemColor(COLOR_3DLIGHT)}},
    {"NodeSelBgColorB",
     ChartProperty::Color{&ChartSettings::NodeSelBgColorB, SystemColor(COLOR_BTNHIGHLIGHT)}},
    {"NodeSelForeColorA",
     ChartProperty::Color{&ChartSettings::NodeSelForeColorA, SystemColor(COLOR_BTNFACE)}},
    {"NodeSelForeColorB",
     ChartProperty::Color{&ChartSettings::NodeSelForeColorB, SystemColor(COLOR_BTNFACE)}},
    {"NodeSelFrameColor",
     ChartProperty::Color{&ChartSettings::NodeSelFrameColor, SystemColor(COLOR_BTNSHADOW)}},
    {"NodeSelShadowColor",
     ChartProperty::Color{&ChartSettings::NodeSelShadowColor, SystemColor(COLOR_BTNSHADOW)}},
    {"Font", ChartProperty::WidgetFont{}},
}};

// The entry of the table whose value lives in `member`.
template <typename T> const ChartProperty &ChartPropertyOf(T ChartSettings::*member)
{
    for (const ChartProperty &property : kChartProperties) {
        const auto *setting = std::get_if<ChartProperty::Setting<T>>(&property.value);
        if (setting && setting->member == member)
            return property;
    }
    Q_UNREACHABLE();
}

// The entry of the table for one of the widget's own states (WidgetEnabled or WidgetFont).
template <typename State> const ChartProperty &ChartPropertyOf()
{
    for (const ChartProperty &property : kChartProperties) {
        if (std::holds_alternative<State>(property.value))
            return property;
    }
    Q_UNREACHABLE();
}
