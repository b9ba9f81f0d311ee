#include "ChartPath.h"

#include "PersonNode.h"
#include "TreeChart.h"

cNodePtr OpenChainInChart(TreeChart &chart, const cPeople &people, const AncestorChain &chain)
{
    if (chain.keys.isEmpty() || chart.Levels().Count() == 0)
        return nullptr;
    cLevels &levels = chart.Levels();
    int row = 1;
    if (!chain.reachesRoot()) {
        const cPersonPtr top = people.Item(chain.topmost());
        if (!top)
            return nullptr;
        levels.Truncate(1);
        auto own = std::make_shared<cLevel>();
        own->Add(MakePersonNode(*top, 2, nullptr));
        levels.Add(own);
        chart.Refresh();
        row = 2;
    }
    cNodePtr node;
    for (const QString &key : chain.keys) {
        const cLevelPtr level = levels.Item(row);
        node = level ? level->Item(key) : nullptr;
        if (!node)
            return nullptr;
        chart.ClickNode(node, true);
        ++row;
    }
    return node;
}
