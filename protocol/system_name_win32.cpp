#include <windows.h>

#include "protocol/system_name.h"

namespace linkmate {

std::string SystemName() {
    // GetVersionEx answers with the version the manifest names, not the system's; the kernel's
    // own call tells the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get = ntdll != nullptr ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                            GetProcAddress(ntdll, "RtlGetVersion")))
                                      : nullptr;
    if (get == nullptr || get(&info) != 0) return "Windows";
    return "Windows " + std::to_string(info.dwMajorVersion) + "." +
           std::to_string(info.dwMinorVersion) + " build " + std::to_string(info.dwBuildNumber);
}

}  // namespace linkmate
