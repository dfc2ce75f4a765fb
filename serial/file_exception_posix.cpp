#include <cerrno>
#include <cstring>
#include <system_error>

#include "serial/file_exception.h"

namespace linkmate {
namespace {

std::string Describe(long osError, const std::string& fileName) {
    std::string text = fileName.empty() ? std::string("port") : fileName;
    text += ": ";
    text += osError != 0 ? std::generic_category().message(static_cast<int>(osError)) : "no error";
    return text;
}

}  // namespace

CFileException::CFileException() : std::runtime_error("port: no error") {}

CFileException::CFileException(Cause cause, long osError, std::string fileName)
    : std::runtime_error(Describe(osError, fileName)),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(std::move(fileName)) {}

void CFileException::Set(long osError, std::string fileName) {
    *this = CFileException(CauseFromOsError(osError), osError, std::move(fileName));
}

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
