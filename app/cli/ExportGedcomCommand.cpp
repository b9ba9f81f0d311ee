// VelkinTree --export-gedcom TREE FILE [--gedcom-version 5.5.1|7.0] [--privacy
// living|private|none]: writes a tree as GEDCOM and prints "exported R rows as N persons to FILE".
#include "Commands.h"

#include "GedcomFiles.h"
#include "StoreExport.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("export-gedcom");
const QString kVersion = QStringLiteral("gedcom-version");
const QString kPrivacy = QStringLiteral("privacy");

int exportGedcom(Context &context)
{
    const QString tree = context.parser.value(kTrigger);
    const QStringList files = context.parser.positionalArguments();
    if (files.size() != 1)
        return context.Fail(QStringLiteral("--export-gedcom needs the tree and one file to write: "
                                           "--export-gedcom TREE FILE"));
    Gedcom::ExportOptions options;
    const QString version =
        context.parser.isSet(kVersion) ? context.parser.value(kVersion) : QStringLiteral("5.5.1");
    if (version == QLatin1String("7.0") || version == QLatin1String("7"))
        options.version = Gedcom::Version::Gedcom70;
    else if (version != QLatin1String("5.5.1"))
        return context.Fail(
            QStringLiteral("Unknown GEDCOM version '%1': use 5.5.1 or 7.0.").arg(version));

    if (context.parser.isSet(kPrivacy) &&
        !Genealogy::PrivacyOptions::fromWord(context.parser.value(kPrivacy), options.privacy))
        return context.Fail(PrivacyWordText(context.parser.value(kPrivacy)));

    mDatabase store;
    if (!context.OpenStore(store, false))
        return 1;
    const QString dataPath = context.dataPath;
    options.photosOf = [dataPath](const QString &key) {
        return GedcomFiles::PhotoFiles(dataPath, key);
    };
    const Gedcom::StoreExport result =
        Gedcom::exportFromStore(store, tree, files.constFirst(), options);
    if (!result.isDone())
        return context.Fail(result.error.text());
    context.out << QStringLiteral("exported %1 rows as %2 persons to %3")
                       .arg(result.rows)
                       .arg(result.persons)
                       .arg(files.constFirst())
                << Qt::endl;
    return 0;
}

} // namespace

Command ExportGedcomCommand()
{
    return {QCommandLineOption(kTrigger,
                               QStringLiteral("Write the tree <tree> to the GEDCOM file given "
                                              "after it, without a window."),
                               QStringLiteral("tree")),
            {QCommandLineOption(kVersion,
                                QStringLiteral("The GEDCOM version --export-gedcom writes: 5.5.1 "
                                               "(default) or 7.0."),
                                QStringLiteral("version")),
             PrivacyOption()},
            exportGedcom};
}

} // namespace Cli
