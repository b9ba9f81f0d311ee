#pragma once

#include "ModelEdit.h"
#include "PersonDraft.h"
#include "Result.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class mDatabase;

// The details window of one person (in or outside the line): sex and the private flag at the
// top, then a tab each for the events, the names, the families (as partner, with their events
// and children, and as child) and the notes and media. Everything is edited in a draft over the
// tree as read; Save (Return) writes it in one transaction (ModelEdit), Cancel (Escape) drops
// it. Every list is worked from the keyboard: Insert adds, F2 edits, Delete removes, Ctrl+Up and
// Ctrl+Down move, and the buttons have their letters.
class DetailsWindow : public QDialog
{
    Q_OBJECT

public:
    // `dataPath`: the data folder, whose photo folders new keys avoid.
    DetailsWindow(mDatabase &store, const QString &tree, const QString &key,
                  const QString &dataPath, QWidget *parent = nullptr);
    ~DetailsWindow() override;

    // Whether the person could be read; else why not (the window is not to be shown).
    bool isLoaded() const { return m_draft != nullptr; }
    const Error &loadError() const { return m_loadError; }

    PersonDraft &draft() { return *m_draft; }
    QTabWidget *tabs() const { return m_tabs; }
    // After a save: the tree as it was read and as the save wrote it.
    const Genealogy::ModelSlice &before() const { return m_read.tree; }
    const Genealogy::ModelSlice &after() const { return m_saved; }
    bool wasSaved() const { return m_wasSaved; }
    // "Edit Details of Anna Berg", the name of the change.
    QString changeName() const;

    // Saves; the window stays open with a message when the store refuses. When another
    // program changed what the save changes, the user may reload: the window then shows the
    // person as stored now, the changes made in it discarded.
    void accept() override;

private:
    // Reads the person again after a refused save; false (the window closes) when it is gone.
    bool reload();
    QWidget *buildEvents();
    QWidget *buildNames();
    QWidget *buildFamilies();
    QWidget *buildNotes();
    void refresh();
    void refreshEvents();
    void refreshNames();
    void refreshFamilies();
    void refreshMedia();

    void addEvent(Genealogy::Ref owner);
    void editEvent(quint32 event);
    void editName(quint32 name, bool adding);
    void addPartner();
    void addChild();
    void editChildRelation(quint32 link);
    void editFamilyItem();
    void removeFamilyItem();
    void moveFamilyItem(int delta);
    void cite(Genealogy::Ref owner);
    // Asks, then adds a person; kNoIndex when the user cancelled.
    quint32 newPerson(const QString &first, const QString &last, Genealogy::Sex sex);

    // The record of the current item of a list (UserRole: the Ref's bits).
    static Genealogy::Ref currentRef(const QTreeWidget *list);
    static void selectRef(QTreeWidget *list, Genealogy::Ref ref);
    QString sourcesText(Genealogy::Ref owner) const;

    mDatabase &m_store;
    QString m_tree;
    QString m_dataPath;
    ModelEdit::PersonEdit m_read;
    std::unique_ptr<PersonDraft> m_draft;
    Genealogy::ModelSlice m_saved;
    bool m_wasSaved = false;
    Error m_loadError;

    QLabel *m_title = nullptr;
    QComboBox *m_sex = nullptr;
    QCheckBox *m_private = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_events = nullptr;
    QTreeWidget *m_names = nullptr;
    QTreeWidget *m_families = nullptr;
    QTreeWidget *m_parents = nullptr;
    QComboBox *m_relation = nullptr;
    QCheckBox *m_familyPrivate = nullptr;
    QPlainTextEdit *m_notes = nullptr;
    QTreeWidget *m_media = nullptr;
};
