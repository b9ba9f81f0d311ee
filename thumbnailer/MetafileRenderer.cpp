#include "MetafileRenderer.h"

#include <QMutex>

#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/gd.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>

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

// The records that draw text: without fonts they are left out.
constexpr int kTextOut = 0x0521;
constexpr int kExtTextOut = 0x0A32;
// What stands in their place: the extra spacing of text, which draws nothing.
constexpr int kSetTextCharExtra = 0x0108;

// A copy of a metafile (its records walked sound) whose text records draw nothing.
QByteArray withoutText(QByteArray bytes)
{
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype at = kPlaceableBytes + kMetaHeaderBytes; at + 6 <= size;) {
        const quint32 words = le32(p + at);
        const int function = le16(p + at + 4) & 0xFFFF;
        if (function == 0 || words < 3 || quint64(words) * 2 > quint64(size - at))
            break;
        if (function == kTextOut || function == kExtTextOut) {
            p[at + 4] = uchar(kSetTextCharExtra & 0xFF);
            p[at + 5] = uchar(kSetTextCharExtra >> 8);
        }
        at += qsizetype(words) * 2;
    }
    return bytes;
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

// Where the player's fonts come from. It reads Ghostscript's fonts and sets one up before the
// first record, so without them it refuses every metafile; it is then given none, and the text
// is left out so that the shapes still show.
enum class TextFonts { Player, None };

// Fonts are not looked for: text records are taken out beforehand.
void mapNoFont(wmfAPI *, wmfFont *) {}

struct ApiGuard
{
    wmfAPI *api = nullptr;
    ApiGuard() = default;
    ApiGuard(const ApiGuard &) = delete;
    ApiGuard &operator=(const ApiGuard &) = delete;
    ~ApiGuard() { close(); }
    void close()
    {
        if (api)
            wmf_api_destroy(api);
        api = nullptr;
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

namespace {

// Plays a metafile whose headers and records were found sound into PNG bytes of `size`: the
// whole placeable frame, `frame` in points. Empty when the player gives up. Called under
// playing().
QByteArray play(const QByteArray &bytes, const QSize &size, const wmfD_Rect &frame, TextFonts fonts)
{
    QByteArray png;
    // libwmf reads from a buffer of its own that it may not change: a private copy.
    QByteArray data = fonts == TextFonts::None ? withoutText(bytes) : bytes;
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
        return QByteArray();
    if (fonts == TextFonts::None)
        wmf_ipa_font_map_set(guard.api, mapNoFont);
    wmf_gd_t *device = WMF_GD_GetData(guard.api);
    if (!(device->flags & WMF_GD_SUPPORTS_PNG))
        return QByteArray();
    if (wmf_mem_open(guard.api, reinterpret_cast<unsigned char *>(data.data()),
                     long(data.size())) != wmf_E_None)
        return QByteArray();
    wmfD_Rect drawn;
    if (wmf_scan(guard.api, 0, &drawn) != wmf_E_None)
        return QByteArray();
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = collect;
    device->width = unsigned(size.width());
    device->height = unsigned(size.height());
    device->bbox = frame;
    wmfD_Rect whole = frame;
    if (wmf_play(guard.api, 0, &whole) != wmf_E_None)
        return QByteArray();
    // Closing the player writes the picture.
    guard.close();
    return png;
}

// A metafile of one rectangle, to learn whether the player finds its fonts.
QByteArray probeMetafile()
{
    QByteArray bytes(kPlaceableBytes + kMetaHeaderBytes, '\0');
    const auto put16 = [&bytes](qsizetype at, int value) {
        bytes[at] = char(value & 0xFF);
        bytes[at + 1] = char((value >> 8) & 0xFF);
    };
    const auto record = [&](int function, std::initializer_list<int> params) {
        const qsizetype at = bytes.size();
        bytes.append(6 + 2 * qsizetype(params.size()), '\0');
        put16(at, 3 + int(params.size()));
        put16(at + 4, function);
        qsizetype param = at + 6;
        for (const int value : params) {
            put16(param, value);
            param += 2;
        }
    };
    put16(0, int(kPlaceableKey & 0xFFFF));
    put16(2, int(kPlaceableKey >> 16));
    put16(10, 16); // right
    put16(12, 16); // bottom
    put16(14, 1440);
    int checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= quint8(bytes[2 * i]) | (quint8(bytes[2 * i + 1]) << 8);
    put16(20, checksum);
    put16(kPlaceableBytes, 1);     // in memory
    put16(kPlaceableBytes + 2, 9); // header words
    put16(kPlaceableBytes + 4, 0x0300);
    put16(kPlaceableBytes + 16, 0); // objects
    record(0x020C, {16, 16});       // window extent
    record(0x041B, {8, 8, 0, 0});   // rectangle
    record(0x0000, {});             // end
    const int words = int(bytes.size() - kPlaceableBytes) / 2;
    put16(kPlaceableBytes + 6, words & 0xFFFF);
    put16(kPlaceableBytes + 8, words >> 16);
    put16(kPlaceableBytes + 12, 7); // largest record
    return bytes;
}

// Whether the player finds its fonts, learnt once. Called under playing().
TextFonts availableFonts()
{
    static const TextFonts fonts = [] {
        wmfD_Rect frame;
        frame.TL.x = frame.TL.y = 0;
        frame.BR.x = frame.BR.y = 0.8f;
        return play(probeMetafile(), QSize(4, 4), frame, TextFonts::Player).isEmpty()
                   ? TextFonts::None
                   : TextFonts::Player;
    }();
    return fonts;
}

QImage render(const QByteArray &bytes, const QSize &size, std::optional<TextFonts> fonts)
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
    // The whole placeable frame, in points from the window origin, rather than only the part
    // that holds drawing: the picture keeps the proportions the header gives.
    wmfD_Rect frame;
    frame.TL.x = 0;
    frame.TL.y = 0;
    frame.BR.x = float(std::abs(right - left) * 72.0 / inch);
    frame.BR.y = float(std::abs(bottom - top) * 72.0 / inch);

    QByteArray png;
    {
        const QMutexLocker lock(&playing());
        png = play(bytes, size, frame, fonts.value_or(availableFonts()));
    }
    QImage image;
    if (png.isEmpty() || !image.loadFromData(png, "PNG"))
        return QImage();
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage RenderWmf(const QByteArray &bytes, const QSize &size)
{
    return render(bytes, size, std::nullopt);
}

QImage RenderWmfWithoutFonts(const QByteArray &bytes, const QSize &size)
{
    return render(bytes, size, TextFonts::None);
}

bool PlayerHasFonts()
{
    const QMutexLocker lock(&playing());
    return availableFonts() == TextFonts::Player;
}

} // namespace MetafileRenderer

} // namespace Pixtile
