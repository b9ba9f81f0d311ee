#include "ExifThumbnail.h"

#include "NativeNames.h"

#include <QFile>

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <cstring>
#include <memory>

namespace Pixtile {

namespace ExifThumbnail {

namespace {

int be16(const uchar *p)
{
    return (int(p[0]) << 8) | int(p[1]);
}

struct ExifDataUnref
{
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

// Thumbnail and orientation from an APP1 payload ("Exif\0\0" and a TIFF structure).
void readExif(const uchar *payload, int size, Embedded &found)
{
    std::unique_ptr<ExifData, ExifDataUnref> data(exif_data_new());
    if (!data)
        return;
    // Read as written: no tags added or repaired.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data.get(), payload, unsigned(size));
    if (data->data && data->size > 0)
        found.jpeg = QByteArray(reinterpret_cast<const char *>(data->data), int(data->size));
    ExifEntry *entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->data &&
        entry->size >= 2) {
        const int value = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
        if (value >= 1 && value <= 8)
            found.orientation = value;
    }
}

bool isFrameMarker(int marker)
{
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

Embedded FromJpegBytes(const QByteArray &head)
{
    Embedded found;
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const qsizetype size = head.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return found;
    bool exifSeen = false;
    qsizetype pos = 2;
    while (pos + 4 <= size) {
        if (bytes[pos] != 0xFF)
            break; // not a marker where one must be
        const int marker = bytes[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2; // markers without a segment
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            break; // end of image, or the picture data begins
        const int length = be16(bytes + pos + 2);
        if (length < 2)
            break;
        const qsizetype body = pos + 4;
        const qsizetype bodySize = length - 2;
        if (marker == 0xE1 && !exifSeen && body + bodySize <= size && bodySize > 6 &&
            std::memcmp(bytes + body, "Exif\0\0", 6) == 0) {
            exifSeen = true;
            readExif(bytes + body, int(bodySize), found);
        } else if (isFrameMarker(marker) && body + 5 <= size && bodySize >= 5) {
            const int height = be16(bytes + body + 1);
            const int width = be16(bytes + body + 3);
            if (width > 0 && height > 0)
                found.stored = QSize(width, height);
            break;
        }
        pos = body + bodySize;
    }
    return found;
}

QByteArray ReadHead(const QString &file)
{
    QFile in(file);
    if (!NativeNames::Open(in, QIODevice::ReadOnly))
        return QByteArray();
    QByteArray head = in.read(kHeadBytes);
    if (head.size() < 2 || uchar(head[0]) != 0xFF || uchar(head[1]) != 0xD8)
        return QByteArray();
    return head;
}

} // namespace ExifThumbnail

} // namespace Pixtile
