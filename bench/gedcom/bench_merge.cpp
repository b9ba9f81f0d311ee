// Merging two persons of a large stored tree: the whole tree read, the merge in memory, and the
// whole merge through the store (read, merge, write back in one transaction), on a generated
// researched tree (five events per person with places and citations).
//
//   bench_merge [PERSONS]      100,000 by default
#include "ModelGenerator.h"
#include "ModelStore.h"
#include "PersonMerge.h"
#include "StoreImport.h"
#include "TreeMerge.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype persons = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100000;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tree.ged"));
    if (!ModelGenerator(persons).write(file))
        return 1;
    mDatabase store;
    store.SetPaths(dir.path() + QLatin1Char('/'), dir.filePath(QStringLiteral("people.db")));
    if (!store.OpenDatabase())
        return 1;
    const QString tree = QStringLiteral("Big");
    if (Gedcom::importIntoStore(store, file, tree).error)
        return 1;

    QElapsedTimer timer;
    timer.start();
    Result<Genealogy::ModelSlice> whole = ModelStore::readTree(store, tree);
    const qint64 readMs = timer.elapsed();
    if (!whole || whole->rows.size() < 40)
        return 1;
    const QString keep = whole->rows[10].ID;
    const QString other = whole->rows[30].ID;

    Genealogy::ModelSlice copy = *whole;
    timer.restart();
    const auto merged = Genealogy::PersonMerge::merge(
        copy, 10, 30, Genealogy::PersonMerge::defaultChoice(*whole, 10, 30));
    const qint64 memoryMs = timer.elapsed();
    if (!merged)
        return 1;

    timer.restart();
    const Result<TreeMerge::Merged> stored = TreeMerge::mergePersons(store, tree, keep, other);
    const qint64 storeMs = timer.elapsed();
    if (!stored)
        return 1;
    std::printf("persons %lld: read the whole tree %lld ms; merge in memory %lld ms; "
                "merge through the store (read, merge, write in one transaction) %lld ms\n",
                static_cast<long long>(whole->rows.size()), static_cast<long long>(readMs),
                static_cast<long long>(memoryMs), static_cast<long long>(storeMs));
    return 0;
}
