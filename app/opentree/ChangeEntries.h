#pragma once

#include "ChangeHistory.h"
#include "Result.h"

#include <QUndoCommand>

// One change of the history. The change was made before the entry was pushed, so the first redo
// does nothing. Each undo and redo is one change of the store; when it fails (another program
// changed the rows since, the database refuses) the user is told and the entry becomes
// obsolete, so the stack lets go of it and keeps the others.
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

class AddPersonEntry : public ChangeEntry
{
public:
    AddPersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &row,
                   const QString &photoFolder);
    ~AddPersonEntry() override;

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    QString m_tree;
    PersonRecord m_row;
    QString m_photoFolder;
    QString m_aside;
};

class EditPersonEntry : public ChangeEntry
{
public:
    EditPersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &before,
                    const PersonRecord &after);

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    Result<void> write(const PersonRecord &from, const PersonRecord &to);

    QString m_tree;
    PersonRecord m_before;
    PersonRecord m_after;
};

class DeletePersonEntry : public ChangeEntry
{
public:
    DeletePersonEntry(ChangeScene &scene, const QString &tree, const PersonRecord &row,
                      const QString &photoFolder, const QString &aside);
    ~DeletePersonEntry() override;

protected:
    Result<void> undoChange() override;
    Result<void> redoChange() override;

private:
    QString m_tree;
    PersonRecord m_row;
    QString m_photoFolder;
    QString m_aside;
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
