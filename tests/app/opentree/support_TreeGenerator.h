#pragma once

#include "PersonRecord.h"

#include <QString>

#include <functional>

// Makes family trees as real ones look, for tests and benchmarks: every column in use the way a
// genealogist fills it. Surnames come from a few thousand and pass from parent to child, first
// names from a few hundred, places ("Town, County, Country") from a few thousand; birth and
// death dates in several spellings, partners for most adults, addresses, cities and countries of
// living for some, and notes of a sentence or three for about a fifth of the persons. A few
// texts carry letters beyond ASCII.
//
// The shape: one root person, WideRootKey(), with `wideChildren` children; about one founder
// (another root person) per 2,000 persons; the rest descend from the children and the founders,
// generation by generation, with none to eight children each. Keys are "I" + a number, and the
// rows come in the order of those numbers, which is not the order of the generations: children
// often come before their parents. The same arguments always give the same tree.
//
// Two more forms for the deepest charts: Line, one line of descent `persons` generations deep
// (the first person a root, each next one the only child of the one before), and Ring, the same
// line closed into a circle (the first person's parent is the last: no root at all).
class TreeGenerator
{
public:
    enum class Form { Realistic, Line, Ring };

    TreeGenerator(int persons, int wideChildren);
    TreeGenerator(Form form, int persons);

    int Persons() const { return m_persons; }
    // The key of the root with `wideChildren` children.
    static QString WideRootKey() { return QStringLiteral("I1"); }
    // The key of the last person made: for Line and Ring the deepest of the line.
    QString LastKey() const;

    // Calls `row` once per person, in table order.
    void Generate(const std::function<void(const PersonRecord &)> &row) const;

    // Adds the generated rows to the existing table `tree` of the database file, in one
    // transaction on a connection of its own (the engine's C interface, for speed). False (and
    // the reason in `error`) on failure.
    bool Write(const QString &databaseFile, const QString &tree, QString *error = nullptr) const;

private:
    int m_persons;
    int m_wideChildren;
    Form m_form = Form::Realistic;
};
