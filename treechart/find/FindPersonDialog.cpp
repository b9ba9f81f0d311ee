#include "FindPersonDialog.h"

#include "ModalSeam.h"
#include "PersonFinder.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

FindPersonDialog::FindPersonDialog(const cPeople &people, const PersonFinder &finder,
                                   YearsText years, QWidget *parent)
    : QDialog(parent), m_finder(&finder)
{
    build(people, std::move(years));
}

FindPersonDialog::FindPersonDialog(const cPeople &people, YearsText years, QWidget *parent)
    : QDialog(parent)
{
    build(people, std::move(years));
}

void FindPersonDialog::SetFinder(const PersonFinder &finder)
{
    m_finder = &finder;
    m_model->setFinder(&finder);
    search(m_query->text());
    emit FinderReady();
}

QString FindPersonDialog::BuildingText(int persons)
{
    return tr("Building the index of %L1 persons...").arg(persons);
}

void FindPersonDialog::build(const cPeople &people, YearsText years)
{
    m_persons = people.Count();
    setObjectName(QStringLiteral("dlgFind"));
    setWindowTitle(tr("Find Person"));

    m_query = new QLineEdit(this);
    m_query->setObjectName(QStringLiteral("txtFind"));
    m_query->setPlaceholderText(tr("Type a part of a name or an ID"));
    m_query->setClearButtonEnabled(true);
    m_query->installEventFilter(this);

    m_model = new FindResultsModel(people, m_finder, std::move(years), this);
    m_results = new QTableView(this);
    m_results->setObjectName(QStringLiteral("lstResults"));
    m_results->setModel(m_model);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setShowGrid(false);
    m_results->setAlternatingRowColors(true);
    m_results->setWordWrap(false);
    m_results->verticalHeader()->hide();
    // Fixed row heights and column widths: nothing is measured over a large result.
    m_results->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_results->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_results->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_results->horizontalHeader()->setStretchLastSection(true);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    m_results->setColumnWidth(FindResultsModel::Surname, 12 * em);
    m_results->setColumnWidth(FindResultsModel::FirstName, 12 * em);
    m_results->setColumnWidth(FindResultsModel::Years, 10 * em);
    connect(m_results, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            m_results->setCurrentIndex(index);
            accept();
        }
    });

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Show"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdShow"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FindPersonDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FindPersonDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_query);
    layout->addWidget(m_results, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(m_query, &QLineEdit::textChanged, this, &FindPersonDialog::search);
    search(QString());
    resize(48 * em, 32 * em);
}

QString FindPersonDialog::CountText(int matches)
{
    if (matches == 0)
        return tr("No person found");
    if (matches == 1)
        return tr("1 person");
    return tr("%L1 persons").arg(matches);
}

void FindPersonDialog::search(const QString &text)
{
    if (!m_finder) {
        m_count->setText(BuildingText(m_persons));
        return;
    }
    m_model->setMatches(m_finder->Find(text));
    const int matches = m_model->rowCount();
    m_count->setText(CountText(matches));
    if (matches == 0)
        return;
    // A query that is a person's whole ID picks that person, not the first of the persons
    // whose IDs or names begin with it ("I14" before "I140", "I141"...).
    const int exact = m_model->rowOfKey(QStringView(text).trimmed());
    const QModelIndex current = m_model->index(exact >= 0 ? exact : 0, 0);
    m_results->setCurrentIndex(current);
    m_results->scrollTo(current);
}

void FindPersonDialog::setQuery(const QString &text)
{
    m_query->setText(text);
}

int FindPersonDialog::MatchCount() const
{
    return m_model->rowCount();
}

QString FindPersonDialog::CurrentKey() const
{
    const QModelIndex current = m_results->currentIndex();
    return m_model->keyAt(current.isValid() ? current.row() : 0);
}

void FindPersonDialog::accept()
{
    const QString key = CurrentKey();
    if (key.isEmpty())
        return; // nothing to show: the dialog stays open
    m_chosen = key;
    QDialog::accept();
    emit PersonChosen(key);
}

bool FindPersonDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The list moves while the typing goes on in the box.
            QCoreApplication::sendEvent(m_results, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString FindPersonDialog::Ask(QWidget *parent, const cPeople &people, const PersonFinder &finder,
                              YearsText years, const QString &title)
{
    FindPersonDialog dialog(people, finder, std::move(years), parent);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return QString();
    return dialog.ChosenKey();
}
