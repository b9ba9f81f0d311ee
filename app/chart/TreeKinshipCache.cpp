#include "TreeKinshipCache.h"

#include "MessageService.h"
#include "OpenTree.h"
#include "WaitCursor.h"

void TreeKinshipCache::SetReaders(FamilyReader families, SexReader sexes)
{
    m_families = std::move(families);
    m_sexes = std::move(sexes);
    Forget();
}

std::shared_ptr<const KinshipLinks> TreeKinshipCache::Links(QWidget *window)
{
    if (m_links)
        return m_links;
    WaitCursor busy;
    const QString tree = m_tree.CurrentTree();
    std::vector<Genealogy::FamilyKeys> families;
    if (m_families) {
        Result<std::vector<Genealogy::FamilyKeys>> read = m_families(tree);
        if (read) {
            families = std::move(read).value();
        } else {
            ShowMessage(QStringLiteral("The families of the tree '%1' could not be read: %2\n\n"
                                       "The chart shows the persons linked by their parent keys "
                                       "only.")
                            .arg(tree, read.error().text()),
                        QStringLiteral("Charts"), MsgIcon::Exclamation, MsgButtons::OkOnly, window);
        }
    }
    auto links = std::make_shared<KinshipLinks>(m_tree.People(), families);
    if (m_sexes)
        links->SetSexes(m_sexes(tree));
    m_links = std::move(links);
    return m_links;
}
