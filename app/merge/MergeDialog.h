#pragma once

#include "FamilyKeys.h"
#include "ModelSlice.h"
#include "PersonMerge.h"
#include "PersonSlices.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

// Merge...: the two persons side by side, field by field (name, birth, death, residence, notes,
// parent, partner, sex) and fact by fact (their families, events, sources and notes as the panel
// lists them). Per field the user picks whose value the survivor keeps (Alt+1 .. Alt+8 move
// between the fields, the arrow keys between the two values); "Drop" drops the value not
// picked, which is otherwise kept as an alternate name or event. Swap makes the other person the
// survivor. Return merges, Escape cancels.
class MergeDialog : public QDialog
{
    Q_OBJECT

public:
    // `keep` and `other` are keys of `tree` (the open tree), read through `slices`; their
    // families are named by the tree's family ids found in `families`.
    MergeDialog(const QString &tree, const PersonRecord &keep, const PersonRecord &other,
                Genealogy::Sex keepSex, Genealogy::Sex otherSex, PersonSliceSource slices,
                std::vector<Genealogy::FamilyKeys> families, QWidget *parent = nullptr);
    ~MergeDialog() override;

    const QString &KeepKey() const { return m_keep.ID; }
    const QString &OtherKey() const { return m_other.ID; }
    Genealogy::PersonMerge::Choice Choice() const;
    // The survivor becomes the other person (Swap).
    void Swap();

private:
    void fill();

    QString m_tree;
    PersonRecord m_keep, m_other;
    Genealogy::Sex m_keepSex, m_otherSex;
    PersonSliceSource m_slices;
    std::vector<Genealogy::FamilyKeys> m_families;
    QLabel *m_keepTitle = nullptr;
    QLabel *m_otherTitle = nullptr;
    std::array<QRadioButton *, Genealogy::PersonMerge::kFieldCount> m_keepValue{};
    std::array<QRadioButton *, Genealogy::PersonMerge::kFieldCount> m_otherValue{};
    std::array<QCheckBox *, Genealogy::PersonMerge::kFieldCount> m_drop{};
    std::array<QButtonGroup *, Genealogy::PersonMerge::kFieldCount> m_groups{};
    QPlainTextEdit *m_keepFacts = nullptr;
    QPlainTextEdit *m_otherFacts = nullptr;
};
