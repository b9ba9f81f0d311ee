#include "InfoPanel.h"

#include "AppState.h"
#include "FileHelpers.h"
#include "FrameBox.h"
#include "InfoPhotos.h"
#include "MessageService.h"
#include "ModalSeam.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

constexpr int kMargin = 6;      // around the panel's contents
constexpr int kFrameGap = 4;    // between frames
constexpr int kInnerMargin = 8; // inside a frame
constexpr int kRowGap = 4;      // between rows of boxes
constexpr int kNotesDesignHeight = 64;
constexpr int kDesignPanelHeight = 600;

// One label with its box in a row of a frame; a box width of 0 shares what is left.
struct Cell
{
    QLabel *label;
    QWidget *box;
    int labelWidth;
    int boxWidth;
};

int TextWidth(const QWidget *widget, const QString &text)
{
    return widget->fontMetrics().horizontalAdvance(text) + 4;
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
    m_scroll->setWidget(m_content);
    auto *bodyLayout = new QVBoxLayout(body());
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(m_scroll);
    buildFields();

    connect(m_thumbs, &Thumbnailer::DblClick, this, &InfoPanel::onDblClick);
    connect(m_thumbs, &Thumbnailer::ItemDelete, this, &InfoPanel::onItemDelete);
    // The Delete key is caught wherever it lands inside the viewer.
    m_thumbs->installEventFilter(this);
    for (QWidget *child : m_thumbs->findChildren<QWidget *>())
        child->installEventFilter(this);
    m_content->installEventFilter(this);

    LoadViewerDesign();
    ShowDeathFields(false);
    resize(kPanelWidth, kDesignPanelHeight);
    if (layout())
        layout()->activate();
    arrange();
}

InfoPanel::~InfoPanel() = default;

QLineEdit *InfoPanel::addBox(QWidget *parent, const char *name, const QString &tooltip)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tooltip);
    box->setReadOnly(true);
    return box;
}

QLabel *InfoPanel::addLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

void InfoPanel::buildFields()
{
    QWidget *b = m_content;
    lblKey = addLabel(b, "lblKey", tr("ID : "));
    txtKey = addBox(b, "txtKey", tr("Unique ID (max = 5)"));
    lblPrntKey = addLabel(b, "lblPrntKey", tr("Parent ID : "));
    txtPrntKey = addBox(b, "txtPrntKey", tr("Parent ID this child belongs to"));

    static const char *const kCaptions[5] = {"Name", "Partner name", "Dates", "Place", "Misc"};
    for (int i = 0; i < 5; ++i) {
        m_frames[i] = new FrameBox(tr(kCaptions[i]), i, b);
        m_frames[i]->setObjectName(QStringLiteral("fmInfo"));
    }

    QWidget *name = m_frames[0];
    lblFname = addLabel(name, "lblFname", tr("First : "));
    txtFname = addBox(name, "txtFname", tr("First name"));
    lblSname = addLabel(name, "lblSname", tr("Last : "));
    txtSname = addBox(name, "txtSname", tr("Last name"));

    QWidget *partner = m_frames[1];
    lblPrtSname = addLabel(partner, "lblPrtSname", tr("Last : "));
    txtPrtSname = addBox(partner, "txtPrtSname", tr("Partner's last name"));
    lblPrtFname = addLabel(partner, "lblPrtFname", tr("First : "));
    txtPrtFname = addBox(partner, "txtPrtFname", tr("Partner's first name"));

    QWidget *dates = m_frames[2];
    lblBdate = addLabel(dates, "lblBdate", tr("Born :"));
    txtBdate = addBox(dates, "txtBdate", tr("Date of birth"));
    lblBplace = addLabel(dates, "lblBplace", tr("At :"));
    txtBplace = addBox(dates, "txtBplace", tr("Place of birth"));
    lblDdate = addLabel(dates, "lblDdate", tr("Died :"));
    txtDdate = addBox(dates, "txtDdate", tr("Date of death"));
    lblDplace = addLabel(dates, "lblDplace", tr("At :"));
    txtDplace = addBox(dates, "txtDplace", tr("Place of death"));

    QWidget *place = m_frames[3];
    lblAddress = addLabel(place, "lblAddress", tr("Addr :"));
    txtAddress = addBox(place, "txtAddress", tr("Address of living"));
    lblCity = addLabel(place, "lblCity", tr("City :"));
    txtCity = addBox(place, "txtCity", tr("City of living"));
    lblCountry = addLabel(place, "lblCountry", tr("Country :"));
    txtCountry = addBox(place, "txtCountry", tr("Country of living"));

    QWidget *misc = m_frames[4];
    lblPhotos = addLabel(misc, "lblPhotos", tr("Photos :"));
    m_thumbs = new Thumbnailer(misc);
    m_thumbs->setObjectName(QStringLiteral("Thumbnailer"));
    cmdViewerSettings = new QToolButton(misc);
    cmdViewerSettings->setObjectName(QStringLiteral("cmdViewerSettings"));
    cmdViewerSettings->setText(tr("Settings..."));
    cmdViewerSettings->setToolTip(tr("Appearance and behaviour of the photo thumbnails"));
    cmdViewerSettings->setAutoRaise(true);
    cmdViewerSettings->setFocusPolicy(Qt::NoFocus);
    connect(cmdViewerSettings, &QToolButton::clicked, this, &InfoPanel::ShowViewerProperties);
    lblNotes = addLabel(misc, "lblNotes", tr("Notes :"));
    txtInfo = new QTextEdit(misc);
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    txtInfo->setToolTip(tr("More info"));
    txtInfo->setReadOnly(true);
    txtInfo->setAcceptRichText(false);
}

// Places the boxes of the panel. Every frame is as high as its rows need, except the notes
// frame, which keeps its design height until StretchNotes gives it another.
void InfoPanel::arrange()
{
    QWidget *b = m_content;
    const int rowHeight = std::max(22, txtKey->sizeHint().height());
    const int titleHeight = fontMetrics().height() + 6;
    const int width = b->width() > 0 ? b->width() : kPanelWidth - 2;
    const int frameWidth = width - 2 * kMargin;
    const int innerWidth = frameWidth - 2 * kInnerMargin;

    // Lays out one row of cells at y inside `parent`, starting at x, within `rowWidth`.
    const auto placeRow = [&](int x, int y, int rowWidth, std::initializer_list<Cell> cells) {
        int fixed = 0;
        int shared = 0;
        for (const Cell &c : cells) {
            fixed += c.labelWidth + c.boxWidth;
            if (c.boxWidth == 0)
                ++shared;
        }
        const int gaps = int(cells.size() - 1) * 6;
        const int share = shared ? std::max(20, (rowWidth - fixed - gaps) / shared) : 0;
        for (const Cell &c : cells) {
            c.label->setGeometry(x, y, c.labelWidth, rowHeight);
            x += c.labelWidth;
            const int w = c.boxWidth ? c.boxWidth : share;
            c.box->setGeometry(x, y, w, rowHeight);
            x += w + 6;
        }
    };
    const auto frameHeight = [&](int rows) {
        return titleHeight + rows * rowHeight + (rows - 1) * kRowGap + kInnerMargin;
    };

    int y = kMargin;
    placeRow(kMargin, y, width - 2 * kMargin,
             {{lblKey, txtKey, TextWidth(this, lblKey->text()), 56},
              {lblPrntKey, txtPrntKey, TextWidth(this, lblPrntKey->text()), 0}});
    y += rowHeight + kFrameGap + 2;

    const int nameLabel = TextWidth(this, tr("First : "));
    const int lastLabel = TextWidth(this, tr("Last : "));
    const int top = titleHeight;

    m_frames[0]->setGeometry(kMargin, y, frameWidth, frameHeight(1));
    placeRow(kInnerMargin, top, innerWidth,
             {{lblFname, txtFname, nameLabel, 0}, {lblSname, txtSname, lastLabel, 0}});
    y += frameHeight(1) + kFrameGap;

    m_frames[1]->setGeometry(kMargin, y, frameWidth, frameHeight(1));
    placeRow(kInnerMargin, top, innerWidth,
             {{lblPrtSname, txtPrtSname, lastLabel, 0}, {lblPrtFname, txtPrtFname, nameLabel, 0}});
    y += frameHeight(1) + kFrameGap;

    const int dateLabel =
        std::max(TextWidth(this, lblBdate->text()), TextWidth(this, lblDdate->text()));
    const int atLabel = TextWidth(this, lblBplace->text());
    const int dateBox = 82;
    m_frames[2]->setGeometry(kMargin, y, frameWidth, frameHeight(2));
    placeRow(kInnerMargin, top, innerWidth,
             {{lblBdate, txtBdate, dateLabel, dateBox}, {lblBplace, txtBplace, atLabel, 0}});
    placeRow(kInnerMargin, top + rowHeight + kRowGap, innerWidth,
             {{lblDdate, txtDdate, dateLabel, dateBox}, {lblDplace, txtDplace, atLabel, 0}});
    y += frameHeight(2) + kFrameGap;

    const int addrLabel =
        std::max(TextWidth(this, lblAddress->text()), TextWidth(this, lblCity->text()));
    m_frames[3]->setGeometry(kMargin, y, frameWidth, frameHeight(2));
    placeRow(kInnerMargin, top, innerWidth, {{lblAddress, txtAddress, addrLabel, 0}});
    placeRow(kInnerMargin, top + rowHeight + kRowGap, innerWidth,
             {{lblCity, txtCity, addrLabel, 0},
              {lblCountry, txtCountry, TextWidth(this, lblCountry->text()), 0}});
    y += frameHeight(2) + kFrameGap;

    // Misc: the photos, then the notes down to the bottom of the frame.
    const int labelHeight = fontMetrics().height() + 2;
    const int thumbsHeight = m_thumbs->ThumbHeight() + 2 * m_thumbs->ThumbSpace() +
                             (m_thumbs->HasLabel() ? fontMetrics().height() + 6 : 0) +
                             2 * m_thumbs->frameWidth() + 1;
    int my = top;
    const QSize settingsSize = cmdViewerSettings->sizeHint();
    const int photosRow = std::max(labelHeight, settingsSize.height());
    lblPhotos->setGeometry(kInnerMargin, my, innerWidth - settingsSize.width(), photosRow);
    cmdViewerSettings->setGeometry(kInnerMargin + innerWidth - settingsSize.width(), my,
                                   settingsSize.width(), photosRow);
    my += photosRow;
    m_thumbs->setGeometry(kInnerMargin, my, innerWidth, thumbsHeight);
    my += thumbsHeight + kRowGap;
    lblNotes->setGeometry(kInnerMargin, my, innerWidth, labelHeight);
    my += labelHeight;
    const int boxTop = my;
    const int designFrame = boxTop + kNotesDesignHeight + kInnerMargin + 2;
    const int boxHeight =
        m_notesBoxHeight > 0 ? std::max(24, m_notesBoxHeight) : kNotesDesignHeight;
    const int frameH =
        m_notesFrameHeight > 0 ? std::max(boxTop + boxHeight + 2, m_notesFrameHeight) : designFrame;
    txtInfo->setGeometry(kInnerMargin, boxTop, innerWidth, boxHeight);
    m_frames[4]->setGeometry(kMargin, y, frameWidth, frameH);
    // What the scroll area has to reach.
    m_content->setMinimumHeight(y + frameH + kMargin);
}

int InfoPanel::NotesFrameTop() const
{
    return m_scroll->viewport()->mapTo(this, QPoint(0, m_frames[4]->y())).y();
}

int InfoPanel::NotesBoxTop() const
{
    return txtInfo->y();
}

void InfoPanel::StretchNotes(int frameHeight, int boxHeight)
{
    m_notesFrameHeight = frameHeight;
    m_notesBoxHeight = boxHeight;
    arrange();
}

FrameBox *InfoPanel::fmInfo(int index) const
{
    return index >= 0 && index < 5 ? m_frames[index] : nullptr;
}

void InfoPanel::ShowDeathFields(bool show)
{
    for (QWidget *w : std::initializer_list<QWidget *>{txtDdate, txtDplace, lblDdate, lblDplace})
        w->setVisible(show);
}

bool InfoPanel::DeathFieldsShown() const
{
    return !txtDdate->isHidden();
}

void InfoPanel::FillInfoPanel(const cPerson &person)
{
    txtKey->setText(person.Key());
    txtPrntKey->setText(person.PrntKey());
    txtFname->setText(person.Fname());
    txtSname->setText(person.Sname());
    txtPrtFname->setText(person.PrtFname());
    txtPrtSname->setText(person.PrtSname());
    txtBdate->setText(person.Bdate());
    txtBplace->setText(person.Bplace());
    txtDdate->setText(person.Ddate());
    txtDplace->setText(person.Dplace());
    txtAddress->setText(person.Laddress());
    txtCity->setText(person.Lcity());
    txtCountry->setText(person.Lcountry());
    txtInfo->setPlainText(person.Notes());
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->setCursorPosition(0);
    ShowDeathFields(!txtDdate->text().isEmpty());

    QCoreApplication::processEvents();
    showPhotosOf(txtKey->text());
    QCoreApplication::processEvents();
}

void InfoPanel::ClearInfoPanel()
{
    for (QLineEdit *box :
         {txtKey, txtPrntKey, txtFname, txtSname, txtPrtFname, txtPrtSname, txtBdate, txtBplace,
          txtAddress, txtCity, txtCountry, txtDdate, txtDplace})
        box->clear();
    txtInfo->clear();
    ShowDeathFields(false);
    m_thumbs->Clear();
}

void InfoPanel::ShowPersonValues(const PersonRecord &values)
{
    txtPrntKey->setText(values.PrntKey);
    txtFname->setText(values.Fname);
    txtSname->setText(values.Sname);
    txtPrtFname->setText(values.PrtFname);
    txtPrtSname->setText(values.PrtSname);
    txtAddress->setText(values.Laddress);
    txtCity->setText(values.Lcity);
    txtCountry->setText(values.Lcountry);
    txtInfo->setPlainText(values.Notes);
    txtBdate->setText(values.Bdate);
    txtBplace->setText(values.Bplace);
    txtDdate->setText(values.Ddate);
    txtDplace->setText(values.Dplace);
    ShowDeathFields(!values.Ddate.isEmpty());
}

void InfoPanel::ShowPersonValues(const cPerson &person)
{
    ShowPersonValues(person.toRecord());
}

void InfoPanel::RefreshPhotos()
{
    const QString folder = PhotoFolders::FolderOf(m_state.DataPath, txtKey->text());
    if (!folder.isEmpty() && FolderExists(folder) && AddBackslash(m_thumbs->Path()) == folder) {
        m_thumbs->Redraw();
        return;
    }
    // The folder may have been created just now: point the viewer at it.
    showPhotosOf(txtKey->text());
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
    case QEvent::Resize:
        if (watched == m_content)
            arrange();
        break;
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
    else if (!sName.isEmpty() && QFileInfo::exists(file))
        m_notRemoved.append(sName);
}

void InfoPanel::onDblClick(Thumb *thumb)
{
    if (thumb)
        frmPic::ShowPhoto(thumb, window());
}

void InfoPanel::ShowViewerProperties()
{
    ThumbnailerPropertiesDialog dialog(m_thumbs, window());
    connect(&dialog, &ThumbnailerPropertiesDialog::applied, this, [this] {
        SaveViewerDesign();
        arrange();
    });
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
