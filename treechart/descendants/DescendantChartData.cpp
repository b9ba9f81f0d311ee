#include "DescendantChartData.h"

DescendantChartData::DescendantChartData(const cPeople &people, const ChildrenOf &childrenOf,
                                         const QString &rootKey, const ChartSettings &settings,
                                         const QFont &font)
    : m_people(people), m_rootKey(rootKey),
      m_tree(DescendantTree::Build(people, childrenOf, rootKey)), m_painter(m_geometry, font)
{
    m_geometry.Arrange(m_tree, settings);
}

DescendantChartData::DescendantChartData(const cPeople &people, DescendantTree tree,
                                         const QString &rootKey, const ChartSettings &settings,
                                         const QFont &font, bool flipped)
    : m_people(people), m_rootKey(rootKey), m_tree(std::move(tree)), m_painter(m_geometry, font)
{
    m_geometry.Arrange(m_tree, settings, flipped);
}
