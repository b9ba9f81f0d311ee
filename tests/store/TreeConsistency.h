#pragma once

#include "ModelStore.h"
#include "mDatabase.h"

#include <QTest>

// After a test changed a tree: the tree's rows and side records agree (what `--check-tree`
// states). Fails the test with the disagreements.
#define VERIFY_TREE_CONSISTENT(store, tree)                                                        \
    do {                                                                                           \
        const Result<QStringList> lines_ = ModelStore::checkTree((store), (tree));                 \
        QVERIFY2(lines_.ok(), qPrintable(lines_.error().text()));                                  \
        QVERIFY2(lines_->isEmpty(), qPrintable(lines_->join(QLatin1Char('\n'))));                  \
    } while (false)
