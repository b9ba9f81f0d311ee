#pragma once

#include <QStatusBar>

class QLabel;

// The main window's status bar "Sbar": two text panels, addressed by index 1 (the person's
// name) and 2 (the life span), and at the right end a "Read-only" mark (lblReadOnly) shown while
// the database cannot be changed.
class StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    static constexpr int PanelCount = 2;

    // The text of panel 1 or 2; other indices are ignored.
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString &text);
    // The panel's label (1 or 2), or nullptr.
    QLabel *Panel(int index) const;

    // Redraws the panels after their texts changed.
    void Refresh();
    // Shows or hides the read-only mark; `tip` says where the database is.
    void SetReadOnly(bool readOnly, const QString &tip);
    bool ReadOnlyShown() const;

    // The height the window layout reserves for the bar.
    int Height() const { return sizeHint().height(); }

private:
    QLabel *m_panels[PanelCount];
    QLabel *m_readOnly;
};
