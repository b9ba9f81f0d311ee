// gedcom_facts [--verbose] [--tsv] FIRST.ged SECOND.ged
//
// Compares two GEDCOM files fact by fact: what the second keeps of the first, per category, and
// the parent and partner links of the second that the first lacks. Persons are matched by name
// and birth year, so files whose record ids differ compare. Exit code: 0 when every fact is kept
// and no link is wrong, 1 otherwise, 2 when a file cannot be read.
#include "FactCompare.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compares two GEDCOM files fact by fact: what the second keeps of the first."));
    parser.addHelpOption();
    const QCommandLineOption verbose(QStringList{QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("List every lost fact."));
    const QCommandLineOption tsv(QStringLiteral("tsv"),
                                 QStringLiteral("Print the figures for scripts, tab-separated."));
    parser.addOption(verbose);
    parser.addOption(tsv);
    parser.addPositionalArgument(QStringLiteral("first"), QStringLiteral("The original file."));
    parser.addPositionalArgument(QStringLiteral("second"),
                                 QStringLiteral("The file to check against it."));
    parser.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 2) {
        err << "usage: gedcom_facts [--verbose] [--tsv] FIRST.ged SECOND.ged\n";
        return 2;
    }
    GedcomFacts::Comparison comparison;
    QString error;
    if (!GedcomFacts::compareFiles(parser.positionalArguments()[0], parser.positionalArguments()[1],
                                   &comparison, &error)) {
        err << "gedcom_facts: " << error << '\n';
        return 2;
    }
    out << (parser.isSet(tsv) ? GedcomFacts::tabular(comparison)
                              : GedcomFacts::report(comparison, parser.isSet(verbose)));
    return comparison.isComplete() ? 0 : 1;
}
