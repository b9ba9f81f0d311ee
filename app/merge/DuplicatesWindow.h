#pragma once

#include "DuplicateFinder.h"
#include "MergePersons.h"
#include "ModelSlice.h"
#include "PersonRecord.h"
#include "RecordPairs.h"

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
// again afterwards. "Find" lists likely pairs of families (the same couple, or one partner the
// same and none beside) or of sources (the same title) instead, merged after a question. Escape
// closes the window.
class DuplicatesWindow : public QDialog
{
    Q_OBJECT

public:
    // Asked to merge the second person of a pair into the first; true when it was merged.
    using MergeRequest = std::function<bool(const QString &keep, const QString &other)>;
    // Asked to merge the second family or source of a pair into the first (numbers of the
    // tree's model); true when it was merged.
    using RecordMergeRequest = std::function<bool(RecordKind kind, quint32 keep, quint32 other)>;

    DuplicatesWindow(OpenTree &tree, MergeRequest merge, RecordMergeRequest mergeRecords,
                     QWidget *parent = nullptr);
    ~DuplicatesWindow() override;

    // Makes the list again (the tree compared with, the lowest score).
    void Search();
    int PairCount() const { return int(m_pairs.size() + m_recordPairs.size()); }
    // The keys of a pair in the list (0 = the best).
    std::pair<QString, QString> PairKeys(int row) const;

private:
    void mergeChosen();
    void updateButtons();
    void searchPersons();
    void searchRecords(RecordKind kind);
    // The kind listed: persons, or families or sources.
    bool listsPersons() const;
    RecordKind recordKind() const;

    OpenTree &m_tree;
    MergeRequest m_merge;
    RecordMergeRequest m_mergeRecords;
    QComboBox *m_kind = nullptr;
    QComboBox *m_against = nullptr;
    QSpinBox *m_minScore = nullptr;
    QTableWidget *m_list = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_mergeButton = nullptr;
    std::vector<PersonRecord> m_rows;
    std::vector<PersonRecord> m_otherRows;
    std::vector<Genealogy::DuplicatePair> m_pairs;
    std::vector<Genealogy::RecordPairs::Pair> m_recordPairs;
};
