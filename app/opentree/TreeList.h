#pragma once

#include <QAbstractListModel>
#include <QStringList>

class mDatabase;

// The names of the trees in the store, in the order the store lists them, and the one entry that
// is chosen (the tree the tree box shows; none after the list was filled anew). The tree box, the
// tree dialogs and the command line take their lists from here; the commands say what is chosen.
class TreeList : public QAbstractListModel
{
    Q_OBJECT

public:
    // `store` must outlive the list.
    explicit TreeList(const mDatabase &store, QObject *parent = nullptr);

    // A tree the user may read but not change (rights per tree on a shared database) shows as
    // "<name> (read only)", with a tip saying so; its edit text stays the name.
    static constexpr const char *kReadOnlyMark = " (read only)";

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Lists the store's trees again, nothing chosen.
    void Refill();
    // Lists the store's trees again when they changed (another program may have made or removed
    // one); the chosen entry stays chosen when it is still there.
    void Update();
    // A tree was made: it is listed last.
    void Append(const QString &name);

    const QStringList &Names() const { return m_names; }
    // Whether the tree of that row is one the user may read but not change (never marked while
    // the whole database is read-only: the status bar says that).
    bool IsReadOnly(int row) const;
    int Count() const { return int(m_names.size()); }
    // The first entry equal to `name` (exact), or -1.
    int Find(const QString &name) const;
    // The store's name of a tree: `name` when listed so, else the one listed name equal to it
    // without regard to case (as the database tells tables apart); empty when none.
    QString Listed(const QString &name) const;

    // The chosen entry: a row, or -1 for none. Choosing a name chooses its first entry (none
    // when it is not listed).
    int Chosen() const { return m_chosen; }
    void Choose(int row);
    void Choose(const QString &name) { Choose(Find(name)); }

signals:
    void ChosenChanged(int row);

private:
    void setNames(const QStringList &names);
    QStringList readOnlyTrees() const;

    const mDatabase &m_store;
    QStringList m_names;
    QStringList m_readOnly;
    int m_chosen = -1;
};
