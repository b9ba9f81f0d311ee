// The dialogs of persons, citations and sources of the details window.
#include "DetailsWidgets.h"
#include "FileDialog.h"
#include "MessageService.h"
#include "RecordDialogs.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Genealogy;
using namespace DetailsUi;

namespace {

QString personEntry(const PersonDraft &draft, quint32 p)
{
    return QStringLiteral("%1 (%2)").arg(draft.personName(p), draft.row(p).ID);
}

} // namespace

QString DetailsLabels::quality(quint8 quality)
{
    switch (quality) {
    case 0:
        return QObject::tr("unreliable");
    case 1:
        return QObject::tr("questionable");
    case 2:
        return QObject::tr("secondary evidence");
    case 3:
        return QObject::tr("primary evidence");
    default:
        return QObject::tr("not stated");
    }
}

// --- persons ---

PersonPicker::PersonPicker(const PersonDraft &draft, bool partner, QWidget *parent)
    : QDialog(parent), m_draft(draft), m_partner(partner)
{
    setObjectName(partner ? "dlgPartner" : "dlgChild");
    setWindowTitle(partner ? tr("Add partner") : tr("Add child"));
    m_name = line("txtPersonName", QString(), this);
    if (partner) {
        QStringList entries;
        for (quint32 p = 0; p < draft.rowCount(); ++p)
            if (p != draft.person())
                entries << personEntry(draft, p);
        auto *completer = new QCompleter(entries, m_name);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        m_name->setCompleter(completer);
        m_name->setPlaceholderText(tr("a person of the tree, or the name of a new person"));
    } else {
        m_name->setText(QStringLiteral(" ") + draft.row(draft.person()).Sname);
        m_name->setCursorPosition(0);
        m_name->setPlaceholderText(tr("first and last name of the new child"));
    }
    m_sex = new QComboBox(this);
    m_sex->setObjectName("cboPersonSex");
    for (Sex s : {Sex::None, Sex::Male, Sex::Female, Sex::Unknown, Sex::Intersex})
        m_sex->addItem(Vocabulary::sexLabel(s), int(s));
    auto *form = new QFormLayout;
    form->addRow(partner ? tr("&Partner:") : tr("&Name:"), m_name);
    form->addRow(tr("&Sex (new person):"), m_sex);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

quint32 PersonPicker::existing() const
{
    if (!m_partner)
        return kNoIndex;
    const QString text = m_name->text().trimmed();
    for (quint32 p = 0; p < m_draft.rowCount(); ++p)
        if (p != m_draft.person() &&
            personEntry(m_draft, p).compare(text, Qt::CaseInsensitive) == 0)
            return p;
    return kNoIndex;
}

QString PersonPicker::firstName() const
{
    const QString text = m_name->text().simplified();
    const qsizetype blank = text.lastIndexOf(u' ');
    return blank < 0 ? text : text.left(blank);
}

QString PersonPicker::lastName() const
{
    const QString text = m_name->text().simplified();
    const qsizetype blank = text.lastIndexOf(u' ');
    return blank < 0 ? QString() : text.mid(blank + 1);
}

Sex PersonPicker::sex() const
{
    return Sex(m_sex->currentData().toInt());
}

void PersonPicker::accept()
{
    if (m_name->text().trimmed().isEmpty()) {
        ShowMessage(tr("Type the name of the person."), windowTitle(), MsgIcon::Exclamation,
                    MsgButtons::OkOnly, this);
        return;
    }
    QDialog::accept();
}

// --- citations ---

CiteDialog::CiteDialog(const PersonDraft &draft, QWidget *parent) : QDialog(parent), m_draft(draft)
{
    setObjectName("dlgCite");
    setWindowTitle(tr("Cite"));
    m_source = new QComboBox(this);
    m_source->setObjectName("cboSource");
    m_source->setEditable(true);
    m_source->setInsertPolicy(QComboBox::NoInsert);
    for (quint32 s = 0; s < draft.model().sources.size(); ++s) {
        const QString title = draft.source(s).title;
        if (!title.isEmpty() && m_source->findText(title) < 0)
            m_source->addItem(title, s);
    }
    m_source->model()->sort(0);
    m_source->completer()->setCompletionMode(QCompleter::InlineCompletion);
    m_source->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_source->setCurrentIndex(-1);
    m_source->setEditText(QString());
    // Room for a source's title, which is often long.
    m_source->setMinimumWidth(m_source->fontMetrics().averageCharWidth() * 50);
    m_page = line("txtPage", QString(), this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("txtQuoted");
    m_text->setTabChangesFocus(true);
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 4);
    m_quality = new QComboBox(this);
    m_quality->setObjectName("cboQuality");
    m_quality->addItem(DetailsLabels::quality(Citation::kNoQuality), Citation::kNoQuality);
    for (int q = 3; q >= 0; --q)
        m_quality->addItem(DetailsLabels::quality(quint8(q)), q);
    m_author = line("txtAuthor", QString(), this);
    m_publication = line("txtPublication", QString(), this);
    m_media = line("txtMedia", QString(), this);
    auto *browse = new QPushButton(tr("&Browse..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] {
        FileDialog dialog;
        dialog.setDialogTitle(tr("The image of the record"));
        dialog.setFilter(tr("Images|*.jpg;*.jpeg;*.png;*.gif;*.tif;*.tiff;*.bmp|All files|*.*"));
        if (dialog.ShowOpen(this))
            m_media->setText(dialog.FileName());
    });
    auto *media = new QHBoxLayout;
    media->addWidget(m_media);
    media->addWidget(browse);

    auto *form = new QFormLayout;
    form->addRow(tr("&Source:"), m_source);
    form->addRow(tr("&Page:"), m_page);
    form->addRow(tr("&Quoted text:"), m_text);
    form->addRow(tr("Q&uality:"), m_quality);
    form->addRow(tr("&Author (new source):"), m_author);
    form->addRow(tr("Publica&tion (new source):"), m_publication);
    // A row of a box and a button takes no buddy by itself: the label names the box.
    auto *mediaLabel = new QLabel(tr("&Image of the record:"), this);
    mediaLabel->setBuddy(m_media);
    form->addRow(mediaLabel, media);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

quint32 CiteDialog::source() const
{
    const QString title = m_source->currentText().trimmed();
    for (quint32 s = 0; s < m_draft.model().sources.size(); ++s)
        if (m_draft.source(s).title.compare(title, Qt::CaseInsensitive) == 0)
            return s;
    return kNoIndex;
}

PersonDraft::SourceFields CiteDialog::newSource() const
{
    return {m_source->currentText().trimmed(), m_author->text().trimmed(),
            m_publication->text().trimmed()};
}

PersonDraft::CitationFields CiteDialog::citation() const
{
    PersonDraft::CitationFields c;
    c.source = source();
    c.page = m_page->text().trimmed();
    c.quality = quint8(m_quality->currentData().toInt());
    c.text = m_text->toPlainText().trimmed();
    c.mediaFile = m_media->text().trimmed();
    return c;
}

void CiteDialog::accept()
{
    if (m_source->currentText().trimmed().isEmpty()) {
        ShowMessage(tr("Type the title of the source: one of the tree's, or a new one."),
                    tr("Cite"), MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        m_source->setFocus();
        return;
    }
    QDialog::accept();
}

// --- sources ---

SourceDialog::SourceDialog(const PersonDraft::SourceFields &f, QWidget *parent) : QDialog(parent)
{
    setObjectName("dlgSource");
    setWindowTitle(tr("Source"));
    m_title = line("txtTitle", f.title, this);
    m_author = line("txtAuthor", f.author, this);
    m_publication = line("txtPublication", f.publication, this);
    // Titles and publications are long: room for a line of them.
    m_title->setMinimumWidth(m_title->fontMetrics().averageCharWidth() * 50);
    auto *form = new QFormLayout;
    form->addRow(tr("&Title:"), m_title);
    form->addRow(tr("&Author:"), m_author);
    form->addRow(tr("&Publication:"), m_publication);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

PersonDraft::SourceFields SourceDialog::fields() const
{
    return {m_title->text().trimmed(), m_author->text().trimmed(), m_publication->text().trimmed()};
}
