#pragma once

#include "TranslateColor.h"

// The chart's appearance settings, as layout and drawing read them. A new object holds every
// setting at its default (the saved-property table in ChartProperties.h gives the defaults).
// The enabled state and the caption font are the widget's own.
struct ChartSettings
{
    ChartSettings();

    OleColor BackColor{};
    int BorderStyle{}; // 0 none, 1 single line
    bool GlobalSet{};  // true: every box in the chart's colours; false: each box its own
    int OffsetX{};     // left and right margin
    int OffsetY{};     // top and bottom margin
    int LinkStyle{};   // 0 straight, 1 elbow, anything else no connectors
    OleColor ConnectorColor{};
    int Expand{}; // 0 plain rows, 1 rows shifted by their parent's place, else keep places
    int NodeWidth{};
    int NodeHeight{};
    int NodeSpaceH{};
    int NodeSpaceV{};
    int NodeShadowSize{};
    OleColor NodeBgColorA{};
    OleColor NodeBgColorB{};
    OleColor NodeForeColorA{};
    OleColor NodeForeColorB{};
    OleColor NodeFrameColor{};
    OleColor NodeShadowColor{};
    OleColor NodeSelBgColorA{};
    OleColor NodeSelBgColorB{};
    OleColor NodeSelForeColorA{};
    OleColor NodeSelForeColorB{};
    OleColor NodeSelFrameColor{};
    OleColor NodeSelShadowColor{};

    // The look of the main window's chart.
    static ChartSettings MainWindow();

    bool operator==(const ChartSettings &) const = default;
};
