#include "frmEdit.h"

#include "DateEcho.h"
#include "EditHost.h"
#include "FileDialog.h"
#include "FrameBox.h"
#include "HeaderPanel.h"
#include "MessageService.h"
#include "PersonFields.h"
#include "PersonSaver.h"
#include "PhotoStorage.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

using namespace PersonFields;

// The box of a field on `parent`, with its label before it, in a grid row from column `column`;
// the box spans `span` columns.
QLineEdit *addField(QGridLayout *grid, QWidget *parent, int row, int column, Field field,
                    int span = 1)
{
    QLineEdit *box = CreateLineBox(field, parent);
    QLabel *caption = CreateLabel(field, parent);
    caption->setBuddy(box);
    // The first label column has one width in every group, so the boxes line up.
    if (column == 0)
        caption->setMinimumWidth(
            caption->fontMetrics().horizontalAdvance(QStringLiteral("Photos : ")));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(box, row, column + 1, 1, span);
    return box;
}

QGridLayout *frameGrid(FrameBox *frame)
{
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    return grid;
}

} // namespace

frmEdit::frmEdit(EditHost &host, bool EditMode, QWidget *parent)
    : QDialog(parent), m_host(host), m_editMode(EditMode)
{
    setObjectName(QStringLiteral("frmEdit"));
    buildWindow();

    // Load: the photos box starts empty; the key of a person being edited cannot change.
    const bool editMode = m_editMode;
    setWindowTitle(editMode ? QStringLiteral("Edit person") : QStringLiteral("New person"));
    m_txtPhotos->clear();
    m_boxes[Key]->setEnabled(!editMode);
    m_cmdPropose->setEnabled(!editMode);
    if (!editMode)
        m_boxes[Key]->setToolTip(QStringLiteral("Must be a unique Key"));
    // A new person starts with its key; an edited one with the first name.
    m_boxes[editMode ? Fname : Key]->setFocus();
}

void frmEdit::buildWindow()
{
    m_pnlInfo = new HeaderPanel(QStringLiteral("Personal info"), this);
    m_pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    connect(m_pnlInfo, &HeaderPanel::closeClicked, this, &QDialog::reject);
    QWidget *body = m_pnlInfo->body();

    // The boxes are made in the window's tab order: the keys, then the groups.
    auto *keys = new QGridLayout;
    keys->setHorizontalSpacing(6);
    m_boxes[Key] = addField(keys, body, 0, 0, Key);
    m_cmdPropose = new QPushButton(QStringLiteral("Propose"), body);
    m_cmdPropose->setObjectName(QStringLiteral("cmdPropose"));
    m_cmdPropose->setAutoDefault(false);
    m_cmdPropose->setToolTip(QStringLiteral("Fill in a free key (Ctrl+K)"));
    keys->addWidget(m_cmdPropose, 0, 2);
    connect(m_cmdPropose, &QPushButton::clicked, this, &frmEdit::cmdPropose_Click);
    auto *propose = new QAction(QStringLiteral("Propose"), m_boxes[Key]);
    propose->setObjectName(QStringLiteral("actPropose"));
    propose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    propose->setShortcutContext(Qt::WidgetShortcut);
    m_boxes[Key]->addAction(propose);
    connect(propose, &QAction::triggered, this, &frmEdit::cmdPropose_Click);
    m_boxes[PrntKey] = addField(keys, body, 0, 3, PrntKey);
    keys->setColumnStretch(1, 1);
    keys->setColumnStretch(4, 1);

    auto makeFrame = [body](int position) {
        auto *frame = new FrameBox(FrameCaption(position), position + 1, body);
        frame->setObjectName(QStringLiteral("fmInfo"));
        return frame;
    };

    FrameBox *name = makeFrame(0);
    QGridLayout *nameGrid = frameGrid(name);
    m_boxes[Fname] = addField(nameGrid, name, 0, 0, Fname);
    m_boxes[Sname] = addField(nameGrid, name, 1, 0, Sname);

    FrameBox *partner = makeFrame(1);
    QGridLayout *partnerGrid = frameGrid(partner);
    m_boxes[PrtFname] = addField(partnerGrid, partner, 0, 0, PrtFname);
    m_boxes[PrtSname] = addField(partnerGrid, partner, 1, 0, PrtSname);

    FrameBox *dates = makeFrame(2);
    QGridLayout *datesGrid = frameGrid(dates);
    m_boxes[Bdate] = addField(datesGrid, dates, 0, 0, Bdate);
    m_boxes[Bplace] = addField(datesGrid, dates, 0, 2, Bplace);
    m_boxes[Ddate] = addField(datesGrid, dates, 1, 0, Ddate);
    m_boxes[Dplace] = addField(datesGrid, dates, 1, 2, Dplace);
    datesGrid->setColumnStretch(1, 2);
    datesGrid->setColumnStretch(3, 3);

    FrameBox *place = makeFrame(3);
    QGridLayout *placeGrid = frameGrid(place);
    m_boxes[Address] = addField(placeGrid, place, 0, 0, Address, 3);
    m_boxes[City] = addField(placeGrid, place, 1, 0, City);
    m_boxes[Country] = addField(placeGrid, place, 1, 2, Country);
    placeGrid->setColumnStretch(1, 1);
    placeGrid->setColumnStretch(3, 1);

    FrameBox *misc = makeFrame(4);
    m_txtInfo = CreateNotesBox(misc);
    m_txtInfo->setTabChangesFocus(true);
    m_txtInfo->setMinimumHeight(72);
    m_txtPhotos = new QLineEdit(misc);
    m_txtPhotos->setObjectName(QStringLiteral("txtPhotos"));
    m_txtPhotos->setReadOnly(true);
    m_cmdBrowse = new QPushButton(QStringLiteral("..."), misc);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_cmdBrowse->setAutoDefault(false);
    m_cmdBrowse->setFixedWidth(m_cmdBrowse->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                               24);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmEdit::cmdBrowse_Click);
    QGridLayout *miscGrid = frameGrid(misc);
    QLabel *notesLabel = CreateLabel(Notes, misc);
    notesLabel->setBuddy(m_txtInfo);
    notesLabel->setMinimumWidth(
        notesLabel->fontMetrics().horizontalAdvance(QStringLiteral("Photos : ")));
    notesLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    miscGrid->addWidget(notesLabel, 0, 0, Qt::AlignRight | Qt::AlignTop);
    miscGrid->addWidget(m_txtInfo, 0, 1, 1, 2);
    auto *photosLabel = new QLabel(PhotosLabelText(), misc);
    photosLabel->setObjectName(QStringLiteral("lblPhotos"));
    photosLabel->setBuddy(m_txtPhotos);
    photosLabel->setMinimumWidth(
        photosLabel->fontMetrics().horizontalAdvance(QStringLiteral("Photos : ")));
    photosLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    miscGrid->addWidget(photosLabel, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    miscGrid->addWidget(m_txtPhotos, 1, 1);
    miscGrid->addWidget(m_cmdBrowse, 1, 2);
    miscGrid->setRowStretch(0, 1);

    // Names side by side; dates, home and notes below, each across the window.
    auto *names = new QHBoxLayout;
    names->setSpacing(8);
    names->addWidget(name);
    names->addWidget(partner);

    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(10, 10, 10, 10);
    bodyLayout->setSpacing(8);
    bodyLayout->addLayout(keys);
    bodyLayout->addLayout(names);
    bodyLayout->addWidget(dates);
    bodyLayout->addWidget(place);
    bodyLayout->addWidget(misc, 1);

    m_cmdSave = new QPushButton(QStringLiteral("Save"), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    // Details...: the save runs first with its checks and messages; the details window opens
    // only after it succeeded.
    m_cmdDetails = new QPushButton(QStringLiteral("Details..."), this);
    m_cmdDetails->setObjectName(QStringLiteral("cmdDetails"));
    m_cmdDetails->setAutoDefault(false);
    for (QPushButton *button : {m_cmdSave, m_cmdCancel, m_cmdDetails})
        button->setMinimumWidth(88);
    connect(m_cmdDetails, &QPushButton::clicked, this, &frmEdit::cmdDetails_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmEdit::cmdSave_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 10);
    buttons->addWidget(m_cmdDetails);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_pnlInfo, 1);
    layout->addLayout(buttons);

    m_dlg = new FileDialog(this);
    m_dlg->setObjectName(QStringLiteral("Dlg"));

    setMinimumWidth(540);
    resize(560, 600);
}

void frmEdit::setRecord(const PersonRecord &record)
{
    for (int f = 0; f < kLineFields; ++f)
        m_boxes[f]->setText(record.*kFields[f].column);
    m_txtInfo->setPlainText(record.Notes);
    m_read = record;
}

PersonRecord frmEdit::record() const
{
    PersonRecord record;
    for (int f = 0; f < kLineFields; ++f)
        record.*kFields[f].column = m_boxes[f]->text();
    record.Notes = m_txtInfo->toPlainText();
    return record;
}

void frmEdit::setParentLocked(bool locked)
{
    m_boxes[PrntKey]->setEnabled(!locked);
}

void frmEdit::cmdDetails_Click()
{
    const QString key = record().ID.trimmed();
    cmdSave_Click();
    if (result() == QDialog::Accepted && !isVisible())
        m_host.ShowDetails(key);
}

void frmEdit::cmdSave_Click()
{
    // A date range typed that ends before it begins is refused, the keyboard left in its box (a
    // date as read, from a file, stays as written).
    for (const PersonFields::Field field : {Bdate, Ddate}) {
        const QString typed = m_boxes[field]->text();
        const QString read = !m_editMode ? QString() : field == Bdate ? m_read.Bdate : m_read.Ddate;
        if (const QString why = DateEcho::refusal(typed); !why.isEmpty() && typed != read) {
            ShowMessage(why, QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OkOnly, this);
            m_boxes[field]->setFocus();
            return;
        }
    }
    PersonSaver saver(m_host, m_editMode, this);
    if (saver.Save(record(), m_wasRoot, m_photoSelection, m_editMode ? &m_read : nullptr))
        accept();
    else if (saver.Reloaded())
        setRecord(*saver.Reloaded());
}

void frmEdit::cmdBrowse_Click()
{
    m_txtPhotos->clear();
    QString selection;
    if (PhotoStorage::Browse(*m_dlg, this, selection)) {
        m_photoSelection = selection;
        // Show a multiple selection readably; the save uses the raw result.
        const auto files = PhotoStorage::SelectionFiles(selection);
        QStringList names;
        for (const auto &file : files)
            names.append(file.name);
        m_txtPhotos->setText(files.size() > 1 ? names.join(QStringLiteral("; ")) : selection);
        m_txtPhotos->setToolTip(names.join(QLatin1Char('\n')));
    }
}

void frmEdit::cmdPropose_Click()
{
    if (m_editMode)
        return;
    const Result<QString> key = m_host.ProposeKey();
    if (!key) {
        ReportError(key.error().number(), key.error().text(), this);
        return;
    }
    m_boxes[Key]->setText(*key);
    m_boxes[Key]->setFocus(Qt::OtherFocusReason);
}

void frmEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The root state of the person as the window was filled: taken once, when the window is
    // shown, and not again when it comes back from its own messages or from the help.
    if (!m_shown) {
        m_shown = true;
        m_wasRoot = IsRootKey(m_boxes[PrntKey]->text());
    }
}
