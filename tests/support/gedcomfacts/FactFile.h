#pragma once

#include "GedcomTree.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace GedcomFacts {

// What one file says, fact by fact, for comparing it with another file.
//
// Persons are named by a key that does not depend on record ids: the normalised primary name and
// the birth year (PersonMatch gives both files the same key for the same person). Every other
// fact is a line of text that begins with its owner's key, so that two files compare as two
// multisets of lines; links between persons are kept apart, as sets, so that a link the second
// file has and the first lacks can be told.
enum class Category {
    Persons,
    Names,
    NamePieces,
    Sex,
    Birth,
    Death,
    Residence,
    OtherEvents,
    EventDetails,
    ParentLinks,
    Pedigree,
    PartnerLinks,
    FamilyEvents,
    Associations,
    Citations,
    CitationDetails,
    Notes,
    Media,
    Sources,
    Privacy,
    OtherStructures,
    KeptAsRead,
};
constexpr int kCategoryCount = int(Category::KeptAsRead) + 1;

// The category's name as the report prints it.
QString categoryName(Category category);
// The categories every comparison of this kind measures: persons, names, sex, events, both
// parent links, partner links, family events, citations, notes, media. The others (name pieces,
// event details, pedigree, associations, citation details, sources, privacy, other standard
// structures, extension and unknown tags) are counted apart.
bool isCoreCategory(Category category);

struct Fact
{
    Category category = Category::Persons;
    QByteArray tag;      // the tag it is about (BIRT, NAME, FAMC...), for the figures per tag
    QString text;        // owner and content: the identity of the fact
    QStringList needles; // its values, for telling whether the other file keeps them in a note
    QStringList owners;  // the keys of the persons it belongs to
};

// A person of a file: how it is recognised in another file.
struct Person
{
    int node = -1;
    QByteArray xref;
    QString display; // the name as written, without slashes
    QString name;    // normalised: blanks collapsed, case folded
    QString core;    // the same without what follows the surname (a suffix such as "jr.")
    QString year;    // of the first birth, or empty
    QString parents; // the normalised names of the partners of its families as a child
    QString kin;     // the normalised names of its partners and children
    QString key;     // after matching: unique in the file
    bool matched = false;
};

class FactFile
{
public:
    bool load(const QString &path, QString *error);
    bool loadBytes(const QByteArray &bytes, QString *error);

    const GedcomTree &tree() const { return m_tree; }
    std::vector<Person> &persons() { return m_persons; }
    const std::vector<Person> &persons() const { return m_persons; }

    // Once every person has its key: reads every fact of the file.
    void collect();

    const std::vector<Fact> &facts() const { return m_facts; }
    // Parent links (child key, parent key) and partner links (keys, in order).
    const QSet<QPair<QString, QString>> &parentLinks() const { return m_parentLinks; }
    const QSet<QPair<QString, QString>> &partnerLinks() const { return m_partnerLinks; }
    // The text of every note of a person (any depth of its record), normalised and case
    // folded, joined.
    QString notesOf(const QString &key) const { return m_notes.value(key); }

    // The key of the person with the xref, or an empty text.
    QString keyOf(const QByteArray &xref) const;

private:
    friend class FactWalker;
    void readPersons();

    GedcomTree m_tree;
    std::vector<Person> m_persons;
    QHash<QByteArray, int> m_personIndex;    // xref -> person
    QHash<QByteArray, QList<int>> m_childOf; // person xref -> FAM nodes it is a child of
    std::vector<Fact> m_facts;
    QSet<QPair<QString, QString>> m_parentLinks;
    QSet<QPair<QString, QString>> m_partnerLinks;
    QHash<QString, QString> m_notes;
};

// Text as compared: blanks (line breaks included) collapsed to one space, trimmed.
QString normalised(const QString &text);
// A NAME value as compared: "given /surname/ suffix", each part's blanks collapsed, so that
// "Anna/Smith/" and "Anna /Smith/" are one name; an empty surname ("Anna //") is none.
QString normalisedName(const QString &name);

} // namespace GedcomFacts
