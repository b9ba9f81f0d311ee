#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

// What the chart shows while no tree is open: a short note in its middle on how to open a tree,
// make one or import one. It lies over the chart, follows its size and lets every mouse event
// through to it.
class EmptyChartHint : public QWidget
{
    Q_OBJECT

public:
    explicit EmptyChartHint(QWidget *chart);

    // The note for these trees (the tree box's): the Example tree is named when there is one.
    // A database open read-only offers no tree to make or import.
    static QString Text(const QStringList &trees, bool readOnly = false);

    // The trees the tree box lists.
    void SetTrees(const QStringList &trees);
    // Whether the database is open read-only.
    void SetReadOnly(bool readOnly);
    // The note shows only while no tree is open.
    void SetTreeOpen(bool open);

    QString text() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showText();

    QLabel *m_note = nullptr;
    QStringList m_trees;
    bool m_readOnly = false;
};
