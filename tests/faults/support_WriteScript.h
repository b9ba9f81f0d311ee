#pragma once

// The changes the crash test interrupts: a database to start from, a list of user operations on
// it (insert, update and delete persons, create and rename trees, compress, import a GEDCOM
// file), and a dump of everything a database holds, to compare states.

#include "PersonRecord.h"
#include "Result.h"

#include <QList>
#include <QString>

#include <functional>

class mDatabase;

namespace WriteScript {

struct Operation
{
    QString name;
    std::function<Result<void>(mDatabase &store)> run;
};

// Makes <dataPath>people.db as a program's first start does, with one more tree and more rows,
// and writes the GEDCOM file the import reads to `gedcomFile`. False on failure.
bool PrepareData(const QString &dataPath, const QString &gedcomFile);

// The operations, in order. Each is one command of the program; each runs alone, in its own
// transaction or file replacement.
QList<Operation> Operations(const QString &dataPath, const QString &gedcomFile);

// Every table of the database with its definition and its rows (in a fixed order), as text; an
// empty text when it cannot be read.
QString Dump(const QString &databasePath);

// The engine's own check of the file: "ok" for a sound database.
QString IntegrityCheck(const QString &databasePath);

} // namespace WriteScript
