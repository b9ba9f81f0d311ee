#include "RelationshipCli.h"

#include "CliTree.h"
#include "KinshipLinks.h"
#include "Relationship.h"

#include <QTextStream>

#include <new>

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << message << '\n';
    err.flush();
    return 1;
}

int runRelationship(const RelationshipCliRequest &request, const QString &dataFolder,
                    QTextStream &out, QTextStream &err, const TreeKinshipReaders &kinship)
{
    if (request.tree.isEmpty() || request.first.isEmpty() || request.second.isEmpty())
        return fail(err, QStringLiteral("--relationship needs the name of a tree and the keys of "
                                        "two persons: --relationship TREE KEY1 KEY2"));
    CliTree tree;
    if (!tree.Open(request.tree, dataFolder, err, request.server))
        return 1;
    const cPersonPtr first = tree.People().Item(request.first);
    const cPersonPtr second = tree.People().Item(request.second);
    for (const auto &[person, key] :
         {std::pair(first, request.first), std::pair(second, request.second)}) {
        if (!person)
            return fail(err, QStringLiteral("There is no person with the key '%1' in the tree "
                                            "'%2'.")
                                 .arg(key, tree.Name()));
    }
    Result<std::vector<Genealogy::FamilyKeys>> families =
        kinship.Families(tree.Store(), tree.Name());
    if (!families)
        return fail(err, QStringLiteral("The families of the tree '%1' could not be read: %2")
                             .arg(tree.Name(), families.error().text()));
    KinshipLinks links(tree.People(), *families);
    links.SetSexes(kinship.Sexes(tree.Store(), tree.Name()));
    Genealogy::RelationshipCalculator calculator(links.Index());
    const Genealogy::Relationship relationship =
        calculator.relate(links.NumberOf(first->Key()), links.NumberOf(second->Key()));
    for (const QString &line : relationship.lines(links.Index()))
        out << line << '\n';
    out.flush();
    return 0;
}

} // namespace

int RunRelationship(const RelationshipCliRequest &request, const QString &dataFolder,
                    QTextStream &out, QTextStream &err, const TreeKinshipReaders &kinship)
{
    try {
        return runRelationship(request, dataFolder, out, err, kinship);
    } catch (const std::bad_alloc &) {
        return fail(err, QStringLiteral("There is not enough memory to relate the persons of "
                                        "this tree."));
    }
}
