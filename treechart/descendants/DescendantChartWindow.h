#pragma once

#include "ChartSettings.h"
#include "ChildrenOf.h"
#include "FindResultsModel.h"
#include "KinshipCharts.h"
#include "PersonFinder.h"
#include "PrivateKinship.h"

#include <QFont>
#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class DescendantChartData;
class DescendantChartView;
class QLabel;

// The window of a descendant chart (objectName frmDescendants): every descendant of one person,
// or of every root, at once. Its menus: File (Export Chart... Ctrl+Shift+X, Print... Ctrl+P,
// Print Preview..., Close Ctrl+W), Edit (Find Person... Ctrl+F: selects and centres a person
// of this chart) and View (Zoom In Ctrl++ and Ctrl+=, Zoom Out Ctrl+-, Actual Size Ctrl+0).
// The status bar counts persons and generations and shows the zoom.
//
// The same window shows the charts through families (KinshipChartKind): the descendants of a
// person with each family's other partner, or its ancestors (objectName frmAncestors), both
// parents of everyone, the first generations open (kAncestorGenerations) and every branch
// opened on demand: View > Open Branch (Ctrl+E) opens the selected person's, View > Open All
// Branches (Ctrl+Shift+E) every one.
//
// The window reads the persons by key while it is open: the host closes it when the tree is
// closed or another one is loaded (it deletes itself when closed), and has it Rebuild its chart
// when persons are added, changed or deleted.
class DescendantChartWindow : public QMainWindow
{
    Q_OBJECT
public:
    // `rootKey` empty: the descendants of every root person. `people` must outlive the window.
    DescendantChartWindow(const cPeople &people, const ChildrenOf &childrenOf,
                          const QString &rootKey, const ChartSettings &settings, const QFont &font,
                          YearsText years, QWidget *parent = nullptr);
    // The links are asked for again at every Rebuild (the persons may have changed).
    using LinksMaker = std::function<std::shared_ptr<const KinshipLinks>()>;
    DescendantChartWindow(const cPeople &people, KinshipChartKind kind, LinksMaker links,
                          const QString &rootKey, const ChartSettings &settings, const QFont &font,
                          YearsText years, QWidget *parent = nullptr);
    // The line between two relatives: the descendants of `rootKey` (their common ancestor)
    // among `only`, titled `title` (objectName frmRelationship).
    DescendantChartWindow(const cPeople &people, LinksMaker links, const QString &rootKey,
                          const QSet<QString> &only, const QString &title,
                          const ChartSettings &settings, const QFont &font, YearsText years,
                          QWidget *parent = nullptr);
    ~DescendantChartWindow() override;

    // Generations of ancestors open when the ancestor chart opens.
    static constexpr int kAncestorGenerations = 5;
    // The chart walks families: null for the descendant chart of PrntKey alone.
    std::optional<KinshipChartKind> Kind() const { return m_kind; }

    DescendantChartView *View() const { return m_view; }
    // The window's title line (also the title of exported pages).
    QString ChartTitle() const { return m_title; }
    // The person whose descendants are shown; empty for every root.
    const QString &RootKey() const { return m_rootKey; }
    // Makes the chart again from the persons as they are now, keeping the zoom and the selected
    // person (when still there) and the view's place.
    void Rebuild();

    // The host reads the tree as the privacy choice of an export or print shows it; without a
    // reader (or for the chart of PrntKey alone) the export dialogs offer no such choice.
    void SetPrivacyReader(PrivateTreeReader reader) { m_privacy = std::move(reader); }

    // The window's commands, also reachable from the host.
    void FindPerson();
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();
    // The ancestor chart: walks on past the selected person (all its branches), or past every
    // person. False when nothing was closed there.
    bool OpenBranch();
    void OpenAllBranches();

signals:
    // A box was clicked: the host selects that person in its main window.
    void PersonClicked(const QString &key);

private:
    void setUp(const QString &rootKey);
    void buildMenus();
    void showStatus();
    // The tree as the persons and the opened branches are now.
    std::unique_ptr<DescendantChartData> makeChart() const;
    void rebuildKeepingView();
    // The chart as exported and printed: the shown one, or made again as the choice shows the
    // tree.
    KinshipExportSource exportSource(const ChartRenderSource &shown) const;

    const cPeople &m_people;
    ChildrenOf m_childrenOf;
    std::optional<KinshipChartKind> m_kind;
    LinksMaker m_linksMaker;
    std::shared_ptr<const KinshipLinks> m_links;
    int m_openGenerations = INT_MAX;
    bool m_allOpen = false;
    QSet<QString> m_only;   // a relationship's line: these persons alone
    QSet<QString> m_opened; // persons whose branches were opened, each with all below it
    QString m_rootKey;
    ChartSettings m_settings;
    QFont m_font;
    YearsText m_years;
    DescendantChartView *m_view;
    QLabel *m_count;
    QLabel *m_zoom;
    QString m_title;
    std::unique_ptr<PersonFinder> m_finder; // built at the first search
    PrivateTreeReader m_privacy;
};
