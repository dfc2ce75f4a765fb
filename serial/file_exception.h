// The error a port operation reports: the system's error code, a portable cause and the name of
// the port it concerns.
#pragma once

#include <stdexcept>
#include <string>

namespace linkmate {

class CFileException : public std::runtime_error {
public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException();
    CFileException(Cause cause, long osError, std::string fileName);
    // A port on the network says in words what went wrong (the server refused the bit rate, the
    // host is unknown): `reason` replaces the system's text in what().
    CFileException(Cause cause, long osError, std::string fileName, std::string reason);

    // Fills in the three parts from a system error code.
    void Set(long osError, std::string fileName);

    static Cause CauseFromOsError(long osError);
    // The system's own words for an error code (errno on POSIX, GetLastError() on Windows).
    static std::string SystemErrorText(long osError);
    // The code an open reports for a port that names no device (a model the bit-rate table
    // lacks, COM0).
    static long NoDeviceError();
    // The code an open reports when the object already has a port open.
    static long AlreadyOpenError();
    // The code a port on the network reports when its server serves another client already.
    static long InUseError();
    // The code a port on the network reports when its server broke the protocol or refused a
    // line setting.
    static long ProtocolError();

    Cause m_cause = none;
    long m_lOsError = 0;
    std::string m_strFileName;
    std::string m_strReason;  // empty for a port that is a device
};

}  // namespace linkmate
