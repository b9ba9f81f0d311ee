#pragma once

#include "PrivacyFilter.h"

#include <QString>

class QTextStream;
class mDatabase;

// The command line's reports:
//
//     VelkinTree --report family|descendants|ancestors TREE FILE --person KEY
//                [--generations N] [--privacy living|private|none]
//
// writes the family group sheet, the descendant report or the ancestor report of KEY (see
// Reports::buildReport) to FILE, a PDF or an OpenDocument text by its suffix, and ends with the
// line "wrote the KIND report of KEY: N persons, E endnotes, I names in the index, to FILE".
// The tree is read as the privacy choice leaves it (everything by default). A failure prints one
// clear line on the error stream, returns 1 and leaves no file behind.
struct ReportCliRequest
{
    QString kind; // family, descendants, ancestors
    QString tree;
    QString file;
    QString personKey;
    int generations = 0; // 0: the kind's default
    Genealogy::PrivacyOptions privacy = {};
};

// Runs over the open `store` (read only). A QGuiApplication must exist.
int RunReport(const ReportCliRequest &request, const mDatabase &store, QTextStream &out,
              QTextStream &err);
