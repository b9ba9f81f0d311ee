#pragma once

#include "FactFile.h"

namespace GedcomFacts {

// Reads every fact of a file whose persons have their keys (FactFile::collect). Each line of a
// person's or family's record becomes part of one fact: an event with its date, place and type
// is one fact, its other substructures (age, cause, address, map...) each one more; citations,
// notes and media links anywhere are facts of their own; extension and unknown tags, with all
// their substructures, are kept-as-read facts; any other standard structure is an "other
// structure" fact. Source and repository records are facts of their own; shared notes and
// media records count where they are used.
class FactWalker
{
public:
    explicit FactWalker(FactFile &file) : m_file(file), m_tree(file.m_tree) {}
    void run();

private:
    struct Owner
    {
        QString key;
        QStringList persons;
    };

    void person(const Person &person);
    void family(int record);
    void sourceOrRepository(int record);
    void keptRecord(int record);
    void links();

    // One substructure of a record or of another structure, by its tag.
    void structure(int node, const Owner &owner, const QString &context, Category category);
    void event(int node, const Owner &owner, Category category);
    void name(int node, const Owner &owner);
    void citation(int node, const Owner &owner, const QString &context);
    void note(int node, const Owner &owner, const QString &context);
    void media(int node, const Owner &owner, const QString &context);
    void association(int node, const Owner &owner);
    void kept(int node, const Owner &owner, const QString &context);
    // Every child of the node but those with the given tags, as structures in the context.
    void children(int node, const Owner &owner, const QString &context, Category category,
                  std::initializer_list<const char *> skip = {});

    void add(Category category, const QByteArray &tag, const Owner &owner, const QString &text,
             const QStringList &needles = {});

    QString describe(int node) const; // the value, or what its pointer names
    QString describePointer(const QByteArray &xref) const;
    QString familyKey(int record) const;
    QString sourceTitle(int record) const;
    QString noteText(int node) const;

    FactFile &m_file;
    const GedcomTree &m_tree;
};

} // namespace GedcomFacts
