#pragma once

#include <QDialog>

namespace Pixtile {
class AppearancePage;
class BehaviorPage;
} // namespace Pixtile
class QDialogButtonBox;
class QPushButton;
class QTabWidget;

// The property pages of a thumbnail viewer in one dialog: the "Appearance" and "Behavior" tabs
// with OK, Cancel and Apply. Apply (and OK) write both pages to the control; Apply is enabled
// while a page holds changes not yet written.
class ThumbnailerPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // `control` is the viewer whose properties are shown (not owned; must outlive the dialog).
    explicit ThumbnailerPropertiesDialog(QObject *control, QWidget *parent = nullptr);

    // Shows the pages for the control modally; true when changes were applied (by OK or Apply).
    static bool Edit(QObject *control, QWidget *parent = nullptr);

    Pixtile::AppearancePage *appearancePage() const { return m_appearance; }
    Pixtile::BehaviorPage *behaviorPage() const { return m_behavior; }
    bool hasApplied() const { return m_applied; }

public slots:
    // Writes both pages to the control.
    void Apply();

signals:
    // Emitted after the pages were written to the control.
    void applied();

private:
    void pageChanged();

    QObject *m_control;
    QTabWidget *m_tabs = nullptr;
    Pixtile::AppearancePage *m_appearance = nullptr;
    Pixtile::BehaviorPage *m_behavior = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_apply = nullptr;
    bool m_applied = false;
};
