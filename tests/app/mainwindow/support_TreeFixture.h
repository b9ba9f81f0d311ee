#pragma once

// The main window on a store in a temporary folder, for the tree and person tests: the open tree
// with its views (the chart, the title, the status bar, the information panel, the tree box)
// and the command groups, as the program wires them.

#include "AppState.h"
#include "InfoPanel.h"
#include "MenuBar.h"
#include "OpenTree.h"
#include "PersonCommands.h"
#include "StatusBar.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "TreeList.h"
#include "frmMain.h"
#include "mDatabase.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

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
    std::unique_ptr<frmMain> main;
    mDatabase &store;
    OpenTree &tree;
    TreeChart *chart;
    QComboBox *cboTrees;
    TreeCommands *commands;
    PersonCommands *persons;

    TreeFixture()
        : main(makeWindow(state, dir)), store(main->Db()), tree(main->Tree()),
          chart(&main->VTree()), cboTrees(&main->cboTrees()), commands(&main->Commands()),
          persons(&main->Persons())
    {
        store.SetPaths(state.DataPath, state.DataPath + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        main->Trees().Refill();
        main->resize(1000, 700);
        main->show();
    }

    static std::unique_ptr<frmMain> makeWindow(AppState &state, const QTemporaryDir &dir)
    {
        state.ProgramPath = dir.path();
        state.DataPath = dir.path() + QStringLiteral("/");
        return std::make_unique<frmMain>(state);
    }

    bool addTree(const QString &name, const QList<PersonRecord> &rows)
    {
        if (!store.CreateTree(name))
            return false;
        for (const PersonRecord &r : rows) {
            if (!store.InsertPerson(name, r))
                return false;
        }
        main->Trees().Refill();
        return true;
    }

    // Chooses the menu command of that key.
    void menu(const char *key) { main->Menus().Item(QLatin1String(key))->trigger(); }

    // What the views show: the window title, the status bar's two panels, the key the
    // information panel shows.
    QString title() const { return main->windowTitle(); }
    QString status1() const { return main->Sbar().PanelText(1); }
    QString status2() const { return main->Sbar().PanelText(2); }
    QString panelKey() const
    {
        return main->pnlInfo().findChild<QLineEdit *>(QStringLiteral("txtKey"))->text();
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

    // Selects the box as the chart does on a click and raises the chart's NodeClick.
    void click(int level, const QString &key, bool partA = true)
    {
        const cNodePtr n = node(level, key);
        if (!n)
            return;
        if (const cNodePtr old = chart->SelectedNode())
            old->setSelected(false);
        chart->setSelectedNode(n);
        emit chart->NodeClick(n, partA);
    }
};
