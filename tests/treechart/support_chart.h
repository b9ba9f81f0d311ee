#pragma once

#include "TreeChart.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QString>

// Shared helpers of the chart tests.

// A node for the host's side: key, captions, all colours inherited.
inline cNode MakeNode(const QString &key, const cNodePtr &parent = nullptr)
{
    cNode node;
    node.setKey(key);
    node.setCaptionA(key + QStringLiteral(" A"));
    node.setCaptionB(key + QStringLiteral(" B"));
    node.setParentNode(parent);
    node.SetAllColors(kInheritColor);
    return node;
}

// The three-row chart of the layout example: a root, its three children, then a child of the
// second child and a child of the third child. Returns the stored nodes r, c1..c3, g1, g2.
struct ExampleChart
{
    cNodePtr root, c1, c2, c3, g1, g2;
};

inline ExampleChart BuildExample(cLevels &levels)
{
    ExampleChart e;
    auto row1 = levels.AddNew();
    e.root = row1->Add(MakeNode(QStringLiteral("r")));
    auto row2 = levels.AddNew();
    e.c1 = row2->Add(MakeNode(QStringLiteral("c1"), e.root));
    e.c2 = row2->Add(MakeNode(QStringLiteral("c2"), e.root));
    e.c3 = row2->Add(MakeNode(QStringLiteral("c3"), e.root));
    auto row3 = levels.AddNew();
    e.g1 = row3->Add(MakeNode(QStringLiteral("g1"), e.c2));
    e.g2 = row3->Add(MakeNode(QStringLiteral("g2"), e.c3));
    return e;
}

// Sends one mouse event to the chart's canvas at a point of the canvas widget.
inline void SendMouse(QWidget *canvas, QEvent::Type type, QPointF pos,
                      Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, canvas->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &event);
}
