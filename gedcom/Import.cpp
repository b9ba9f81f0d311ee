#include "Import.h"

#include "ImportMapper.h"

#include <QFileInfo>

namespace Gedcom {

ImportPlan planImport(const Document &doc, const ImportContext &context, const Progress &progress)
{
    if (!doc.isValid()) {
        ImportPlan plan;
        plan.error = doc.error();
        return plan;
    }
    ImportMapper mapper(doc, context);
    return mapper.run(progress);
}

ImportPlan planImportFile(const QString &path, ImportContext context, const Progress &progress)
{
    if (context.gedcomFolder.isEmpty())
        context.gedcomFolder = QFileInfo(path).absolutePath();
    // Reading takes most of the time: the first half of the progress, mapping the second.
    Progress reading, mapping;
    if (progress) {
        reading = [&progress](qint64 done, qint64 total) { return progress(done, total * 2); };
        mapping = [&progress](qint64 done, qint64 total) {
            return progress(total + done, total * 2);
        };
    }
    const Document doc = Document::fromFile(path, reading);
    return planImport(doc, context, mapping);
}

} // namespace Gedcom
