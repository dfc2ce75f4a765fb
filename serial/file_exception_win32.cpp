#include <windows.h>

#include "protocol/win32_text.h"
#include "serial/file_exception.h"

namespace linkmate {

std::string CFileException::SystemErrorText(long osError) {
    return SystemMessage(static_cast<DWORD>(osError));
}

long CFileException::AlreadyOpenError() { return ERROR_BUSY; }
long CFileException::NoDeviceError() { return ERROR_FILE_NOT_FOUND; }
long CFileException::InUseError() { return ERROR_SHARING_VIOLATION; }
long CFileException::ProtocolError() { return ERROR_INVALID_DATA; }

CFileException::Cause CFileException::CauseFromOsError(long osError) {
    switch (osError) {
        case NO_ERROR: return none;
        case ERROR_FILE_NOT_FOUND: return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE: return badPath;
        case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: return accessDenied;
        case ERROR_INVALID_HANDLE: return invalidFile;
        case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
        case ERROR_CANNOT_MAKE: return directoryFull;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK_ON_DEVICE: return badSeek;
        case ERROR_SHARING_VIOLATION: return sharingViolation;
        case ERROR_LOCK_VIOLATION: return lockViolation;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL: return diskFull;
        case ERROR_HANDLE_EOF: return endOfFile;
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT: return hardIO;
        default: return genericException;
    }
}

}  // namespace linkmate
