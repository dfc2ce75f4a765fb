#include <cerrno>
#include <system_error>

#include "serial/file_exception.h"

namespace linkmate {

std::string CFileException::SystemErrorText(long osError) {
    return std::generic_category().message(static_cast<int>(osError));
}

long CFileException::AlreadyOpenError() { return EBUSY; }
long CFileException::NoDeviceError() { return ENODEV; }
long CFileException::InUseError() { return EBUSY; }
long CFileException::ProtocolError() { return EPROTO; }

CFileException::Cause CFileException::CauseFromOsError(long osError) {
    switch (osError) {
        case 0: return none;
        case ENOENT: return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG: return badPath;
        case EMFILE:
        case ENFILE: return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS: return accessDenied;
        case EBADF: return invalidFile;
        case EBUSY:
        case ETXTBSY: return sharingViolation;
        case EWOULDBLOCK: return lockViolation;
        case ENOSPC: return diskFull;
        case EIO:
        case ENXIO:
        case ENODEV: return hardIO;
        default: return genericException;
    }
}

}  // namespace linkmate
