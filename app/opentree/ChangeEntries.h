#pragma once

#include "ChangeHistory.h"
#include "Result.h"

#include <QUndoCommand>

#include <optional>

// One change of the history. The change was made before the entry was pushed, so the first redo
// does nothing. Each undo and redo is one change of the store; when it fails (another program
// changed the rows since, the database refuses) the user is told and the entry becomes
// obsolete, so the stack lets go of it and keeps the others.
// Brings a folder kept aside (ChangeHistory::SetAside) back to `folder`; true when all of it is
// back. Files whose name the folder has again stay aside.
bool bringBack(QString &aside, const QString &folder);
// The persons of the open tree go from the rows `from` to the rows `to` (added, changed and
// removed by key).
void syncOpenTree(OpenTree &open, const std::vector<PersonRecord> &from,
                  const std::vector<PersonRecord> &to);

class ChangeEntry : public QUndoCommand
{
public:
    ChangeEntry(ChangeScene &scene, const QString &text) : QUndoCommand(text), m_scene(scene) {}

    void undo() final;
    void redo() final;

protected:
    virtual Result<void> undoChange() = 0;
    virtual Result<void> redoChange() = 0;

    ChangeScene &m_scene;

private:
    void refuse(const Error &error, bool undoing);
    bool m_made = true; // the change is made: the next redo is the first, which does nothing
};

// What a person change needs to be taken back and made again. In a tree with side records the
// store's rules change more than the person's row (the partners' rows, the families), so the
// whole tree as it was before and after is kept, and undo and redo put one or the other back in
// one transaction (only while the tree is as the other left it). In a tree without side records
// the person's row alone is written.
class PersonEntry : public ChangeEntry
{
public:
    PersonEntry(ChangeScene &scene, const QString &text, const QString &tree,
                const PersonRecord &row, const QString &photoFolder,
                std::optional<Genealogy::ModelSlice> before);
    ~PersonEntry() override;

protected:
    // The person leaves the tree (undo of an addition, redo of a deletion); its photo folder
    // goes aside unless another tree has its key.
    Result<void> takeOut(bool undoing);
    // The person comes into the tree (redo of an addition, undo of a deletion) with its photos;
    // `select` selects it.
    Result<void> putIn(bool undoing, bool select);
    // The tree as it was before (undoing) or after the change, with its side records.
    Result<void> restoreState(bool undoing);
    bool hasStates() const { return m_after.has_value(); }
    // The row comes back before the row `m_next` (a tree without side records; the others come
    // back whole); true when it was put anywhere but last.
    Result<bool> insertInPlace();

    QString m_tree;
    PersonRecord m_row;
    QString m_next; // the key of the row after the person's, for a deletion
    QString m_photoFolder;
    QString m_aside;

private:
    std::optional<Genealogy::ModelSlice> m_before;
    std::optional<Genealogy::ModelSlice> m_after;
};

class AddPersonEntry : public PersonEntry
{
public:
    AddPersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &row,
                   const QString &photoFolder, std::optional<Genealogy::ModelSlice> before);

protected:
    Result<void> undoChange() override { return takeOut(true); }
    Result<void> redoChange() override { return putIn(false, false); }
};

class DeletePersonEntry : public PersonEntry
{
public:
    DeletePersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &row,
                      const QString &photoFolder, const QString &aside,
                      std::optional<Genealogy::ModelSlice> before, const QString &next);

protected:
    Result<void> undoChange() override { return putIn(true, true); }
    Result<void> redoChange() override { return takeOut(false); }
};

class EditPersonEntry : public PersonEntry
{
public:
    EditPersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &before,
                    const PersonRecord &after, std::optional<Genealogy::ModelSlice> beforeState);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    Result<void> write(const PersonRecord &from, const PersonRecord &to, bool undoing);

    PersonRecord m_before;
};

// The records of a person, or the tree's sources, edited in one change: the whole tree as it
// was and as the change left it.
class ModelEditEntry : public ChangeEntry
{
public:
    ModelEditEntry(ChangeScene &scene, const QString &text, const QString &tree, const QString &key,
                   Genealogy::ModelSlice before, Genealogy::ModelSlice after);

protected:
    Result<void> undoChange() override { return put(m_after, m_before); }
    Result<void> redoChange() override { return put(m_before, m_after); }

private:
    Result<void> put(const Genealogy::ModelSlice &from, const Genealogy::ModelSlice &to);

    QString m_tree;
    QString m_key;
    Genealogy::ModelSlice m_before;
    Genealogy::ModelSlice m_after;
};

class NewTreeEntry : public ChangeEntry
{
public:
    NewTreeEntry(ChangeScene &scene, const QString &name, const QList<PersonRecord> &rows);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    QString m_name;
    QList<PersonRecord> m_rows;
};

class RenameTreeEntry : public ChangeEntry
{
public:
    RenameTreeEntry(ChangeScene &scene, const QString &oldName, const QString &newName);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    Result<void> rename(const QString &from, const QString &to);

    QString m_old;
    QString m_new;
};

class DeleteTreeEntry : public ChangeEntry
{
public:
    DeleteTreeEntry(ChangeScene &scene, const QString &name, Genealogy::ModelSlice before,
                    bool hadModel);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    QString m_name;
    Genealogy::ModelSlice m_before;
    bool m_hadModel;
};
