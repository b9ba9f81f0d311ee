#pragma once

#include "HourglassSource.h"
#include "PrivateKinship.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QSpinBox;

// The window of an hourglass chart (objectName frmHourglass): the selected person's ancestors
// above it and its descendants below. Its tool bar limits the generations of each half
// (spnGenerations, 1 to 99, 4 at first). File > Export Chart... (Ctrl+Shift+X), Print... (Ctrl+P),
// Print Preview..., Close (Ctrl+W). The host has it Rebuild when the persons change and closes it
// when the tree goes.
class HourglassWindow : public QMainWindow
{
    Q_OBJECT
public:
    using LinksMaker = std::function<std::shared_ptr<const KinshipLinks>()>;
    // `people` must outlive the window.
    HourglassWindow(const cPeople &people, LinksMaker links, const QString &rootKey,
                    const ChartSettings &settings, const QFont &font, QWidget *parent = nullptr);
    ~HourglassWindow() override;

    const HourglassSource &Chart() const { return *m_chart; }
    const QString &RootKey() const { return m_rootKey; }
    QString ChartTitle() const;
    void SetGenerations(int generations);
    void Rebuild();

    // The host reads the tree as the privacy choice of an export or print shows it; without a
    // reader the export dialogs offer no such choice.
    void SetPrivacyReader(PrivateTreeReader reader) { m_privacy = std::move(reader); }
    void ExportChart();
    void PrintChart();
    void PrintPreviewChart();

    static constexpr int kGenerations = 4;

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
    ChartSettings m_settings;
    QFont m_font;
    std::unique_ptr<HourglassSource> m_chart;
    QWidget *m_canvas;
    QSpinBox *m_generations;
    PrivateTreeReader m_privacy;
};
