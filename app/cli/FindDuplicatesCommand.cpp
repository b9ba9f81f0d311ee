// VelkinTree --find-duplicates TREE [--against OTHER] [--min-score N]: the persons a tree (or two
// trees) most likely holds twice, one pair a line, best first: "SCORE KEY1 KEY2", KEY2 of OTHER
// when it is given. Only reads the database.
#include "Commands.h"

#include "CliTree.h"
#include "DuplicateFinder.h"
#include "TreeKinship.h"
#include "cPerson.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <memory>
#include <new>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("find-duplicates");
const QString kAgainst = QStringLiteral("against");
const QString kMinScore = QStringLiteral("min-score");

// One tree opened and read as the finder wants it; owns what the source points at.
struct ReadTree
{
    CliTree tree;
    std::vector<Genealogy::PersonRow> rows;
    std::vector<Genealogy::FamilyKeys> families;
    QHash<QString, Genealogy::Sex> sexes;

    Genealogy::DuplicateSource Source() const { return {rows, families, sexes}; }
};

bool readTree(const QString &name, const Context &context, ReadTree &read)
{
    if (!read.tree.Open(name, context.dataPath, context.err, context.server))
        return false;
    read.rows.reserve(size_t(read.tree.People().Count()));
    for (const cPersonPtr &person : read.tree.People())
        read.rows.push_back(person->toRecord());
    const TreeKinshipReaders readers = StoreKinshipReaders();
    Result<std::vector<Genealogy::FamilyKeys>> families =
        readers.Families(read.tree.Store(), read.tree.Name());
    if (!families) {
        context.Fail(QStringLiteral("The families of the tree '%1' could not be read: %2")
                         .arg(read.tree.Name(), families.error().text()));
        return false;
    }
    read.families = std::move(*families);
    read.sexes = readers.Sexes(read.tree.Store(), read.tree.Name());
    return true;
}

int findDuplicates(Context &context)
{
    const QCommandLineParser &parser = context.parser;
    if (!parser.positionalArguments().isEmpty())
        return context.Fail(QStringLiteral("--find-duplicates takes one tree (and --against "
                                           "another); unexpected: %1")
                                .arg(parser.positionalArguments().join(u' ')));
    const QString name = parser.value(kTrigger);
    if (name.isEmpty())
        return context.Fail(QStringLiteral("--find-duplicates needs the name of a tree: "
                                           "--find-duplicates TREE [--against OTHER] "
                                           "[--min-score N]"));
    Genealogy::DuplicateOptions options;
    if (parser.isSet(kMinScore)) {
        bool ok = false;
        const int minScore = parser.value(kMinScore).trimmed().toInt(&ok);
        if (!ok || minScore < 0 || minScore > 100)
            return context.Fail(QStringLiteral("--min-score takes a whole number from 0 to 100, "
                                               "not '%1'.")
                                    .arg(parser.value(kMinScore)));
        options.minScore = minScore;
    }
    const bool against = parser.isSet(kAgainst);
    if (against && parser.value(kAgainst).isEmpty())
        return context.Fail(QStringLiteral("--against needs the name of the other tree."));

    auto first = std::make_unique<ReadTree>();
    if (!readTree(name, context, *first))
        return 1;
    std::unique_ptr<ReadTree> second;
    if (against) {
        second = std::make_unique<ReadTree>();
        if (!readTree(parser.value(kAgainst), context, *second))
            return 1;
    }
    const std::vector<Genealogy::DuplicatePair> pairs =
        second ? Genealogy::DuplicateFinder::find(first->Source(), second->Source(), options)
               : Genealogy::DuplicateFinder::find(first->Source(), options);
    const std::vector<Genealogy::PersonRow> &otherRows = second ? second->rows : first->rows;
    for (const Genealogy::DuplicatePair &pair : pairs) {
        context.out << pair.roundedScore() << ' ' << first->rows[size_t(pair.first)].ID << ' '
                    << otherRows[size_t(pair.second)].ID << '\n';
    }
    context.out.flush();
    return 0;
}

int run(Context &context)
{
    try {
        return findDuplicates(context);
    } catch (const std::bad_alloc &) {
        return context.Fail(QStringLiteral("There is not enough memory to compare the persons of "
                                           "this tree."));
    }
}

} // namespace

Command FindDuplicatesCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Print the pairs of persons of the tree <tree> "
                                              "that are most likely the same person, one pair a "
                                              "line, best first: SCORE KEY1 KEY2."),
                               QStringLiteral("tree")),
            {QCommandLineOption(kAgainst,
                                QStringLiteral("With --find-duplicates: pair the persons of the "
                                               "tree with those of the tree <other> (KEY2 is "
                                               "of <other>)."),
                                QStringLiteral("other")),
             QCommandLineOption(kMinScore,
                                QStringLiteral("With --find-duplicates: list only pairs that "
                                               "score at least <n> (0 to 100; default 70)."),
                                QStringLiteral("n"))},
            run};
}

} // namespace Cli
