#include "cNode.h"

void cNode::SetAllColors(OleColor value)
{
    m_BgColorA = value;
    m_BgColorB = value;
    m_ForeColorA = value;
    m_ForeColorB = value;
    m_FrameColor = value;
    m_ShadowColor = value;
    m_SelBgColorA = value;
    m_SelBgColorB = value;
    m_SelForeColorA = value;
    m_SelForeColorB = value;
    m_SelShadowColor = value;
    m_SelFrameColor = value;
}
