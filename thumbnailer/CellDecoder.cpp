#include "CellDecoder.h"

DecodedCell DecodeCell(const DecodeRequest &request)
{
    return DecodedCell{ThumbRenderer::DecodeFitted(request.file, request.cell)};
}
