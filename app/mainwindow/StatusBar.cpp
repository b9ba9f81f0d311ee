#include "StatusBar.h"

#include "LifeSpan.h"
#include "OpenTree.h"
#include "mDatabase.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("Sbar"));
    setSizeGripEnabled(true);
    const int stretch[PanelCount] = {3, 2};
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(40);
        addWidget(label, stretch[i]);
        m_panels[i] = label;
    }
    m_readOnly = new QLabel(QStringLiteral("Read-only"), this);
    m_readOnly->setObjectName(QStringLiteral("lblReadOnly"));
    m_readOnly->setFrameShape(QFrame::StyledPanel);
    m_readOnly->setFrameShadow(QFrame::Sunken);
    addPermanentWidget(m_readOnly);
    m_readOnly->hide();
    m_database = new QLabel(this);
    m_database->setObjectName(QStringLiteral("lblDatabase"));
    m_database->setFrameShape(QFrame::StyledPanel);
    m_database->setFrameShadow(QFrame::Sunken);
    m_database->setTextFormat(Qt::PlainText);
    addPermanentWidget(m_database);
}

void StatusBar::SetDatabase(const QString &text, const QString &tip)
{
    m_database->setText(text);
    m_database->setToolTip(tip);
}

QString StatusBar::DatabaseText() const
{
    return m_database->text();
}

void StatusBar::SetReadOnly(bool readOnly, const QString &tip)
{
    m_readOnly->setToolTip(tip);
    m_readOnly->setVisible(readOnly);
}

bool StatusBar::ReadOnlyShown() const
{
    return !m_readOnly->isHidden();
}

QLabel *StatusBar::Panel(int index) const
{
    return index >= 1 && index <= PanelCount ? m_panels[index - 1] : nullptr;
}

QString StatusBar::PanelText(int index) const
{
    const QLabel *label = Panel(index);
    return label ? label->text() : QString();
}

void StatusBar::SetPanelText(int index, const QString &text)
{
    if (QLabel *label = Panel(index))
        label->setText(text);
}

void StatusBar::Refresh()
{
    for (QLabel *label : m_panels)
        label->update();
    update();
}

void StatusBar::showPerson(const cPerson *person)
{
    SetPanelText(1, person ? LifeSpan::NameText(person->Fname(), person->Sname()) : QString());
    SetPanelText(2, person ? LifeSpan::Text(person->Bdate(), person->Ddate()) : QString());
    Refresh();
}

void StatusBar::Follow(const OpenTree &tree)
{
    // A tree the user may read but not change shows the read-only mark while it is open.
    connect(&tree, &OpenTree::CurrentTreeChanged, this, [this, &tree](const QString &name) {
        const mDatabase &store = tree.Store();
        if (store.IsDatabaseReadOnly())
            return;
        SetReadOnly(store.IsReadOnly(),
                    store.IsReadOnly()
                        ? QStringLiteral("You may read the tree '%1' but not change it.").arg(name)
                        : QString());
    });
    connect(&tree, &OpenTree::PeopleReplaced, this, [this] { showPerson(nullptr); });
    connect(&tree, &OpenTree::SelectionChanged, this, [this](const QString &key) {
        if (key.isEmpty())
            showPerson(nullptr);
    });
    connect(&tree, &OpenTree::PersonSelected, this,
            [this](const cPersonPtr &person) { showPerson(person.get()); });
    connect(&tree, &OpenTree::PersonChanged, this, [this, &tree](const cPersonPtr &person) {
        if (person == tree.SelectedPerson())
            showPerson(person.get());
    });
}
