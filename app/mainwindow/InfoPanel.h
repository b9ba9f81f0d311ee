#pragma once

#include "HeaderPanel.h"
#include "InfoThumbs.h"
#include "PersonFields.h"
#include "PersonSlices.h"

#include <QString>
#include <QStringList>

#include <array>

class FactsView;
class FrameBox;
class OpenTree;
class QAction;
class ViewOptions;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QStackedWidget;
class QTabBar;
class QTextEdit;
class QToolButton;
class Thumbnailer;
class cPerson;
struct AppState;
struct PersonRecord;

// The information panel "pnlInfo" on the right of the main window: every field of the selected
// person, read-only, and the person's photos in a thumbnail viewer (InfoThumbs: deleting photos
// with the Delete key, the photo viewer on a double click, the viewer's saved design).
//
// Following the open tree (Follow), the panel shows the selected person while it is shown itself
// (ViewOptions' ShowInfo), is emptied when another tree is opened or nothing is selected, shows
// the values of the person after an edit and lists the photos again when photos were added.
// Its width is fixed (kPanelWidth); the main window places it and stretches its notes
// (NotesFrameTop, NotesBoxTop, StretchNotes). Its close button (closeClicked) is the Info command.
//
// The fields sit on a first tab "Person"; a second tab "Family and events" (FactsView) shows the
// person's parents, partners, events and sources, read through the slice source (SetSliceSource)
// when the tab is shown or, while it is shown, when the person changes. A person named there is a
// link: following it raises personActivated, which the host passes to the open tree's owner.
class InfoPanel : public HeaderPanel
{
    Q_OBJECT

public:
    // The panel's width in pixels.
    static constexpr int kPanelWidth = 272;
    // The settings group of the viewer's saved design in the user settings file.
    static constexpr const char *kDesignGroup = InfoThumbs::kDesignGroup;

    explicit InfoPanel(AppState &state, QWidget *parent = nullptr);
    ~InfoPanel() override;

    // From now on the panel follows the open tree and the ShowInfo option (see above). Both must
    // outlive the panel.
    void Follow(const OpenTree &tree, const ViewOptions &options);
    // Where the facts of the second tab are read from (the open tree's name and the person's key).
    void SetSliceSource(PersonSliceSource source);
    // The tabs: 0 the fields, 1 "Family and events".
    static constexpr int kFieldsTab = 0;
    static constexpr int kFactsTab = 1;
    int CurrentTab() const;
    // Adds a page of its own under a tab after the others (the history); the panel owns it.
    void AddPage(const QString &title, QWidget *page);
    void SetCurrentTab(int tab);
    FactsView *Facts() const { return m_facts; }
    // Tools > Photo Viewer Settings...: the viewer's property pages.
    QAction *ViewerSettingsCommand() const { return m_viewerSettings; }

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
    // Lists the photo folder of the person shown again (after photos were added to it); clears
    // the viewer when the folder does not exist.
    void RefreshPhotos();
    // The key of the person whose values the panel shows; empty when it shows none.
    const QString &ShownKey() const { return m_shownKey; }

    // The thumbnail viewer of the panel (objectName "Thumbnailer").
    Thumbnailer *thumbnailer() const { return m_thumbs; }
    // True while the viewer has the input focus.
    bool ThumbsFocused() const { return m_photos->ThumbsFocused(); }

    // Photo deletion: when the viewer has the focus, items are selected and the key is Delete,
    // asks once (InfoPhotos::DeleteQuestion), hands the selected files to the viewer's
    // DeleteItems and moves every file the viewer reports to the trash (or, where there is no
    // trash and the question said so, deletes it). True when it asked.
    //
    // The panel takes the Delete key from the viewer before the viewer's own Delete handling
    // sees it, so the viewer's CanDelete and FSOEnable never lead to a second question or to a
    // file removed without one; files reported by any other DeleteItems stay on the disk.
    bool HandleKeyUp(int key) { return m_photos->HandleKeyUp(key); }

    // Opens the viewer's property pages (Appearance, Behavior; OK/Cancel/Apply). Every Apply
    // saves the viewer's design. The small "Settings..." button beside "Photos :" runs it; a
    // menu command may call it too.
    void ShowViewerProperties() { m_photos->ShowViewerProperties(); }
    // The viewer's design in the user settings file (group kDesignGroup). Without a saved
    // design the main-window design applies (ApplyDefaultDesign).
    void SaveViewerDesign() const { m_photos->SaveViewerDesign(); }
    void LoadViewerDesign() { m_photos->LoadViewerDesign(); }
    // The viewer's design on the main window: window colour, 70 x 70 cells, offset 2, space
    // 5, no labels, hidden and system files not shown, dimensions read, pattern
    // "*.bmp;*.jpg;*.jpeg;*.gif;*.png" (PNG added, as the edit window offers PNG photos).
    void ApplyDefaultDesign() { m_photos->ApplyDefaultDesign(); }

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
    // A person named on the "Family and events" tab was followed (a click, Return, Alt+Left).
    void personActivated(const QString &key);
    // The "Edit..." link of the "Family and events" tab: the person shown is to be edited.
    void editRequested();
    // Its "Details..." link: the details window of the person shown.
    void detailsRequested();

private:
    void buildFields();
    QLineEdit *addField(QGridLayout *grid, QWidget *frame, int row, int column,
                        PersonFields::Field field, int span = 1);
    void layOutNow() const;
    void showPhotosOf(const QString &key);
    void buildTabs();
    // Reads and shows the facts of the person shown when the facts tab is shown; else marks them
    // to be read when it is.
    void updateFacts();
    // True when the panel shows the person with this key (any letter case).
    bool shows(const QString &key) const;
    // The folder whose "Photos" keeps the photos of the open database.
    QString photoHome() const;

    AppState &m_state;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_pages = nullptr;
    FactsView *m_facts = nullptr;
    PersonSliceSource m_slices;
    const OpenTree *m_tree = nullptr;
    bool m_factsStale = false;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    Thumbnailer *m_thumbs = nullptr;
    InfoThumbs *m_photos = nullptr;
    QAction *m_viewerSettings = nullptr;
    QString m_shownKey;

    // The line boxes txtKey … txtCountry and their labels, by PersonFields::Field.
    std::array<QLineEdit *, PersonFields::kLineFields> m_boxes = {};
    std::array<QLabel *, PersonFields::kLineFields> m_labels = {};
    QTextEdit *txtInfo = nullptr;
    QLabel *lblPhotos = nullptr;
    QLabel *lblNotes = nullptr;
    QToolButton *cmdViewerSettings = nullptr;
    std::array<FrameBox *, PersonFields::kFrameCount> m_frames = {};
};
