// Exit statuses of linkmate-cli and the two ways a run ends early.
#pragma once

#include <string>

namespace linkmate::cli {

constexpr int kExitOk = 0;
constexpr int kExitComm = 1;
constexpr int kExitUsage = 2;  // also a port that cannot be opened
constexpr int kExitVerify = 3;
constexpr int kExitFile = 4;  // also output that cannot be written
constexpr int kExitDiff = 5;
// btr: no register pair reaches the rate. A result of its own, not a mistake in the command line.
constexpr int kExitNoPair = 1;

// Prints "linkmate-cli: <message>" and where to find help; returns kExitUsage.
int Usage(const std::string& message);

// Everything printed must have reached its destination (a full disk, a closed pipe): `status`, or
// kExitFile when it has not.
int Finish(int status);

}  // namespace linkmate::cli
