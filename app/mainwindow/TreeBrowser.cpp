#include "TreeBrowser.h"

#include "CollectionMessages.h"
#include "LifeSpan.h"
#include "MessageService.h"
#include "OpenTree.h"
#include "TreeChart.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QComboBox>

TreeBrowser::TreeBrowser(OpenTree &tree, TreeChart &chart, const mDatabase &store, QWidget *window)
    : QObject(window), m_tree(tree), m_chart(chart), m_store(store), m_window(window)
{
    connect(&m_tree, &OpenTree::CurrentTreeChanged, this, &TreeBrowser::onCurrentTreeChanged);
}

cNode TreeBrowser::MakeNode(const cPerson &person, int level, const cNodePtr &parent)
{
    cNode node;
    node.setKey(person.Key());
    node.setIndex(1);
    node.setLevel(level);
    node.setParentNode(parent);
    node.setCaptionA(person.Sname() + QLatin1Char(' ') + person.Fname());
    node.setCaptionB(person.PrtSname() + QLatin1Char(' ') + person.PrtFname());
    node.SetAllColors(kInheritColor);
    return node;
}

QString TreeBrowser::TreeTitle(const QString &treeName)
{
    return treeName.isEmpty() ? QStringLiteral("Velkin Tree")
                              : treeName + QStringLiteral(" - Velkin Tree");
}

void TreeBrowser::SelectTree(QComboBox &cboTrees, const QString &name)
{
    int found = -1;
    for (int i = 0; i < cboTrees.count(); ++i) {
        if (cboTrees.itemText(i) == name) {
            found = i;
            break;
        }
    }
    cboTrees.setCurrentIndex(found);
}

void TreeBrowser::FillTreeBox(QComboBox &cboTrees, const QStringList &names)
{
    cboTrees.clear();
    cboTrees.addItems(names);
    cboTrees.setCurrentIndex(-1); // filled, nothing chosen
}

void TreeBrowser::resetView(const QString &title)
{
    // A new tree starts without a selection: commands on "the selected person" must not reach
    // a person of the new tree that merely shares the key of the last one clicked.
    m_tree.ClearSelection();
    emit StatusChanged(QString(), QString());
    emit TitleChanged(title);
}

void TreeBrowser::onCurrentTreeChanged(const QString &name)
{
    if (m_tree.SelectedKey().isEmpty())
        emit TitleChanged(TreeTitle(name));
}

bool TreeBrowser::LoadTree(const QString &name)
{
    WaitCursor busy;
    m_chart.Clear();
    const Result<void> loaded = m_tree.Load(m_store, name);
    for (const QString &key : m_tree.SkippedKeys())
        ShowPersonKeyTaken(key, m_window);
    resetView(TreeTitle(name));
    if (!loaded) {
        busy.restore();
        ReportError(loaded.error().number(), loaded.error().text(), m_window);
        return false;
    }
    if (m_tree.People().Count() == 0) {
        busy.restore();
        ShowMessage(QStringLiteral("No records found."), QStringLiteral("Empty tree"),
                    MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        return false;
    }

    auto roots = std::make_shared<cLevel>();
    for (const cPersonPtr &person : m_tree.Children(kRootKey))
        roots->Add(MakeNode(*person, 1, nullptr));
    m_chart.Levels().Add(roots);

    if (m_cboTrees)
        SelectTree(*m_cboTrees, m_tree.CurrentTree());
    emit InfoPanelCleared();
    m_chart.Refresh();
    return true;
}

void TreeBrowser::CloseTree()
{
    if (!m_tree.IsOpen())
        return;
    WaitCursor busy;
    m_chart.Clear();
    m_tree.Close();
    m_chart.Refresh();
    resetView(TreeTitle(QString()));
    emit InfoPanelCleared();
}

void TreeBrowser::ShowNewTree(const QString &name)
{
    WaitCursor busy;
    m_chart.Clear();
    m_tree.OpenNew(name);
    m_chart.Refresh();
    resetView(TreeTitle(name));
    emit InfoPanelCleared();
}

void TreeBrowser::VTree_NodeClick(const cNodePtr &node, bool PartA)
{
    if (!node)
        return;
    const int level = node->Level();

    cLevels &levels = m_chart.Levels();
    levels.Truncate(level);
    m_chart.Refresh();

    const cPersonPtr person = m_tree.People().Item(node->Key());
    if (!person)
        return;
    m_tree.Select(node->Key());

    const std::vector<cPersonPtr> &children = m_tree.Children(m_tree.SelectedKey());
    if (!children.empty()) {
        const cNodePtr parent = m_chart.SelectedNode();
        auto row = std::make_shared<cLevel>();
        for (const cPersonPtr &child : children)
            row->Add(MakeNode(*child, level + 1, parent));
        levels.Add(row);
    }
    m_chart.Refresh();

    emit TitleChanged(PartA ? node->CaptionA() : node->CaptionB());
    WaitCursor busy;
    emit StatusChanged(LifeSpan::NameText(person->Fname(), person->Sname()),
                       LifeSpan::Text(person->Bdate(), person->Ddate()));
    emit PersonShown(person);
}

void TreeBrowser::ShowRoots()
{
    m_chart.Levels().Truncate(1);
    m_chart.setSelectedNode(nullptr);
    m_chart.Refresh();
    resetView(TreeTitle(m_tree.CurrentTree()));
    emit InfoPanelCleared();
}
