#include "frmEdit.h"

#include "EditHost.h"
#include "FileDialog.h"
#include "FrameBox.h"
#include "HeaderPanel.h"
#include "PersonSaver.h"
#include "PhotoStorage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QLineEdit *makeBox(QWidget *parent, const char *name, const QString &tip)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    return box;
}

// One "label : box" pair in a grid row, starting at column `column`.
void addField(QGridLayout *grid, int row, int column, const QString &label, QWidget *box)
{
    auto *caption = new QLabel(label, box->parentWidget());
    caption->setBuddy(box);
    // The first label column has one width in every group, so the boxes line up.
    if (column == 0)
        caption->setMinimumWidth(
            caption->fontMetrics().horizontalAdvance(QStringLiteral("Photos : ")));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(box, row, column + 1);
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

frmEdit::frmEdit(EditHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("frmEdit"));
    buildWindow();

    // Load: the photos box starts empty; the key of a person being edited cannot change.
    const bool editMode = m_host.EditMode();
    setWindowTitle(editMode ? QStringLiteral("Edit person") : QStringLiteral("New person"));
    m_txtPhotos->clear();
    m_txtKey->setEnabled(!editMode);
    if (!editMode)
        m_txtKey->setToolTip(QStringLiteral("Must be a unique Key"));
    // A new person starts with its key; an edited one with the first name.
    (editMode ? m_txtFname : m_txtKey)->setFocus();
}

void frmEdit::buildWindow()
{
    m_pnlInfo = new HeaderPanel(QStringLiteral("Personal info"), this);
    m_pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    connect(m_pnlInfo, &HeaderPanel::closeClicked, this, &QDialog::reject);
    QWidget *body = m_pnlInfo->body();

    m_txtKey = makeBox(body, "txtKey", QStringLiteral("Unique ID (max = 5)"));
    m_txtPrntKey = makeBox(body, "txtPrntKey", QStringLiteral("Parent ID this child belongs to"));
    auto *keys = new QGridLayout;
    keys->setHorizontalSpacing(6);
    addField(keys, 0, 0, QStringLiteral("ID : "), m_txtKey);
    addField(keys, 0, 2, QStringLiteral("Parent ID : "), m_txtPrntKey);
    keys->setColumnStretch(1, 1);
    keys->setColumnStretch(3, 1);

    auto makeFrame = [body](const QString &caption, int index) {
        auto *frame = new FrameBox(caption, index, body);
        frame->setObjectName(QStringLiteral("fmInfo"));
        return frame;
    };

    FrameBox *name = makeFrame(QStringLiteral("Name"), 1);
    m_txtFname = makeBox(name, "txtFname", QStringLiteral("First name"));
    m_txtSname = makeBox(name, "txtSname", QStringLiteral("Last name"));
    QGridLayout *nameGrid = frameGrid(name);
    addField(nameGrid, 0, 0, QStringLiteral("First : "), m_txtFname);
    addField(nameGrid, 1, 0, QStringLiteral("Last : "), m_txtSname);

    FrameBox *partner = makeFrame(QStringLiteral("Partner name"), 2);
    m_txtPrtFname = makeBox(partner, "txtPrtFname", QStringLiteral("Partner's first name"));
    m_txtPrtSname = makeBox(partner, "txtPrtSname", QStringLiteral("Partner's last name"));
    QGridLayout *partnerGrid = frameGrid(partner);
    addField(partnerGrid, 0, 0, QStringLiteral("First : "), m_txtPrtFname);
    addField(partnerGrid, 1, 0, QStringLiteral("Last : "), m_txtPrtSname);

    FrameBox *dates = makeFrame(QStringLiteral("Dates"), 3);
    m_txtBdate = makeBox(dates, "txtBdate", QStringLiteral("Date of birth"));
    m_txtBplace = makeBox(dates, "txtBplace", QStringLiteral("Place of birth"));
    m_txtDdate = makeBox(dates, "txtDdate", QStringLiteral("Date of death"));
    m_txtDplace = makeBox(dates, "txtDplace", QStringLiteral("Place of death"));
    QGridLayout *datesGrid = frameGrid(dates);
    addField(datesGrid, 0, 0, QStringLiteral("Born :"), m_txtBdate);
    addField(datesGrid, 0, 2, QStringLiteral("At :"), m_txtBplace);
    addField(datesGrid, 1, 0, QStringLiteral("Died :"), m_txtDdate);
    addField(datesGrid, 1, 2, QStringLiteral("At :"), m_txtDplace);
    datesGrid->setColumnStretch(1, 2);
    datesGrid->setColumnStretch(3, 3);

    FrameBox *place = makeFrame(QStringLiteral("Place"), 4);
    m_txtAddress = makeBox(place, "txtAddress", QStringLiteral("Address of living"));
    m_txtCity = makeBox(place, "txtCity", QStringLiteral("City of living"));
    m_txtCountry = makeBox(place, "txtCountry", QStringLiteral("Country of living"));
    QGridLayout *placeGrid = frameGrid(place);
    addField(placeGrid, 0, 0, QStringLiteral("Addr :"), m_txtAddress);
    placeGrid->addWidget(m_txtAddress, 0, 1, 1, 3);
    addField(placeGrid, 1, 0, QStringLiteral("City :"), m_txtCity);
    addField(placeGrid, 1, 2, QStringLiteral("Country :"), m_txtCountry);
    placeGrid->setColumnStretch(1, 1);
    placeGrid->setColumnStretch(3, 1);

    FrameBox *misc = makeFrame(QStringLiteral("Misc"), 5);
    m_txtInfo = new QTextEdit(misc);
    m_txtInfo->setObjectName(QStringLiteral("txtInfo"));
    m_txtInfo->setToolTip(QStringLiteral("More info"));
    m_txtInfo->setAcceptRichText(false);
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
    auto *notesLabel = new QLabel(QStringLiteral("Notes :"), misc);
    notesLabel->setBuddy(m_txtInfo);
    notesLabel->setMinimumWidth(
        notesLabel->fontMetrics().horizontalAdvance(QStringLiteral("Photos : ")));
    notesLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    miscGrid->addWidget(notesLabel, 0, 0, Qt::AlignRight | Qt::AlignTop);
    miscGrid->addWidget(m_txtInfo, 0, 1, 1, 2);
    addField(miscGrid, 1, 0, QStringLiteral("Photos :"), m_txtPhotos);
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
    for (QPushButton *button : {m_cmdSave, m_cmdCancel})
        button->setMinimumWidth(88);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmEdit::cmdSave_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 10);
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
    m_txtKey->setText(record.ID);
    m_txtPrntKey->setText(record.PrntKey);
    m_txtFname->setText(record.Fname);
    m_txtSname->setText(record.Sname);
    m_txtPrtFname->setText(record.PrtFname);
    m_txtPrtSname->setText(record.PrtSname);
    m_txtBdate->setText(record.Bdate);
    m_txtDdate->setText(record.Ddate);
    m_txtBplace->setText(record.Bplace);
    m_txtDplace->setText(record.Dplace);
    m_txtAddress->setText(record.Laddress);
    m_txtCity->setText(record.Lcity);
    m_txtCountry->setText(record.Lcountry);
    m_txtInfo->setPlainText(record.Notes);
}

PersonRecord frmEdit::record() const
{
    PersonRecord record;
    record.ID = m_txtKey->text();
    record.PrntKey = m_txtPrntKey->text();
    record.Fname = m_txtFname->text();
    record.Sname = m_txtSname->text();
    record.PrtFname = m_txtPrtFname->text();
    record.PrtSname = m_txtPrtSname->text();
    record.Bdate = m_txtBdate->text();
    record.Ddate = m_txtDdate->text();
    record.Bplace = m_txtBplace->text();
    record.Dplace = m_txtDplace->text();
    record.Laddress = m_txtAddress->text();
    record.Lcity = m_txtCity->text();
    record.Lcountry = m_txtCountry->text();
    record.Notes = m_txtInfo->toPlainText();
    return record;
}

void frmEdit::setParentLocked(bool locked)
{
    m_txtPrntKey->setEnabled(!locked);
}

void frmEdit::cmdSave_Click()
{
    PersonSaver saver(m_host, this);
    if (saver.Save(record(), m_wasRoot, m_photoSelection))
        accept();
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

void frmEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The root state of the person as the window was filled: taken once, when the window is
    // shown, and not again when it comes back from its own messages or from the help.
    if (!m_shown) {
        m_shown = true;
        m_wasRoot = m_txtPrntKey->text() == QLatin1String("ROOT");
    }
}
