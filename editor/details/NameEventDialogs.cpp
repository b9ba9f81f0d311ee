// The name and event dialogs of the details window.
#include "DateEcho.h"
#include "DetailsWidgets.h"
#include "MessageService.h"
#include "RecordDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QVBoxLayout>

using namespace Genealogy;
using namespace DetailsUi;

namespace {

bool inScope(EventTypes::Id id, bool family)
{
    const EventTypes::Scope scope = EventTypes::type(id).scope;
    return family ? (scope & EventTypes::FamilyScope) : (scope & EventTypes::PersonScope);
}

} // namespace

NameDialog::NameDialog(const PersonDraft::NameFields &f, bool primary, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("dlgName");
    setWindowTitle(primary ? tr("Primary name") : tr("Name"));
    m_type = new QComboBox(this);
    m_type->setObjectName("cboNameType");
    for (int t = int(NameType::None); t <= int(NameType::Other); ++t)
        m_type->addItem(Vocabulary::nameTypeLabel(NameType(t)), t);
    m_type->setCurrentIndex(m_type->findData(int(f.type)));
    m_given = line("txtGiven", f.given, this);
    m_surname = line("txtSurname", f.surname, this);
    m_prefix = line("txtPrefix", f.prefix, this);
    m_nickname = line("txtNickname", f.nickname, this);
    m_surnamePrefix = line("txtSurnamePrefix", f.surnamePrefix, this);
    m_suffix = line("txtSuffix", f.suffix, this);
    auto *form = new QFormLayout;
    form->addRow(tr("&Given names:"), m_given);
    form->addRow(tr("&Surname:"), m_surname);
    form->addRow(tr("&Type:"), m_type);
    form->addRow(tr("&Prefix:"), m_prefix);
    form->addRow(tr("&Nickname:"), m_nickname);
    form->addRow(tr("Surname p&refix:"), m_surnamePrefix);
    form->addRow(tr("Su&ffix:"), m_suffix);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

PersonDraft::NameFields NameDialog::fields() const
{
    PersonDraft::NameFields f;
    f.type = NameType(m_type->currentData().toInt());
    f.given = m_given->text().trimmed();
    f.surname = m_surname->text().trimmed();
    f.prefix = m_prefix->text().trimmed();
    f.nickname = m_nickname->text().trimmed();
    f.surnamePrefix = m_surnamePrefix->text().trimmed();
    f.suffix = m_suffix->text().trimmed();
    return f;
}

EventDialog::EventDialog(const PersonDraft &draft, bool family, const PersonDraft::EventFields &f,
                         QWidget *parent)
    : QDialog(parent), m_family(family)
{
    setObjectName("dlgEvent");
    setWindowTitle(family ? tr("Family event") : tr("Event"));
    m_type = new QComboBox(this);
    m_type->setObjectName("cboEventType");
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    for (EventTypes::Id id = 1; id <= EventTypes::count(); ++id)
        if (inScope(id, family))
            m_type->addItem(EventTypes::label(id), id);
    m_type->model()->sort(0);
    m_type->completer()->setCompletionMode(QCompleter::InlineCompletion);
    m_type->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_type->setCurrentIndex(f.type == EventTypes::kNone ? -1 : m_type->findData(f.type));
    if (f.type == EventTypes::kNone)
        m_type->setEditText(QString());

    m_date = line("txtDate", f.date, this);
    m_readDate = f.date;
    m_echo = new QLabel(this);
    m_echo->setObjectName("lblDateEcho");
    m_place = line("txtPlace", f.place, this);
    QStringList places;
    QSet<QString> seen;
    for (const Place &place : draft.model().places.all()) {
        const QString name = draft.string(place.name);
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            places << name;
        }
    }
    places.sort(Qt::CaseInsensitive);
    auto *completer = new QCompleter(places, m_place);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    m_place->setCompleter(completer);
    m_description = line("txtDescription", f.description, this);
    m_age = line("txtAge", f.age, this);
    m_cause = line("txtCause", f.cause, this);
    m_private = new QCheckBox(tr("P&rivate"), this);
    m_private->setObjectName("chkEventPrivate");
    m_private->setChecked(f.isPrivate);

    auto *form = new QFormLayout;
    form->addRow(tr("&Type:"), m_type);
    form->addRow(tr("&Date:"), m_date);
    form->addRow(QString(), m_echo);
    form->addRow(tr("&Place:"), m_place);
    form->addRow(tr("D&escription:"), m_description);
    form->addRow(tr("&Age:"), m_age);
    form->addRow(tr("Ca&use:"), m_cause);
    form->addRow(QString(), m_private);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    connect(m_date, &QLineEdit::textChanged, this, &EventDialog::showEcho);
    showEcho();
}

void EventDialog::showEcho()
{
    const DateEcho::Echo echo = DateEcho::of(m_date->text());
    m_echo->setText(echo.text);
    m_echo->setStyleSheet(echo.valid ? QString() : QStringLiteral("color: #b00000"));
}

EventTypes::Id EventDialog::typeOf(const QString &typed, bool family)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return EventTypes::kNone;
    EventTypes::Id starts = EventTypes::kNone, contains = EventTypes::kNone;
    for (EventTypes::Id id = 1; id <= EventTypes::count(); ++id) {
        if (!inScope(id, family))
            continue;
        const QString label = EventTypes::label(id);
        if (label.compare(text, Qt::CaseInsensitive) == 0)
            return id;
        if (!starts && label.startsWith(text, Qt::CaseInsensitive))
            starts = id;
        if (!contains && label.contains(text, Qt::CaseInsensitive))
            contains = id;
    }
    return starts ? starts : contains;
}

PersonDraft::EventFields EventDialog::fields() const
{
    PersonDraft::EventFields f;
    f.type = typeOf(m_type->currentText(), m_family);
    f.date = m_date->text().trimmed();
    f.place = m_place->text().trimmed();
    f.description = m_description->text().trimmed();
    f.age = m_age->text().trimmed();
    f.cause = m_cause->text().trimmed();
    f.isPrivate = m_private->isChecked();
    return f;
}

void EventDialog::accept()
{
    if (fields().type == EventTypes::kNone) {
        ShowMessage(tr("Choose the type of the event from the list."), tr("Event"),
                    MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        m_type->setFocus();
        return;
    }
    // A date as read (from a file) stays as written; a typed one is checked.
    if (const QString why = DateEcho::refusal(m_date->text());
        !why.isEmpty() && m_date->text().trimmed() != m_readDate.trimmed()) {
        ShowMessage(why, tr("Event"), MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        m_date->setFocus();
        return;
    }
    QDialog::accept();
}
