#include "TreeKinshipCache.h"

#include "MessageService.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PrivacyFilter.h"
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

std::shared_ptr<const PrivateTree>
TreeKinshipCache::Private(const Genealogy::PrivacyOptions &options) const
{
    WaitCursor busy;
    const QString tree = m_tree.CurrentTree();
    Result<Genealogy::ModelSlice> read = ModelStore::readTree(m_tree.Store(), tree);
    if (!read)
        return nullptr;
    const Genealogy::PrivacyView view = Genealogy::applyPrivacy(read->rows, read->model, options);
    auto shown = std::make_shared<PrivateTree>();
    for (const Genealogy::PersonRow &row : view.slice.rows)
        shown->people.Add(cPerson(row));
    if (view.slice.model.personCount() > 0) {
        shown->families = Genealogy::familyKeysOf(view.slice.model, view.slice.rows);
    } else if (m_families) {
        // A tree of rows alone: its families (if any) as the store gives them.
        Result<std::vector<Genealogy::FamilyKeys>> families = m_families(tree);
        if (families)
            shown->families = std::move(families).value();
    }
    if (m_sexes)
        shown->sexes = m_sexes(tree);
    return shown;
}
