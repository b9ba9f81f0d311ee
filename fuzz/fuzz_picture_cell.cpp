// The renderer's picture path: bytes under a file name of any picture kind, decoded upright and
// fitted into a memory cell of any size, as the thumbnail viewer does it.
#include "CellDecoder.h"
#include "FuzzSupport.h"
#include "MetafileRenderer.h"
#include "PictureDecoder.h"

#include <cstdlib>
#include <string_view>

using namespace Pixtile;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    // The first byte picks the name's suffix, the next two the cell.
    static const char *const suffixes[] = {"jpg", "png", "gif",  "bmp", "dib", "emf",
                                           "wmf", "tif", "webp", "ico", "xpm", "pbm"};
    const char *suffix = suffixes[data[0] % (sizeof suffixes / sizeof *suffixes)];
    DecodeRequest request;
    request.cell.cellWidth = 8 + data[1] % 248;
    request.cell.cellHeight = 8 + data[2] % 248;
    request.cell.innerBorder = data[1] & 1;
    request.file = FuzzSupport::WriteScratchFile(QStringLiteral("picture.") + QLatin1String(suffix),
                                                 FuzzSupport::Bytes(data + 3, size - 3));
    // Pictures that say they are larger than 16 million pixels are decoded in linear time up to
    // the decoder's memory limit (tests cover the large ones); under the sanitizers one takes
    // seconds, which would only slow the search down.
    const QSize declared = PictureDecoder::UprightSizeOf(request.file);
    if (qint64(declared.width()) * declared.height() > (qint64(16) << 20))
        return 0;
    const DecodedCell cell = DecodeCell(request);
    if (cell.ok() && (cell.picture.width() > request.cell.cellWidth ||
                      cell.picture.height() > request.cell.cellHeight))
        std::abort(); // a picture that does not fit its cell
    // Metafiles also as they are drawn where the player finds no fonts: text records left out.
    if (suffix == std::string_view("wmf"))
        MetafileRenderer::RenderWmfWithoutFonts(
            FuzzSupport::Bytes(data + 3, size - 3),
            QSize(request.cell.cellWidth, request.cell.cellHeight));
    return 0;
}
