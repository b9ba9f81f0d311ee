// The size readers of the picture headers (BMP/DIB, GIF, JPEG, EMF, WMF): any bytes, every
// reader, never a read past the end or a failure that claims a size.
#include "FuzzSupport.h"
#include "HeaderReaders.h"

#include <cstdlib>

using namespace Pixtile;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file =
        FuzzSupport::WriteScratchFile(QStringLiteral("picture"), FuzzSupport::Bytes(data, size));
    using Reader = bool (*)(const QString &, int &, int &);
    const Reader readers[] = {HeaderReaders::ReadBitmapSize, HeaderReaders::ReadGifSize,
                              HeaderReaders::ReadJpegSize, HeaderReaders::ReadEmfSize,
                              HeaderReaders::ReadWmfSize};
    for (Reader read : readers) {
        int width = -7, height = -7;
        if (read(file, width, height) && (width <= 0 || height <= 0))
            std::abort(); // a size was claimed that is none
    }
    for (const char *extension : {"BMP", "DIB", "GIF", "JPG", "JPEG", "EMF", "WMF"}) {
        int width = 0, height = 0;
        HeaderReaders::ReadSizeByExtension(QLatin1String(extension), file, width, height);
    }
    return 0;
}
