#include "FindResultsModel.h"

#include "PersonFinder.h"

FindResultsModel::FindResultsModel(const cPeople &people, const PersonFinder *finder,
                                   YearsText years, QObject *parent)
    : QAbstractTableModel(parent), m_people(people), m_finder(finder), m_years(std::move(years))
{
}

void FindResultsModel::setMatches(std::vector<int> ranks)
{
    beginResetModel();
    m_ranks = std::move(ranks);
    endResetModel();
}

QString FindResultsModel::keyAt(int row) const
{
    if (row < 0 || row >= int(m_ranks.size()) || !m_finder)
        return QString();
    return m_finder->KeyAt(m_ranks[size_t(row)]);
}

int FindResultsModel::rowOfKey(QStringView key) const
{
    if (!m_finder || key.isEmpty())
        return -1;
    int caseAside = -1;
    for (size_t row = 0; row < m_ranks.size(); ++row) {
        const QStringView found = m_finder->KeyViewAt(m_ranks[row]);
        if (found.size() != key.size())
            continue;
        if (found == key)
            return int(row);
        if (caseAside < 0 && found.compare(key, Qt::CaseInsensitive) == 0)
            caseAside = int(row);
    }
    return caseAside;
}

int FindResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ranks.size());
}

int FindResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindResultsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const QString key = keyAt(index.row());
    const cPersonPtr person = m_people.Item(key);
    if (!person)
        return index.column() == Key ? QVariant(key) : QVariant();
    switch (index.column()) {
    case Surname:
        return person->Sname();
    case FirstName:
        return person->Fname();
    case Years:
        return m_years ? m_years(*person) : QString();
    case Key:
        return person->Key();
    default:
        return QVariant();
    }
}

QVariant FindResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case Surname:
        return tr("Surname");
    case FirstName:
        return tr("First name");
    case Years:
        return tr("Years");
    case Key:
        return tr("ID");
    default:
        return QVariant();
    }
}
