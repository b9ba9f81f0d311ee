#include "InfoThumbs.h"

#include "AppState.h"
#include "FileHelpers.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "NativeNames.h"
#include "PropertyBag.h"
#include "Thumbnailer.h"
#include "ThumbnailerPropertiesDialog.h"
#include "TranslateColor.h"
#include "frmPic.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <utility>

InfoThumbs::InfoThumbs(Thumbnailer *viewer, AppState &state, QObject *parent)
    : QObject(parent), m_thumbs(viewer), m_state(state)
{
    connect(m_thumbs, &Thumbnailer::DblClick, this, &InfoThumbs::onDblClick);
    connect(m_thumbs, &Thumbnailer::ItemDelete, this, &InfoThumbs::onItemDelete);
    connect(m_thumbs, &Thumbnailer::PropertyChanged, this, &InfoThumbs::updateViewerHeight);
    // The Delete key is caught wherever it lands inside the viewer.
    m_thumbs->installEventFilter(this);
    for (QWidget *child : m_thumbs->findChildren<QWidget *>())
        child->installEventFilter(this);
}

QWidget *InfoThumbs::window() const
{
    return m_thumbs->window();
}

// The viewer shows one row of thumbnails: the cells with their spacing and labels, in its frame.
void InfoThumbs::updateViewerHeight()
{
    const auto *panel = qobject_cast<const QWidget *>(parent());
    const int labelHeight = (panel ? panel : m_thumbs)->fontMetrics().height() + 6;
    m_thumbs->setFixedHeight(m_thumbs->ThumbHeight() + 2 * m_thumbs->ThumbSpace() +
                             (m_thumbs->HasLabel() ? labelHeight : 0) + 2 * m_thumbs->frameWidth() +
                             1);
}

bool InfoThumbs::ThumbsFocused() const
{
    // Asked of the application when needed: a connection to its focus changes would outlive
    // the panel while its children are destroyed.
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == m_thumbs || m_thumbs->isAncestorOf(focus));
}

// A key event that reaches the viewer (or one of its parts) as the focus widget; keys typed
// into its label editor are text and stay there.
bool InfoThumbs::isViewerKeyTarget(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget == QApplication::focusWidget() && !qobject_cast<QLineEdit *>(widget) &&
           (widget == m_thumbs || m_thumbs->isAncestorOf(widget));
}

bool InfoThumbs::eventFilter(QObject *watched, QEvent *event)
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
    return QObject::eventFilter(watched, event);
}

bool InfoThumbs::HandleKeyUp(int key)
{
    if (key != Qt::Key_Delete || m_deleting || !ThumbsFocused())
        return false;
    const QStringList selected = m_thumbs->SelThumbs();
    const QStringList files = InfoPhotos::SelectedFiles(selected, m_thumbs->Thumbs());
    if (files.isEmpty())
        return false;
    if (m_refused && m_refused())
        return true;
    const bool trash = std::all_of(files.begin(), files.end(), InfoPhotos::TrashAvailable);
    const auto removal = trash ? InfoPhotos::Removal::Trash : InfoPhotos::Removal::Permanent;
    if (ShowMessage(InfoPhotos::DeleteQuestion(removal), window()) != MsgResult::Ok)
        return true;

    QPointer<InfoThumbs> self(this);
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

void InfoThumbs::onItemDelete(const QString &sPath, const QString &sName)
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

void InfoThumbs::onDblClick(Thumb *thumb)
{
    if (thumb)
        frmPic::ShowPhoto(thumb, window());
}

void InfoThumbs::ShowViewerProperties()
{
    ThumbnailerPropertiesDialog dialog(m_thumbs, window());
    connect(&dialog, &ThumbnailerPropertiesDialog::applied, this, &InfoThumbs::SaveViewerDesign);
    ModalSeam::exec(dialog);
}

void InfoThumbs::ApplyDefaultDesign()
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

void InfoThumbs::SaveViewerDesign() const
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

void InfoThumbs::LoadViewerDesign()
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
