#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace Pixtile {

// The "Appearance" property page of the thumbnail viewer: sizes, border styles and a live
// preview of one cell. It reads and writes the control's properties by name, so it serves any
// object with the viewer's properties.
class AppearancePage : public QWidget
{
    Q_OBJECT

public:
    explicit AppearancePage(QWidget *parent = nullptr);

    // Fills the page from the control (the page is not marked changed by this).
    void SelectionChanged(const QObject *control);
    // Writes every value of the page to the control by name.
    void ApplyChanges(QObject *control) const;

    bool isChanged() const { return m_changed; }
    void clearChanged() { m_changed = false; }
    bool isLoading() const { return m_loading; }

    // The preview as last drawn.
    QImage previewImage() const;

signals:
    // The user edited something; the host may enable its Apply button.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillLists();
    void metricEdited(QLineEdit *box);
    void offsetCheck();
    void computeBorderWidths();
    void drawPreview();
    void markChanged();

    QCheckBox *chkHasLabel = nullptr;
    QLineEdit *txtThumbWidth = nullptr;
    QLineEdit *txtThumbHeight = nullptr;
    QLineEdit *txtThumbOffset = nullptr;
    QLineEdit *txtThumbSpace = nullptr;
    QComboBox *cboThumbBorderStyle = nullptr;
    QComboBox *cboThumbBorderInStyle = nullptr;
    QComboBox *cboLabelBorderStyle = nullptr;
    QScrollBar *HSize = nullptr;
    QScrollBar *VSize = nullptr;
    QLabel *picThumb = nullptr;

    bool m_loading = false;
    bool m_changed = false;
    int m_outerWidth = 1;
    int m_innerWidth = 0;
    int m_labelWidth = 1;
};

} // namespace Pixtile
