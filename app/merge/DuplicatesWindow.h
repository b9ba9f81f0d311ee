#pragma once

#include "DuplicateFinder.h"
#include "PersonRecord.h"

#include <QDialog>

#include <functional>
#include <vector>

class OpenTree;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Tools > Find Duplicates...: the pairs of persons of the open tree most likely recorded twice
// (or pairs between it and another tree chosen in "Compare with"), with their score, best first,
// those scoring at least the lowest score given. The list is made under the busy pointer. Merge...
// (Return, or a double click) asks to merge the chosen pair of the open tree; the list is made
// again afterwards. Escape closes the window.
class DuplicatesWindow : public QDialog
{
    Q_OBJECT

public:
    // Asked to merge the second person of a pair into the first; true when it was merged.
    using MergeRequest = std::function<bool(const QString &keep, const QString &other)>;

    DuplicatesWindow(OpenTree &tree, MergeRequest merge, QWidget *parent = nullptr);
    ~DuplicatesWindow() override;

    // Makes the list again (the tree compared with, the lowest score).
    void Search();
    int PairCount() const { return int(m_pairs.size()); }
    // The keys of a pair in the list (0 = the best).
    std::pair<QString, QString> PairKeys(int row) const;

private:
    void mergeChosen();
    void updateButtons();

    OpenTree &m_tree;
    MergeRequest m_merge;
    QComboBox *m_against = nullptr;
    QSpinBox *m_minScore = nullptr;
    QTableWidget *m_list = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_mergeButton = nullptr;
    std::vector<PersonRecord> m_rows;
    std::vector<PersonRecord> m_otherRows;
    std::vector<Genealogy::DuplicatePair> m_pairs;
};
