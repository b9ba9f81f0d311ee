#pragma once

#include "ServerAddress.h"

#include <optional>

#include "TreeKinship.h"

#include <QString>

class QTextStream;

// The command line's relationship calculator:
//
//     VelkinTree --relationship TREE KEY1 KEY2
//
// prints what KEY1 is to KEY2: first the term ("second cousin once removed", "half-sister",
// "step-son", "brother-in-law", "not related"), then one line per common ancestor at the
// shortest distance, a couple counted once: "path: up U, down D, through KEY[, KEY]" (U
// generations up from KEY1, D down to KEY2). Without a blood relation, the shortest relation
// through marriages, "path: marriage through KEY, KEY[, ...]" (the partners of each marriage
// crossed), or "none". Links are PrntKey and the tree's families; the database is only read.
struct RelationshipCliRequest
{
    QString tree;
    QString first;
    QString second;
    // A shared database to read instead of the data folder's (--database).
    std::optional<ServerAddress> server = {};
};

// Returns the exit code: 0 when both persons were found (related or not), 1 on failure after
// one clear line on the error stream.
int RunRelationship(const RelationshipCliRequest &request, const QString &dataFolder,
                    QTextStream &out, QTextStream &err,
                    const TreeKinshipReaders &kinship = StoreKinshipReaders());
