#pragma once

#include "ChartRenderSource.h"
#include "KinshipLinks.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <vector>

// A fan chart: a person's ancestors in rings around it, the parents in the first ring, the
// grandparents in the second and so on, each ancestor in the slot its Ahnentafel number gives
// (the father, where the sex is known, before the mother). The rings span half, three quarters
// or the whole of a circle; names follow the arcs in the inner rings and run outwards in the
// outer ones, where the slots are narrow. A slot is coloured by its generation or by the
// grandparent whose branch it belongs to. An ancestor reached in two slots (pedigree collapse)
// fills both, the second in italics.
class FanChart : public ChartRenderSource
{
public:
    enum class Span { Half, ThreeQuarters, Full };
    enum class Colours { ByGeneration, ByBranch };

    static constexpr int kMinGenerations = 2;
    static constexpr int kMaxGenerations = 10;

    // `generations` counts the rings with the person's own circle: 2 to 10 (clamped).
    FanChart(const KinshipLinks &links, const QString &rootKey, int generations,
             Span span = Span::Half, Colours colours = Colours::ByGeneration, QFont font = QFont(),
             QString title = QString());

    // The person in each slot by Ahnentafel number (1: the person, 2 and 3: the parents, ...);
    // null where the ancestor is not known.
    const std::vector<const cPerson *> &Slots() const { return m_slots; }
    // Distinct ancestors shown (the person left out).
    int Ancestors() const { return m_ancestors; }
    int Generations() const { return m_generations; }

    QSize Size() const override;
    int BoxCount() const override;
    void Paint(QPainter &painter, const QRect &chartRect) const override;
    QString Title() const override { return m_title; }
    qint64 SvgBytesPerBox() const override { return 2048; }

    // The colour of a slot.
    QColor SlotColour(int slot) const;

private:
    // Angles in degrees, counter-clockwise from three o'clock as Qt counts them.
    double startAngle() const;
    double spanAngle() const;
    double innerRadius(int ring) const;
    QPointF centre() const;

    std::vector<const cPerson *> m_slots;
    std::vector<bool> m_repeat; // the slot's ancestor was placed in an earlier slot
    int m_generations;
    int m_ancestors = 0;
    Span m_span;
    Colours m_colours;
    QFont m_font;
    QString m_title;
};
