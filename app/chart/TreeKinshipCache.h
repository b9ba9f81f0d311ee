#pragma once

#include "FamilyKeys.h"
#include "KinshipLinks.h"
#include "PrivateKinship.h"
#include "Result.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class OpenTree;
class QWidget;

// The links between the persons of the open tree that the charts through families and the
// relationship calculator walk (PrntKey and the tree's families), made on first use and kept
// until the persons change. The families and the sexes come from readers the main window gives
// (the store's); without them a tree is its rows alone.
class TreeKinshipCache
{
public:
    using FamilyReader =
        std::function<Result<std::vector<Genealogy::FamilyKeys>>(const QString &tree)>;
    using SexReader = std::function<QHash<QString, Genealogy::Sex>(const QString &tree)>;

    explicit TreeKinshipCache(OpenTree &tree) : m_tree(tree) {}

    void SetReaders(FamilyReader families, SexReader sexes);
    // The links of the open tree. When the families cannot be read the user is told through the
    // message service (parented to `window`) and the links are those of the rows alone.
    std::shared_ptr<const KinshipLinks> Links(QWidget *window);
    // The persons changed: the links are made again when next asked for.
    void Forget() { m_links.reset(); }
    // The open tree as a privacy choice shows it, read from the store (null when it cannot be
    // read), for the exports of the charts through families.
    std::shared_ptr<const PrivateTree> Private(const Genealogy::PrivacyOptions &options) const;

private:
    OpenTree &m_tree;
    FamilyReader m_families;
    SexReader m_sexes;
    std::shared_ptr<const KinshipLinks> m_links;
};
