#pragma once

#include "ModelSlice.h"
#include "PersonRecord.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <optional>

class OpenTree;
struct MergeChange;
class mDatabase;
class QAction;
class QWidget;
class TreeList;

// What the entries of the history change and tell: the open tree (whose views follow its
// signals), the list of trees, and the window that parents their messages.
struct ChangeScene
{
    OpenTree &tree;
    TreeList &trees;
    QWidget *window = nullptr;
    // An entry was undone (or redone) in the store: the history kept in the database says so.
    std::function<void(const QUndoCommand &entry, bool undoing)> stepped;
};

// The changes the user made to the database while the program runs, one undo stack for the
// database, beside the owner of the open tree. The commands make a change first and record it
// here afterwards (recording does not make it again). Undo and Redo each run one change of the
// store, checked against the rows as the change left them: when another program changed them
// since, the entry is refused with a message and leaves the stack (the entries before and after
// it stay). A deleted person's photo folder is kept aside in <data folder>/.deleted/<change>
// while the entry can bring it back, and removed with the entry.
class ChangeHistory : public QObject
{
    Q_OBJECT

public:
    // How many changes can be undone; the oldest go first.
    static constexpr int kUndoLimit = 100;

    ChangeHistory(OpenTree &tree, TreeList &trees, QObject *parent = nullptr);
    ~ChangeHistory() override;

    QUndoStack &Stack() { return m_stack; }
    // Edit > Undo (Ctrl+Z) and Edit > Redo (Ctrl+Shift+Z, Ctrl+Y); their texts name the change.
    QAction *UndoCommand() const { return m_undo; }
    QAction *RedoCommand() const { return m_redo; }
    // The window that parents the messages of a refused undo or redo.
    void SetWindow(QWidget *window) { m_scene.window = window; }

    // The person changes below take `state`: the tree's rows and side records before the
    // change, read with ModelState (nothing for a tree without side records, whose changes touch
    // the person's row alone); the entry reads them after the change itself.
    //
    // A person was added to `tree` with `row`; `photoFolder` is its photo folder (photos copied
    // in with it go aside while the addition is undone).
    void RecordAddPerson(const QString &tree, const PersonRecord &row, const QString &photoFolder,
                         std::optional<Genealogy::ModelSlice> state);
    // A person's row went from `before` to `after`.
    // `name` names the change when given ("Restore Version of Anna Berg"), else "Edit Person".
    void RecordEditPerson(const QString &tree, const PersonRecord &before,
                          const PersonRecord &after, std::optional<Genealogy::ModelSlice> state,
                          const QString &name = QString());
    // A person was deleted; `photoFolder` (possibly "") is where its photos were, `aside` where
    // SetAside put them (or "" when the folder stayed or there was none).
    // `next` is the key of the row that followed the person's in the tree (empty: it was the
    // last), so that undo puts the row back in its place.
    void RecordDeletePerson(const QString &tree, const PersonRecord &row,
                            const QString &photoFolder, const QString &aside,
                            std::optional<Genealogy::ModelSlice> state,
                            const QString &next = QString());
    // The whole tree, rows and side records; nothing for a tree without side records (or when it
    // cannot be read).
    // A tree with side records of more than kWholeTreePersons persons is not kept whole (two
    // copies an entry would hold too much memory): its edits and additions are undone by the
    // person's row alone, through the store's rules, and its deletions are not recorded
    // (DeletionUndoable), since the row alone would come back without its records.
    static std::optional<Genealogy::ModelSlice> ModelState(const mDatabase &store,
                                                           const QString &tree);
    static constexpr qsizetype kWholeTreePersons = 5000;
    static bool KeepsWholeTree(const mDatabase &store, const QString &tree);
    static bool DeletionUndoable(const mDatabase &store, const QString &tree);
    // Moves `folder` into the data folder's ".deleted" folder under a name of its own; the new
    // path, or "" when there was nothing to move or it could not be moved.
    static QString SetAside(const QString &dataPath, const QString &folder);

    // The records of a person (the details window), or the tree's sources (`key` empty), were
    // edited in one change named `text`: the tree, rows and side records, as it was and as the
    // change left it. Undo and redo put one or the other back while the rows are as the other
    // left them. A tree the history does not keep whole (KeepsWholeTree) records nothing: the
    // entry would hold two copies of the whole tree, and the row alone cannot bring back the
    // records (as with deletions of such trees).
    void RecordModelEdit(const QString &tree, const QString &key, const QString &text,
                         const Genealogy::ModelSlice &before, const Genealogy::ModelSlice &after);
    // The open tree follows a change of records from `from` to `to`: rows added, changed and
    // removed, and the person `key` shown again (its records changed even when its row did not);
    // the selected person is selected again, so that its box shows the children it has now.
    static void FollowModelEdit(OpenTree &open, const QString &tree, const QString &key,
                                const std::vector<PersonRecord> &from,
                                const std::vector<PersonRecord> &to);

    // A tree was made (`rows`: the rows it was made with).
    void RecordNewTree(const QString &name, const QList<PersonRecord> &rows);
    void RecordRenameTree(const QString &oldName, const QString &newName);
    // A tree was deleted; `before` holds its rows and side records as they were.
    void RecordDeleteTree(const QString &name, Genealogy::ModelSlice before, bool hadModel);
    // Two persons were merged (ChangeHistoryMerge.h): undo restores both, their records and
    // photos. In a tree of more than kWholeTreePersons persons the merge is kept in the
    // database's history only: it cannot be undone.
    void RecordMerge(MergeChange change);
    // An import made the tree `tree`; recorded when the history keeps the tree whole
    // (KeepsWholeTree), else the import cannot be undone (the tree can be deleted).
    void RecordImportTree(const QString &tree);
    // An update rebuilt `tree` from a file; `before` is its ModelState read before the update
    // (nothing when the history does not keep it whole: then the update is not recorded).
    void RecordUpdateTree(const QString &tree, std::optional<Genealogy::ModelSlice> before);

    // The persons whose rows a change of `key` may touch besides its own: the others in its
    // families (their partner columns name it). Read before and after a change; empty for a tree
    // without side records.
    static QStringList Neighbours(const mDatabase &store, const QString &tree, const QString &key);
    // The persons of the open tree with these keys take the values their rows hold now.
    static void Refresh(OpenTree &open, const QStringList &keys);

    // The name of a person as the entries show it: first and last name, else the key.
    static QString PersonName(const PersonRecord &row);

    // Writes the change of `entry` (before it is pushed) to the history kept in the database
    // (ChangeLog.h), which every Record method above does, and its undo and redo later; a
    // history that cannot be written loses nothing of the change.
    void Log(const QUndoCommand *entry, const QString &tree, const QString &record,
             const QString &before, const QString &after);

signals:
    // A change of `record` was written to the history kept in the database.
    void Logged(const QString &tree, const QString &record);

private:
    struct LogInfo
    {
        QString tree, record, before, after;
    };
    void logPerson(const QUndoCommand *entry, const QString &tree, const QString &key,
                   const PersonRecord *before, const PersonRecord *after);
    void stepped(const QUndoCommand &entry, bool undoing);
    void write(const QString &tree, const QString &record, const QString &command,
               const QString &before, const QString &after);

    ChangeScene m_scene;
    QUndoStack m_stack;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QHash<const QUndoCommand *, LogInfo> m_logged; // what each live entry logged
};
