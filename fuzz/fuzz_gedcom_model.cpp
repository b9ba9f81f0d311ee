// Any bytes mapped onto the rows and the genealogical model and written back: the rules between
// rows and model hold after every import, and what is written, read and written again gives the
// same bytes, in both versions.
#include "FuzzSupport.h"
#include "ModelExport.h"
#include "ModelImport.h"
#include "TreeCheck.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::vector<Genealogy::PersonRow> personRows(const Gedcom::MappedTree &tree)
{
    std::vector<Genealogy::PersonRow> rows;
    for (const Gedcom::PlannedRow &planned : tree.rows) {
        const PersonRecord &r = planned.record;
        rows.push_back({r.ID, r.PrntKey, r.Fname, r.Sname, r.PrtFname, r.PrtSname, r.Bdate, r.Ddate,
                        r.Bplace, r.Dplace, r.Laddress, r.Lcity, r.Lcountry, r.Notes});
    }
    return rows;
}

QList<PersonRecord> records(const Gedcom::MappedTree &tree)
{
    QList<PersonRecord> rows;
    for (const Gedcom::PlannedRow &planned : tree.rows)
        rows.append(planned.record);
    return rows;
}

void mustAgree(const Gedcom::MappedTree &tree)
{
    const QStringList lines = Genealogy::checkTree(personRows(tree), tree.model);
    if (!lines.isEmpty()) {
        std::fprintf(stderr, "tree check: %s\n", qPrintable(lines.join(QLatin1Char('\n'))));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Gedcom::ImportContext context;
    context.gedcomFolder = FuzzSupport::ScratchFolder();
    context.isImage = [](QIODevice &) { return false; };
    const Gedcom::MappedTree tree =
        Gedcom::mapDocument(Gedcom::Document::fromBytes(FuzzSupport::Bytes(data, size)), context);
    if (!tree.isValid())
        return 0;
    mustAgree(tree);
    (void)tree.summary();
    for (const Gedcom::Version version : {Gedcom::Version::Gedcom551, Gedcom::Version::Gedcom70}) {
        Gedcom::ExportOptions options;
        options.version = version;
        options.timestamp = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        const QByteArray written = Gedcom::writeTree(records(tree), tree.model, options).data;
        const Gedcom::MappedTree again =
            Gedcom::mapDocument(Gedcom::Document::fromBytes(written), context);
        if (!again.isValid())
            std::abort();
        mustAgree(again);
        const QByteArray rewritten = Gedcom::writeTree(records(again), again.model, options).data;
        if (rewritten != written) {
            std::fprintf(stderr, "written again differs:\n%s\n---\n%s\n", written.constData(),
                         rewritten.constData());
            std::abort();
        }
    }
    return 0;
}
