#include "TreeKinshipCache.h"

#include "MessageService.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PrivacyFilter.h"
#include "WaitCursor.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressDialog>
#include <QStatusBar>
#include <QThread>

// A making of the links on a worker: the thread, and what it leaves (shared with it, so that a
// making let go may end on its own).
struct TreeKinshipCache::Build
{
    struct Outcome
    {
        std::shared_ptr<KinshipLinks> links;
        double ms = 0;
    };
    std::unique_ptr<QThread> thread;
    std::shared_ptr<Outcome> outcome = std::make_shared<Outcome>();
    QString tree;
    int persons = 0;
};

TreeKinshipCache::TreeKinshipCache(OpenTree &tree) : m_tree(tree) {}

TreeKinshipCache::~TreeKinshipCache()
{
    if (m_build && m_build->thread)
        m_build->thread->wait();
}

QString TreeKinshipCache::BuildingText(int persons)
{
    return QStringLiteral("Building the links of %L1 persons...").arg(persons);
}

void TreeKinshipCache::SetReaders(FamilyReader families, SexReader sexes)
{
    m_families = std::move(families);
    m_sexes = std::move(sexes);
    Forget();
}

void TreeKinshipCache::Forget()
{
    m_links.reset();
    if (!m_build)
        return;
    // The worker reads its own copies: it is let finish and goes when it has.
    QThread *thread = m_build->thread.release();
    if (thread->isFinished())
        delete thread;
    else
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_build.reset();
}

std::vector<Genealogy::FamilyKeys> TreeKinshipCache::readFamilies(QWidget *window,
                                                                  const QString &tree) const
{
    if (!m_families)
        return {};
    Result<std::vector<Genealogy::FamilyKeys>> read = m_families(tree);
    if (read)
        return std::move(read).value();
    ShowMessage(QStringLiteral("The families of the tree '%1' could not be read: %2\n\n"
                               "The chart shows the persons linked by their parent keys only.")
                    .arg(tree, read.error().text()),
                QStringLiteral("Charts"), MsgIcon::Exclamation, MsgButtons::OkOnly, window);
    return {};
}

void TreeKinshipCache::start(QWidget *window)
{
    auto build = std::make_unique<Build>();
    build->tree = m_tree.CurrentTree();
    build->persons = m_tree.People().Count();
    KinshipLinks::Snapshot snapshot;
    {
        WaitCursor busy; // the families are read here, from the store
        snapshot = KinshipLinks::Take(m_tree.People(), readFamilies(window, build->tree));
    }
    std::shared_ptr<Build::Outcome> outcome = build->outcome;
    build->thread.reset(QThread::create([outcome, snapshot = std::move(snapshot)]() mutable {
        QElapsedTimer timer;
        timer.start();
        outcome->links = std::make_shared<KinshipLinks>(std::move(snapshot));
        outcome->ms = double(timer.nsecsElapsed()) / 1e6;
    }));
    build->thread->start(QThread::LowPriority);
    m_build = std::move(build);
}

void TreeKinshipCache::Prepare(QWidget *window)
{
    if (!m_links && !m_build && m_tree.People().Count() >= m_workerFrom)
        start(window);
}

void TreeKinshipCache::finish(QWidget *window, std::shared_ptr<KinshipLinks> links,
                              const QString &tree, double ms)
{
    if (m_sexes)
        links->SetSexes(m_sexes(tree));
    m_lastMs = ms;
    const int persons = int(links->Index().count());
    m_lastText = (persons == 1 ? QStringLiteral("The links of %L1 person were built in %2 ms.")
                               : QStringLiteral("The links of %L1 persons were built in %2 ms."))
                     .arg(persons)
                     .arg(ms, 0, 'f', 0);
    if (auto *main = qobject_cast<QMainWindow *>(window ? window->window() : nullptr))
        main->statusBar()->showMessage(m_lastText, 15000);
    m_links = std::move(links);
}

std::shared_ptr<const KinshipLinks> TreeKinshipCache::Links(QWidget *window)
{
    if (m_links)
        return m_links;
    if (!m_build) {
        if (m_tree.People().Count() < m_workerFrom) {
            WaitCursor busy;
            QElapsedTimer timer;
            timer.start();
            const QString tree = m_tree.CurrentTree();
            auto links =
                std::make_shared<KinshipLinks>(m_tree.People(), readFamilies(window, tree));
            finish(window, std::move(links), tree, double(timer.nsecsElapsed()) / 1e6);
            return m_links;
        }
        start(window);
    }
    // Waits for the worker; the other windows are served meanwhile.
    QThread *thread = m_build->thread.get();
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    if (!thread->isFinished()) {
        QProgressDialog progress(BuildingText(m_build->persons), QString(), 0, 0, window);
        progress.setObjectName(QStringLiteral("dlgBuildingLinks"));
        progress.setWindowTitle(QStringLiteral("Charts"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.show();
        loop.exec();
    }
    if (m_links)
        return m_links; // taken by a question asked meanwhile
    if (!m_build || m_build->thread.get() != thread)
        return Links(window); // the persons changed meanwhile: made again
    thread->wait();
    std::unique_ptr<Build> done = std::move(m_build);
    finish(window, std::move(done->outcome->links), done->tree, done->outcome->ms);
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
