#include "PrivateKinship.h"

namespace {

// The tree as the choice shows it and the links made of it, kept together.
struct PrivateLinks
{
    std::shared_ptr<const PrivateTree> tree;
    KinshipLinks links;

    explicit PrivateLinks(std::shared_ptr<const PrivateTree> shown)
        : tree(std::move(shown)), links(tree->people, tree->families)
    {
        links.SetSexes(tree->sexes);
    }
};

} // namespace

QString PrivateChartRefusal()
{
    return QStringLiteral("The person of this chart is marked private and left out unless "
                          "\"Include private\" is ticked: nothing was written.");
}

KinshipExportSource::KinshipExportSource(const ChartRenderSource &shown, PrivateTreeReader reader,
                                         PrivateChartMaker maker)
    : m_shown(shown), m_reader(std::move(reader)), m_maker(std::move(maker))
{
}

std::unique_ptr<ChartRenderSource>
KinshipExportSource::WithPrivacy(const Genealogy::PrivacyOptions &privacy) const
{
    m_error.clear();
    if (!m_reader || !m_maker)
        return nullptr;
    std::shared_ptr<const PrivateTree> tree = m_reader(privacy);
    if (!tree)
        return nullptr;
    auto links = std::make_shared<const PrivateLinks>(std::move(tree));
    std::unique_ptr<ChartRenderSource> chart = m_maker(links->tree->people, links->links, &m_error);
    if (!chart)
        return nullptr;
    return std::make_unique<HeldChartSource>(std::move(links), std::move(chart));
}
