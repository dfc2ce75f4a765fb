// What the Windows port map shares with COM-name resolution: a COM number the system does not have
// may be pointed at a serial device server (profile/port_map_store.h keeps the addresses); one the
// system has is always the system's port.
#pragma once

#include <string>

namespace linkmate {

// Whether Windows has COMn itself: a DOS device name, or a port that opens or another handle holds.
bool SystemHasComPort(int number);

// The address COMn is pointed at, when there is one and the system does not have COMn; else empty.
std::string MappedComPortAddress(int number);

}  // namespace linkmate
