// Where Windows keeps the COM numbers an operator pointed at serial device servers. Windows names
// its ports itself, so there is no folder of links to hold them: the key
// HKEY_CURRENT_USER\Software\<registry key>\PortMap holds one text value per COM number
// ("COM5" = "rfc2217://10.0.4.7:2217"). It sits beside the applications' keys, apart from their
// settings, and is shared by every program (the window, linkmate-cli, a renamed copy), as the
// folder of links is elsewhere. This is the storage only: the port map (serial/port_map.h) decides
// what an entry means. Windows only.
#pragma once

#include <string>
#include <string_view>

namespace linkmate {

inline constexpr std::string_view kPortMapKey = "PortMap";

// "HKEY_CURRENT_USER\Software\<registry key>\PortMap", as the operator finds it in regedit.
std::string PortMapKeyPath();

// The text stored for COMn; empty when there is none, it is not a text, or the key cannot be read.
std::string ReadPortMapEntry(int number);

// Stores `address` for COMn (REG_SZ), creating the key when needed. False with the reason.
bool WritePortMapEntry(int number, std::string_view address, std::string* error);

// Removes COMn's entry; true also when there was none. False with the reason.
bool RemovePortMapEntry(int number, std::string* error);

}  // namespace linkmate
