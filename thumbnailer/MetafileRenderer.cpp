#include "MetafileRenderer.h"

#include <QMutex>

#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <cmath>
#include <cstring>

namespace MetafileRenderer {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
// Larger pictures than this are not drawn (the viewer shrinks to the screen anyway).
constexpr int kMaxSide = 8192;

int le16(const uchar *p)
{
    return int(qint16(quint16(p[0] | (p[1] << 8))));
}

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
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 key =
        quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    return key == kPlaceableKey;
}

QImage RenderWmf(const QByteArray &bytes, const QSize &size)
{
    if (!IsPlaceable(bytes) || size.isEmpty() || size.width() > kMaxSide ||
        size.height() > kMaxSide)
        return QImage();
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const int left = le16(p + 6), top = le16(p + 8), right = le16(p + 10), bottom = le16(p + 12);
    const int inch = p[14] | (p[15] << 8);
    if (inch <= 0 || right == left || bottom == top)
        return QImage();

    QByteArray png;
    {
        const QMutexLocker lock(&playing());
        // libwmf reads from a buffer of its own that it may not change: a private copy.
        QByteArray data = bytes;
        ApiGuard guard;
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = wmf_gd_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
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
