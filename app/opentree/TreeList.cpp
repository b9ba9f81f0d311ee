#include "TreeList.h"

#include "mDatabase.h"

TreeList::TreeList(const mDatabase &store, QObject *parent)
    : QAbstractListModel(parent), m_store(store)
{
}

int TreeList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant TreeList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return QVariant();
    const QString &name = m_names.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return IsReadOnly(index.row()) ? name + QLatin1String(kReadOnlyMark) : name;
    case Qt::EditRole:
        return name;
    case Qt::ToolTipRole:
        if (IsReadOnly(index.row()))
            return QStringLiteral("You may read the tree '%1' but not change it.").arg(name);
        return QVariant();
    default:
        return QVariant();
    }
}

bool TreeList::IsReadOnly(int row) const
{
    return row >= 0 && row < m_names.size() && m_readOnly.contains(m_names.at(row));
}

QStringList TreeList::readOnlyTrees() const
{
    return m_store.IsDatabaseReadOnly() ? QStringList() : m_store.ReadOnlyTrees();
}

void TreeList::setNames(const QStringList &names)
{
    beginResetModel();
    m_names = names;
    m_readOnly = readOnlyTrees();
    endResetModel();
}

void TreeList::Refill()
{
    setNames(m_store.ListTrees());
    m_chosen = -1;
    emit ChosenChanged(m_chosen);
}

void TreeList::Update()
{
    const QStringList names = m_store.ListTrees();
    if (names == m_names && readOnlyTrees() == m_readOnly)
        return;
    const QString chosen = m_chosen >= 0 ? m_names.at(m_chosen) : QString();
    setNames(names);
    m_chosen = chosen.isEmpty() ? -1 : Find(chosen);
    emit ChosenChanged(m_chosen);
}

void TreeList::Append(const QString &name)
{
    const int row = int(m_names.size());
    beginInsertRows(QModelIndex(), row, row);
    m_names.append(name);
    endInsertRows();
}

int TreeList::Find(const QString &name) const
{
    return int(m_names.indexOf(name));
}

QString TreeList::Listed(const QString &name) const
{
    if (m_names.contains(name))
        return name;
    for (const QString &tree : m_names) {
        if (tree.compare(name, Qt::CaseInsensitive) == 0)
            return tree;
    }
    return QString();
}

void TreeList::Choose(int row)
{
    if (row < -1 || row >= m_names.size())
        row = -1;
    m_chosen = row;
    emit ChosenChanged(m_chosen);
}
