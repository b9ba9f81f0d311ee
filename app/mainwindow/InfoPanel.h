#pragma once

#include "HeaderPanel.h"
#include "InfoPhotos.h"
#include "PersonFields.h"

#include <QString>
#include <QStringList>

#include <array>

class FrameBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QTextEdit;
class QToolButton;
class Thumb;
class Thumbnailer;
class cPerson;
struct AppState;
struct PersonRecord;

// The information panel "pnlInfo" on the right of the main window: every field of the person
// whose box was last clicked, read-only, and the person's photos in a thumbnail viewer.
//
// Wiring in frmMain:
//   - Create it once with the window: `m_info = new InfoPanel(state, this);` (state is the
//     program's AppState; it must outlive the panel; DataPath and UserSettingsFile are read
//     when needed, so they may be filled in after construction). The constructor restores the
//     viewer's saved design (see ViewerDesign below).
//   - Its width is fixed: `m_info->width()` (kPanelWidth pixels) is the panel width of the
//     layout. Place it at the right edge with the chart's top and height. When the panel is
//     lower than its fields need, its contents scroll (scroll area "scrInfo").
//   - closeClicked() (inherited from HeaderPanel, the header's close button) runs the Info
//     command, like mnuViewInfo and the toolbar's "INFO" button.
//   - Layout step 3: pass NotesFrameTop() and NotesBoxTop() (pixels; multiply by twips per
//     pixel) and the panel's height to the layout; when it says stretch, call
//     StretchNotes(frameHeight, boxHeight) in pixels; otherwise the panel keeps its heights.
//   - VTree_NodeClick (panel visible) and the Info command call FillInfoPanel(person);
//     LoadTree, CloseTree and tree creation call ClearInfoPanel().
//   - Photo deletion with the Delete key and the photo viewer on double-click are handled by
//     the panel itself; frmMain need not forward keys (HandleKeyUp is there for a window that
//     prefers to).
//   - The panel's own "Settings..." button (cmdViewerSettings, beside "Photos :") opens the
//     viewer's property pages; a menu command may call ShowViewerProperties() as well.
//   - The edit window's host (EditHost) maps ShowInfoValues(person) to
//     ShowPersonValues(person), ShowDeathFields(visible) to ShowDeathFields(visible) and
//     RedrawThumbs() to RefreshPhotos().
//   - Deleting a person clears the viewer with thumbnailer()->Clear() (or ClearInfoPanel()).
class InfoPanel : public HeaderPanel
{
    Q_OBJECT

public:
    // The panel's width in pixels.
    static constexpr int kPanelWidth = 272;
    // The settings group of the viewer's saved design in the user settings file.
    static constexpr const char *kDesignGroup = "InfoThumbnailer";

    explicit InfoPanel(AppState &state, QWidget *parent = nullptr);
    ~InfoPanel() override;

    // Shows the person's fourteen values; the death date and place with their labels only
    // when the death date is not empty; the photos of the person's photo folder, or an empty
    // viewer when there is none. Returns at once: the viewer lists and renders the photos from
    // the event loop afterwards (a person shown meanwhile replaces them).
    void FillInfoPanel(const cPerson &person);
    // Empties every field, hides the death fields and clears the viewer.
    void ClearInfoPanel();

    // For the edit window's save: copies the values of the record into the boxes (the key box
    // keeps its value) and shows or hides the death fields by the record's death date.
    void ShowPersonValues(const PersonRecord &values);
    void ShowPersonValues(const cPerson &person);
    void ShowDeathFields(bool show);
    bool DeathFieldsShown() const;
    // Lists the photo folder of the key shown again (after photos were added to it); clears
    // the viewer when the folder does not exist.
    void RefreshPhotos();

    // The thumbnail viewer of the panel (objectName "Thumbnailer").
    Thumbnailer *thumbnailer() const { return m_thumbs; }
    // True while the viewer has the input focus.
    bool ThumbsFocused() const;

    // Photo deletion: when the viewer has the focus, items are selected and the key is Delete,
    // asks once (InfoPhotos::DeleteQuestion), hands the selected files to the viewer's
    // DeleteItems and moves every file the viewer reports to the trash (or, where there is no
    // trash and the question said so, deletes it). True when it asked.
    //
    // The panel takes the Delete key from the viewer before the viewer's own Delete handling
    // sees it, so the viewer's CanDelete and FSOEnable never lead to a second question or to a
    // file removed without one; files reported by any other DeleteItems stay on the disk.
    bool HandleKeyUp(int key);

    // Opens the viewer's property pages (Appearance, Behavior; OK/Cancel/Apply). Every Apply
    // saves the viewer's design. The small "Settings..." button beside "Photos :" runs it; a
    // menu command may call it too.
    void ShowViewerProperties();
    // The viewer's design in the user settings file (group kDesignGroup). Without a saved
    // design the main-window design applies (ApplyDefaultDesign).
    void SaveViewerDesign() const;
    void LoadViewerDesign();
    // The viewer's design on the main window: window colour, 70 x 70 cells, offset 2, space
    // 5, no labels, hidden and system files not shown, dimensions read, pattern
    // "*.bmp;*.jpg;*.jpeg;*.gif;*.png" (PNG added, as the edit window offers PNG photos).
    void ApplyDefaultDesign();

    // Layout: top of the notes frame fmInfo(4) within the panel (with the contents scrolled to
    // the top), and of the notes box txtInfo within that frame (pixels); StretchNotes sets both
    // heights (pixels). All three lay the panel out first, so they serve before it is shown.
    int NotesFrameTop() const;
    int NotesBoxTop() const;
    void StretchNotes(int frameHeight, int boxHeight);
    // The five frames by index (0 "Name" … 4 "Misc"); nullptr outside 0..4.
    FrameBox *fmInfo(int index) const;

signals:
    // A photo file was removed from the disk through the viewer.
    void photoDeleted(const QString &filePath);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFields();
    QLineEdit *addField(QGridLayout *grid, QWidget *frame, int row, int column,
                        PersonFields::Field field, int span = 1);
    void layOutNow() const;
    void updateViewerHeight();
    bool isViewerKeyTarget(QObject *watched) const;
    void showPhotosOf(const QString &key);
    void onDblClick(Thumb *thumb);
    void onItemDelete(const QString &sPath, const QString &sName);

    AppState &m_state;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    Thumbnailer *m_thumbs = nullptr;
    // Set while the panel's own DeleteItems runs, after the user confirmed the deletion.
    bool m_deleting = false;
    InfoPhotos::Removal m_removal = InfoPhotos::Removal::Trash;
    QStringList m_notRemoved;

    // The line boxes txtKey … txtCountry and their labels, by PersonFields::Field.
    std::array<QLineEdit *, PersonFields::kLineFields> m_boxes = {};
    std::array<QLabel *, PersonFields::kLineFields> m_labels = {};
    QTextEdit *txtInfo = nullptr;
    QLabel *lblPhotos = nullptr;
    QLabel *lblNotes = nullptr;
    QToolButton *cmdViewerSettings = nullptr;
    std::array<FrameBox *, PersonFields::kFrameCount> m_frames = {};
};
