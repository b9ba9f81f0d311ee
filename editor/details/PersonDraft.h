#pragma once

#include "ModelSlice.h"

#include <QString>
#include <QStringList>

#include <vector>

// The records of one person being edited in the details window, over the whole tree as it was
// read (ModelEdit::readForEdit): sex, privacy, names, events, families as partner with their
// events and children, the families as child, citations, notes and media links, and persons
// added outside the line. The row stays the one truth for its columns: while editing, the row's
// first birth and death are ordinary event records, and result() gives them back to the row
// (and the partner columns and the new persons' parent keys) as the rules between rows and model
// say.
class PersonDraft
{
public:
    struct NameFields
    {
        Genealogy::NameType type = Genealogy::NameType::None;
        QString given, surname, prefix, nickname, surnamePrefix, suffix;
        bool operator==(const NameFields &) const = default;
    };
    struct EventFields
    {
        Genealogy::EventTypes::Id type = Genealogy::EventTypes::kNone;
        QString date, place, description, age, cause;
        bool isPrivate = false;
        bool operator==(const EventFields &) const = default;
    };
    struct SourceFields
    {
        QString title, author, publication;
    };
    struct CitationFields
    {
        quint32 source = Genealogy::kNoIndex;
        QString page;
        quint8 quality = Genealogy::Citation::kNoQuality;
        QString text;
        QString mediaFile; // the image of the record, optional
    };

    explicit PersonDraft(Genealogy::ModelSlice tree);

    // The tree with the edits, the rows following the model.
    Genealogy::ModelSlice result() const;

    quint32 person() const { return m_tree.person; }
    const Genealogy::TreeModel &model() const { return m_tree.model; }
    const Genealogy::PersonRow &row(quint32 p) const { return m_tree.rows[p]; }
    quint32 rowCount() const { return quint32(m_tree.rows.size()); }
    QString personName(quint32 p) const; // "Anna Berg", else the key
    quint32 findPerson(const QString &key) const;
    QString string(Genealogy::Text text) const { return m_tree.model.string(text); }

    Genealogy::Sex sex() const;
    void setSex(Genealogy::Sex sex);
    // The Private restriction of the person, an event or a family.
    bool isPrivate(Genealogy::Ref record) const;
    void setPrivate(Genealogy::Ref record, bool on);

    // The person's names (the primary one first, its given name and surname the row's).
    std::vector<quint32> names() const;
    NameFields name(quint32 n) const;
    quint32 addName(const NameFields &fields);
    void setName(quint32 n, const NameFields &fields);
    // The primary name stays first and cannot go: false.
    bool removeName(quint32 n);
    bool moveName(quint32 n, int delta);

    std::vector<quint32> events(Genealogy::Ref owner) const;
    EventFields event(quint32 e) const;
    quint32 addEvent(Genealogy::Ref owner, const EventFields &fields);
    void setEvent(quint32 e, const EventFields &fields);
    void removeEvent(quint32 e);
    bool moveEvent(quint32 e, int delta);

    // Families as partner (family indexes), their other partner and children (child links).
    std::vector<quint32> partnerFamilies() const;
    quint32 otherPartner(quint32 family) const;
    std::vector<quint32> children(quint32 family) const;
    // The person's child links (the families the person is a child of).
    std::vector<quint32> parentLinks() const;
    // The row's partner columns name someone while the person is a partner in no family: the
    // first partner added takes over those columns (the window asks first).
    bool hasUnlinkedPartner() const;
    // A new row outside the line; its key must be free (proposeKey).
    quint32 addPerson(const QString &key, const QString &first, const QString &last,
                      Genealogy::Sex sex);
    QString proposeKey(const QStringList &takenElsewhere) const;
    // A new family of the person and `partner` (kNoIndex: the person alone).
    quint32 addFamily(quint32 partner);
    void setRelation(quint32 family, Genealogy::FamilyRelation relation);
    // A new child of the family (both partners are its parents), last of its children.
    quint32 addChild(quint32 family, quint32 child);
    void setChildRelation(quint32 link, int slot, Genealogy::ChildRelation relation);
    bool moveChild(quint32 link, int delta);

    std::vector<quint32> citations(Genealogy::Ref owner) const;
    quint32 addSource(const SourceFields &fields);
    void setSource(quint32 source, const SourceFields &fields);
    SourceFields source(quint32 source) const;
    quint32 cite(Genealogy::Ref owner, const CitationFields &fields);
    void removeCitation(quint32 citation);

    // The person's own notes (the row's) and media links.
    QString notes() const { return m_tree.rows[m_tree.person].Notes; }
    void setNotes(const QString &notes);
    std::vector<quint32> mediaLinks(Genealogy::Ref owner) const;
    quint32 addMedia(Genealogy::Ref owner, const QString &file, const QString &title);
    void removeMediaLink(quint32 link);

    // Whether anything was changed.
    bool isChanged() const { return m_changed; }

private:
    struct RowEvent
    {
        Genealogy::EventTypes::Id type = Genealogy::EventTypes::kNone;
        bool hadRecord = false;
        QString rowDate;  // the row's text as read
        QString rowPlace; // likewise
    };
    void expandRowEvent(RowEvent &rowEvent);
    void collapseRowEvent(Genealogy::ModelSlice &tree, const RowEvent &rowEvent) const;
    void writeDate(quint32 e, const QString &date);
    Genealogy::Text textOf(const QString &value);

    Genealogy::ModelSlice m_tree;
    RowEvent m_rowEvents[2];
    quint32 m_readRows = 0;
    bool m_changed = false;
};
