#include "ChartSettings.h"

#include "ChartProperties.h"

ChartSettings::ChartSettings()
{
    for (const ChartProperty &property : kChartProperties) {
        std::visit(
            [this](const auto &value) {
                if constexpr (requires { value.member; })
                    this->*value.member = value.defaultValue;
            },
            property.value);
    }
}

ChartSettings ChartSettings::MainWindow()
{
    ChartSettings s;
    s.BackColor = 0x00F0FFFF;
    s.BorderStyle = 1;
    s.GlobalSet = true;
    s.OffsetX = 10;
    s.OffsetY = 10;
    s.LinkStyle = 1;
    s.ConnectorColor = 0x00FF8080;
    s.Expand = 1;
    s.NodeWidth = 140;
    s.NodeHeight = 40;
    s.NodeSpaceH = 20;
    s.NodeSpaceV = 40;
    s.NodeShadowSize = 2;
    s.NodeBgColorA = 0x00DCF0FF;
    s.NodeBgColorB = 0x00DCFFF0;
    s.NodeForeColorA = 0x00C00000;
    s.NodeForeColorB = 0x00C00000;
    s.NodeFrameColor = 0x00FFC0C0;
    s.NodeShadowColor = 0x00A1A1A1;
    s.NodeSelBgColorA = 0x00BFE4FF;
    s.NodeSelBgColorB = 0x00E6FFD5;
    s.NodeSelForeColorA = 0x00C00000;
    s.NodeSelForeColorB = 0x00C00000;
    s.NodeSelFrameColor = 0x00FF0000;
    s.NodeSelShadowColor = 0x00808080;
    return s;
}
