// The EXIF reader: any first bytes of a "JPEG" give a thumbnail that lies within them, an
// orientation from 1 to 8 and a stored size that is none or positive; the thumbnail is then
// decoded and turned upright as the thumbnail viewer does it.
#include "ExifThumbnail.h"
#include "FuzzSupport.h"
#include "ImageOrientation.h"

#include <QImage>

#include <cstdlib>

using namespace Pixtile;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray head = FuzzSupport::Bytes(data, size);
    const ExifThumbnail::Embedded found = ExifThumbnail::FromJpegBytes(head);
    if (found.jpeg.size() > head.size() || found.orientation < 1 || found.orientation > 8)
        std::abort(); // a thumbnail from outside the bytes, or an orientation that is none
    if (found.stored.isValid() && found.stored.isEmpty())
        std::abort(); // a stored size claimed that is none
    if (found.stored.isValid())
        ImageOrientation::UprightSize(found.stored, found.orientation);
    QImage preview;
    if (!found.jpeg.isEmpty() && preview.loadFromData(found.jpeg, "JPEG"))
        ImageOrientation::TurnedUpright(preview, found.orientation);
    return 0;
}
