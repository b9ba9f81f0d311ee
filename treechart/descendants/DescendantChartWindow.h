#pragma once

#include "ChartSettings.h"
#include "ChildrenOf.h"
#include "FindResultsModel.h"
#include "PersonFinder.h"

#include <QFont>
#include <QMainWindow>

#include <memory>

class DescendantChartView;
class QLabel;

// The window of a descendant chart (objectName frmDescendants): every descendant of one person,
// or of every root, at once. Its menus: File (Export Chart... Ctrl+Shift+X, Print... Ctrl+P,
// Print Preview..., Close Ctrl+W), Edit (Find Person... Ctrl+F: selects and centres a person
// of this chart) and View (Zoom In Ctrl++ and Ctrl+=, Zoom Out Ctrl+-, Actual Size Ctrl+0).
// The status bar counts persons and generations and shows the zoom.
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
    ~DescendantChartWindow() override;

    DescendantChartView *View() const { return m_view; }
    // The window's title line (also the title of exported pages).
    QString ChartTitle() const { return m_title; }
    // The person whose descendants are shown; empty for every root.
    const QString &RootKey() const { return m_rootKey; }
    // Makes the chart again from the persons as they are now, keeping the zoom and the selected
    // person (when still there) and the view's place.
    void Rebuild();

    // The window's commands, also reachable from the host.
    void FindPerson();
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();

signals:
    // A box was clicked: the host selects that person in its main window.
    void PersonClicked(const QString &key);

private:
    void buildMenus();
    void showStatus();

    const cPeople &m_people;
    ChildrenOf m_childrenOf;
    QString m_rootKey;
    ChartSettings m_settings;
    QFont m_font;
    YearsText m_years;
    DescendantChartView *m_view;
    QLabel *m_count;
    QLabel *m_zoom;
    QString m_title;
    std::unique_ptr<PersonFinder> m_finder; // built at the first search
};
