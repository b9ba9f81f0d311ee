#include "cLevel.h"

cNodePtr cLevel::Add(const cNode &node)
{
    auto stored = std::make_shared<cNode>();
    stored->setKey(node.Key());
    stored->setIndex(node.Index());
    stored->setLevel(node.Level());
    stored->setCaptionA(node.CaptionA());
    stored->setCaptionB(node.CaptionB());
    stored->setParentNode(node.ParentNode());
    stored->setSelected(node.Selected());
    stored->setBgColorA(node.BgColorA());
    stored->setBgColorB(node.BgColorB());
    stored->setForeColorA(node.ForeColorA());
    stored->setForeColorB(node.ForeColorB());
    stored->setFrameColor(node.FrameColor());
    stored->setSelBgColorA(node.SelBgColorA());
    stored->setSelBgColorB(node.SelBgColorB());
    stored->setSelForeColorA(node.SelForeColorA());
    stored->setSelForeColorB(node.SelForeColorB());
    stored->setSelFrameColor(node.SelFrameColor());
    stored->setSelShadowColor(node.SelShadowColor());
    stored->setShadowColor(node.ShadowColor());
    if (!m_nodes.Append(stored->Key(), stored))
        return nullptr;
    return stored;
}
