#pragma once

#include "FindResultsModel.h"
#include "cNode.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>

class DescendantChartWindow;
class MenuBar;
class OpenTree;
class PersonFinder;
class QWidget;
class TreeChart;

// The main window's commands for finding persons and for charts beyond the click-by-click view:
//   Person > Find Person... (Ctrl+F)    finds a person and opens the chart along its ancestors;
//   View > Descendant Chart (Ctrl+Shift+D)  every descendant of the selected person (or of every
//                                       root) in a window of its own;
//   File > Export Chart... (Ctrl+Shift+X), Print... (Ctrl+P), Print Preview...  the main chart
//                                       with all its rows, whole.
// The object adds these items to the window's menu itself (the chart items of the File menu
// just before "Exit") and answers their clicks; they are disabled while no tree with persons is
// open. Opening a person acts as clicks on its ancestors from the root row, so the title, status
// bar and information panel follow through the window's own click handling.
class ChartViewCommands : public QObject
{
    Q_OBJECT
public:
    // Every reference must outlive this object; `window` parents the dialogs and windows.
    ChartViewCommands(OpenTree &tree, TreeChart &chart, MenuBar &menus, QWidget *window);
    ~ChartViewCommands() override;

    // The menu items' keys.
    static QString FindKey() { return QStringLiteral("mnuPersonFind"); }
    static QString DescendantsKey() { return QStringLiteral("mnuViewDescendants"); }
    static QString ExportKey() { return QStringLiteral("mnuFileExportChart"); }
    static QString PrintKey() { return QStringLiteral("mnuFilePrint"); }
    static QString PrintPreviewKey() { return QStringLiteral("mnuFilePrintPreview"); }
    // The title of the messages about a line of ancestors that breaks.
    static QString FindTitle() { return QStringLiteral("Find Person"); }

    // The commands.
    void FindPerson();
    void ShowDescendants();
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();

    // Opens the chart along the person's line of ancestors, as clicks on each of them from the
    // root row, selects the person's box and gives the chart the focus. Where the line breaks
    // (a parent key naming nobody, or a circle) the user is told, through the message service,
    // each time when `tellEveryTime`, else once per break. Returns the person's box, or null.
    cNodePtr OpenPerson(const QString &key, bool tellEveryTime = true);

    // The open descendant windows.
    QList<DescendantChartWindow *> DescendantWindows() const;

    // The years of a person as the find list shows them ("1901 - 1950", "1901", "- 1950").
    static QString YearsOf(const cPerson &person);

private:
    void addMenuItems();
    void menuClick(const QString &key);
    void updateEnabled();
    // The people changed: the search index is made again when next needed.
    void forgetIndex();
    void closeDescendantWindows();
    bool hasPersons() const;
    QString chartTitle() const;
    QString suggestedFileName() const;

    OpenTree &m_tree;
    TreeChart &m_chart;
    MenuBar &m_menus;
    QWidget *m_window;
    std::unique_ptr<PersonFinder> m_finder;
    QList<QPointer<DescendantChartWindow>> m_windows;
    QSet<QString> m_toldBreaks; // breaks already told to the user, for the quiet kind
};
