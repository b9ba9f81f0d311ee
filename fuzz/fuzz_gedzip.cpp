// The GEDZIP reader: any bytes opened as an archive, its gedcom.ged read and its media files
// extracted into an empty folder. Small limits keep each run quick; what the reader promises is
// checked after each: nothing outside the folder, no link, nothing left after a failure, no
// more than the limits allow.
#include "FuzzSupport.h"
#include "Gedzip.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Gedcom::GedzipLimits limits;
    limits.maxEntries = 64;
    limits.maxGedcomSize = 1024 * 1024;
    limits.maxEntrySize = 1024 * 1024;
    limits.maxTotalSize = 4 * 1024 * 1024;
    Gedcom::GedzipReader reader;
    if (!reader.openBytes(FuzzSupport::Bytes(data, size), limits)) {
        if (reader.error().isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (reader.gedcom().size() > limits.maxGedcomSize)
        std::abort();

    static const QString target = FuzzSupport::ScratchFolder() + QStringLiteral("gedzip");
    QDir(target).removeRecursively();
    QStringList written;
    const bool extracted = reader.extractMedia(target, &written);
    const QString root = QFileInfo(target).canonicalFilePath() + QLatin1Char('/');
    qint64 files = 0;
    qint64 total = 0;
    QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink() || !info.canonicalFilePath().startsWith(root))
            std::abort();
        if (info.isFile()) {
            ++files;
            total += info.size();
        }
    }
    if ((extracted && files != written.size()) || (!extracted && files != 0) ||
        total > limits.maxTotalSize || (!extracted && reader.error().isEmpty()))
        std::abort();
    QDir(target).removeRecursively();
    return 0;
}
