#include "InfoPanel.h"

#include "AppState.h"
#include "FileHelpers.h"
#include "FrameBox.h"
#include "InfoPhotos.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "NativeNames.h"
#include "PersonFields.h"
#include "PersonRecord.h"
#include "PhotoFolders.h"
#include "PropertyBag.h"
#include "Thumbnailer.h"
#include "ThumbnailerPropertiesDialog.h"
#include "TranslateColor.h"
#include "cPerson.h"
#include "frmPic.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <utility>

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
    auto *bodyLayout = new QVBoxLayout(body());
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(m_scroll);

    connect(m_thumbs, &Thumbnailer::DblClick, this, &InfoPanel::onDblClick);
    connect(m_thumbs, &Thumbnailer::ItemDelete, this, &InfoPanel::onItemDelete);
    // The viewer is one row of thumbnails high, whatever its design.
    connect(m_thumbs, &Thumbnailer::PropertyChanged, this, &InfoPanel::updateViewerHeight);
    // The Delete key is caught wherever it lands inside the viewer.
    m_thumbs->installEventFilter(this);
    for (QWidget *child : m_thumbs->findChildren<QWidget *>())
        child->installEventFilter(this);

    LoadViewerDesign();
    updateViewerHeight();
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
    connect(cmdViewerSettings, &QToolButton::clicked, this, &InfoPanel::ShowViewerProperties);
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

// The viewer shows one row of thumbnails: the cells with their spacing and labels, in its frame.
void InfoPanel::updateViewerHeight()
{
    m_thumbs->setFixedHeight(m_thumbs->ThumbHeight() + 2 * m_thumbs->ThumbSpace() +
                             (m_thumbs->HasLabel() ? fontMetrics().height() + 6 : 0) +
                             2 * m_thumbs->frameWidth() + 1);
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
    const PersonRecord values = person.toRecord();
    for (int f = 0; f < kLineFields; ++f) {
        m_boxes[f]->setText(values.*kFields[f].column);
        m_boxes[f]->setCursorPosition(0);
    }
    txtInfo->setPlainText(values.Notes);
    ShowDeathFields(!values.Ddate.isEmpty());
    // The viewer lists and renders the photos from the event loop: the click returns at once.
    showPhotosOf(m_boxes[Key]->text());
}

void InfoPanel::ClearInfoPanel()
{
    for (QLineEdit *box : m_boxes)
        box->clear();
    txtInfo->clear();
    ShowDeathFields(false);
    m_thumbs->Clear();
}

void InfoPanel::ShowPersonValues(const PersonRecord &values)
{
    // The key box keeps the key shown.
    for (int f = PrntKey; f < kLineFields; ++f)
        m_boxes[f]->setText(values.*kFields[f].column);
    txtInfo->setPlainText(values.Notes);
    ShowDeathFields(!values.Ddate.isEmpty());
}

void InfoPanel::ShowPersonValues(const cPerson &person)
{
    ShowPersonValues(person.toRecord());
}

void InfoPanel::RefreshPhotos()
{
    const QString folder = PhotoFolders::FolderOf(m_state.DataPath, m_boxes[Key]->text());
    if (!folder.isEmpty() && FolderExists(folder) && AddBackslash(m_thumbs->Path()) == folder) {
        m_thumbs->Redraw();
        return;
    }
    // The folder may have been created just now: point the viewer at it.
    showPhotosOf(m_boxes[Key]->text());
}

void InfoPanel::showPhotosOf(const QString &key)
{
    const QString folder = PhotoFolders::FolderOf(m_state.DataPath, key);
    if (!folder.isEmpty() && FolderExists(folder))
        m_thumbs->setPath(folder);
    else
        m_thumbs->Clear();
}

bool InfoPanel::ThumbsFocused() const
{
    // Asked of the application when needed: a connection to its focus changes would outlive
    // the panel while its children are destroyed.
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == m_thumbs || m_thumbs->isAncestorOf(focus));
}

// A key event that reaches the viewer (or one of its parts) as the focus widget; keys typed
// into its label editor are text and stay there.
bool InfoPanel::isViewerKeyTarget(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget == QApplication::focusWidget() && !qobject_cast<QLineEdit *>(widget) &&
           (widget == m_thumbs || m_thumbs->isAncestorOf(widget));
}

bool InfoPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Delete || !isViewerKeyTarget(watched))
            break;
        // The viewer's own Delete handling never runs: the panel asks, when the key is let go.
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            HandleKeyUp(key->key());
        return true;
    }
    case QEvent::ChildAdded:
        // Children the viewer creates later are watched as well.
        if (watched == m_thumbs)
            if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
                child->installEventFilter(this);
        break;
    default:
        break;
    }
    return HeaderPanel::eventFilter(watched, event);
}

bool InfoPanel::HandleKeyUp(int key)
{
    if (key != Qt::Key_Delete || m_deleting || !ThumbsFocused())
        return false;
    const QStringList selected = m_thumbs->SelThumbs();
    const QStringList files = InfoPhotos::SelectedFiles(selected, m_thumbs->Thumbs());
    if (files.isEmpty())
        return false;
    const bool trash = std::all_of(files.begin(), files.end(), InfoPhotos::TrashAvailable);
    const auto removal = trash ? InfoPhotos::Removal::Trash : InfoPhotos::Removal::Permanent;
    if (ShowMessage(InfoPhotos::DeleteQuestion(removal), window()) != MsgResult::Ok)
        return true;

    QPointer<InfoPanel> self(this);
    m_deleting = true;
    m_removal = removal;
    m_notRemoved.clear();
    m_thumbs->DeleteItems(InfoPhotos::BuildDeleteText(selected, m_thumbs->Thumbs()));
    if (!self)
        return true;
    m_deleting = false;
    if (!m_notRemoved.isEmpty()) {
        // The files that stayed are listed again, and the user is told.
        const QStringList names = std::exchange(m_notRemoved, {});
        m_thumbs->Redraw();
        ShowMessage(tr("These photo(s) could not be deleted:") + QStringLiteral("\r\n") +
                        names.join(QStringLiteral("\r\n")),
                    tr("Error"), MsgIcon::Exclamation, MsgButtons::OkOnly, window());
    }
    return true;
}

void InfoPanel::onItemDelete(const QString &sPath, const QString &sName)
{
    // Only the panel's own deletion, which the user confirmed, touches the disk: items that
    // any other DeleteItems takes off the view keep their files.
    if (!m_deleting)
        return;
    const QString file = AddBackslash(sPath) + sName;
    if (InfoPhotos::RemovePhotoFile(sPath, sName, m_removal))
        emit photoDeleted(file);
    else if (!sName.isEmpty() && NativeNames::Info(file).exists)
        m_notRemoved.append(NativeNames::Display(sName));
}

void InfoPanel::onDblClick(Thumb *thumb)
{
    if (thumb)
        frmPic::ShowPhoto(thumb, window());
}

void InfoPanel::ShowViewerProperties()
{
    ThumbnailerPropertiesDialog dialog(m_thumbs, window());
    connect(&dialog, &ThumbnailerPropertiesDialog::applied, this, &InfoPanel::SaveViewerDesign);
    ModalSeam::exec(dialog);
}

void InfoPanel::ApplyDefaultDesign()
{
    m_thumbs->setBackColor(SystemColor(COLOR_WINDOW));
    m_thumbs->setThumbWidth(70);
    m_thumbs->setThumbHeight(70);
    m_thumbs->setThumbOffset(2);
    m_thumbs->setThumbSpace(5);
    m_thumbs->setHasLabel(false);
    m_thumbs->setShowHidden(false);
    m_thumbs->setShowSystem(false);
    m_thumbs->setGetDims(true);
    m_thumbs->setPattern(QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png"));
}

void InfoPanel::SaveViewerDesign() const
{
    if (m_state.UserSettingsFile.isEmpty())
        return;
    PropertyBag bag =
        m_state.Settings.Design(m_state.UserSettingsFile, QLatin1String(kDesignGroup));
    m_thumbs->WriteProperties(bag);
    // The folder shown belongs to the selected person, not to the design.
    bag.WriteProperty(QStringLiteral("Path"), QString(), QString());
    bag.WriteProperty(QStringLiteral("Saved"), true, QVariant());
    m_state.Settings.Sync();
}

void InfoPanel::LoadViewerDesign()
{
    if (m_state.UserSettingsFile.isEmpty()) {
        ApplyDefaultDesign();
        return;
    }
    const PropertyBag bag =
        m_state.Settings.Design(m_state.UserSettingsFile, QLatin1String(kDesignGroup));
    if (!bag.readBool(QStringLiteral("Saved"), false)) {
        ApplyDefaultDesign();
        return;
    }
    m_thumbs->ReadProperties(bag);
}
