// VelkinTree --import-gedcom FILE [--tree NAME | --into TREE]: makes a new tree of a GEDCOM file
// (or a GEDZIP archive), or with --into rebuilds an existing tree from it. Prints the summary of
// the import and, as its last line, "imported N persons into 'TREE': R rows, P partners,
// M noted; F families, E events, S sources, C citations, K kept as read".
#include "Commands.h"

#include "ChangeLog.h"
#include "GedcomFiles.h"
#include "StoreImport.h"
#include "StoreUpdate.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("import-gedcom");
const QString kTree = QStringLiteral("tree");
const QString kInto = QStringLiteral("into");

int importGedcom(Context &context)
{
    const QString path = context.parser.value(kTrigger);
    if (!context.parser.positionalArguments().isEmpty())
        return context.Fail(QStringLiteral("--import-gedcom takes one file; unexpected: %1")
                                .arg(context.parser.positionalArguments().join(u' ')));
    if (!QFileInfo(path).isFile())
        return context.Fail(QStringLiteral("'%1' cannot be imported: there is no such file.")
                                .arg(QDir::toNativeSeparators(path)));
    if (context.parser.isSet(kTree) && context.parser.isSet(kInto))
        return context.Fail(QStringLiteral("--tree names a new tree and --into an existing one: "
                                           "give one of them."));
    mDatabase store;
    if (!context.OpenStore(store, true))
        return 1;
    Gedcom::ImportContext importContext;
    importContext.isImage = GedcomFiles::DecodesAsImage;
    if (context.parser.isSet(kInto)) {
        const Gedcom::StoreImport result =
            Gedcom::updateTreeFromFile(store, path, context.parser.value(kInto), importContext);
        if (!result.isDone())
            return context.Fail(QStringLiteral("'%1' could not be read into the tree '%2': %3")
                                    .arg(QDir::toNativeSeparators(path),
                                         context.parser.value(kInto), result.error.text()));
        ChangeLog::addTreeChange(store, result.tree,
                                 QStringLiteral("Update Tree %1").arg(result.tree));
        context.out << result.summary() << Qt::endl << result.resultLine() << Qt::endl;
        return 0;
    }
    const QString tree = context.parser.isSet(kTree)
                             ? context.parser.value(kTree)
                             : GedcomFiles::ProposeTreeName(path, [&store](const QString &name) {
                                   return store.TreeExists(name);
                               });
    const Gedcom::StoreImport result = Gedcom::importIntoStore(store, path, tree, importContext);
    if (!result.isDone())
        return context.Fail(QStringLiteral("'%1' could not be imported: %2")
                                .arg(QDir::toNativeSeparators(path), result.error.text()));
    ChangeLog::addTreeChange(store, tree, QStringLiteral("Import Tree %1").arg(tree));
    context.out << result.summary() << Qt::endl << result.resultLine() << Qt::endl;
    return 0;
}

} // namespace

Command ImportGedcomCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Import a GEDCOM file as a new tree, without a "
                                              "window."),
                               QStringLiteral("file")),
            {QCommandLineOption(kTree,
                                QStringLiteral("The name of the tree --import-gedcom makes "
                                               "(default: from the file name)."),
                                QStringLiteral("name")),
             QCommandLineOption(kInto,
                                QStringLiteral("Rebuild the existing tree <tree> from the file "
                                               "--import-gedcom reads, with every fact of the "
                                               "file: persons whose ids match keep their keys "
                                               "and photo folders."),
                                QStringLiteral("tree"))},
            importGedcom};
}

} // namespace Cli
