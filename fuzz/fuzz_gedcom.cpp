// The GEDCOM reader: any bytes read as a file (encodings, lines, records) and mapped onto the
// rows of a new tree, with the summary the user is shown.
#include "FuzzSupport.h"
#include "Import.h"

#include <QSet>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Gedcom::Document doc = Gedcom::Document::fromBytes(FuzzSupport::Bytes(data, size));
    Gedcom::ImportContext context;
    // Photos are looked for in an empty folder only; a few keys count as taken, as keys of
    // other trees do.
    context.gedcomFolder = FuzzSupport::ScratchFolder();
    context.isKeyTaken = [](const QString &key) {
        return key == QLatin1String("I1") || key == QLatin1String("1") ||
               key == QLatin1String("I1-2");
    };
    context.isImage = [](QIODevice &) { return false; };
    const Gedcom::ImportPlan plan = Gedcom::planImport(doc, context);
    QSet<QString> keys;
    for (const Gedcom::PlannedRow &row : plan.rows) {
        // Keys are unique (without regard to case, as the tree table compares them) and free.
        if (row.record.ID.isEmpty() || context.isKeyTaken(row.record.ID) ||
            keys.contains(row.record.ID.toCaseFolded()))
            std::abort();
        keys.insert(row.record.ID.toCaseFolded());
    }
    (void)plan.summary();
    return 0;
}
