#pragma once

#include "ReportTree.h"

#include <QString>
#include <QTextDocument>

#include <memory>

// The three reports of a person, as a document to print, write as PDF or ODT, or read:
//
//  - family group sheet: one sheet per family the person is a partner in: both partners with
//    their facts and parents, the family's own facts, each child with facts and partners;
//  - descendant report: the person and the descendants of `generations` generations (the person
//    is the first) in narrative sentences, generation after generation, each numbered in
//    register style (1 the person, then the children, grandchildren... in turn), a person reached
//    twice told once and referred to by number;
//  - ancestor report: the person and the ancestors of `generations` generations, numbered
//    Ahnentafel style (1 the person, 2n the father of n, 2n+1 the mother).
//
// Every report ends with its sources as numbered endnotes (each citation of the persons told
// in full, their events and their families, once) and an index of every name it mentions with
// the numbers where it is mentioned.
namespace Reports {

enum class ReportKind { FamilyGroup, Descendants, Ancestors };

struct ReportRequest
{
    static constexpr int kMaxGenerations = 30;

    ReportKind kind = ReportKind::Descendants;
    int person = -1;     // in the tree
    int generations = 0; // 0: 3 for descendants, 5 for ancestors
    QString title;       // above the report; the kind and the person's name when empty
};

struct ReportResult
{
    std::unique_ptr<QTextDocument> document;
    int persons = 0;  // persons told in full
    int endnotes = 0; // the citations, one note each
    int names = 0;    // entries of the index
    QString title;
};

// The default number of generations of a kind (1 for the family group sheet).
int defaultGenerations(ReportKind kind);
// "family", "descendants", "ancestors" (the command line's words); false for another word.
bool kindFromWord(const QString &word, ReportKind &kind);

ReportResult buildReport(const ReportTree &tree, const ReportRequest &request);

} // namespace Reports
