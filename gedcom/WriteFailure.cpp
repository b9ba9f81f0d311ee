#include "WriteFailure.h"

#include "ReplacingFile.h"

#include <cerrno>

namespace Gedcom {

Error WriteFailure(const ReplacingFile &file)
{
    ErrorCode code = ErrorCode::Failed;
    switch (file.systemError()) {
    case 0:
        code = ErrorCode::InvalidInput;
        break;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        code = ErrorCode::Full;
        break;
    case EROFS:
        code = ErrorCode::ReadOnly;
        break;
    case EACCES:
    case EPERM:
        code = ErrorCode::NoPermission;
        break;
    case ENOENT:
    case ENOTDIR:
        code = ErrorCode::Missing;
        break;
    default:
        break;
    }
    return Error(code, file.errorString(), file.target());
}

} // namespace Gedcom
