#include "WindowTitle.h"

#include "OpenTree.h"
#include "PersonNode.h"

#include <QWidget>

WindowTitle::WindowTitle(QWidget &window, const OpenTree &tree)
    : QObject(&window), m_window(window), m_tree(tree)
{
    connect(&tree, &OpenTree::PeopleReplaced, this, &WindowTitle::showTree);
    connect(&tree, &OpenTree::CurrentTreeChanged, this, [this] {
        // A renamed tree: its new name while no box is clicked.
        if (m_tree.SelectedKey().isEmpty())
            showTree();
    });
    connect(&tree, &OpenTree::SelectionChanged, this, [this](const QString &key) {
        if (key.isEmpty())
            showTree();
    });
    connect(&tree, &OpenTree::PersonSelected, this, [this](const cPersonPtr &person, bool PartA) {
        m_window.setWindowTitle(PartA ? PersonCaptionA(*person) : PersonCaptionB(*person));
    });
}

QString WindowTitle::TreeTitle(const QString &treeName)
{
    return treeName.isEmpty() ? QStringLiteral("Velkin Tree")
                              : treeName + QStringLiteral(" - Velkin Tree");
}

void WindowTitle::showTree()
{
    m_window.setWindowTitle(TreeTitle(m_tree.CurrentTree()));
}
