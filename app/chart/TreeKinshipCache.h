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
//
// A tree of kWorkerFrom persons or more has its links made on a worker: from Prepare on, while
// a dialog is open (the relationship's choice of the second person), or when first asked for,
// with a window-modal progress dialog (dlgBuildingLinks, "Building the links of N persons...")
// while other windows stay usable. How long the making took is shown in the status bar of the
// window asking.
class TreeKinshipCache
{
public:
    using FamilyReader =
        std::function<Result<std::vector<Genealogy::FamilyKeys>>(const QString &tree)>;
    using SexReader = std::function<QHash<QString, Genealogy::Sex>(const QString &tree)>;

    static constexpr int kWorkerFrom = 50000;

    explicit TreeKinshipCache(OpenTree &tree);
    ~TreeKinshipCache();
    TreeKinshipCache(const TreeKinshipCache &) = delete;
    TreeKinshipCache &operator=(const TreeKinshipCache &) = delete;

    void SetReaders(FamilyReader families, SexReader sexes);
    // The links of the open tree. When the families cannot be read the user is told through the
    // message service (parented to `window`) and the links are those of the rows alone.
    std::shared_ptr<const KinshipLinks> Links(QWidget *window);
    // Starts making the links of a large tree on a worker, so that they are ready (or nearer)
    // when asked for; nothing for a small tree or when they are made or being made.
    void Prepare(QWidget *window);
    // The persons changed: the links are made again when next asked for (a making under way is
    // let go).
    void Forget();
    // Whether a making on a worker is under way or waits to be taken.
    bool Building() const { return m_build != nullptr; }
    // From how many persons the links are made on a worker (tests lower it).
    void SetWorkerFrom(int persons) { m_workerFrom = persons; }
    // The line the last making of the links showed ("The links of N persons were built in T
    // ms."), and its milliseconds (on the worker's clock when made there).
    const QString &LastBuildText() const { return m_lastText; }
    double LastBuildMs() const { return m_lastMs; }
    static QString BuildingText(int persons);
    // The open tree as a privacy choice shows it, read from the store (null when it cannot be
    // read), for the exports of the charts through families.
    std::shared_ptr<const PrivateTree> Private(const Genealogy::PrivacyOptions &options) const;

private:
    struct Build;
    std::vector<Genealogy::FamilyKeys> readFamilies(QWidget *window, const QString &tree) const;
    void start(QWidget *window);
    void finish(QWidget *window, std::shared_ptr<KinshipLinks> links, const QString &tree,
                double ms);

    OpenTree &m_tree;
    FamilyReader m_families;
    SexReader m_sexes;
    std::shared_ptr<const KinshipLinks> m_links;
    std::unique_ptr<Build> m_build; // a making on a worker, until its links are taken
    int m_workerFrom = kWorkerFrom;
    QString m_lastText;
    double m_lastMs = 0;
};
