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

// The program that holds `devicePath` (through the shared lock file or a lock on the device):
// "minicom (process 1234)"; empty when none is found.
std::string DeviceHolder(const std::string& devicePath);

}  // namespace linkmate
