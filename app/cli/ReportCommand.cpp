// VelkinTree --report family|descendants|ancestors TREE FILE --person KEY [--generations N]
// [--privacy living|private|none]: writes a report as PDF or ODT (see ReportCli.h).
#include "Commands.h"
#include "ReportCli.h"
#include "mDatabase.h"

#include <QCommandLineParser>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("report");
const QString kPerson = QStringLiteral("person");
const QString kGenerations = QStringLiteral("generations");
const QString kPrivacy = QStringLiteral("privacy");

int report(Context &context)
{
    const QStringList arguments = context.parser.positionalArguments();
    if (arguments.size() != 2)
        return context.Fail(QStringLiteral("--report needs the kind, the tree and the file to "
                                           "write: --report family|descendants|ancestors TREE "
                                           "FILE --person KEY"));
    ReportCliRequest request{context.parser.value(kTrigger), arguments[0], arguments[1],
                             context.parser.value(kPerson)};
    if (context.parser.isSet(kGenerations)) {
        bool number = false;
        request.generations = context.parser.value(kGenerations).toInt(&number);
        if (!number || request.generations < 1)
            return context.Fail(QStringLiteral("--generations takes a number from 1 up, not '%1'.")
                                    .arg(context.parser.value(kGenerations)));
    }
    if (context.parser.isSet(kPrivacy) &&
        !Genealogy::PrivacyOptions::fromWord(context.parser.value(kPrivacy), request.privacy))
        return context.Fail(PrivacyWordText(context.parser.value(kPrivacy)));
    mDatabase store;
    if (!context.OpenStore(store, false))
        return 1;
    return RunReport(request, store, context.out, context.err);
}

} // namespace

Command ReportCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Write the <kind> report (family, descendants or "
                                              "ancestors) of --person from the tree given after "
                                              "it to the file after that (.pdf or .odt)."),
                               QStringLiteral("kind")),
            {QCommandLineOption(kPerson,
                                QStringLiteral("With --report: the person the report is about."),
                                QStringLiteral("key")),
             QCommandLineOption(kGenerations,
                                QStringLiteral("With --report: how many generations (the person's "
                                               "own counts; 3 for descendants, 5 for ancestors by "
                                               "default)."),
                                QStringLiteral("n")),
             PrivacyOption()},
            report};
}

} // namespace Cli
