#pragma once

#include <QObject>
#include <QString>

class OpenTree;
class QWidget;

// The main window's title as a view of the open tree: the caption of the half of the selected
// person's box that was chosen (the person's name, last name first, or the partner's); while
// nothing is selected, the open tree's name (TreeTitle).
class WindowTitle : public QObject
{
    Q_OBJECT

public:
    // `window` and `tree` must outlive the title, which is the window's child.
    WindowTitle(QWidget &window, const OpenTree &tree);

    // The title while no box has been clicked: "<tree> - Velkin Tree", or "Velkin Tree".
    static QString TreeTitle(const QString &treeName);

private:
    void showTree();

    QWidget &m_window;
    const OpenTree &m_tree;
};
