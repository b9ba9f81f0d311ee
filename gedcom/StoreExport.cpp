#include "StoreExport.h"

#include "mDatabase.h"

#include <QDir>

namespace Gedcom {

StoreExport exportFromStore(const mDatabase &store, const QString &tree, const QString &path,
                            const ExportOptions &options)
{
    StoreExport result;
    if (!IsListedTreeName(tree) || store.StoredTreeName(tree).isEmpty()) {
        result.error = QStringLiteral("There is no tree named '%1'.").arg(tree);
        return result;
    }
    StoreError failed;
    const QList<PersonRecord> rows = store.ReadTree(tree, &failed);
    if (failed) {
        result.error =
            QStringLiteral("The tree '%1' could not be read: %2").arg(tree, failed.description);
        return result;
    }
    ExportResult written = exportRows(rows, options);
    QString error;
    if (!writeFileAtomically(path, written.data, &error)) {
        result.error = QStringLiteral("'%1' could not be written: %2")
                           .arg(QDir::toNativeSeparators(path), error);
        return result;
    }
    result.rows = written.rows;
    result.persons = written.persons;
    return result;
}

} // namespace Gedcom
