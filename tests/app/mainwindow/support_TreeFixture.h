#pragma once

// A tree window in miniature for the tree tests: a store in a temporary folder, the program's
// state, a chart, a tree box and the objects that load and command trees, wired as the main
// window wires them.

#include "AppState.h"
#include "OpenTree.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "mDatabase.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

inline PersonRecord Person(const QString &id, const QString &parent, const QString &fname,
                           const QString &sname, const QString &prtFname = QString(),
                           const QString &prtSname = QString(), const QString &bdate = QString(),
                           const QString &ddate = QString())
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    r.PrtFname = prtFname;
    r.PrtSname = prtSname;
    r.Bdate = bdate;
    r.Ddate = ddate;
    return r;
}

struct TreeFixture
{
    QTemporaryDir dir;
    AppState state;
    mDatabase store;
    OpenTree tree;
    std::unique_ptr<QWidget> window;
    TreeChart *chart = nullptr;
    QComboBox *cboTrees = nullptr;
    TreeBrowser *browser = nullptr;
    TreeCommands *commands = nullptr;
    QString title;
    QString status1;
    QString status2;
    int infoCleared = 0;
    int photosReleased = 0;
    cPersonPtr shown;

    TreeFixture()
    {
        state.ProgramPath = dir.path();
        state.DataPath = dir.path() + QStringLiteral("/");
        store.SetPaths(state.DataPath, state.DataPath + QStringLiteral("people.db"));
        store.OpenDatabase();
        window = std::make_unique<QWidget>();
        window->resize(800, 600);
        chart = new TreeChart(window.get());
        chart->setObjectName(QStringLiteral("VTree"));
        chart->setGeometry(0, 0, 800, 600);
        ApplyMainWindowDesign(*chart);
        cboTrees = new QComboBox(window.get());
        cboTrees->setObjectName(QStringLiteral("cboTrees"));
        browser = new TreeBrowser(tree, *chart, store, window.get());
        browser->setTreeBox(cboTrees);
        commands = new TreeCommands(state, tree, *chart, store, *browser, *cboTrees, window.get());
        QObject::connect(chart, &TreeChart::NodeClick, browser, &TreeBrowser::VTree_NodeClick);
        QObject::connect(browser, &TreeBrowser::TitleChanged,
                         [this](const QString &t) { title = t; });
        QObject::connect(browser, &TreeBrowser::StatusChanged,
                         [this](const QString &a, const QString &b) {
                             status1 = a;
                             status2 = b;
                         });
        QObject::connect(browser, &TreeBrowser::InfoPanelCleared, [this] { ++infoCleared; });
        QObject::connect(browser, &TreeBrowser::PersonShown,
                         [this](const cPersonPtr &p) { shown = p; });
        QObject::connect(commands, &TreeCommands::PhotosReleased, [this] { ++photosReleased; });
        commands->RefillTreeBox();
    }

    bool addTree(const QString &name, const QList<PersonRecord> &rows)
    {
        if (!store.CreateTree(name))
            return false;
        for (const PersonRecord &r : rows) {
            if (!store.InsertPerson(name, r))
                return false;
        }
        commands->RefillTreeBox();
        return true;
    }

    // The box of `key` in row `level` (1-based), or null.
    cNodePtr node(int level, const QString &key) const
    {
        const cLevelPtr row = chart->Levels().Item(level);
        return row ? row->Item(key) : nullptr;
    }

    // The keys of row `level`, in order.
    QStringList row(int level) const
    {
        QStringList keys;
        if (const cLevelPtr r = chart->Levels().Item(level)) {
            for (const cNodePtr &n : *r)
                keys << n->Key();
        }
        return keys;
    }

    // Selects the box as the chart does on a click and runs the click handler.
    void click(int level, const QString &key, bool partA = true)
    {
        const cNodePtr n = node(level, key);
        if (!n)
            return;
        if (const cNodePtr old = chart->SelectedNode())
            old->setSelected(false);
        chart->setSelectedNode(n);
        browser->VTree_NodeClick(n, partA);
    }
};
