// The thumbnail cache's reader: any bytes as a cache entry (and as a failure record) of a photo
// whose URI and modification time the seeds carry in their text keys. An entry is taken only
// when its keys match; what is taken is a picture with a size.
#include "FuzzSupport.h"
#include "PngTextKeys.h"
#include "ThumbCache.h"

#include <QDir>

#include <cstdlib>

using namespace Pixtile;

namespace {

// The photo the entries describe; it need not exist for a look-up.
const char kPhoto[] = "/fuzz/photo.jpg";
constexpr qint64 kMTime = 1000000000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    PngTextKeys::Read(bytes);

    static const QString root = FuzzSupport::ScratchFolder() + QStringLiteral("thumbnails");
    static const ThumbCache::Store store(root);
    ThumbCache::Source source;
    source.file = QString::fromLatin1(kPhoto);
    source.uri = ThumbCache::FileUri(source.file);
    source.mtime = kMTime;
    source.mtimeMs = kMTime * 1000;
    source.size = 0;
    const QString name = ThumbCache::EntryName(source.uri);
    for (const char *folder : {"normal", ThumbCache::kFailFolder}) {
        QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder));
        FuzzSupport::WriteScratchFile(
            QStringLiteral("thumbnails/%1/%2").arg(QLatin1String(folder), name), bytes);
    }
    ThumbCache::Entry entry;
    if (store.find(source, 100, entry) && entry.image.isNull())
        std::abort(); // an entry taken without a picture
    store.failed(source);
    return 0;
}
