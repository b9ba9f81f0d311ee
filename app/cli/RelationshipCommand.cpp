// VelkinTree --relationship TREE KEY1 KEY2: what KEY1 is to KEY2 and the paths between them
// (see RelationshipCli.h).
#include "Commands.h"
#include "RelationshipCli.h"

#include <QCommandLineParser>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("relationship");

int relationship(Context &context)
{
    const QStringList keys = context.parser.positionalArguments();
    if (keys.size() != 2)
        return context.Fail(QStringLiteral("--relationship needs the tree and the keys of two "
                                           "persons: --relationship TREE KEY1 KEY2"));
    return RunRelationship({context.parser.value(kTrigger), keys[0], keys[1], context.server},
                           context.dataPath, context.out, context.err);
}

} // namespace

Command RelationshipCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Print what the person KEY1 is to the person KEY2 "
                                              "of the tree <tree>, given after it, and how they "
                                              "are related."),
                               QStringLiteral("tree")),
            {},
            relationship};
}

} // namespace Cli
