#pragma once

#include "FanChart.h"
#include "PrivateKinship.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QComboBox;
class QSpinBox;

// The window of a fan chart (objectName frmFan): the selected person's ancestors in rings. Its
// tool bar chooses the generations (spnGenerations, 2 to 10, 5 at first), the span (cboSpan:
// half, three-quarter, full circle) and the colours (cboColours: by generation, by branch). File
// > Export Chart... (Ctrl+Shift+X), Print... (Ctrl+P), Print Preview..., Close (Ctrl+W). The host
// has it Rebuild when the persons change and closes it when the tree goes.
class FanChartWindow : public QMainWindow
{
    Q_OBJECT
public:
    using LinksMaker = std::function<std::shared_ptr<const KinshipLinks>()>;
    // `people` must outlive the window.
    FanChartWindow(const cPeople &people, LinksMaker links, const QString &rootKey,
                   const QFont &font, QWidget *parent = nullptr);
    ~FanChartWindow() override;

    const FanChart &Chart() const { return *m_chart; }
    const QString &RootKey() const { return m_rootKey; }
    QString ChartTitle() const;
    void SetGenerations(int generations);
    void SetSpan(FanChart::Span span);
    void SetColours(FanChart::Colours colours);
    // Makes the chart again from the persons as they are now.
    void Rebuild();

    // The host reads the tree as the privacy choice of an export or print shows it; without a
    // reader the export dialogs offer no such choice.
    void SetPrivacyReader(PrivateTreeReader reader) { m_privacy = std::move(reader); }
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();

private:
    void remake();
    static QString titleOf(const cPeople &people, const QString &rootKey);
    // The chart as exported and printed: the shown one, or made again as the choice shows the
    // tree.
    KinshipExportSource exportSource() const;

    const cPeople &m_people;
    LinksMaker m_linksMaker;
    std::shared_ptr<const KinshipLinks> m_links;
    QString m_rootKey;
    QFont m_font;
    std::unique_ptr<FanChart> m_chart;
    QWidget *m_canvas;
    QSpinBox *m_generations;
    QComboBox *m_span;
    QComboBox *m_colours;
    PrivateTreeReader m_privacy;
};
