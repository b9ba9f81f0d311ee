// VelkinTree --person-facts TREE KEY: prints the facts of one person of a tree, one a line,
// "KIND: value" (Genealogy::factLines): the names, sex, parents, partners and children with their
// families, events, citations, notes and media. Nothing is written to the database.
#include "Commands.h"

#include "PersonFacts.h"
#include "StoreModel.h"
#include "TreeList.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("person-facts");

int personFacts(Context &context)
{
    const QString asked = context.parser.value(kTrigger);
    const QStringList keys = context.parser.positionalArguments();
    if (asked.isEmpty() || keys.size() != 1 || keys.constFirst().isEmpty())
        return context.Fail(QStringLiteral("--person-facts needs the tree and the key of one "
                                           "person: --person-facts TREE KEY"));
    mDatabase store;
    if (!context.OpenStore(store, false))
        return 1;
    // The tree's name as the database lists it (the exact name, else the one equal to it
    // without regard to case).
    TreeList trees(store);
    trees.Refill();
    const QString tree = trees.Listed(asked);
    if (tree.isEmpty())
        return context.Fail(QStringLiteral("There is no tree named '%1'.").arg(asked));

    const QString &key = keys.constFirst();
    const PersonSliceSource slices = context.slices ? context.slices(store) : StoreSlices(store);
    const Result<Genealogy::ModelSlice> slice = slices(tree, key);
    if (!slice && slice.error().is(ErrorCode::Missing))
        return context.Fail(
            QStringLiteral("There is no person '%1' in the tree '%2'.").arg(key, tree));
    if (!slice)
        return context.Fail(
            QStringLiteral("The facts of '%1' in the tree '%2' could not be read: %3")
                .arg(key, tree, slice.error().text()));
    // Families are named by the store's ids, as every person's facts name them.
    const Result<std::vector<Genealogy::FamilyKeys>> families = StoreFamilies(store, tree);
    const std::vector<Genealogy::FamilyKeys> none;
    const QStringList lines = Genealogy::factLines(
        Genealogy::personFacts(*slice, StoreFamilyKeys(*slice, families ? *families : none)));
    if (lines.isEmpty())
        return context.Fail(
            QStringLiteral("There is no person '%1' in the tree '%2'.").arg(key, tree));
    for (const QString &line : lines)
        context.out << line << '\n';
    context.out.flush();
    return 0;
}

} // namespace

Command PersonFactsCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Print the facts of the person whose key follows "
                                              "the tree <tree>, one a line (KIND: value)."),
                               QStringLiteral("tree")),
            {},
            personFacts};
}

} // namespace Cli
