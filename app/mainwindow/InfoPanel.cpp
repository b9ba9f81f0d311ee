#include "InfoPanel.h"

#include "AppState.h"
#include "FactsView.h"
#include "FileHelpers.h"
#include "FrameBox.h"
#include "OpenTree.h"
#include "PersonFacts.h"
#include "PersonFields.h"
#include "PersonRecord.h"
#include "PhotoFolders.h"
#include "ReadOnlyNotice.h"
#include "Thumbnailer.h"
#include "ViewOptions.h"
#include "cPerson.h"
#include "mDatabase.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

using namespace PersonFields;

constexpr int kMargin = 6;      // around the panel's contents
constexpr int kKeysGap = 2;     // below the ID row, besides the gap between frames
constexpr int kFrameGap = 4;    // between frames
constexpr int kFrameMargin = 5; // inside a frame, within the border the style draws
constexpr int kNotesBottom = 7; // below the notes box (with the border, as the stretch leaves)
constexpr int kRowGap = 4;      // between rows of boxes
constexpr int kCellGap = 6;     // between a box and the next label of its row
constexpr int kLabelGap = 4;    // between a label and its box
constexpr int kKeyBoxWidth = 56;
constexpr int kDateBoxWidth = 82;
constexpr int kNotesDesignHeight = 64;
constexpr int kNotesMinHeight = 24;
constexpr int kDesignPanelHeight = 600;

// A label with room for the gaps around it: kLabelGap before its box, kCellGap before the label
// when it follows a box in its row, and one pixel above and below the text.
void keepGaps(QLabel *label, bool followsBox)
{
    label->setContentsMargins(followsBox ? kCellGap : 0, 1, kLabelGap, 1);
}

void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QGridLayout *frameGrid(FrameBox *frame)
{
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(kFrameMargin, 0, kFrameMargin, kFrameMargin);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(kRowGap);
    // The boxes without a width of their own share what the labels leave.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

} // namespace

InfoPanel::InfoPanel(AppState &state, QWidget *parent)
    : HeaderPanel(tr("Personal info"), parent), m_state(state)
{
    setObjectName(QStringLiteral("pnlInfo"));
    setFixedWidth(kPanelWidth);

    // The fields sit on a scrolled page: a panel lower than they need scrolls instead of
    // cutting off the notes and the photos.
    m_scroll = new QScrollArea(body());
    m_scroll->setObjectName(QStringLiteral("scrInfo"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidgetResizable(true);
    m_content = new QWidget(m_scroll);
    m_content->setObjectName(QStringLiteral("InfoContents"));
    buildFields();
    m_scroll->setWidget(m_content);
    buildTabs();

    m_photos = new InfoThumbs(m_thumbs, m_state, this);
    connect(m_photos, &InfoThumbs::photoDeleted, this, &InfoPanel::photoDeleted);
    // The photos of a tree that cannot be changed (read-only, or its server gone) stay.
    m_photos->SetDeleteRefusal([this] {
        return m_tree && RefuseWhenReadOnly(m_tree->Store(), tr("Delete photos"), window());
    });
    m_viewerSettings = new QAction(tr("Photo Viewer Settings..."), this);
    m_viewerSettings->setObjectName(QStringLiteral("mnuToolsPhotoViewer"));
    connect(m_viewerSettings, &QAction::triggered, m_photos, &InfoThumbs::ShowViewerProperties);
    connect(cmdViewerSettings, &QToolButton::clicked, m_viewerSettings, &QAction::trigger);

    LoadViewerDesign();
    m_photos->updateViewerHeight();
    ShowDeathFields(false);
    resize(kPanelWidth, kDesignPanelHeight);
    layOutNow();
}

InfoPanel::~InfoPanel() = default;

QLineEdit *InfoPanel::addField(QGridLayout *grid, QWidget *frame, int row, int column, Field field,
                               int span)
{
    QLabel *label = CreateLabel(field, frame);
    keepGaps(label, column > 0);
    QLineEdit *box = CreateLineBox(field, frame);
    box->setReadOnly(true);
    grid->addWidget(label, row, column);
    grid->addWidget(box, row, column + 1, 1, span);
    m_labels[field] = label;
    m_boxes[field] = box;
    return box;
}

// The fields' page and the facts' page, one shown at a time under a bar of two tabs.
void InfoPanel::buildTabs()
{
    m_tabs = new QTabBar(body());
    m_tabs->setObjectName(QStringLiteral("tabInfo"));
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->addTab(tr("Person"));
    m_tabs->addTab(tr("Family and events"));
    m_pages = new QStackedWidget(body());
    m_pages->setObjectName(QStringLiteral("InfoPages"));
    m_pages->addWidget(m_scroll);
    m_facts = new FactsView(m_pages);
    m_pages->addWidget(m_facts);
    auto *bodyLayout = new QVBoxLayout(body());
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    bodyLayout->addWidget(m_tabs);
    bodyLayout->addWidget(m_pages, 1);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        m_pages->setCurrentIndex(tab);
        updateFacts();
    });
    connect(m_facts, &FactsView::personActivated, this, &InfoPanel::personActivated);
    connect(m_facts, &FactsView::editRequested, this, &InfoPanel::editRequested);
    connect(m_facts, &FactsView::detailsRequested, this, &InfoPanel::detailsRequested);
}

int InfoPanel::CurrentTab() const
{
    return m_tabs->currentIndex();
}

void InfoPanel::AddPage(const QString &title, QWidget *page)
{
    m_pages->addWidget(page);
    m_tabs->addTab(title);
}

void InfoPanel::SetCurrentTab(int tab)
{
    m_tabs->setCurrentIndex(tab);
}

void InfoPanel::SetSliceSource(PersonSliceSource source)
{
    m_slices = std::move(source);
    m_factsStale = true;
    updateFacts();
}

void InfoPanel::updateFacts()
{
    if (m_tabs->currentIndex() != kFactsTab) {
        m_factsStale = true;
        return;
    }
    if (!m_factsStale)
        return;
    m_factsStale = false;
    if (m_shownKey.isEmpty() || !m_slices || !m_tree) {
        m_facts->ShowText(QString());
        return;
    }
    const Result<Genealogy::ModelSlice> slice = m_slices(m_tree->CurrentTree(), m_shownKey);
    if (!slice) {
        m_facts->ShowText(tr("The family and events of '%1' could not be read: %2")
                              .arg(m_shownKey, slice.error().text()));
        return;
    }
    m_facts->ShowFacts(Genealogy::personFacts(*slice));
}

// The ID row above five frames; within a frame each row is a label before its box, the boxes
// of a row sharing its width. The page keeps the heights its rows need; below the frames it
// is empty.
void InfoPanel::buildFields()
{
    QWidget *page = m_content;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    pageLayout->setSpacing(kFrameGap);

    auto *keys = new QGridLayout;
    keys->setContentsMargins(0, 0, 0, kKeysGap);
    keys->setSpacing(0);
    keys->setColumnStretch(3, 1);
    addField(keys, page, 0, 0, Key)->setFixedWidth(kKeyBoxWidth);
    addField(keys, page, 0, 2, PrntKey);
    pageLayout->addLayout(keys);

    for (int i = 0; i < kFrameCount; ++i) {
        m_frames[i] = new FrameBox(FrameCaption(i), i, page);
        m_frames[i]->setObjectName(QStringLiteral("fmInfo"));
        pageLayout->addWidget(m_frames[i]);
    }
    pageLayout->addStretch(1);

    QGridLayout *name = frameGrid(m_frames[0]);
    addField(name, m_frames[0], 0, 0, Fname);
    addField(name, m_frames[0], 0, 2, Sname);

    // The partner's last name comes first.
    QGridLayout *partner = frameGrid(m_frames[1]);
    addField(partner, m_frames[1], 0, 0, PrtSname);
    addField(partner, m_frames[1], 0, 2, PrtFname);

    QGridLayout *dates = frameGrid(m_frames[2]);
    addField(dates, m_frames[2], 0, 0, Bdate)->setFixedWidth(kDateBoxWidth);
    addField(dates, m_frames[2], 0, 2, Bplace);
    addField(dates, m_frames[2], 1, 0, Ddate)->setFixedWidth(kDateBoxWidth);
    addField(dates, m_frames[2], 1, 2, Dplace);
    // Without a death date the row of the death fields stays empty: the frames do not move.
    for (QWidget *w : std::initializer_list<QWidget *>{m_boxes[Ddate], m_boxes[Dplace],
                                                       m_labels[Ddate], m_labels[Dplace]})
        keepPlaceWhenHidden(w);

    QGridLayout *place = frameGrid(m_frames[3]);
    addField(place, m_frames[3], 0, 0, Address, 3);
    addField(place, m_frames[3], 1, 0, City);
    addField(place, m_frames[3], 1, 2, Country);

    // Misc: the photos, then the notes.
    QWidget *misc = m_frames[4];
    lblPhotos = new QLabel(PhotosLabelText(), misc);
    lblPhotos->setObjectName(QStringLiteral("lblPhotos"));
    keepGaps(lblPhotos, false);
    m_thumbs = new Thumbnailer(misc);
    m_thumbs->setObjectName(QStringLiteral("Thumbnailer"));
    keepPlaceWhenHidden(m_thumbs);
    cmdViewerSettings = new QToolButton(misc);
    cmdViewerSettings->setObjectName(QStringLiteral("cmdViewerSettings"));
    cmdViewerSettings->setText(tr("Settings..."));
    cmdViewerSettings->setToolTip(tr("Appearance and behaviour of the photo thumbnails"));
    cmdViewerSettings->setAutoRaise(true);
    cmdViewerSettings->setFocusPolicy(Qt::NoFocus);
    lblNotes = CreateLabel(Notes, misc);
    keepGaps(lblNotes, false);
    txtInfo = CreateNotesBox(misc);
    txtInfo->setReadOnly(true);
    txtInfo->setFixedHeight(kNotesDesignHeight);

    auto *photosRow = new QHBoxLayout;
    photosRow->setSpacing(0);
    photosRow->addWidget(lblPhotos, 1);
    photosRow->addWidget(cmdViewerSettings);
    auto *miscLayout = new QVBoxLayout(misc);
    miscLayout->setContentsMargins(kFrameMargin, 0, kFrameMargin, kNotesBottom);
    miscLayout->setSpacing(0);
    miscLayout->addLayout(photosRow);
    miscLayout->addWidget(m_thumbs);
    miscLayout->addSpacing(kRowGap);
    miscLayout->addWidget(lblNotes);
    miscLayout->addWidget(txtInfo);
    // A frame stretched beyond the notes box stays empty below it.
    miscLayout->addStretch(1);
}

// Qt lays out a widget when it is shown. The main window asks where the notes frame is and
// stretches it before it first shows the panel, so the panel lays itself out here: the sizes
// from the inside out (a frame not shown does not tell the page that its rows changed), then
// the places from the outside in.
void InfoPanel::layOutNow() const
{
    for (FrameBox *frame : m_frames)
        frame->updateGeometry();
    layout()->setGeometry(contentsRect());
    body()->layout()->setGeometry(body()->contentsRect());
    m_pages->layout()->setGeometry(m_pages->contentsRect());
    // A scroll area not shown places its viewport when it is told of its size, and sizes its
    // page to the viewport when asked to.
    QResizeEvent resized(m_scroll->size(), m_scroll->size());
    QCoreApplication::sendEvent(m_scroll, &resized);
    m_scroll->setWidgetResizable(true);
    m_content->layout()->setGeometry(m_content->contentsRect());
    for (FrameBox *frame : m_frames)
        frame->layout()->setGeometry(frame->contentsRect());
}

int InfoPanel::NotesFrameTop() const
{
    layOutNow();
    return m_scroll->viewport()->mapTo(this, QPoint(0, m_frames[4]->y())).y();
}

int InfoPanel::NotesBoxTop() const
{
    layOutNow();
    return txtInfo->y();
}

void InfoPanel::StretchNotes(int frameHeight, int boxHeight)
{
    txtInfo->setFixedHeight(std::max(kNotesMinHeight, boxHeight));
    // Never lower than the box and the rows above it need.
    FrameBox *notes = m_frames[4];
    notes->setMinimumHeight(std::max(frameHeight, notes->layout()->totalMinimumSize().height()));
    layOutNow();
}

FrameBox *InfoPanel::fmInfo(int index) const
{
    return index >= 0 && index < kFrameCount ? m_frames[index] : nullptr;
}

void InfoPanel::ShowDeathFields(bool show)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_boxes[Ddate], m_boxes[Dplace],
                                                       m_labels[Ddate], m_labels[Dplace]})
        w->setVisible(show);
}

bool InfoPanel::DeathFieldsShown() const
{
    return !m_boxes[Ddate]->isHidden();
}

void InfoPanel::FillInfoPanel(const cPerson &person)
{
    m_shownKey = person.Key();
    const PersonRecord values = person.toRecord();
    for (int f = 0; f < kLineFields; ++f) {
        m_boxes[f]->setText(values.*kFields[f].column);
        m_boxes[f]->setCursorPosition(0);
    }
    txtInfo->setPlainText(values.Notes);
    ShowDeathFields(!values.Ddate.isEmpty());
    m_factsStale = true;
    updateFacts();
    // The viewer lists and renders the photos from the event loop: the click returns at once.
    showPhotosOf(m_shownKey);
}

void InfoPanel::ClearInfoPanel()
{
    m_shownKey.clear();
    for (QLineEdit *box : m_boxes)
        box->clear();
    txtInfo->clear();
    ShowDeathFields(false);
    m_thumbs->Clear();
    m_facts->Clear();
    m_factsStale = false;
}

void InfoPanel::ShowPersonValues(const PersonRecord &values)
{
    // The key box keeps the key shown.
    for (int f = PrntKey; f < kLineFields; ++f)
        m_boxes[f]->setText(values.*kFields[f].column);
    txtInfo->setPlainText(values.Notes);
    ShowDeathFields(!values.Ddate.isEmpty());
    // The names and dates on the facts' page follow the saved row.
    m_factsStale = true;
    updateFacts();
}

void InfoPanel::ShowPersonValues(const cPerson &person)
{
    ShowPersonValues(person.toRecord());
}

void InfoPanel::RefreshPhotos()
{
    const QString folder = PhotoFolders::FolderOf(photoHome(), m_shownKey);
    if (!folder.isEmpty() && FolderExists(folder) && AddBackslash(m_thumbs->Path()) == folder) {
        m_thumbs->Redraw();
        return;
    }
    // The folder may have been created just now: point the viewer at it.
    showPhotosOf(m_shownKey);
}

void InfoPanel::showPhotosOf(const QString &key)
{
    const QString folder = PhotoFolders::FolderOf(photoHome(), key);
    if (!folder.isEmpty() && FolderExists(folder))
        m_thumbs->setPath(folder);
    else
        m_thumbs->Clear();
}

QString InfoPanel::photoHome() const
{
    // A shared database keeps its photos where it names them ("" while they are unavailable).
    return m_tree ? m_tree->Store().DataPath() : m_state.DataPath;
}

bool InfoPanel::shows(const QString &key) const
{
    return !m_shownKey.isEmpty() && m_shownKey.compare(key, Qt::CaseInsensitive) == 0;
}

void InfoPanel::Follow(const OpenTree &tree, const ViewOptions &options)
{
    m_tree = &tree;
    connect(&tree, &OpenTree::PeopleReplaced, this, &InfoPanel::ClearInfoPanel);
    connect(&tree, &OpenTree::SelectionChanged, this, [this](const QString &key) {
        if (key.isEmpty())
            ClearInfoPanel();
    });
    // While the panel is hidden, clicks do not fill it; showing it fills it from the selection.
    connect(&tree, &OpenTree::PersonSelected, this, [this, &options](const cPersonPtr &person) {
        if (options.ShowInfo())
            FillInfoPanel(*person);
    });
    connect(&options, &ViewOptions::ShowInfoChanged, this, [this, &tree](bool show) {
        if (const cPersonPtr person = tree.SelectedPerson(); show && person)
            FillInfoPanel(*person);
    });
    connect(&tree, &OpenTree::PersonChanged, this, [this, &options](const cPersonPtr &person) {
        if (options.ShowInfo() && shows(person->Key()))
            ShowPersonValues(*person);
    });
    connect(&tree, &OpenTree::PhotosAdded, this, [this, &options](const QString &key) {
        if (options.ShowInfo() && shows(key))
            RefreshPhotos();
    });
    // Another user changed records of the person shown: the facts are read again.
    connect(&tree, &OpenTree::RecordsChanged, this, [this](const QStringList &keys) {
        const bool ours =
            keys.isEmpty() || std::any_of(keys.begin(), keys.end(),
                                          [this](const QString &key) { return shows(key); });
        if (ours && !m_shownKey.isEmpty()) {
            m_factsStale = true;
            updateFacts();
        }
    });
    // A person deleted: the viewer lets go of the photo folder before it is deleted.
    connect(&tree, &OpenTree::PersonRemoved, this, [this](const cPersonPtr &person) {
        if (shows(person->Key()))
            ClearInfoPanel();
    });
}
