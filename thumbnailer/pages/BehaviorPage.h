#pragma once

#include "PageRules.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace Pixtile {

// The "Behavior" property page of the thumbnail viewer: the file information and behaviour
// switches and the file pattern, built from nine pattern check boxes.
class BehaviorPage : public QWidget
{
    Q_OBJECT

public:
    explicit BehaviorPage(QWidget *parent = nullptr);

    void SelectionChanged(const QObject *control);
    void ApplyChanges(QObject *control) const;

    bool isChanged() const { return m_changed; }
    void clearChanged() { m_changed = false; }

    // The property names of the thirteen switches, in the order they are written.
    static const std::array<const char *, 13> &SwitchNames();

signals:
    void changed();

private:
    void patternBoxClicked(int index);
    void rebuildPattern();
    void checkAll();
    void uncheckAll();
    void markChanged();
    QCheckBox *switchBox(const char *property) const;

    std::array<QCheckBox *, 13> m_switches{};
    std::array<QCheckBox *, PageRules::kPatternBoxCount> chkPtn{};
    QLineEdit *txtPattern = nullptr;
    QPushButton *cmdCheckAll = nullptr;
    QPushButton *cmdUnCheckAll = nullptr;

    bool m_loading = false;
    bool m_changed = false;
};

} // namespace Pixtile
