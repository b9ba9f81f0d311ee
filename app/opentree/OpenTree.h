#pragma once

#include "PersonRecord.h"
#include "Result.h"
#include "cPeople.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class mDatabase;

// The open tree: its name (CurrentTree), its persons (People), the children of every person and
// the selected person (SelectedKey), over the store it reads them from. This object alone
// changes them, and it says so by its signals; every view of the open tree (the chart, the
// information panel, the status bar, the window title, the descendant windows, the chart
// commands' search index) follows those signals and redraws itself. Commands ask it for changes
// and never update a view themselves. It needs no window: the command line uses it too.
class OpenTree : public QObject
{
    Q_OBJECT

public:
    // `store` must outlive this object.
    explicit OpenTree(mDatabase &store, QObject *parent = nullptr);
    ~OpenTree() override;

    // The store the open tree is read from and written to.
    mDatabase &Store() const { return m_store; }

    // The name of the open tree; empty when none is open.
    const QString &CurrentTree() const { return m_currentTree; }
    bool IsOpen() const { return !m_currentTree.isEmpty(); }
    // True when `tree` names the table of the open tree, as the database tells tables apart
    // (SameTable): a tree whose name merely counts as the same name is another tree.
    bool IsOpenTree(const QString &tree) const;
    // Every person of the open tree, one per row of its table, keyed by `Key`.
    const cPeople &People() const { return m_people; }
    // The key of the selected person (the box last clicked); empty when none.
    const QString &SelectedKey() const { return m_selectedKey; }
    // The selected person, or null.
    cPersonPtr SelectedPerson() const;

    // Opens the tree `name`: reads every row of its table into People and forgets the selection.
    // The name stays the open tree also when the table is empty or cannot be read (People then
    // holds the rows read before the error); the error tells why it could not be read. The
    // previous persons are freed on a worker thread. A row whose key an earlier row has (in any
    // letter case) is left out; SkippedKeys lists those keys in the order of the rows, for the
    // window that loads to report.
    Result<void> Load(const QString &name);
    const QStringList &SkippedKeys() const { return m_skippedKeys; }
    // Opens a tree that was just created: the name, no persons, nothing selected.
    void OpenNew(const QString &name);
    // Forgets the open tree: no name, no persons, nothing selected.
    void Close();
    // The open tree was renamed: it goes on under the new name; its persons stay.
    void Rename(const QString &newName);

    // Makes `key` the selected key ("" selects none). When People has the person it is shown
    // again by every view, also when it was selected already (a click on the selected box opens
    // its children again); `PartA` tells which half of its box was chosen: the upper one, with
    // the person's name, or the lower one, with the partner's.
    void Select(const QString &key, bool PartA = true);
    void ClearSelection() { Select(QString()); }

    // A person outside the line of descent: its parent key is empty (a partner who married in, a
    // partner's kin). It is selected like any person (the panel, the status bar and the title show
    // it) but the chart, which walks the line from its roots, has no box for it.
    static bool IsOutsideLine(const cPerson &person) { return person.PrntKey().isEmpty(); }

    // The children of a person: the persons whose parent key equals `parentKey` exactly, in the
    // order of People. The list stays valid until People or a parent key changes.
    const std::vector<cPersonPtr> &Children(const QString &parentKey) const;

    // A person was added to the tree's table: adds it to People. Returns the person, or null
    // when its key is already present (nothing is added; the caller reports it).
    cPersonPtr AddPerson(const PersonRecord &record);
    // A person was saved: every value but the key becomes that of `values`. Returns the person,
    // or null when no person has that key.
    cPersonPtr ChangePerson(const QString &key, const PersonRecord &values);
    // A person was deleted from the tree's table: takes it out of People. The selection stays:
    // the command that deleted it moves it.
    void RemovePerson(const QString &key);
    // Photos were added to the photo folder of the person with `key`.
    void AddedPhotos(const QString &key);

    // Another program changed the open tree (OpenTreeSync.cpp). Persons that went are removed,
    // changed ones changed and new ones added (each told as by the commands here), the rest stay
    // as they are, so the views keep what they show. When the selected person went the
    // selection moves up to its parent, as after a deletion here; otherwise it stays. A change
    // of much of the tree loads it again, the selection kept. `records`: the persons whose side
    // records the change named (empty: any of the tree), which RecordsChanged then tells.
    //
    // Reconcile: `rows` are all rows of the tree as the store has them now (a row whose key an
    // earlier row has is left out, as when loading).
    void Reconcile(const QList<PersonRecord> &rows, const QStringList &records = {});
    // ReconcileKeys: only the persons `keys` changed; they are read from the store. False (and
    // nothing done) when they could not be read.
    bool ReconcileKeys(const QStringList &keys, const QStringList &records = {});

signals:
    // CurrentTree changed: a tree was loaded, created, closed or renamed.
    void CurrentTreeChanged(const QString &name);
    // People was replaced as a whole (load, new tree, close); nothing is selected.
    void PeopleReplaced();
    void PersonAdded(const cPersonPtr &person);
    void PersonChanged(const cPersonPtr &person);
    void PersonRemoved(const cPersonPtr &person);
    // SelectedKey changed.
    void SelectionChanged(const QString &key);
    // A person was selected, or selected again: the views show it. `PartA` as Select gives it.
    void PersonSelected(const cPersonPtr &person, bool PartA);
    // Photos were added to the photo folder of the person with this key.
    void PhotosAdded(const QString &key);
    // Another program changed side records (families, events, sources, history) of these
    // persons of the open tree, or of any of them when `keys` is empty: a view that shows them
    // reads them again.
    void RecordsChanged(const QStringList &keys);

private:
    // Empties People; the old persons are freed on a worker thread.
    void release();
    void setCurrentTree(const QString &name);
    // People is replaced: the selection goes, then the views are told.
    void replacePeople(const QString &name, cPeople people);
    // Brings in rows another program changed (`present`: as stored now, `gone`: deleted), or
    // loads the tree again when they are many.
    void applyElsewhere(const QList<const PersonRecord *> &present, const QStringList &gone,
                        const QStringList &records);

    mDatabase &m_store;
    QString m_currentTree;
    cPeople m_people;
    QStringList m_skippedKeys;
    QString m_selectedKey;
};
