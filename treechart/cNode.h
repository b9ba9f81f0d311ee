#pragma once

#include "TranslateColor.h"

#include <QString>

#include <memory>

class cNode;
using cNodePtr = std::shared_ptr<cNode>;

// One box of the chart. Plain data: accessors store and return values unchanged.
//
// Colours are colour values (0x00BBGGRR or a system colour 0x800000nn); kInheritColor (-1)
// means the chart's colour of the same role applies when the chart draws each box in its own
// colours. `Index` and `Level` are free for the host; the chart never reads them. The geometry
// (`Left`, `Top`, `Right`, `Bottom`, `Center`, pixels on the chart) is written by the chart's
// layout; `Right` and `Bottom` include the shadow, `Center` is the middle of the box without it.
//
// Nodes live in shared pointers; `ParentNode` keeps its parent alive, and so does every holder
// of the pointer (the chart's selection, a handler of its click signals).
class cNode
{
public:
    const QString &Key() const { return m_Key; }
    void setKey(const QString &value) { m_Key = value; }
    int Index() const { return m_Index; }
    void setIndex(int value) { m_Index = value; }

    OleColor BgColorA() const { return m_BgColorA; }
    void setBgColorA(OleColor value) { m_BgColorA = value; }
    OleColor BgColorB() const { return m_BgColorB; }
    void setBgColorB(OleColor value) { m_BgColorB = value; }
    OleColor ForeColorA() const { return m_ForeColorA; }
    void setForeColorA(OleColor value) { m_ForeColorA = value; }
    OleColor ForeColorB() const { return m_ForeColorB; }
    void setForeColorB(OleColor value) { m_ForeColorB = value; }
    OleColor FrameColor() const { return m_FrameColor; }
    void setFrameColor(OleColor value) { m_FrameColor = value; }
    OleColor ShadowColor() const { return m_ShadowColor; }
    void setShadowColor(OleColor value) { m_ShadowColor = value; }
    OleColor SelBgColorA() const { return m_SelBgColorA; }
    void setSelBgColorA(OleColor value) { m_SelBgColorA = value; }
    OleColor SelBgColorB() const { return m_SelBgColorB; }
    void setSelBgColorB(OleColor value) { m_SelBgColorB = value; }
    OleColor SelForeColorA() const { return m_SelForeColorA; }
    void setSelForeColorA(OleColor value) { m_SelForeColorA = value; }
    OleColor SelForeColorB() const { return m_SelForeColorB; }
    void setSelForeColorB(OleColor value) { m_SelForeColorB = value; }
    OleColor SelShadowColor() const { return m_SelShadowColor; }
    void setSelShadowColor(OleColor value) { m_SelShadowColor = value; }
    OleColor SelFrameColor() const { return m_SelFrameColor; }
    void setSelFrameColor(OleColor value) { m_SelFrameColor = value; }

    const QString &CaptionA() const { return m_CaptionA; }
    void setCaptionA(const QString &value) { m_CaptionA = value; }
    const QString &CaptionB() const { return m_CaptionB; }
    void setCaptionB(const QString &value) { m_CaptionB = value; }
    int Level() const { return m_Level; }
    void setLevel(int value) { m_Level = value; }
    bool Selected() const { return m_Selected; }
    void setSelected(bool value) { m_Selected = value; }
    const cNodePtr &ParentNode() const { return m_ParentNode; }
    void setParentNode(cNodePtr value) { m_ParentNode = std::move(value); }

    int Left() const { return m_Left; }
    void setLeft(int value) { m_Left = value; }
    int Top() const { return m_Top; }
    void setTop(int value) { m_Top = value; }
    int Right() const { return m_Right; }
    void setRight(int value) { m_Right = value; }
    int Bottom() const { return m_Bottom; }
    void setBottom(int value) { m_Bottom = value; }
    int Center() const { return m_Center; }
    void setCenter(int value) { m_Center = value; }

    // Sets all twelve colours at once (the host's "inherit everything" is SetAllColors(-1)).
    void SetAllColors(OleColor value);

private:
    QString m_Key;
    int m_Index = 0;
    OleColor m_BgColorA = 0;
    OleColor m_BgColorB = 0;
    OleColor m_ForeColorA = 0;
    OleColor m_ForeColorB = 0;
    OleColor m_FrameColor = 0;
    OleColor m_ShadowColor = 0;
    OleColor m_SelBgColorA = 0;
    OleColor m_SelBgColorB = 0;
    OleColor m_SelForeColorA = 0;
    OleColor m_SelForeColorB = 0;
    OleColor m_SelShadowColor = 0;
    OleColor m_SelFrameColor = 0;
    QString m_CaptionA;
    QString m_CaptionB;
    int m_Level = 0;
    bool m_Selected = false;
    cNodePtr m_ParentNode;
    int m_Left = 0;
    int m_Top = 0;
    int m_Right = 0;
    int m_Bottom = 0;
    int m_Center = 0;
};
