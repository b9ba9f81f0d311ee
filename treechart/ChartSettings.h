#pragma once

#include "TranslateColor.h"

// The chart's appearance settings with their defaults (a new control, and the value assumed for
// a setting missing from a saved design). The font is kept by the control itself.
struct ChartSettings
{
    OleColor BackColor = SystemColor(COLOR_WINDOW);
    int BorderStyle = 1; // 0 none, 1 single line
    bool Enabled = true;
    bool GlobalSet = true; // true: every box in the chart's colours; false: each box its own
    int OffsetX = 100;     // left and right margin
    int OffsetY = 100;     // top and bottom margin
    int LinkStyle = 1;     // 0 straight, 1 elbow, anything else no connectors
    OleColor ConnectorColor = SystemColor(COLOR_WINDOWTEXT);
    int Expand = 1; // 0 plain rows, 1 rows shifted by their parent's place, else keep places
    int NodeWidth = 130;
    int NodeHeight = 35;
    int NodeSpaceH = 2200;
    int NodeSpaceV = 150;
    int NodeShadowSize = 2;
    OleColor NodeBgColorA = SystemColor(COLOR_3DLIGHT);
    OleColor NodeBgColorB = SystemColor(COLOR_BTNHIGHLIGHT);
    OleColor NodeForeColorA = SystemColor(COLOR_BTNFACE);
    OleColor NodeForeColorB = SystemColor(COLOR_BTNFACE);
    OleColor NodeFrameColor = SystemColor(COLOR_BTNSHADOW);
    OleColor NodeShadowColor = SystemColor(COLOR_BTNSHADOW);
    OleColor NodeSelBgColorA = SystemColor(COLOR_3DLIGHT);
    OleColor NodeSelBgColorB = SystemColor(COLOR_BTNHIGHLIGHT);
    OleColor NodeSelForeColorA = SystemColor(COLOR_BTNFACE);
    OleColor NodeSelForeColorB = SystemColor(COLOR_BTNFACE);
    OleColor NodeSelFrameColor = SystemColor(COLOR_BTNSHADOW);
    OleColor NodeSelShadowColor = SystemColor(COLOR_BTNSHADOW);

    // The look of the main window's chart.
    static ChartSettings MainWindow();

    bool operator==(const ChartSettings &) const = default;
};
