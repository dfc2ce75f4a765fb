#include <windows.h>

#include "profile/reg_file.h"
#include "profile/reg_text.h"
#include "protocol/win32_text.h"

namespace linkmate {

bool Cp936ToUtf8(std::string_view bytes, std::string& out) {
    out.clear();
    if (bytes.empty()) return true;
    constexpr UINT kGbk = 936;
    const int size = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        wide.data(), size);
    out = Narrow(wide);
    return true;
}

std::string PlatformRegFileText(std::string_view text) { return RegeditEncoding(text); }

}  // namespace linkmate
