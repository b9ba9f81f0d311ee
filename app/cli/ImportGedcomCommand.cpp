// VelkinTree --import-gedcom FILE [--tree NAME]: makes a new tree of a GEDCOM file. Prints the
// summary of the import and, as its last line, "imported N persons into 'TREE': R rows,
// P partners, M noted".
#include "Commands.h"

#include "GedcomFiles.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("import-gedcom");
const QString kTree = QStringLiteral("tree");

int importGedcom(Context &context)
{
    const QString path = context.parser.value(kTrigger);
    if (!context.parser.positionalArguments().isEmpty())
        return context.Fail(QStringLiteral("--import-gedcom takes one file; unexpected: %1")
                                .arg(context.parser.positionalArguments().join(u' ')));
    if (!QFileInfo(path).isFile())
        return context.Fail(QStringLiteral("'%1' cannot be imported: there is no such file.")
                                .arg(QDir::toNativeSeparators(path)));
    mDatabase store;
    if (!context.OpenStore(store, true))
        return 1;
    const QString tree = context.parser.isSet(kTree)
                             ? context.parser.value(kTree)
                             : GedcomFiles::ProposeTreeName(path, [&store](const QString &name) {
                                   return store.TreeExists(name);
                               });
    Gedcom::ImportContext importContext;
    importContext.isImage = GedcomFiles::DecodesAsImage;
    const Gedcom::StoreImport result = Gedcom::importIntoStore(store, path, tree, importContext);
    if (!result.isDone())
        return context.Fail(QStringLiteral("'%1' could not be imported: %2")
                                .arg(QDir::toNativeSeparators(path), result.error.text()));
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
                                QStringLiteral("name"))},
            importGedcom};
}

} // namespace Cli
