#pragma once

#include "DescendantTree.h"
#include "KinshipLinks.h"

#include <QSet>
#include <QString>

#include <climits>

// The trees of the charts that walk families: a person's descendants (each child with the
// other parent by its family) and a person's ancestors (both parents of every person). A person
// reached twice (cousins who married, pedigree collapse) is drawn once; the second place is a cut
// that links to it.
enum class KinshipChartKind { Descendants, Ancestors };

struct KinshipTreeRequest
{
    KinshipChartKind kind = KinshipChartKind::Descendants;
    // The person at the top; empty: every root person (PrntKey "ROOT"), for descendants.
    QString rootKey;
    // Generations walked past the top person (INT_MAX: every known one)...
    int openGenerations = INT_MAX;
    // ... and beyond them, every ancestor (descendant) of these persons (by key): their
    // branches opened one by one.
    QSet<QString> opened;
    // When not empty, the chart holds these persons only (by key): a line between relatives.
    QSet<QString> only;
};

DescendantTree BuildKinshipTree(const cPeople &people, const KinshipLinks &links,
                                const KinshipTreeRequest &request);

// The word for the persons below the top of a chart: "descendants" or "ancestors".
QString KinshipCountWord(KinshipChartKind kind);
