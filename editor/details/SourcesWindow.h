#pragma once

#include "ModelEdit.h"
#include "PersonDraft.h"

#include <QDialog>

#include <memory>

class QTreeWidget;
class mDatabase;

// The tree's sources: each with its author and publication, how many citations it has and the
// persons they support. Editing a source (F2, Return on "Edit...") changes it for every citation;
// Save writes the changes in one transaction, Cancel drops them.
class SourcesWindow : public QDialog
{
    Q_OBJECT

public:
    SourcesWindow(mDatabase &store, const QString &tree, QWidget *parent = nullptr);
    ~SourcesWindow() override;

    bool isLoaded() const { return m_draft != nullptr; }
    const Error &loadError() const { return m_loadError; }
    PersonDraft &draft() { return *m_draft; }
    QTreeWidget *list() const { return m_list; }
    const Genealogy::ModelSlice &before() const { return m_read.tree; }
    const Genealogy::ModelSlice &after() const { return m_saved; }
    bool wasSaved() const { return m_wasSaved; }

    // The persons a source's citations support (their indexes), each once, in tree order.
    static std::vector<quint32> supported(const Genealogy::TreeModel &model, quint32 source);

    void editCurrent();
    void accept() override;

private:
    void refresh();

    mDatabase &m_store;
    QString m_tree;
    ModelEdit::PersonEdit m_read;
    std::unique_ptr<PersonDraft> m_draft;
    Genealogy::ModelSlice m_saved;
    bool m_wasSaved = false;
    Error m_loadError;
    QTreeWidget *m_list = nullptr;
};
