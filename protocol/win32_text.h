// UTF-8 (the program's text) to and from UTF-16 (the Windows API's), for the Windows backends.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace linkmate {

inline std::wstring Widen(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

inline std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

// The system's own words for an error code, without the trailing full stop and line break.
inline std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message =
        size != 0 && buffer != nullptr ? Narrow(std::wstring_view(buffer, size)) : std::string();
    if (buffer != nullptr) LocalFree(buffer);
    while (!message.empty() &&
           std::string_view("\r\n. ").find(message.back()) != std::string_view::npos) {
        message.pop_back();
    }
    return message.empty() ? "system error " + std::to_string(error) : message;
}

}  // namespace linkmate
