#include "StoreExport.h"

#include "ModelExport.h"
#include "ModelStore.h"
#include "ReplacingFile.h"
#include "WriteFailure.h"
#include "mDatabase.h"

#include <QDir>

#include <new>

namespace Gedcom {

StoreExport exportFromStore(const mDatabase &store, const QString &tree, const QString &path,
                            const ExportOptions &options)
{
    StoreExport result;
    if (!IsListedTreeName(tree) || store.StoredTreeName(tree).isEmpty()) {
        result.error = Error(ErrorCode::InvalidInput,
                             QStringLiteral("There is no tree named '%1'.").arg(tree));
        return result;
    }
    // Opened first: a file that cannot be written (a pipe, a device, a missing folder) is
    // refused before the tree is read.
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = WriteFailure(file);
        return result;
    }
    try {
        // The rows and the family records kept beside them; a tree without such records (made
        // by hand, or imported by an older version) is written from its rows alone.
        Result<Genealogy::ModelSlice> read = ModelStore::readTree(store, tree);
        if (!read) {
            result.error =
                read.error().withText(QStringLiteral("The tree '%1' could not be read: %2")
                                          .arg(tree, read.error().text()));
            return result;
        }
        const QList<PersonRecord> rows(read->rows.cbegin(), read->rows.cend());
        read->rows = {};
        const ExportResult written = read->model.personCount() > 0
                                         ? writeTree(rows, read->model, options)
                                         : exportRows(rows, options);
        if (file.write(written.data) != written.data.size() || !file.commit()) {
            result.error = WriteFailure(file);
            return result;
        }
        result.rows = written.rows;
        result.persons = written.persons;
    } catch (const std::bad_alloc &) {
        result.error = Error(ErrorCode::Failed,
                             QStringLiteral("'%1' could not be written: there is not enough memory "
                                            "to write the tree '%2'. Nothing was changed.")
                                 .arg(QDir::toNativeSeparators(path), tree),
                             path);
    }
    return result;
}

} // namespace Gedcom
