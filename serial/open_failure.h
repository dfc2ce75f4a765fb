// What an operator needs to know when a port cannot be opened: the COM number, the device it
// resolved to, the system's reason, and the remedy for the common causes.
#pragma once

#include <string>

#include "serial/file_exception.h"

namespace linkmate {

// Who reads the advice: the window names its menu entries, the command-line tool its commands.
enum class OpenFailureReader { kWindow, kCommandLine };

// Several lines of plain text for a failed open of `portName` ("\\.\COMn", "COMn" or a path)
// with the system's error code `osError`.
std::string DescribeOpenFailure(const std::string& portName, long osError,
                                OpenFailureReader reader = OpenFailureReader::kWindow);
// The same from the open's error report, which for a serial device server's port carries the
// reason in words ("the server at HOST:PORT did not take 57600 bit/s").
std::string DescribeOpenFailure(const std::string& portName, const CFileException& error,
                                OpenFailureReader reader = OpenFailureReader::kWindow);

// The texts a description is made of on every system; each system's own advice is its own.
enum class OpenText {
    kPortIs,          // "%1 is %2: %3." the COM number, its device, the device's description
    kDeviceIs,        // "The device is %1."
    kSystemSays,      // "The system says: %1."
    kInUse,           // "The port is in use by %1. ..." the program holding it
    kAnotherProgram,  // the holder when none can be named
    kNoResponse,      // the device is there but does not answer its driver
};
// The text in the operator's language.
std::string OpenFailureText(OpenText which);
// The lines of a description: where the port leads, what the system says, and the advice when
// there is some.
std::string JoinOpenFailure(const std::string& place, const std::string& systemReason,
                            const std::string& advice);

// The program that holds `devicePath` (through the shared lock file or a lock on the device):
// "minicom (process 1234)"; empty when none is found.
std::string DeviceHolder(const std::string& devicePath);

}  // namespace linkmate
