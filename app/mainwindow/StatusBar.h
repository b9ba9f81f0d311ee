#pragma once

#include <QStatusBar>

class cPerson;

class OpenTree;
class QLabel;

// The main window's status bar "Sbar": two text panels, addressed by index 1 (the person's
// name) and 2 (the life span), and at the right end a "Read-only" mark (lblReadOnly) shown while
// the database cannot be changed. Following an open tree (Follow), the two panels show the
// selected person: panel 1 the name (first name first), panel 2 the life span. Beside the mark,
// always shown, which database is open (lblDatabase).
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
    // The permanent label (lblDatabase) saying which database is open: "Local database" or
    // "Shared: <address>"; `tip` the whole of it.
    void SetDatabase(const QString &text, const QString &tip);
    QString DatabaseText() const;

    // From now on panels 1 and 2 show the selected person of `tree` (empty while none is
    // selected), also after it was edited, and the read-only mark shows while the open tree is
    // one the user may read but not change. `tree` must outlive the bar.
    void Follow(const OpenTree &tree);

    // The height the window layout reserves for the bar.
    int Height() const { return sizeHint().height(); }

private:
    void showPerson(const cPerson *person);

    QLabel *m_panels[PanelCount];
    QLabel *m_readOnly;
    QLabel *m_database;
};
