#include "MetafileRenderer.h"

#include <QMutex>

#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace Pixtile {

namespace MetafileRenderer {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
// Larger pictures than this are not drawn (the viewer shrinks to the screen anyway).
constexpr int kMaxSide = 8192;

int le16(const uchar *p)
{
    return int(qint16(quint16(p[0] | (p[1] << 8))));
}

quint32 le32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// The metafile's own header after the placeable one: its kind, its size and the size of its
// largest record, which the player allocates before it reads a record. A header that claims a
// record longer than the file is refused rather than handed over.
constexpr int kPlaceableBytes = 22;
constexpr int kMetaHeaderBytes = 18;

bool soundMetaHeader(const QByteArray &bytes)
{
    if (bytes.size() < kPlaceableBytes + kMetaHeaderBytes)
        return false;
    const auto *h = reinterpret_cast<const uchar *>(bytes.constData()) + kPlaceableBytes;
    const int type = le16(h);
    const int headerWords = le16(h + 2);
    const quint64 largestRecord = quint64(le32(h + 12)) * 2;
    const quint64 records = quint64(bytes.size() - kPlaceableBytes - kMetaHeaderBytes);
    return (type == 1 || type == 2) && headerWords == kMetaHeaderBytes / 2 && largestRecord >= 6 &&
           largestRecord <= records;
}

// Where a record that carries a device-independent bitmap holds it (bytes after the record's
// size and function), or -1 for other records. A bit-block transfer without a bitmap is three
// words longer than its function's high byte says it is not.
int bitmapOffset(int function, quint32 recordWords)
{
    switch (function) {
    case 0x0940: // DIBBITBLT
        return recordWords == quint32((function >> 8) + 3) ? -1 : 16;
    case 0x0B41: // DIBSTRETCHBLT
        return recordWords == quint32((function >> 8) + 3) ? -1 : 20;
    case 0x0F43: // STRETCHDIB
        return 22;
    case 0x0D33: // SETDIBTODEV
        return 18;
    case 0x0142: // DIBCREATEPATTERNBRUSH
        return 4;
    default:
        return -1;
    }
}

// Bitmaps the player would make whole before it draws them: at most this many pixels each.
constexpr quint64 kMaxBitmapPixels = quint64(64) << 20;

// Walks the records: each must lie within the file, and no bitmap in them may be larger than
// the player should make (its drawing library allocates a bitmap's size as the file states it).
bool soundRecords(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype at = kPlaceableBytes + kMetaHeaderBytes; at + 6 <= size;) {
        const quint32 words = le32(p + at);
        const int function = le16(p + at + 4) & 0xFFFF;
        if (words < 3 || quint64(words) * 2 > quint64(size - at))
            return false;
        if (function == 0)
            return true; // the end record
        const int offset = bitmapOffset(function, words);
        const qsizetype header = at + 6 + offset;
        if (offset >= 0 && header + 12 <= at + qsizetype(words) * 2) {
            const quint32 headerSize = le32(p + header);
            const quint64 width = headerSize == 12
                                      ? quint16(le16(p + header + 4))
                                      : quint64(std::abs(qint64(qint32(le32(p + header + 4)))));
            const quint64 height = headerSize == 12
                                       ? quint16(le16(p + header + 6))
                                       : quint64(std::abs(qint64(qint32(le32(p + header + 8)))));
            if (width * height > kMaxBitmapPixels)
                return false;
        }
        at += qsizetype(words) * 2;
    }
    return true;
}

// The player's memory, within a budget: a metafile is a few kilobytes of drawing orders, but
// numbers in it (object counts, bitmap sizes) decide what the player allocates. An allocation
// beyond the budget fails, and the player gives up on the file as on any error.
class Budget
{
public:
    static constexpr size_t kBytes = size_t(512) << 20;

    static void *Allocate(void *context, size_t size)
    {
        return static_cast<Budget *>(context)->resize(nullptr, size);
    }
    static void *Reallocate(void *context, void *block, size_t size)
    {
        return static_cast<Budget *>(context)->resize(block, size);
    }
    static void Free(void *context, void *block)
    {
        if (!block)
            return;
        Header *header = static_cast<Header *>(block) - 1;
        static_cast<Budget *>(context)->m_used -= header->size;
        std::free(header);
    }

private:
    // Each block remembers its size just before the bytes the player sees.
    struct alignas(std::max_align_t) Header
    {
        size_t size;
    };

    void *resize(void *block, size_t size)
    {
        Header *old = block ? static_cast<Header *>(block) - 1 : nullptr;
        const size_t before = old ? old->size : 0;
        if (size > kBytes || m_used - before + size > kBytes)
            return nullptr;
        auto *header = static_cast<Header *>(std::realloc(old, sizeof(Header) + size));
        if (!header)
            return nullptr;
        header->size = size;
        m_used = m_used - before + size;
        return header + 1;
    }

    size_t m_used = 0;
};

// libwmf keeps state of its own (fonts, its drawing library): one metafile at a time.
QMutex &playing()
{
    static QMutex mutex;
    return mutex;
}

struct ApiGuard
{
    wmfAPI *api = nullptr;
    ~ApiGuard()
    {
        if (api)
            wmf_api_destroy(api);
    }
};

// The drawn picture arrives as PNG bytes when the player is closed.
int collect(void *context, char *buffer, int length)
{
    static_cast<QByteArray *>(context)->append(buffer, length);
    return length;
}

} // namespace

bool IsPlaceable(const QByteArray &bytes)
{
    if (bytes.size() < 22)
        return false;
    return le32(reinterpret_cast<const uchar *>(bytes.constData())) == kPlaceableKey;
}

QImage RenderWmf(const QByteArray &bytes, const QSize &size)
{
    if (!IsPlaceable(bytes) || size.isEmpty() || size.width() > kMaxSide ||
        size.height() > kMaxSide)
        return QImage();
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const int left = le16(p + 6), top = le16(p + 8), right = le16(p + 10), bottom = le16(p + 12);
    const int inch = p[14] | (p[15] << 8);
    if (inch <= 0 || right == left || bottom == top || !soundMetaHeader(bytes) ||
        !soundRecords(bytes))
        return QImage();

    QByteArray png;
    {
        const QMutexLocker lock(&playing());
        // libwmf reads from a buffer of its own that it may not change: a private copy.
        QByteArray data = bytes;
        // Declared before the player, so that it outlives it: destroying the player frees
        // through it.
        Budget budget;
        ApiGuard guard;
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = wmf_gd_function;
        options.context = &budget;
        options.malloc = &Budget::Allocate;
        options.realloc = &Budget::Reallocate;
        options.free = &Budget::Free;
        const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL |
                                    WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&guard.api, flags, &options) != wmf_E_None || !guard.api)
            return QImage();
        wmf_gd_t *device = WMF_GD_GetData(guard.api);
        if (!(device->flags & WMF_GD_SUPPORTS_PNG))
            return QImage();
        if (wmf_mem_open(guard.api, reinterpret_cast<unsigned char *>(data.data()),
                         long(data.size())) != wmf_E_None)
            return QImage();
        wmfD_Rect drawn;
        if (wmf_scan(guard.api, 0, &drawn) != wmf_E_None)
            return QImage();
        // The whole placeable frame, in points from the window origin, rather than only the
        // part that holds drawing: the picture keeps the proportions the header gives.
        wmfD_Rect frame;
        frame.TL.x = 0;
        frame.TL.y = 0;
        frame.BR.x = float(std::abs(right - left) * 72.0 / inch);
        frame.BR.y = float(std::abs(bottom - top) * 72.0 / inch);
        device->type = wmf_gd_png;
        device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
        device->sink.context = &png;
        device->sink.function = collect;
        device->width = unsigned(size.width());
        device->height = unsigned(size.height());
        device->bbox = frame;
        if (wmf_play(guard.api, 0, &frame) != wmf_E_None)
            return QImage();
        // Closing the player writes the picture.
    }
    QImage image;
    if (!image.loadFromData(png, "PNG"))
        return QImage();
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace MetafileRenderer

} // namespace Pixtile
