#pragma once

#include "FindResultsModel.h"
#include "KinshipCharts.h"
#include "TreeKinshipCache.h"
#include "cNode.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>

class DescendantChartWindow;
class FanChartWindow;
class HourglassWindow;
class OpenTree;
class FinderBuilder;
class PersonFinder;
class QAction;
class QWidget;
class TreeChart;
class TreeChartSource;

// The main window's commands for finding persons and for charts beyond the click-by-click view:
//   Person > Find Person... (Ctrl+F)    finds a person and opens the chart along its ancestors;
//   View > Descendant Chart (Ctrl+Shift+D)  every descendant of the selected person (or of every
//                                       root) in a window of its own, children by PrntKey and
//                                       by the tree's families;
//   View > Ancestor Chart (Ctrl+Shift+A)    both parents of the selected person and of each
//                                       ancestor, five generations open, every branch openable;
//   View > Fan Chart                    the selected person's ancestors in rings;
//   View > Hourglass Chart              its ancestors above it, its descendants below;
//   Person > Relationship... (Ctrl+Shift+R)  what the selected person is to another one chosen
//                                       as Find Person chooses, and how they are related;
//   File > Export Chart... (Ctrl+Shift+X), Print... (Ctrl+P), Print Preview...  the main chart
//                                       with all its rows, whole.
// The object makes these commands' actions, which are enabled only while a tree with persons is
// open. Opening a person selects it in the open tree: the chart opens the rows along its
// ancestors as clicks on each of them from the root row would, and the title, status bar and
// information panel follow. The descendant windows follow the open tree too: drawn again when
// its persons change, closed when another tree is opened or their top person is deleted.
class ChartViewCommands : public QObject
{
    Q_OBJECT
public:
    // Every reference must outlive this object; `chart` is the main window's chart (its look
    // and what it shows are exported and printed); `window` parents the dialogs and windows.
    ChartViewCommands(OpenTree &tree, TreeChart &chart, QWidget *window);
    ~ChartViewCommands() override;

    QAction *FindCommand() const { return m_find; }
    // From this many persons on, Find Person builds its index on a worker while its dialog is
    // open and says so; below, at once.
    static constexpr int kWorkerIndexFrom = 50000;
    void SetWorkerIndexFrom(int persons)
    {
        m_workerIndexFrom = persons;
        m_kinship.SetWorkerFrom(persons);
    }
    const TreeKinshipCache &Kinship() const { return m_kinship; }
    QAction *DescendantsCommand() const { return m_descendants; }
    QAction *AncestorsCommand() const { return m_ancestors; }
    QAction *FanCommand() const { return m_fan; }
    QAction *HourglassCommand() const { return m_hourglass; }
    QAction *RelationshipCommand() const { return m_relationship; }
    // Where the charts through families get the open tree's families and sexes (the store's
    // readers; none by default: the rows alone).
    void SetKinshipReaders(TreeKinshipCache::FamilyReader families,
                           TreeKinshipCache::SexReader sexes = {});
    QAction *ExportCommand() const { return m_export; }
    QAction *PrintCommand() const { return m_print; }
    QAction *PrintPreviewCommand() const { return m_printPreview; }
    // View > Zoom In (Ctrl++, Ctrl+=), Zoom Out (Ctrl+-), Actual Size (Ctrl+0): the main chart.
    QAction *ZoomInCommand() const { return m_zoomIn; }
    QAction *ZoomOutCommand() const { return m_zoomOut; }
    QAction *ZoomResetCommand() const { return m_zoomReset; }

    // The menu items' keys.
    static QString FindKey() { return QStringLiteral("mnuPersonFind"); }
    static QString DescendantsKey() { return QStringLiteral("mnuViewDescendants"); }
    static QString AncestorsKey() { return QStringLiteral("mnuViewAncestors"); }
    static QString FanKey() { return QStringLiteral("mnuViewFan"); }
    static QString HourglassKey() { return QStringLiteral("mnuViewHourglass"); }
    static QString RelationshipKey() { return QStringLiteral("mnuPersonRelationship"); }
    static QString RelationshipTitle() { return QStringLiteral("Relationship"); }
    static QString ExportKey() { return QStringLiteral("mnuFileExportChart"); }
    static QString PrintKey() { return QStringLiteral("mnuFilePrint"); }
    static QString PrintPreviewKey() { return QStringLiteral("mnuFilePrintPreview"); }
    // The title of the messages about a line of ancestors that breaks.
    static QString FindTitle() { return QStringLiteral("Find Person"); }

    // The commands.
    void FindPerson();
    void ShowDescendants();
    void ShowAncestors();
    void ShowFan();
    void ShowHourglass();
    // Asks for the second person; with `otherKey` given, asks nothing. The answer is shown
    // through the message service; for relatives by blood it offers the line between them as a
    // chart (a window like the descendant chart's, objectName frmRelationship). Returns the
    // answer (empty when nothing was asked or shown).
    QString ShowRelationship(const QString &otherKey = QString());
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();

    // Selects the person: the chart opens along the person's line of ancestors, as clicks on
    // each of them from the root row, and gets the focus. Where the line breaks
    // (a parent key naming nobody, or a circle) the user is told, through the message service,
    // each time when `tellEveryTime`, else once per break. A person outside the line is selected
    // with no box and nothing told. Returns the person's box, or null.
    cNodePtr OpenPerson(const QString &key, bool tellEveryTime = true);

    // The open descendant windows.
    QList<DescendantChartWindow *> DescendantWindows() const;
    QList<FanChartWindow *> FanWindows() const;
    QList<HourglassWindow *> HourglassWindows() const;

    // The years of a person as the find list shows them ("1901 - 1950", "1901", "- 1950").
    static QString YearsOf(const cPerson &person);

private:
    void updateEnabled();
    // The people changed: the search index is made again when next needed.
    void forgetIndex();
    void closeDescendantWindows();
    // The persons changed: every descendant window is drawn again; one whose top person was
    // deleted (`removedKey`) closes.
    void redrawDescendantWindows(const QString &removedKey = QString());
    bool hasPersons() const;
    void showKinshipChart(KinshipChartKind kind);
    void adopt(DescendantChartWindow *window);
    // Asks for a person of the tree through the find dialog (titled `title` unless empty): its
    // key, or an empty text. A large tree's index is built on a worker while the dialog is open.
    QString askPerson(const QString &title);
    // What the chart windows read the tree by to hide the living and the private in exports.
    PrivateTreeReader privacyReader() const;
    QString chartTitle() const;
    std::unique_ptr<TreeChartSource> exportSource() const;
    QString suggestedFileName() const;

    OpenTree &m_tree;
    TreeChart &m_chart;
    QWidget *m_window;
    QAction *m_find;
    QAction *m_descendants;
    QAction *m_ancestors;
    QAction *m_fan;
    QAction *m_hourglass;
    QAction *m_relationship;
    QAction *m_export;
    QAction *m_print;
    QAction *m_printPreview;
    QAction *m_zoomIn;
    QAction *m_zoomOut;
    QAction *m_zoomReset;
    std::unique_ptr<PersonFinder> m_finder;
    std::unique_ptr<FinderBuilder> m_builder; // builds the index of a large tree on a worker
    int m_workerIndexFrom = kWorkerIndexFrom;
    TreeKinshipCache m_kinship;
    QList<QPointer<DescendantChartWindow>> m_windows;
    QList<QPointer<FanChartWindow>> m_fanWindows;
    QList<QPointer<HourglassWindow>> m_hourglassWindows;
    QSet<QString> m_toldBreaks; // breaks already told to the user, for the quiet kind
};
